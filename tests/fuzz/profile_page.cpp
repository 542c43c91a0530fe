// The profile page reader on any download of at most the size it reads; then
// the lookups of the market and the industry category the dictionary makes.
#include "FuzzSupport.h"
#include "TorlindUtil.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t length =
        size < size_t(CTorlindUtil::kMaxProfilePage) ? size : size_t(CTorlindUtil::kMaxProfilePage);
    std::vector<char> page(data, data + length);
    page.push_back('\0');
    FUNDAMENTAL record;
    std::memset(&record, 0x55, sizeof record); // the reader clears what it was given
    FUZZ_CHECK(CTorlindUtil::ExtractFundamentalPage(page.data(), &record) == 0);

    FUZZ_CHECK(IsTerminated(record.category, sizeof record.category - 1));
    FUZZ_CHECK(IsTerminated(record.market, sizeof record.market - 1));
    FUZZ_CHECK(IsTerminated(record.feature, sizeof record.feature - 1));
    FUZZ_CHECK(IsTerminated(record.business, sizeof record.business - 1));
    const int32_t category = CTorlindUtil::CategoryCode(record.category);
    FUZZ_CHECK(category >= 0 && category <= 33);
    CTorlindUtil::MarketCode(record.market);
    return 0;
}
