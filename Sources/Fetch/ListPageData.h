// One page of the market listing: 50 row slots, the page's request URL and
// download file, the row parser, and the market step over the company profiles.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// One listing row.
struct LDT {
    int32_t code = 0;    // 0: empty slot
    int32_t market = 99; // DS code of the market; 99: unknown
    uint8_t added = 0;   // 1: the code is not in the loaded fetch list
    char codeText[16] = {};
    char name[35] = {}; // Shift-JIS, at most 31 bytes

    // One line of "fetchlist.csv": "codeText,code,fetch code,name\n".
    // Returns what fprintf returns.
    int Write(FILE* stream) const;
};

// Downloads url into the file at path and returns when the download has ended:
// true when the page arrived, false when it did not (the file then holds no
// page). The window controller supplies it; the data layer does no network
// access of its own.
using BlockingDownload = std::function<bool(const std::string& url, const std::string& path)>;

class CListPageData {
public:
    static constexpr int32_t kRowCapacity = 50;
    // What ExtractTR finds in a row.
    enum {
        kRowEndsPage = -1,   // a first cell whose plain number is no stock code
        kRowTaken = 0,       // a row with a code
        kRowWithoutCode = 1, // a heading, or no cells
        kRowLetterCode = 2,  // a code with letters ("130A"), skipped
        kRowRefusedCode = 3, // a code no request may carry ("1301&d=v3"), skipped
    };
    // Bytes of a listing page that are examined.
    static constexpr int32_t kExaminedBytes = 10240;

    explicit CListPageData(int32_t page);
    ~CListPageData();
    CListPageData(const CListPageData&) = delete;
    CListPageData& operator=(const CListPageData&) = delete;

    const char* getURL() const { return url.c_str(); }
    const char* getWebTemp() const { return webTemp; }
    // The number of slots, not of rows found: callers skip empty slots.
    int32_t nCodes() const { return rowCapacity; }
    // Rows accepted by the last extraction, and rows it skipped.
    int32_t nRows() const { return rowCount; }
    int32_t nLetterCodes() const { return letterCodeCount; }
    int32_t nRefusedCodes() const { return refusedCodeCount; }
    // Slot i, or null outside 0..nCodes() - 1.
    LDT* getLDT(int32_t i);
    const LDT* getLDT(int32_t i) const;

    // Today's local date: four-digit year, month 1..12, day.
    static void getDate(int32_t* year, int32_t* month, int32_t* day);

    // Fills the page from the downloaded page file. Every slot is emptied first,
    // so no row of an earlier extraction survives; rows with codes this program
    // cannot take are counted and skipped. 0 when the page text was read to its
    // end (or all slots are full), -1 when the file cannot be read or a row's
    // first cell holds a plain number that is no stock code.
    static int32_t ExtractListData(const char* path, CListPageData* page);
    // The same for a page of length bytes held in text; only its first
    // kExaminedBytes are read.
    static int32_t ExtractListPage(const char* text, int32_t length, CListPageData* page);
    // One table row of length bytes: what it holds (kRow...). The first cell,
    // without the blanks around it, is the code text, which a request must be
    // able to carry (CheckQuoteCode).
    static int32_t ExtractTR(const char* row, int32_t length, LDT* ldt);
    // The text of a cell outside its tags, at most 255 bytes; out holds 256.
    static int32_t ExtractTD(const char* cell, int32_t length, char* out);

    // Replaces the market of the rows by the one on each code's profile page:
    // with keepFiles every page is kept in webtemp/fundamental/NNNN/cccc.html,
    // else in webtemp/fundamental.html; with onlyAdded only new codes are
    // looked up; with offline nothing is downloaded and the kept pages are read.
    // A row whose page did not arrive keeps its market.
    void AddMarketCode(bool keepFiles, bool onlyAdded, bool offline,
                       const BlockingDownload& download);

    // Slots with a code and the new-code flag set.
    int32_t CountAddedItems() const;
    // Those of them whose market is still unknown (written as market "X").
    int32_t CountAddedWithoutMarket() const;
    // The rows in slot order as fetch-list lines: with onlyAdded the new codes,
    // else every row with a code.
    void SaveAddedItems(FILE* stream, bool onlyAdded) const;

private:
    void Clear();

    char webTemp[64];
    int32_t rowCapacity = kRowCapacity;
    int32_t rowCount = 0;
    int32_t letterCodeCount = 0;
    int32_t refusedCodeCount = 0;
    LDT* rows;
    std::string url;
};
