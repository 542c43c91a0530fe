// The servers.conf reader on any text: refused lines in order, and every host
// it keeps one that a request URL can carry.
#include "FuzzSupport.h"
#include "QuoteServers.h"

namespace {

// An authority of a URL: letters, digits, '.', '-', ':' and IPv6 brackets only.
bool IsAuthority(const std::string& host) {
    if (host.empty() || host.size() > 261)
        return false;
    for (unsigned char c : host) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum && c != '.' && c != '-' && c != ':' && c != '[' && c != ']')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratchFile("servers.conf", data, size);
    const std::vector<int32_t> refused = LoadQuoteServers(ScratchFolder());

    for (size_t i = 0; i < refused.size(); ++i)
        FUZZ_CHECK(refused[i] >= 1 && (i == 0 || refused[i] > refused[i - 1]));
    for (const std::string* host : {&QuoteHost(), &HistoryHost(), &ProfileHost()})
        FUZZ_CHECK(IsAuthority(*host));
    return 0;
}
