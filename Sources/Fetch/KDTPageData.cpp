#include "KDTPageData.h"

#include "BigEndian.h"
#include "PageBuffer.h"
#include "QuoteServers.h"
#include "TableScan.h"
#include "misclib.h"

#include <cstring>
#include <ctime>
#include <string>

void KDT::ConvertToFile(const KDT& row, unsigned char (&out)[kRecordSize]) {
    memset(out, 0, sizeof out);
    StoreBigEndian16(out, uint32_t(row.year));
    out[2] = uint8_t(row.month);
    out[3] = uint8_t(row.day);
    const int32_t prices[4] = {row.open, row.high, row.low, row.close};
    for (int i = 0; i < 4; ++i) {
        StoreBigEndian16(out + 6 + 2 * i, uint32_t(prices[i]) & 0xFFFF);
        StoreBigEndian16(out + 18 + 2 * i, uint32_t(prices[i]) >> 16);
    }
    StoreBigEndian32(out + 14, uint32_t(row.volume));
}

void KDT::ConvertFromFile(const unsigned char (&in)[kRecordSize], KDT& row) {
    row.year = int32_t(LoadBigEndian16(in));
    row.month = in[2];
    row.day = in[3];
    int32_t* const prices[4] = {&row.open, &row.high, &row.low, &row.close};
    for (int i = 0; i < 4; ++i) {
        // The writer stored the value's 32 bits; they go back unchanged.
        *prices[i] =
            int32_t(LoadBigEndian16(in + 18 + 2 * i) << 16 | LoadBigEndian16(in + 6 + 2 * i));
    }
    row.volume = int32_t(LoadBigEndian32(in + 14));
}

int32_t KDT::Write(FILE* stream) const {
    if (!IsRecordYear(year)) {
        return 0;
    }
    unsigned char record[kRecordSize];
    ConvertToFile(*this, record);
    return fwrite(record, sizeof record, 1, stream) == 1 ? 1 : 0;
}

CKDTPageData::CKDTPageData(const char* codeText, int32_t /*code*/, int32_t pageIndex)
    : startYear(1983), startMonth(1), startDay(1), rows(new KDT[kRowCapacity]) {
    const time_t now = time(nullptr);
    struct tm today;
    localtime_r(&now, &today);
    endYear = today.tm_year + 1900;
    endMonth = today.tm_mon + 1;
    endDay = today.tm_mday;
    snprintf(webTemp, sizeof webTemp, "kdttemp-%03d.html", pageIndex);
    using std::to_string;
    url = "http://" + HistoryHost() + "/t?s=" + codeText + "&a=" + to_string(startMonth) +
          "&b=" + to_string(startDay) + "&c=" + to_string(startYear) + "&d=" + to_string(endMonth) +
          "&e=" + to_string(endDay) + "&f=" + to_string(endYear) +
          "&g=d&q=t&y=" + to_string(pageIndex * kRowCapacity) + "&x=.csv";
}

CKDTPageData::~CKDTPageData() {
    delete[] rows;
}

int32_t CKDTPageData::ExtractKDTData(const char* path, CKDTPageData* page) {
    const int32_t length = ReadPageFile(path);
    if (length < 0) {
        return -1;
    }
    return ExtractKDTPage(s_buff, length, page);
}

int32_t CKDTPageData::ExtractKDTPage(const char* text, int32_t length, CKDTPageData* page) {
    int32_t accepted = 0;
    int32_t pos = 0;
    int32_t rowStart = 0;
    int32_t rowLength;
    // The service sends 50 rows a page; anything beyond the slots is ignored.
    while (accepted < page->rowCapacity &&
           (rowLength = NextTableRow(text, length, &pos, &rowStart)) > 0) {
        if (ExtractTR(text + rowStart, rowLength, &page->rows[accepted]) == 0) {
            ++accepted;
        }
    }
    page->rowCount = accepted;
    return accepted > 0 ? 0 : -1;
}

// The date cell "2006年1月5日" as Shift-JIS text; false unless it names a
// year the KD file can hold, a month 1..12 and a day 1..31.
static bool ReadDate(const char* text, KDT* row) {
    static const char kMonthMark[] = "\x8C\x8E"; // 月
    int32_t year = atoiClamped(text);
    int32_t month = 0;
    int32_t day = 0;
    if (KDT::IsRecordYear(year)) {
        // The four year digits and the two bytes of 年 come first.
        if (strlen(text) > 6) {
            month = atoiClamped(text + 6);
        }
        const int32_t mark = findstr(text, kMonthMark);
        if (mark >= 8) { // 月 at byte index 7 or later
            day = atoiClamped(text + mark - 1 + 2);
        }
    }
    if (month < 1 || month > 12 || day < 1 || day > 31) {
        return false;
    }
    row->year = year;
    row->month = month;
    row->day = day;
    return true;
}

int32_t CKDTPageData::ExtractTR(const char* row, int32_t length, KDT* out) {
    char cell[kCellSize];
    char text[kCellSize];
    KDT parsed;
    int32_t result = -1;
    int32_t cellCount = 0;
    CTableCells cells(row, length);
    int32_t cellStart;
    int32_t cellLength;
    while (cellCount < 6 && cells.Next(&cellStart, &cellLength)) {
        ExtractTD(row + cellStart, cellLength, cell, sizeof cell);
        if (cellCount == 0) {
            euc2sjis(cell, text);
            if (!ReadDate(text, &parsed)) {
                return -1;
            }
            result = 0;
        } else {
            RemoveComma(cell);
            const int32_t value = atoiClamped(cell);
            switch (cellCount) {
            case 1:
                if (value == 0) { // empty, a dash or text: no trading that day
                    return -1;
                }
                parsed.open = parsed.high = parsed.low = parsed.close = value;
                break;
            case 2:
                parsed.high = value;
                break;
            case 3:
                parsed.low = value;
                break;
            case 4:
                parsed.close = value;
                break;
            default:
                parsed.volume = value;
                break;
            }
        }
        ++cellCount;
    }
    if (cellCount == 3) { // a date and two values: the second is not a high
        parsed.high = parsed.open;
    }
    if (result == 0) {
        *out = parsed;
    }
    return result;
}

int32_t CKDTPageData::ExtractTD(const char* cell, int32_t length, char* out, int32_t outSize) {
    return ExtractCellText(cell, length, out, outSize);
}
