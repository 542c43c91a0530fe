// The cut at a character boundary on any text: the first input byte is the
// width (1..64), the rest the text. The result is a prefix that ends after
// the character reaching the width and never inside a double-byte character.
#include "FuzzSupport.h"
#include "misclib.h"

#include <cstring>

namespace {

bool IsLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int32_t width = 1 + data[0] % 64;
    const char* rest = reinterpret_cast<const char*>(data) + 1;
    const std::string original(rest, strnlen(rest, size - 1));
    std::vector<char> text(original.begin(), original.end());
    text.push_back('\0');
    const int32_t length = CutWText(text.data(), width);

    FUZZ_CHECK(length >= 0 && size_t(length) == std::strlen(text.data()));
    FUZZ_CHECK(size_t(length) <= original.size() && length <= width + 1);
    FUZZ_CHECK(original.compare(0, size_t(length), text.data()) == 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (int32_t i = 0; i < length;) {
        if (IsLead(bytes[i]) && i + 1 < length && IsTrail(bytes[i + 1]))
            i += 2;
        else {
            FUZZ_CHECK(bytes[i] >= 0x20 && bytes[i] <= 0x7F);
            ++i;
        }
    }
    return 0;
}
