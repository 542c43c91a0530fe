#include "KDFile.h"

#include "SimMarket.h"

#include <QFile>

#include <algorithm>
#include <limits>

bool KDRecord::operator==(const KDRecord& other) const {
    return year == other.year && month == other.month && day == other.day && open == other.open &&
           high == other.high && low == other.low && close == other.close && volume == other.volume;
}

std::ostream& operator<<(std::ostream& out, const KDRecord& record) {
    return out << record.year << '-' << record.month << '-' << record.day << ' ' << record.open
               << '/' << record.high << '/' << record.low << '/' << record.close << " vol "
               << record.volume;
}

static uint32_t BigEndian(const uchar* bytes, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | bytes[i];
    return value;
}

QVector<KDRecord> ReadKDFile(const QString& path, bool* ok) {
    QVector<KDRecord> records;
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = *ok ? file.readAll() : QByteArray();
    constexpr int kSize = 26;
    if (bytes.size() % kSize != 0)
        *ok = false;
    for (int at = 0; *ok && at + kSize <= bytes.size(); at += kSize) {
        const auto* r = reinterpret_cast<const uchar*>(bytes.constData() + at);
        if (r[4] != 0 || r[5] != 0)
            *ok = false;
        const auto price = [r](int i) {
            return int64_t(BigEndian(r + 18 + 2 * i, 2)) << 16 | BigEndian(r + 6 + 2 * i, 2);
        };
        KDRecord record;
        record.year = int(BigEndian(r, 2));
        record.month = r[2];
        record.day = r[3];
        record.open = price(0);
        record.high = price(1);
        record.low = price(2);
        record.close = price(3);
        record.volume = BigEndian(r + 14, 4);
        records.append(record);
    }
    return records;
}

// A traded day as the page reader takes it from the page's text: prices in
// whole yen (the digits before a decimal point), the volume clamped to 32 bits.
static KDRecord RecordOfDay(const SimDay& day) {
    KDRecord record;
    record.year = day.date.year();
    record.month = day.date.month();
    record.day = day.date.day();
    record.open = day.open / 10;
    record.high = day.high / 10;
    record.low = day.low / 10;
    record.close = day.close / 10;
    record.volume = std::min<int64_t>(day.volume, std::numeric_limits<int32_t>::max());
    return record;
}

QVector<KDRecord> ExpectedKDRecords(const CSimMarket& market, int code, int rows) {
    QVector<KDRecord> records;
    const SimStock* stock = market.findStock(code);
    if (!stock)
        return records;
    // A day without trading shows "-" prices, which the reader rejects.
    for (const SimDay& day : market.history(*stock, 0, rows))
        if (day.traded)
            records.append(RecordOfDay(day));
    std::reverse(records.begin(), records.end());
    return records;
}
