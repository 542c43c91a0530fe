// The EUC-JP to Shift-JIS conversion on any text, into a buffer of exactly the
// size it asks for; then the cleaning of figures the cell readers apply.
#include "FuzzSupport.h"
#include "misclib.h"

#include <cstring>

namespace {

bool IsJisByte(unsigned char c) {
    return c >= 0xA1 && c <= 0xFE;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source(reinterpret_cast<const char*>(data),
                             strnlen(reinterpret_cast<const char*>(data), size));
    std::vector<char> converted(source.size() + 1);
    euc2sjis(source.c_str(), converted.data());
    FUZZ_CHECK(IsTerminated(converted.data(), converted.size()));

    // ASCII stays in place and a JIS X 0208 character becomes one Shift-JIS
    // double-byte character.
    const auto* in = reinterpret_cast<const unsigned char*>(source.c_str());
    const auto* out = reinterpret_cast<const unsigned char*>(converted.data());
    while (*in != '\0') {
        if (*in < 0x80) {
            FUZZ_CHECK(*out == *in);
            ++in;
            ++out;
        } else if (in[1] == '\0') {
            ++in;
        } else {
            if (IsJisByte(in[0]) && IsJisByte(in[1])) {
                FUZZ_CHECK((out[0] >= 0x81 && out[0] <= 0x9F) ||
                           (out[0] >= 0xE0 && out[0] <= 0xEF));
                FUZZ_CHECK(out[1] >= 0x40 && out[1] <= 0xFC && out[1] != 0x7F);
            }
            in += 2;
            out += 2;
        }
    }
    FUZZ_CHECK(*out == '\0');

    std::vector<char> figure(converted);
    RemoveKanji(figure.data());
    RemoveComma(figure.data());
    if (std::strlen(converted.data()) < 256) {
        for (const char* p = figure.data(); *p != '\0'; ++p)
            FUZZ_CHECK((*p >= '0' && *p <= '9') || *p == '.' || *p == '-');
    }
    atoiClamped(figure.data());
    return 0;
}
