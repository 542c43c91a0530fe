// The market listing: its 80 pages, the market of every listed code, and the
// two result files (the rewritten "fetchlist.csv", or the new codes alone in
// "addlist-YYMMDD.csv").
#pragma once

#include "ListPageData.h"

#include <cstdint>
#include <string>

class CMakeList {
public:
    static constexpr int32_t kPageCount = 80;

    // One entry of the fetch-list sort; it points back to its slot.
    struct SortEntry {
        int32_t code;
        char codeText[16];
        int32_t page;
        int32_t slot;
    };

    CMakeList();
    ~CMakeList();
    CMakeList(const CMakeList&) = delete;
    CMakeList& operator=(const CMakeList&) = delete;

    // Builds pages 0..79; returns 0.
    int32_t InitFetchData();

    int32_t nPages() const { return pageCount; }
    // Those of page i; i must lie in 0..nPages() - 1.
    const char* getURL(int32_t i) const { return pages[i]->getURL(); }
    const char* getWebTemp(int32_t i) const { return pages[i]->getWebTemp(); }
    CListPageData* getPage(int32_t i) const { return pages[i]; }

    // Markets of page i's rows from the loaded fetch list (g_fetchData); a code
    // the list lacks keeps 99 and is flagged as new.
    void ApplyMarket(int32_t i);
    // ApplyMarket(i), then the market from each code's profile page; an index
    // outside the pages does nothing.
    void AddMarketCode(int32_t i, bool keepFiles, bool onlyAdded, bool offline,
                       const BlockingDownload& download);

    // Rows of every page, as the fetch list holds them.
    int32_t nRows() const;
    // New stocks of every page whose market is still unknown (market "X").
    int32_t nAddedWithoutMarket() const;
    // Listing rows the last extraction of every page skipped: codes with
    // letters, and codes no request may carry.
    int32_t nLetterCodes() const;
    int32_t nRefusedCodes() const;

    // "addlist-YYMMDD.csv" of today.
    static std::string AddedListName();

    // Order of the fetch-list sort: codes outside 1000..9999 (empty slots) first,
    // then ascending by code. Negative, zero or positive, as for qsort.
    static int vcomp1(const SortEntry& a, const SortEntry& b);

    // Writes the result into folder: with onlyAdded the new codes into
    // "addlist-YYMMDD.csv" in listing order; else every listed row into
    // "fetchlist.csv" in code order, the previous list becoming "fetchlist.bak".
    // 0 when the file was written; -1 when not, and then no file the user had
    // has changed.
    int32_t Save(const std::string& folder, bool onlyAdded);

private:
    // The count of every page added up.
    int32_t SumOfPages(int32_t (CListPageData::*count)() const) const;
    int32_t SaveAddedList(const std::string& folder);
    int32_t SaveFetchList(const std::string& folder);

    int32_t pageCount = 0;
    CListPageData** pages = nullptr;
};
