#pragma once

#include <QList>
#include <QString>

#include <optional>

// Where the floating indicator appears; stored in "indicatorPosition".
enum class IndicatorPosition { topCenter, center, bottomCenter };

namespace IndicatorPositions {

// Every case, in the order the position picker lists them.
QList<IndicatorPosition> allCases();
// "top", "center", "bottom".
QString rawValue(IndicatorPosition position);
// The case for a stored text; none for any other text.
std::optional<IndicatorPosition> fromRawValue(const QString& raw);
// "Top", "Center", "Bottom" in the current interface language.
QString displayName(IndicatorPosition position);

} // namespace IndicatorPositions
