// The fetch list "fetchlist.csv": the user's stocks in pages of 50, each page
// one request to the quote server; and the daily and finance files written
// from it.
#pragma once

#include "PageData.h"

#include <cstdint>
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

    CFetchData() = default;
    CFetchData(const CFetchData&) = delete;
    CFetchData& operator=(const CFetchData&) = delete;

    // Reads folder + "/fetchlist.csv" into pages of 50 stocks and builds their
    // URLs. 0 on success; -1 when the file is missing or has no line.
    int32_t LoadFetchData(const std::string& folder);

    int32_t nPages() const { return int32_t(m_pages.size()); }
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

    // Writes the daily file of the given layout into folder, replacing one of
    // the same name, and stamps it 'TEXT' / creator. False when nothing was
    // written: no pages, a date out of range, or a file error (an existing
    // file then stays as it was).
    bool Save(const std::string& folder, int32_t fileFormat, uint32_t creator) const;
    // Writes the finance file "FN%02d%02d%02d.DAT" with count in its header.
    bool SaveFinanceData(int32_t count, const std::string& folder, uint32_t creator) const;

    // File names for a date: "DS%02d%02d%02d.DAT", or "DS%04d%02d.%02d" for layout 1.
    static std::string DailyFileName(int32_t fileFormat, int32_t year, int32_t month, int32_t day);
    static std::string FinanceFileName(int32_t year, int32_t month, int32_t day);

private:
    std::vector<std::unique_ptr<CPageData>> m_pages;
};
