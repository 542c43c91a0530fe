// The listing page reader on any download of at most the page buffer's size;
// then the page's lines of the fetch list.
#include "FuzzSupport.h"
#include "ListPageData.h"
#include "PageBuffer.h"

#include <cstring>

namespace {

// A fetch-list field: no line end, no other control byte.
bool IsFieldText(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* s_sink = std::fopen("/dev/null", "w");
    const std::vector<char> text = PageText(data, size, kPageBufferSize - 1);
    CListPageData page(0);
    const int32_t result = CListPageData::ExtractListPage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK(result == 0 || result == -1);
    FUZZ_CHECK(page.nRows() >= 0 && page.nRows() <= page.nCodes());
    for (int32_t i = 0; i < page.nCodes(); ++i) {
        const LDT* row = page.getLDT(i);
        if (i >= page.nRows()) {
            FUZZ_CHECK(row->code == 0); // nothing beyond the rows read
            continue;
        }
        FUZZ_CHECK(row->code >= 1000 && row->code <= 9999);
        FUZZ_CHECK(IsTerminated(row->codeText, sizeof row->codeText) && row->codeText[0] != '\0');
        FUZZ_CHECK(IsFieldText(row->codeText) && std::strchr(row->codeText, ',') == nullptr);
        FUZZ_CHECK(IsTerminated(row->name, sizeof row->name) && std::strlen(row->name) <= 31);
        FUZZ_CHECK(IsFieldText(row->name));
    }
    page.SaveAddedItems(s_sink, false);
    return 0;
}
