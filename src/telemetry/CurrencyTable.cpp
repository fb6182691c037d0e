#include "CurrencyTable.h"

#include <QHash>

namespace telemetrydeck {

namespace {

struct Row {
    const char* code;
    double unitsPerDollar;
};

// Units per US dollar, ordered by ISO 4217 code; the dollar itself has no row.
constexpr Row rows[] = {
    {"AED", 3.6725},
    {"AFN", 73.5},
    {"ALL", 94.8},
    {"AMD", 395.0},
    {"ANG", 1.79},
    {"AOA", 918.0},
    {"ARS", 1056.0},
    {"AUD", 1.5742},
    {"AWG", 1.79},
    {"AZN", 1.7},
    {"BAM", 1.8645},
    {"BBD", 2.0},
    {"BDT", 121.5},
    {"BGN", 1.8645},
    {"BHD", 0.376},
    {"BIF", 2960.0},
    {"BMD", 1.0},
    {"BND", 1.35},
    {"BOB", 6.93},
    {"BRL", 5.77},
    {"BSD", 1.0},
    {"BTN", 86.9},
    {"BWP", 13.8},
    {"BYN", 3.27},
    {"BZD", 2.0},
    {"CAD", 1.43},
    {"CDF", 2850.0},
    {"CHF", 0.8997},
    {"CLP", 950.0},
    {"CNY", 7.2626},
    {"COP", 4100.0},
    {"CRC", 506.0},
    {"CUP", 24.0},
    {"CVE", 105.1},
    {"CZK", 24.0},
    {"DJF", 177.7},
    {"DKK", 7.11},
    {"DOP", 62.0},
    {"DZD", 135.0},
    {"EGP", 50.6},
    {"ERN", 15.0},
    {"ETB", 127.0},
    {"EUR", 0.9533},
    {"FJD", 2.31},
    {"FKP", 0.7948},
    {"FOK", 7.11},
    {"GBP", 0.7948},
    {"GEL", 2.8},
    {"GGP", 0.7948},
    {"GHS", 15.5},
    {"GIP", 0.7948},
    {"GMD", 72.5},
    {"GNF", 8620.0},
    {"GTQ", 7.72},
    {"GYD", 209.0},
    {"HKD", 7.78},
    {"HNL", 25.5},
    {"HRK", 7.18},
    {"HTG", 130.8},
    {"HUF", 385.0},
    {"IDR", 16300.0},
    {"ILS", 3.55},
    {"IMP", 0.7948},
    {"INR", 86.9},
    {"IQD", 1310.0},
    {"IRR", 42000.0},
    {"ISK", 140.0},
    {"JEP", 0.7948},
    {"JMD", 157.5},
    {"JOD", 0.709},
    {"JPY", 152.3479},
    {"KES", 129.2},
    {"KGS", 87.4},
    {"KHR", 4010.0},
    {"KID", 1.5742},
    {"KMF", 469.0},
    {"KRW", 1445.0},
    {"KWD", 0.308},
    {"KYD", 0.833},
    {"KZT", 505.0},
    {"LAK", 21800.0},
    {"LBP", 89500.0},
    {"LKR", 297.0},
    {"LRD", 198.0},
    {"LSL", 18.3601},
    {"LYD", 4.9},
    {"MAD", 9.98},
    {"MDL", 18.7},
    {"MGA", 4680.0},
    {"MKD", 58.7},
    {"MMK", 2100.0},
    {"MNT", 3450.0},
    {"MOP", 8.01},
    {"MRU", 39.9},
    {"MUR", 46.5},
    {"MVR", 15.4},
    {"MWK", 1740.0},
    {"MXN", 20.5},
    {"MYR", 4.43},
    {"MZN", 63.9},
    {"NAD", 18.3601},
    {"NGN", 1500.0},
    {"NIO", 36.8},
    {"NOK", 11.1},
    {"NPR", 139.0},
    {"NZD", 1.75},
    {"OMR", 0.3845},
    {"PAB", 1.0},
    {"PEN", 3.7},
    {"PGK", 4.02},
    {"PHP", 58.0},
    {"PKR", 279.0},
    {"PLN", 3.97},
    {"PYG", 7880.0},
    {"QAR", 3.64},
    {"RON", 4.74},
    {"RSD", 111.7},
    {"RUB", 92.0},
    {"RWF", 1400.0},
    {"SAR", 3.75},
    {"SBD", 8.45},
    {"SCR", 14.4},
    {"SDG", 512.0},
    {"SEK", 10.7},
    {"SGD", 1.35},
    {"SHP", 0.7948},
    {"SLE", 22.7},
    {"SLL", 22700.0},
    {"SOS", 571.0},
    {"SRD", 35.3},
    {"SSP", 4300.0},
    {"STN", 23.35},
    {"SYP", 12900.0},
    {"SZL", 18.3601},
    {"THB", 33.7},
    {"TJS", 10.9},
    {"TMT", 3.5},
    {"TND", 3.17},
    {"TOP", 2.38},
    {"TRY", 36.0},
    {"TTD", 6.78},
    {"TVD", 1.5742},
    {"TWD", 32.8},
    {"TZS", 2560.0},
    {"UAH", 41.6},
    {"UGX", 3680.0},
    {"UYU", 43.5},
    {"UZS", 12950.0},
    {"VES", 62.0},
    {"VND", 25400.0},
    {"VUV", 120.0},
    {"WST", 2.8},
    {"XAF", 625.3},
    {"XCD", 2.7},
    {"XDR", 0.765},
    {"XOF", 625.3},
    {"XPF", 113.8},
    {"YER", 248.0},
    {"ZAR", 18.3601},
    {"ZMW", 28.0},
    {"ZWL", 26.8},
};

const QHash<QString, double>& lookup()
{
    static const QHash<QString, double> table = [] {
        QHash<QString, double> built;
        built.reserve(static_cast<qsizetype>(std::size(rows)));
        for (const Row& row : rows)
            built.insert(QString::fromLatin1(row.code), row.unitsPerDollar);
        return built;
    }();
    return table;
}

} // namespace

std::optional<double> CurrencyTable::unitsPerDollar(const QString& currencyCode)
{
    const auto it = lookup().constFind(currencyCode);
    if (it == lookup().cend())
        return std::nullopt;
    return *it;
}

int CurrencyTable::rowCount()
{
    return static_cast<int>(std::size(rows));
}

double CurrencyTable::priceInDollars(double price, const std::optional<QString>& currencyCode)
{
    if (!currencyCode)
        return 0;
    if (*currencyCode == QLatin1StringView("USD"))
        return price;
    const std::optional<double> rate = unitsPerDollar(*currencyCode);
    if (!rate || *rate <= 0)
        return 0;
    return price / *rate;
}

} // namespace telemetrydeck
