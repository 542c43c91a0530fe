// One page of a stock's daily price history (50 trading days, newest first)
// and the 26-byte record of one day in the KD file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct KDT {
    static constexpr int32_t kRecordSize = 26;
    // The years a record can carry: chart programs read no other.
    static constexpr int32_t kFirstYear = 1901;
    static constexpr int32_t kLastYear = 2099;

    // The one rule for the years the page reader accepts and the writer writes.
    static constexpr bool IsRecordYear(int32_t year) {
        return year >= kFirstYear && year <= kLastYear;
    }

    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t open = 0;
    int32_t high = 0;
    int32_t low = 0;
    int32_t close = 0;
    int32_t volume = 0;

    // The big-endian file record; each price is split into its low 16 bits at
    // offsets 6..13 and its high 16 bits at offsets 18..25.
    static void ConvertToFile(const KDT& row, unsigned char (&out)[kRecordSize]);
    // The row of a file record: each price rebuilt from its two halves.
    static void ConvertFromFile(const unsigned char (&in)[kRecordSize], KDT& row);
    // Writes the record when IsRecordYear(year); returns 1 when written.
    int32_t Write(FILE* stream) const;

    friend bool operator==(const KDT& one, const KDT& other) {
        return one.year == other.year && one.month == other.month && one.day == other.day &&
               one.open == other.open && one.high == other.high && one.low == other.low &&
               one.close == other.close && one.volume == other.volume;
    }
};

class CKDTPageData {
public:
    static constexpr int32_t kRowCapacity = 50;
    static constexpr int32_t kCellSize = 256;

    // code is not used: the page is requested by the code text.
    CKDTPageData(const char* codeText, int32_t code, int32_t pageIndex);
    ~CKDTPageData();
    CKDTPageData(const CKDTPageData&) = delete;
    CKDTPageData& operator=(const CKDTPageData&) = delete;

    const char* getURL() const { return url.c_str(); }
    const char* getWebTemp() const { return webTemp; }
    int32_t nRows() const { return rowCount; }
    const KDT& getRow(int32_t slot) const { return rows[slot]; }

    // Parses the downloaded page at path into page; 0 when at least one row was
    // accepted, -1 otherwise (an unreadable file leaves the page unchanged).
    static int32_t ExtractKDTData(const char* path, CKDTPageData* page);
    // The same for a page of length bytes held in text (read no further).
    static int32_t ExtractKDTPage(const char* text, int32_t length, CKDTPageData* page);
    // One table row; 0 and out filled when accepted, -1 (out untouched) otherwise.
    static int32_t ExtractTR(const char* row, int32_t length, KDT* out);
    static int32_t ExtractTD(const char* cell, int32_t length, char* out, int32_t outSize);

private:
    char webTemp[64];
    int32_t startYear, startMonth, startDay;
    int32_t endYear, endMonth, endDay;
    int32_t rowCapacity = kRowCapacity;
    int32_t rowCount = 0;
    KDT* rows;
    std::string url;
};
