#include "QuoteServers.h"

#include <fstream>

namespace {

// A host name of 253 bytes, brackets of an IPv6 address and ":65535".
constexpr size_t kMaxServerLength = 261;

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

void LoadQuoteServers(const std::string& folder) {
    s_quoteHost = s_historyHost = s_profileHost = kDefaultQuoteServer;
    std::ifstream file(folder + "/servers.conf");
    std::string line;
    while (std::getline(file, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = Trimmed(line.substr(0, equals));
        std::string value = Trimmed(line.substr(equals + 1));
        if (!IsServerValue(value))
            value = kDefaultQuoteServer;
        if (key == "quote")
            s_quoteHost = value;
        else if (key == "history")
            s_historyHost = value;
        else if (key == "profile")
            s_profileHost = value;
    }
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
