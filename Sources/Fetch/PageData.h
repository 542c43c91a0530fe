// One stock's record for a trading day (CTesselRec) and one request to the
// quote server for up to 50 stocks (CPageData): its URLs, its download file,
// the parser of the quote page and the writers of the daily and finance files.
#pragma once

#include "QuoteCode.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

// Layouts of the daily "DS" file (the preference fileFormat); any other value
// is written as layout 0.
enum { kDSLayoutComma = 0, kDSLayoutFixed = 1, kDSLayoutTab = 2 };

class CTesselRec {
public:
    static constexpr int32_t kQuoteCodeSize = 16;
    static constexpr int32_t kNameSize = 32;
    static constexpr int32_t kFinanceCount = 5;

    // Whether the record has a line in the daily file: close above 0.
    bool HasQuote() const { return close > 0; }
    // Whether it has one in the finance file: the first, the second or the
    // fourth finance value above 0.
    bool HasFinance() const { return finance[0] > 0 || finance[1] > 0 || finance[3] > 0; }
    // The record's line of the daily file in the given layout; nothing without
    // a quote.
    void Write(FILE* file, int32_t layout) const;
    // The record's line of the finance file; nothing without finance values.
    void WriteFinanceData(FILE* file) const;
    // The code as the quote request asks for it: the quote code, followed by
    // ".O" or ".N" for a stock of an Osaka or Nagoya market ("6758.O").
    std::string RequestCode() const;

    char quoteCode[kQuoteCodeSize] = {}; // as the quote server spells it
    int32_t code = 0;                    // stock code, printed "%04d"
    int32_t market = 0;                  // local market code (row of market.csv)
    int32_t month = 0;                   // quote date; 0 = not shown
    int32_t day = 0;
    char name[kNameSize] = {}; // Shift-JIS
    uint8_t valid = 0;         // the page had a row naming a known stock
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    double volume = 0;
    double finance[kFinanceCount] = {};
};

class CPageData {
public:
    static constexpr int32_t kSlots = 50;
    // Longest fetch code taken from the fetch list.
    static constexpr int32_t kMaxFetchCode = 7;
    // Longest cell text the parsers take.
    static constexpr int32_t kMaxCellText = 255;
    static constexpr int32_t kCellBufferSize = 1024;

    // A page with empty slots whose download file is "webtemp-%03d.html".
    explicit CPageData(int32_t pageIndex);

    // Fills slot's identity; the market is looked up by its fetch code. Texts
    // longer than their fields are cut. A slot outside 0..49 is ignored.
    void setCode(int32_t slot, const char* quoteCode, int32_t code, const char* fetchCode,
                 const char* name);
    // Builds the quote and finance URLs from the slots that have a quote code.
    void MakeFetchURL();

    const char* getURL() const { return m_url.c_str(); }
    const char* getFinanceURL() const { return m_financeUrl.c_str(); }
    const char* getWebTemp() const { return m_webTemp; }
    int32_t nCodes() const { return m_nCodes; }
    int32_t nExtracted() const { return m_nExtracted; }
    int32_t pageIndex() const { return m_pageIndex; }
    // No range check: callers stay below kSlots.
    CTesselRec* getTesselRec(int32_t slot) { return &m_records[slot]; }
    const CTesselRec* getTesselRec(int32_t slot) const { return &m_records[slot]; }
    // First slot whose code equals code, or -1.
    int32_t getCodeByIndex(int32_t code) const;
    // The quotes' month and day when the page showed them, else today's (now
    // in local time); the year is this one, or the one before for a month and
    // day that lie after tomorrow (quotes of 12/30 read on 2 January).
    void getDate(int32_t& year, int32_t& month, int32_t& day,
                 std::time_t now = std::time(nullptr)) const;
    // Whether the last page read showed the quotes' date.
    bool hasDate() const { return m_month != 0; }

    // Forgets the day's quotes (and the page's date), or the finance values, of
    // every slot: a page that did not arrive leaves none of an earlier one's.
    void ClearQuotes();
    void ClearFinance();

    // Parses the downloaded quote page at path into page's slots; a missing
    // file leaves the page unchanged.
    static void ExtractData(const char* path, CPageData* page);
    // Parses a quote page of length bytes held in text (read no further).
    static void ExtractPage(const char* text, int32_t length, CPageData* page);
    // Reads one table row into record; 1 when the row is the record's quote row.
    static int32_t ExtractTR(const char* row, int32_t length, CTesselRec* record);
    // The cell's text without tags, at most kMaxCellText bytes; returns 1.
    static int32_t ExtractTD(const char* cell, int32_t length, char* text);
    // Appends "page=%d code=%d name=%s\n" to ERRORLOG.TXT in the application
    // folder, with " reason=%s" before the line end when reason is given.
    static void WriteLog(int32_t page, int32_t code, const char* name,
                         const char* reason = nullptr);
    // Logs every stock the page asks for as not fetched, for reason (the page
    // failed); returns how many.
    int32_t LogFailure(const char* reason) const;

private:
    char m_webTemp[64] = {};
    int32_t m_nCodes = 0;
    int32_t m_nExtracted = 0;
    CTesselRec m_records[kSlots];
    std::string m_url;
    std::string m_financeUrl;
    int32_t m_month = 0;
    int32_t m_day = 0;
    int32_t m_pageIndex = 0;
};
