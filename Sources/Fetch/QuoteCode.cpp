#include "QuoteCode.h"

#include <cstring>

const char* CheckQuoteCode(const char* text) {
    const size_t length = strnlen(text, kMaxQuoteCode + 1);
    if (length == 0)
        return "no stock code given";
    if (length > size_t(kMaxQuoteCode))
        return "a stock code has at most 11 characters";
    // ASCII only, whatever the locale says a letter is.
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum && c != '.' && c != '-' && c != '_' && c != '^')
            return "a stock code holds only letters, digits and . - _ ^";
    }
    return nullptr;
}
