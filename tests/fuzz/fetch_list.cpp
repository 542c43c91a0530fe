// The fetch-list reader on any fetchlist.csv, with the shipped market table;
// then the pages' URLs and the market look-up of the listing job.
#include "FetchData.h"
#include "FuzzSupport.h"
#include "MarketConv.h"
#include "VezizoMain.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratchFile("fetchlist.csv", data, size);
    CFetchData list;
    const int32_t result = list.LoadFetchData(ScratchFolder());

    FUZZ_CHECK(result == (list.nPages() > 0 ? 0 : -1));
    for (int32_t p = 0; p < list.nPages(); ++p) {
        const CPageData* page = list.getPage(p);
        // Every page but the last is full.
        FUZZ_CHECK(page->nCodes() <= CPageData::kSlots);
        FUZZ_CHECK(p == list.nPages() - 1 || page->nCodes() == CPageData::kSlots);
        for (int32_t slot = 0; slot < page->nCodes(); ++slot) {
            const CTesselRec* record = page->getTesselRec(slot);
            FUZZ_CHECK(std::strlen(record->quoteCode) <= size_t(kMaxQuoteCode));
            FUZZ_CHECK(std::strlen(record->name) <= size_t(CFetchData::kNameWidth) + 1);
            FUZZ_CHECK(record->market >= 0 && record->market <= g_marketConv->nEntries());
            const int32_t market = list.FindMarket(record->code);
            FUZZ_CHECK(market >= 1 && market <= g_marketConv->nEntries() + 1);
        }
        FUZZ_CHECK(std::strncmp(list.getURL(p), "http://", 7) == 0);
        FUZZ_CHECK(std::strncmp(list.getFinanceURL(p), "http://", 7) == 0);
    }
    return 0;
}
