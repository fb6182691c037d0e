#pragma once

#include <QString>

#include <optional>

namespace telemetrydeck {

// Units of each currency per one US dollar.
class CurrencyTable {
public:
    static std::optional<double> unitsPerDollar(const QString& currencyCode);
    static int rowCount();
    // The price in US dollars: itself in "USD", divided by the currency's rate otherwise,
    // 0 when the currency is absent or unknown.
    static double priceInDollars(double price, const std::optional<QString>& currencyCode);
};

} // namespace telemetrydeck
