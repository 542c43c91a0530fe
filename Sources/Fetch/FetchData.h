// The fetch list "fetchlist.csv": the user's stocks in pages of 50, each page
// one request to the quote server; and the daily and finance files written
// from it.
#pragma once

#include "PageData.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFetchData {
public:
    static constexpr int32_t kLineBufferSize = 128;
    // Names longer than this are cut, never inside a double-byte character.
    static constexpr int32_t kNameWidth = 30;
    // FindMarket's answer for a code that is not in the list.
    static constexpr int32_t kNoMarket = 99;

    // A line whose quote code may not go into a request: its slot asks for
    // nothing.
    struct RefusedLine {
        int32_t lineNumber; // from 1
        int32_t page;
        int32_t slot;
        std::string quoteCode; // the text before the line's first comma
        const char* reason;    // English
    };

    CFetchData() = default;
    CFetchData(const CFetchData&) = delete;
    CFetchData& operator=(const CFetchData&) = delete;

    // Reads folder + "/fetchlist.csv" into pages of 50 stocks and builds their
    // URLs. 0 on success; -1 when the file is missing or has no line.
    int32_t LoadFetchData(const std::string& folder);
    // The lines of the list loaded whose quote codes were refused, in order.
    const std::vector<RefusedLine>& refusedLines() const { return m_refusedLines; }

    int32_t nPages() const { return int32_t(m_pages.size()); }
    // Stocks of every page with a valid quote from the last page read.
    int32_t nExtracted() const;
    // Null for a page number outside 0 .. nPages() - 1.
    CPageData* getPage(int32_t page) const;
    // "" for a page number outside the list.
    const char* getURL(int32_t page) const;
    const char* getFinanceURL(int32_t page) const;
    const char* getWebTemp(int32_t page) const;

    // The record of the stock with that code (the last page that lists it
    // wins), or null.
    const CTesselRec* FindRecord(int32_t code) const;
    // Local market code + 1 of the stock with that code (the last page that
    // lists it wins), or kNoMarket.
    int32_t FindMarket(int32_t code) const;

    // The quotes' date of the first page that showed one; today's when none
    // did (CPageData::getDate). Only for a list with pages.
    void getDate(int32_t& year, int32_t& month, int32_t& day,
                 std::time_t now = std::time(nullptr)) const;
    // The names of the daily file of the layout and of the finance file for
    // that date.
    std::string dailyFileName(int32_t fileFormat) const;
    std::string financeFileName() const;

    // Writes the daily file of the given layout into folder, replacing one of
    // the same name, and stamps it 'TEXT' / creator. A stock without a quote
    // in this run keeps its line from the file replaced (the same day's, in the
    // same layout), as do that file's stocks the list no longer has; *nKept,
    // when given, receives how many lines were kept so. False when nothing was
    // written: no pages, a date out of range, or a file error (an existing
    // file then stays as it was).
    bool Save(const std::string& folder, int32_t fileFormat, uint32_t creator,
              int32_t* nKept = nullptr) const;
    // Writes the finance file "FN%02d%02d%02d.DAT" with count (plus the lines
    // kept) in its header, keeping lines of the file replaced as Save does.
    bool SaveFinanceData(int32_t count, const std::string& folder, uint32_t creator,
                         int32_t* nKept = nullptr) const;

    // File names for a date: "DS%02d%02d%02d.DAT", or "DS%04d%02d.%02d" for layout 1.
    static std::string DailyFileName(int32_t fileFormat, int32_t year, int32_t month, int32_t day);
    static std::string FinanceFileName(int32_t year, int32_t month, int32_t day);
    // The name of the newest daily file of the layout, or finance file, in
    // folder; "" when there is none.
    static std::string LatestDailyFile(const std::string& folder, int32_t fileFormat);
    static std::string LatestFinanceFile(const std::string& folder);

private:
    // Writes folder/name: header(file, number of stock lines), then every
    // slot's line (from its record when hasLine says it has one, else the
    // file's earlier line), then the earlier file's other lines.
    bool WriteDayFile(const std::string& folder, const std::string& name, int32_t nHeaderLines,
                      const char* lineEnd, bool quoted, int32_t count,
                      const std::function<void(FILE*, int32_t)>& header,
                      const std::function<bool(const CTesselRec&)>& hasLine,
                      const std::function<void(FILE*, const CTesselRec&)>& writeLine,
                      uint32_t creator, int32_t* nKept) const;

    std::vector<std::unique_ptr<CPageData>> m_pages;
    std::vector<RefusedLine> m_refusedLines;
};
