// The quote page reader on any download of at most the page buffer's size,
// read into a page whose 50 slots the fetch list has set up; then the page's
// lines of the daily file.
#include "FuzzSupport.h"
#include "PageBuffer.h"
#include "PageData.h"
#include "Preferences.h"
#include "VezizoMain.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* s_sink = std::fopen("/dev/null", "w");
    static CPreferences s_preferences;
    const std::vector<char> text = PageText(data, size, kPageBufferSize - 1);
    const CPageData& slots = SlotsPage();
    CPageData page = slots;
    CPageData::ExtractPage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK(page.nExtracted() >= 0 && page.nExtracted() <= page.nCodes());
    for (int32_t slot = 0; slot < page.nCodes(); ++slot) {
        const CTesselRec* record = page.getTesselRec(slot);
        const CTesselRec* before = slots.getTesselRec(slot);
        // The page fills in prices; the stock's identity stays the fetch list's.
        FUZZ_CHECK(record->code == before->code && record->market == before->market);
        FUZZ_CHECK(std::strcmp(record->quoteCode, before->quoteCode) == 0);
        FUZZ_CHECK(std::memcmp(record->name, before->name, sizeof record->name) == 0);
        FUZZ_CHECK(record->month == 0 || (record->month >= 1 && record->month <= 12));
        FUZZ_CHECK(record->day == 0 || (record->day >= 1 && record->day <= 31));
        for (double value :
             {record->open, record->high, record->low, record->close, record->volume})
            FUZZ_CHECK(std::isfinite(value));
    }
    // One of the six ways of writing, picked by the input's size.
    s_preferences.decimalPrices = uint8_t(size / 3 % 2);
    g_Preferences = &s_preferences;
    for (int32_t slot = 0; slot < page.nCodes(); ++slot)
        page.getTesselRec(slot)->Write(s_sink, int32_t(size % 3));
    g_Preferences = nullptr;
    return 0;
}
