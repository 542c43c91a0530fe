#include "KDFile.h"

#include "SimMarket.h"

#include <algorithm>
#include <cstdio>
#include <limits>

void PrintTo(const KDT& row, std::ostream* out) {
    *out << row.year << '-' << row.month << '-' << row.day << ' ' << row.open << '/' << row.high
         << '/' << row.low << '/' << row.close << " vol " << row.volume;
}

// A traded day as the page reader takes it from the page's text: prices in
// whole yen (the digits before a decimal point), the volume clamped to 32 bits.
static KDT RecordOfDay(const SimDay& day) {
    KDT record;
    record.year = day.date.year();
    record.month = day.date.month();
    record.day = day.date.day();
    record.open = int32_t(day.open / 10);
    record.high = int32_t(day.high / 10);
    record.low = int32_t(day.low / 10);
    record.close = int32_t(day.close / 10);
    record.volume = int32_t(std::min<int64_t>(day.volume, std::numeric_limits<int32_t>::max()));
    return record;
}

std::vector<KDT> ExpectedKDRecords(const CSimMarket& market, int code, int rows) {
    std::vector<KDT> records;
    const SimStock* stock = market.findStock(code);
    if (!stock)
        return records;
    // A day without trading shows "-" prices, which the reader rejects.
    for (const SimDay& day : market.history(*stock, 0, rows))
        if (day.traded)
            records.push_back(RecordOfDay(day));
    std::reverse(records.begin(), records.end());
    return records;
}

bool WriteKDFile(const QString& path, const std::vector<KDT>& days) {
    FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file)
        return false;
    int written = 0;
    for (const KDT& day : days)
        written += day.Write(file);
    return std::fclose(file) == 0 && written == int(days.size());
}
