// The market table reader on any market.csv; then every look-up of each row.
#include "FuzzSupport.h"
#include "MarketConv.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteScratchFile("market.csv", data, size);
    CMarketConv markets;
    const int32_t result = markets.LoadMarketCsv(path.c_str());

    FUZZ_CHECK(result == (markets.nEntries() > 0 ? 1 : 0));
    for (int32_t code = -1; code <= markets.nEntries(); ++code) {
        char fetchCode[4];
        markets.LocalCodeToFetchCode(code, fetchCode);
        FUZZ_CHECK(IsTerminated(fetchCode, sizeof fetchCode));
        char name[32];
        markets.LocalCodeToMarketName(code, name);
        FUZZ_CHECK(IsTerminated(name, sizeof name));
        if (code < 0 || code == markets.nEntries())
            continue;
        // The first row with a fetch code, a name or a DS code answers for it.
        FUZZ_CHECK(markets.FetchCodeToLocalCode(fetchCode) <= code);
        if (std::strchr(name, ',') == nullptr && name[0] != '\0')
            FUZZ_CHECK(markets.MarketNameToLocalCode(name + 1) <= code);
        char byDSCode[4];
        markets.DSCodeToFetchCode(markets.LocalCodeToDSCode(code), byDSCode);
        FUZZ_CHECK(IsTerminated(byDSCode, sizeof byDSCode));
    }
    return 0;
}
