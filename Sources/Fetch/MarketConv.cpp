#include "MarketConv.h"

#include "TextFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// Lines of market.csv hold at most 126 bytes before the line end.
constexpr int32_t kLineSize = 128;

// "その他市場" in Shift-JIS: the name of a market outside the table.
constexpr char kOtherMarket[] = "\x82\xbb\x82\xcc\x91\xbc\x8e\x73\x8f\xea";

template <size_t N> void CopyField(char (&field)[N], const char* text, size_t length) {
    const size_t n = length < N - 1 ? length : N - 1;
    std::memcpy(field, text, n);
    field[n] = '\0';
}

// Fills entry from one line "DS code, fetch code, name" with the meaning of the
// scan "%d, %[^,] ,%[^,]", each field cut to its width. Fields after the first
// one that does not scan stay empty.
void ScanMarketLine(const char* line, CMarketConv::Entry& entry) {
    char* end;
    const long dsCode = std::strtol(line, &end, 10);
    if (end == line)
        return;
    if (dsCode > std::numeric_limits<int32_t>::max())
        entry.dsCode = std::numeric_limits<int32_t>::max();
    else if (dsCode < std::numeric_limits<int32_t>::min())
        entry.dsCode = std::numeric_limits<int32_t>::min();
    else
        entry.dsCode = int32_t(dsCode);

    int codeStart = -1, codeEnd = -1, nameStart = -1;
    std::sscanf(end, ", %n%*[^,]%n ,%n", &codeStart, &codeEnd, &nameStart);
    if (codeStart < 0 || codeEnd < 0)
        return;
    CopyField(entry.fetchCode, end + codeStart, size_t(codeEnd - codeStart));
    if (nameStart < 0)
        return;
    const char* name = end + nameStart;
    CopyField(entry.marketName, name, std::strcspn(name, ","));
    const size_t length = std::strlen(entry.marketName);
    if (length > 0 &&
        (entry.marketName[length - 1] == '\r' || entry.marketName[length - 1] == '\n'))
        entry.marketName[length - 1] = '\0';
}

} // namespace

CMarketConv::~CMarketConv() {
    delete[] m_entries;
}

int32_t CMarketConv::LoadMarketCsv(const char* path) {
    delete[] m_entries;
    m_entries = nullptr;
    m_nEntries = 0;

    CTextFile file;
    if (!file.Open(path, CTextFile::kReadText, nullptr))
        return 0;
    char line[kLineSize];
    int32_t nLines = 0;
    while (file.ReadLine(line, kLineSize) != nullptr)
        ++nLines;
    if (nLines == 0) {
        file.Close();
        return 0;
    }

    file.SeekToBegin();
    m_entries = new Entry[nLines]{};
    m_nEntries = nLines;
    // Every line is a row, scanned or not, so a market's local code is its line number.
    for (int32_t i = 0; i < nLines && file.ReadLine(line, kLineSize) != nullptr; ++i)
        ScanMarketLine(line, m_entries[i]);
    file.Close();
    return 1;
}

int32_t CMarketConv::FetchCodeToLocalCode(const char* fetchCode) const {
    for (int32_t i = 0; i < m_nEntries; ++i) {
        if (std::strcmp(m_entries[i].fetchCode, fetchCode) == 0)
            return i;
    }
    return m_nEntries;
}

void CMarketConv::LocalCodeToFetchCode(int32_t localCode, char* out) const {
    std::strcpy(out, Contains(localCode) ? m_entries[localCode].fetchCode : "X");
}

void CMarketConv::LocalCodeToMarketName(int32_t localCode, char* out) const {
    std::strcpy(out, Contains(localCode) ? m_entries[localCode].marketName : kOtherMarket);
}

int32_t CMarketConv::MarketNameToLocalCode(const char* name) const {
    // Names are compared after the blank that follows the comma in the file.
    const size_t length = std::strcspn(name, ",");
    for (int32_t i = 0; i < m_nEntries; ++i) {
        if (std::strncmp(m_entries[i].marketName + 1, name, length) == 0)
            return i;
    }
    return m_nEntries;
}

int32_t CMarketConv::LocalCodeToDSCode(int32_t localCode) const {
    return Contains(localCode) ? m_entries[localCode].dsCode : 0;
}

void CMarketConv::DSCodeToFetchCode(int32_t dsCode, char* out) const {
    for (int32_t i = 0; i < m_nEntries; ++i) {
        if (m_entries[i].dsCode == dsCode) {
            std::strcpy(out, m_entries[i].fetchCode);
            return;
        }
    }
    std::strcpy(out, "X");
}
