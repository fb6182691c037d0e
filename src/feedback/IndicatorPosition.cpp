#include "IndicatorPosition.h"

#include "base/Tolvane.h"

namespace IndicatorPositions {

QList<IndicatorPosition> allCases()
{
    return {IndicatorPosition::topCenter, IndicatorPosition::center, IndicatorPosition::bottomCenter};
}

QString rawValue(IndicatorPosition position)
{
    switch (position) {
    case IndicatorPosition::center:
        return QStringLiteral("center");
    case IndicatorPosition::bottomCenter:
        return QStringLiteral("bottom");
    case IndicatorPosition::topCenter:
        break;
    }
    return QStringLiteral("top");
}

std::optional<IndicatorPosition> fromRawValue(const QString& raw)
{
    for (IndicatorPosition position : allCases()) {
        if (rawValue(position) == raw)
            return position;
    }
    return std::nullopt;
}

QString displayName(IndicatorPosition position)
{
    switch (position) {
    case IndicatorPosition::center:
        return Tolvane::tr("Center");
    case IndicatorPosition::bottomCenter:
        return Tolvane::tr("Bottom");
    case IndicatorPosition::topCenter:
        break;
    }
    return Tolvane::tr("Top");
}

} // namespace IndicatorPositions
