// The servers.conf reader on any text; then the request URLs of the three
// servers, which must carry the whole host and the whole query.
#include "FuzzSupport.h"
#include "KDTPageData.h"
#include "ListPageData.h"
#include "PageData.h"
#include "QuoteServers.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

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

    const CKDTPageData history("7203", 7203, 3);
    const std::string historyURL = history.getURL();
    FUZZ_CHECK(historyURL.compare(0, 7 + HistoryHost().size(), "http://" + HistoryHost()) == 0);
    FUZZ_CHECK(EndsWith(historyURL, "&y=150&x=.csv"));
    const CListPageData listing(79);
    FUZZ_CHECK(std::string(listing.getURL()) == "http://" + QuoteHost() + "/l?s=%2a&m=3951");
    CPageData quotes = SlotsPage();
    quotes.MakeFetchURL();
    FUZZ_CHECK(
        std::string(quotes.getURL()).compare(0, 7 + QuoteHost().size(), "http://" + QuoteHost()) ==
        0);
    FUZZ_CHECK(EndsWith(quotes.getFinanceURL(), "&d=v3"));
    return 0;
}
