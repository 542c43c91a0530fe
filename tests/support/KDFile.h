// The records of a KD file ("KD%04d.KDT": 26-byte big-endian records, oldest
// day first) read back independently of the program's writer, and the records
// the simulated service's history of a stock must give.
#pragma once

#include <QString>
#include <QVector>

#include <cstdint>
#include <ostream>

class CSimMarket;

struct KDRecord {
    int year = 0;
    int month = 0;
    int day = 0;
    int64_t open = 0; // whole yen, each rebuilt from its two 16-bit halves
    int64_t high = 0;
    int64_t low = 0;
    int64_t close = 0;
    int64_t volume = 0;
    bool operator==(const KDRecord& other) const;
};
std::ostream& operator<<(std::ostream& out, const KDRecord& record);

// The file's records; *ok is false when the file is missing, its size is not
// a multiple of 26 or a record's bytes 4 and 5 are not zero.
QVector<KDRecord> ReadKDFile(const QString& path, bool* ok);

// The file the history job writes from the newest `rows` history rows of the
// stock: the days with trading, oldest first, prices in whole yen as a page
// reader takes them from the text.
QVector<KDRecord> ExpectedKDRecords(const CSimMarket& market, int code, int rows);
