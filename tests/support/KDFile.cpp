#include "KDFile.h"

#include "SimMarket.h"

#include <algorithm>
#include <limits>

void PrintTo(const KDT& row, std::ostream* out) {
    *out << row.year << '-' << row.month << '-' << row.day << ' ' << row.open << '/' << row.high
         << '/' << row.low << '/' << row.close << " vol " << row.volume;
}

std::vector<KDT> ExpectedKDRecords(const CSimMarket& market, int code, int rows) {
    std::vector<KDT> records;
    const SimStock* stock = market.findStock(code);
    if (!stock)
        return records;
    // A day without trading shows "-" prices, which the reader rejects. Prices
    // are whole yen as the reader takes them from the text (the digits before
    // a decimal point), the volume clamped to 32 bits.
    for (const SimDay& day : market.history(*stock, 0, rows))
        if (day.traded)
            records.push_back(
                {day.date.year(), day.date.month(), day.date.day(), int32_t(day.open / 10),
                 int32_t(day.high / 10), int32_t(day.low / 10), int32_t(day.close / 10),
                 int32_t(std::min<int64_t>(day.volume, std::numeric_limits<int32_t>::max()))});
    std::reverse(records.begin(), records.end());
    return records;
}
