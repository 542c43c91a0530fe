// A stock's code as the quote service spells it in a request ("7203",
// "6758.O"): the one rule for every code that goes into a request's query,
// whether typed, read from the fetch list or taken from the listing.
#pragma once

#include <cstdint>

// The longest code a request carries.
constexpr int32_t kMaxQuoteCode = 11;

// Null when text may go into a request's query as it is: 1 to kMaxQuoteCode
// letters, digits and . - _ ^, nothing that could end the parameter or start
// another; else why not (English).
const char* CheckQuoteCode(const char* text);
