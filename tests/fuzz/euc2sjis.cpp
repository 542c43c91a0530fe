// The EUC-JP to Shift-JIS conversion on any text, into a buffer of exactly the
// size it asks for; then the cleaning of figures the cell readers apply.
#include "FuzzSupport.h"
#include "misclib.h"

#include <cstring>

namespace {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string source(reinterpret_cast<const char*>(data),
                             strnlen(reinterpret_cast<const char*>(data), size));
    std::vector<char> converted(source.size() + 1);
    euc2sjis(source.c_str(), converted.data());
    FUZZ_CHECK(IsTerminated(converted.data(), converted.size()));

    // Whatever the page held, the result is Shift-JIS: ASCII, half-width
    // katakana, or a lead byte with its trail byte; never longer than the source.
    const auto* out = reinterpret_cast<const unsigned char*>(converted.data());
    const size_t length = std::strlen(converted.data());
    FUZZ_CHECK(length <= source.size());
    for (size_t i = 0; i < length; ++i) {
        if (out[i] < 0x80 || (out[i] >= 0xA1 && out[i] <= 0xDF))
            continue;
        FUZZ_CHECK(IsLeadByte(out[i]) && i + 1 < length);
        ++i;
        FUZZ_CHECK(out[i] >= 0x40 && out[i] <= 0xFC && out[i] != 0x7F);
    }

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
