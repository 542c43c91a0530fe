#include "QuoteServers.h"

#include "TextFile.h"

#include <climits>

namespace {

// A host name of 253 bytes, brackets of an IPv6 address and ":65535".
constexpr size_t kMaxServerLength = 261;
// Room for a key, its value and the blanks around them; a longer line is cut
// and then refused.
constexpr int32_t kLineSize = 512;

std::string s_quoteHost = kDefaultQuoteServer;
std::string s_historyHost = kDefaultQuoteServer;
std::string s_profileHost = kDefaultQuoteServer;

// The value goes into a URL as its authority: only host-name characters,
// IPv6 brackets and the port's colon are allowed.
bool IsServerValue(const std::string& value) {
    if (value.empty() || value.size() > kMaxServerLength)
        return false;
    for (unsigned char c : value) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum && c != '.' && c != '-' && c != '_' && c != ':' && c != '[' && c != ']')
            return false;
    }
    return true;
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

std::vector<int32_t> LoadQuoteServers(const std::string& folder) {
    s_quoteHost = s_historyHost = s_profileHost = kDefaultQuoteServer;
    std::vector<int32_t> refused;
    const std::string path = folder + "/servers.conf";
    CTextFile file;
    if (!file.Open(path.c_str(), CTextFile::kReadText, nullptr))
        return refused;
    char text[kLineSize];
    for (int32_t number = 1; number < INT32_MAX && file.ReadLine(text, kLineSize); ++number) {
        const std::string line = Trimmed(text);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t equals = line.find('=');
        const std::string key = Trimmed(line.substr(0, equals));
        std::string* host = key == "quote"     ? &s_quoteHost
                            : key == "history" ? &s_historyHost
                            : key == "profile" ? &s_profileHost
                                               : nullptr;
        const std::string value =
            equals == std::string::npos ? std::string() : Trimmed(line.substr(equals + 1));
        if (host == nullptr || !IsServerValue(value)) {
            refused.push_back(number);
            if (host != nullptr)
                *host = kDefaultQuoteServer;
            continue;
        }
        *host = value;
    }
    file.Close();
    return refused;
}

const std::string& QuoteHost() {
    return s_quoteHost;
}
const std::string& HistoryHost() {
    return s_historyHost;
}
const std::string& ProfileHost() {
    return s_profileHost;
}
