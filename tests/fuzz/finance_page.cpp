// The finance page reader on any download of at most its buffer's size, read
// into a page whose slots the fetch list has set up; then the finance lines.
#include "FuzzSupport.h"
#include "PageData.h"
#include "TorlindUtil.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* s_sink = std::fopen("/dev/null", "w");
    const std::vector<char> text = PageText(data, size, CTorlindUtil::kFinancePageSize - 1);
    const CPageData& slots = SlotsPage();
    CPageData page = slots;
    const int32_t count =
        CTorlindUtil::ExtractFinancePage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK(count >= 0 && count <= page.nCodes());
    for (int32_t slot = 0; slot < page.nCodes(); ++slot) {
        const CTesselRec* record = page.getTesselRec(slot);
        const CTesselRec* before = slots.getTesselRec(slot);
        // Only the five values come from the page: the market stays the fetch list's.
        FUZZ_CHECK(record->code == before->code && record->market == before->market);
        FUZZ_CHECK(std::memcmp(record->name, before->name, sizeof record->name) == 0);
        FUZZ_CHECK(record->close == before->close && record->valid == before->valid);
    }
    for (int32_t slot = 0; slot < page.nCodes(); ++slot)
        page.getTesselRec(slot)->WriteFinanceData(s_sink);
    return 0;
}
