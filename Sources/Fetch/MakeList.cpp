#include "MakeList.h"

#include "FetchData.h"
#include "FullPath.h"
#include "VezizoMain.h"
#include "futil.h"
#include "misclib.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t kTextType = FourCharCode("TEXT");
constexpr uint32_t kSpreadsheetCreator = FourCharCode("XCEL");

bool IsStockCode(int32_t code) {
    return code >= 1000 && code <= 9999;
}

} // namespace

CMakeList::CMakeList() {
    InitFetchData();
}

CMakeList::~CMakeList() {
    for (int32_t i = 0; i < pageCount; ++i)
        delete pages[i];
    delete[] pages;
}

int32_t CMakeList::InitFetchData() {
    pageCount = kPageCount;
    pages = new CListPageData*[kPageCount];
    for (int32_t i = 0; i < kPageCount; ++i)
        pages[i] = new CListPageData(i);
    return 0;
}

void CMakeList::ApplyMarket(int32_t i) {
    CListPageData* page = pages[i];
    for (int32_t slot = 0; slot < page->nCodes(); ++slot) {
        LDT* ldt = page->getLDT(slot);
        if (ldt->code == 0)
            continue;
        ldt->market = g_fetchData != nullptr ? g_fetchData->FindMarket(ldt->code) : 99;
        if (ldt->market == 99)
            ldt->added = 1;
    }
}

void CMakeList::AddMarketCode(int32_t i, bool keepFiles, bool onlyAdded, bool offline,
                              const BlockingDownload& download) {
    if (i < 0 || i >= pageCount)
        return;
    ApplyMarket(i);
    pages[i]->AddMarketCode(keepFiles, onlyAdded, offline, download);
}

int32_t CMakeList::SumOfPages(int32_t (CListPageData::*count)() const) const {
    int32_t n = 0;
    for (int32_t i = 0; i < pageCount; ++i)
        n += (pages[i]->*count)();
    return n;
}

int32_t CMakeList::nRows() const {
    return SumOfPages(&CListPageData::nRows);
}

int32_t CMakeList::nAddedWithoutMarket() const {
    return SumOfPages(&CListPageData::CountAddedWithoutMarket);
}

int32_t CMakeList::nLetterCodes() const {
    return SumOfPages(&CListPageData::nLetterCodes);
}

int32_t CMakeList::nRefusedCodes() const {
    return SumOfPages(&CListPageData::nRefusedCodes);
}

std::string CMakeList::AddedListName() {
    int32_t year, month, day;
    CListPageData::getDate(&year, &month, &day);
    char name[32];
    std::snprintf(name, sizeof name, "addlist-%02d%02d%02d.csv", year - 2000, month, day);
    return name;
}

int CMakeList::vcomp1(const SortEntry& a, const SortEntry& b) {
    const bool aListed = IsStockCode(a.code);
    const bool bListed = IsStockCode(b.code);
    if (aListed != bListed)
        return aListed ? 1 : -1;
    return (a.code > b.code) - (a.code < b.code);
}

int32_t CMakeList::Save(const std::string& folder, bool onlyAdded) {
    if (pageCount <= 0)
        return -1;
    return onlyAdded ? SaveAddedList(folder) : SaveFetchList(folder);
}

int32_t CMakeList::SaveAddedList(const std::string& folder) {
    const std::string name = AddedListName();
    StReplaceFile file(MakeUnixFullPath(folder, name.c_str()));
    if (file.stream() == nullptr)
        return -1;
    for (int32_t i = 0; i < pageCount; ++i)
        pages[i]->SaveAddedItems(file.stream(), true);
    if (!file.commit())
        return -1;
    SetCreatorAndType(name.c_str(), folder, kSpreadsheetCreator, kTextType);
    return 0;
}

int32_t CMakeList::SaveFetchList(const std::string& folder) {
    std::vector<SortEntry> entries;
    entries.reserve(size_t(pageCount) * CListPageData::kRowCapacity);
    for (int32_t i = 0; i < pageCount; ++i) {
        for (int32_t slot = 0; slot < pages[i]->nCodes(); ++slot) {
            const LDT* ldt = pages[i]->getLDT(slot);
            SortEntry entry{ldt->code, {}, i, slot};
            std::memcpy(entry.codeText, ldt->codeText, sizeof entry.codeText);
            entries.push_back(entry);
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const SortEntry& a, const SortEntry& b) { return vcomp1(a, b) < 0; });

    // The new list is written completely before any file the user has is
    // touched, and fetchlist.csv names a whole list at every moment: the
    // backup is a second name of the current list, then the new list is
    // renamed over it.
    const std::string listPath = MakeUnixFullPath(folder, "fetchlist.csv");
    const std::string backupPath = MakeUnixFullPath(folder, "fetchlist.bak");
    StReplaceFile file(listPath);
    if (file.stream() == nullptr)
        return -1;
    for (const SortEntry& entry : entries) {
        const LDT* ldt = pages[entry.page]->getLDT(entry.slot);
        if (ldt->codeText[0] != '\0')
            ldt->Write(file.stream());
    }
    if (!file.flush())
        return -1;
    // Without a current list the old backup goes all the same, as the backup
    // is always the list before this one.
    if (!ReplaceWithLink(listPath, backupPath)) {
        if (errno != ENOENT)
            return -1;
        unlink(backupPath.c_str());
    }
    if (!file.commit())
        return -1;
    SetCreatorAndType("fetchlist.csv", folder, kSpreadsheetCreator, kTextType);
    return 0;
}
