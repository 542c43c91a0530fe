// The history page reader on any download of at most the page buffer's size;
// then the page's rows merged into a history.
#include "FuzzSupport.h"
#include "KDTFile.h"
#include "KDTPageData.h"
#include "PageBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<char> text = PageText(data, size, kPageBufferSize - 1);
    CKDTPageData page("7203", 7203, 0);
    const int32_t result = CKDTPageData::ExtractKDTPage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK(result == (page.nRows() > 0 ? 0 : -1));
    FUZZ_CHECK(page.nRows() >= 0 && page.nRows() <= CKDTPageData::kRowCapacity);
    std::vector<KDT> rows;
    for (int32_t slot = 0; slot < page.nRows(); ++slot) {
        const KDT& row = page.getRow(slot);
        FUZZ_CHECK(KDT::IsRecordYear(row.year));
        FUZZ_CHECK(row.month >= 1 && row.month <= 12 && row.day >= 1 && row.day <= 31);
        rows.push_back(row);
    }
    // Whatever order and repeats a page has, the history keeps one record a
    // date, oldest first.
    std::vector<KDT> days;
    MergeKDTRows(days, rows);
    FUZZ_CHECK(days.size() <= rows.size() && days.empty() == rows.empty());
    for (size_t i = 1; i < days.size(); ++i)
        FUZZ_CHECK(KDTDateKey(days[i - 1]) < KDTDateKey(days[i]));
    return 0;
}
