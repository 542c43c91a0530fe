// The history page reader on any download of at most the page buffer's size;
// then the page's records of the KD file.
#include "FuzzSupport.h"
#include "KDTPageData.h"
#include "PageBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* s_sink = std::fopen("/dev/null", "wb");
    const std::vector<char> text = PageText(data, size, kPageBufferSize - 1);
    CKDTPageData page("7203", 7203, 0);
    const int32_t result = CKDTPageData::ExtractKDTPage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK(result == (page.nRows() > 0 ? 0 : -1));
    FUZZ_CHECK(page.nRows() >= 0 && page.nRows() <= CKDTPageData::kRowCapacity);
    for (int32_t slot = 0; slot < page.nRows(); ++slot) {
        const KDT& row = page.getRow(slot);
        FUZZ_CHECK(KDT::IsRecordYear(row.year));
        FUZZ_CHECK(row.month >= 1 && row.month <= 12 && row.day >= 1 && row.day <= 31);
    }
    // Every row the reader accepts is one the writer writes, so the count of
    // accepted rows is the count of records.
    FUZZ_CHECK(page.Save(s_sink) == page.nRows());
    return 0;
}
