// The text-file line reader on any file, in each line-end mode: the first input
// byte picks the line end the file begins with (none, CR, LF, LF CR, CR LF),
// the second the size of the line buffer. Both reading passes of the fetch
// list and the market table must see the same lines.
#include "FuzzSupport.h"
#include "TextFile.h"

#include <cstring>

namespace {

// Counts the lines of one pass, checking that each is a terminated text.
int32_t CountLines(CTextFile& file, std::vector<char>& buffer, bool whole) {
    const int32_t size = int32_t(buffer.size());
    int32_t lines = 0;
    for (;;) {
        const char* line =
            whole ? file.ReadLine(buffer.data(), size) : file.ReadString(buffer.data(), size);
        if (line == nullptr)
            return lines;
        FUZZ_CHECK(line == buffer.data() && IsTerminated(line, buffer.size()));
        ++lines;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const kFirstLines[] = {"", "a,1\r", "a,1\n", "a,1\n\r", "a,1\r\n"};
    if (size < 2)
        return 0;
    const std::string first = kFirstLines[data[0] % 5];
    std::vector<char> buffer(2 + data[1] % 160);
    std::string bytes = first;
    bytes.append(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string path =
        WriteScratchFile("text.txt", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());

    CTextFile file;
    FUZZ_CHECK(file.Open(path.c_str(), CTextFile::kReadText, nullptr) == 1);
    const int32_t lines = CountLines(file, buffer, true);
    FUZZ_CHECK(size_t(lines) <= bytes.size() + 1);
    file.SeekToBegin();
    FUZZ_CHECK(CountLines(file, buffer, true) == lines);
    file.SeekToBegin();
    const int32_t pieces = CountLines(file, buffer, false);
    FUZZ_CHECK(pieces >= lines && size_t(pieces) <= bytes.size() + 1);
    file.Close();
    return 0;
}
