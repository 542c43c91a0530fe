#include "QuoteServers.h"

#include "TextFile.h"
#include "misclib.h"

#include <arpa/inet.h>
#include <climits>

namespace {

// The longest host name DNS can carry, and of one of its labels.
constexpr size_t kMaxHostName = 253;
constexpr size_t kMaxLabel = 63;
// Room for a key, its value and the blanks around them; a longer line is cut
// and then refused.
constexpr int32_t kLineSize = 512;

std::string s_quoteHost = kDefaultQuoteServer;
std::string s_historyHost = kDefaultQuoteServer;
std::string s_profileHost = kDefaultQuoteServer;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetterOrDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsPort(const std::string& text) {
    if (text.empty() || text.size() > 5)
        return false;
    for (char c : text) {
        if (!IsDigit(c))
            return false;
    }
    const long port = std::stol(text);
    return port >= 1 && port <= 65535;
}

// A host name of labels of letters, digits and hyphens, no label beginning or
// ending with a hyphen. An all-digit last label would make it an IPv4 address.
bool IsHostName(const std::string& host) {
    if (host.empty() || host.size() > kMaxHostName)
        return false;
    size_t labelStart = 0;
    bool lastLabelDigits = true;
    for (size_t i = 0; i <= host.size(); ++i) {
        if (i < host.size() && host[i] != '.') {
            if (!IsLetterOrDigit(host[i]) && host[i] != '-')
                return false;
            continue;
        }
        const size_t length = i - labelStart;
        if (length == 0 || length > kMaxLabel || host[labelStart] == '-' || host[i - 1] == '-')
            return false;
        lastLabelDigits = true;
        for (size_t j = labelStart; j < i; ++j)
            lastLabelDigits = lastLabelDigits && IsDigit(host[j]);
        labelStart = i + 1;
    }
    return !lastLabelDigits;
}

// The text ends at its first zero byte for inet_pton: a value holding one
// must not pass on what comes before it.
bool IsAddress(int family, const std::string& text) {
    unsigned char address[16];
    return text.find('\0') == std::string::npos && inet_pton(family, text.c_str(), address) == 1;
}

// The value goes into a URL as its authority: HOST[:PORT], HOST a host name,
// an IPv4 address or a bracketed IPv6 address.
bool IsServerValue(const std::string& value) {
    std::string host = value;
    if (!value.empty() && value[0] == '[') {
        const size_t close = value.find(']');
        if (close == std::string::npos)
            return false;
        const std::string rest = value.substr(close + 1);
        if (!rest.empty() && (rest[0] != ':' || !IsPort(rest.substr(1))))
            return false;
        return IsAddress(AF_INET6, value.substr(1, close - 1));
    }
    const size_t colon = value.find(':');
    if (colon != std::string::npos) {
        if (!IsPort(value.substr(colon + 1)))
            return false;
        host = value.substr(0, colon);
    }
    return IsAddress(AF_INET, host) || IsHostName(host);
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
        if (host == nullptr || equals == std::string::npos || !IsServerValue(value)) {
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
