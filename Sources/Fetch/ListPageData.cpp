#include "ListPageData.h"

#include "MarketConv.h"
#include "PageBuffer.h"
#include "QuoteCode.h"
#include "QuoteServers.h"
#include "TableScan.h"
#include "TorlindUtil.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

// "(株)" in Shift-JIS, which the listing puts before or after a company name.
constexpr char kKabu[] = "(\x8A\x94)";
constexpr size_t kKabuLength = 4;

constexpr int32_t kCellTextSize = 256;
// A name longer than this is cut, keeping double-byte characters whole.
constexpr int32_t kNameWidth = 30;

// A line end or any other control byte would split a fetch-list line; such
// bytes never belong to a name. Shift-JIS trail bytes are never among them.
void RemoveControlBytes(char* text) {
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        const auto c = static_cast<unsigned char>(*in);
        if (c >= 0x20 && c != 0x7F)
            *out++ = *in;
    }
    *out = '\0';
}

// Bounded copy that always terminates.
template <size_t N> void CopyField(char (&field)[N], const char* text) {
    const size_t n = strnlen(text, N - 1);
    std::memcpy(field, text, n);
    field[n] = '\0';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Blanks and line ends around a cell's text are layout, not part of it.
void Trim(char* text) {
    const char* blanks = " \t\r\n\v\f";
    const size_t first = std::strspn(text, blanks);
    size_t length = std::strlen(text + first);
    while (length > 0 && std::strchr(blanks, text[first + length - 1]) != nullptr)
        --length;
    std::memmove(text, text + first, length);
    text[length] = '\0';
}

// A whole number, perhaps signed: the one first cell that ends the page when
// it is no stock code.
bool IsPlainNumber(const char* text) {
    const char* digits = text + (*text == '+' || *text == '-' ? 1 : 0);
    return *digits != '\0' && std::strspn(digits, "0123456789") == std::strlen(digits);
}

// A four-character code with letters ("130A"), as the exchange gives new
// stocks: the daily, history and dictionary files hold numeric codes only.
bool IsLetterCode(const char* text) {
    if (std::strlen(text) != 4 || !IsDigit(text[0]))
        return false;
    bool letters = false;
    for (int i = 1; i < 4; ++i) {
        const bool letter =
            (text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z');
        if (!letter && !IsDigit(text[i]))
            return false;
        letters |= letter;
    }
    return letters;
}

// The first cell: a stock code, one of the three numbers that stand for a code
// of their own, a code this program cannot take, or text.
// Returns the result of ExtractTR for the row.
int32_t TakeCode(const char* cell, LDT* ldt) {
    char text[kCellTextSize];
    CopyField(text, cell);
    Trim(text);
    if (IsLetterCode(text))
        return CListPageData::kRowLetterCode;
    const int32_t value = atoiClamped(text);
    int32_t code;
    if (value >= 1000 && value <= 9999)
        code = value;
    else if (value == 23337)
        code = 1002;
    else if (value == 998405)
        code = 1001;
    else if (value == 998407)
        code = 1010;
    else if (value == 0)
        return CListPageData::kRowWithoutCode;
    else if (IsPlainNumber(text))
        return CListPageData::kRowEndsPage;
    else
        return CListPageData::kRowRefusedCode;
    // The code text goes into the quote requests as it is.
    if (CheckQuoteCode(text) != nullptr)
        return CListPageData::kRowRefusedCode;
    CopyField(ldt->codeText, text);
    ldt->code = code;
    ldt->market = 99;
    return CListPageData::kRowTaken;
}

// The second cell: the company name without "(株)", cut to the name width.
void TakeName(const char* text, LDT* ldt) {
    char name[kCellTextSize];
    euc2sjis(text, name);
    RemoveControlBytes(name);
    const size_t length = std::strlen(name);
    if (length >= kKabuLength && std::memcmp(name, kKabu, kKabuLength) == 0)
        std::memmove(name, name + kKabuLength, length - kKabuLength + 1);
    else if (length > kKabuLength &&
             std::memcmp(name + length - kKabuLength, kKabu, kKabuLength) == 0)
        name[length - kKabuLength] = '\0';
    if (std::strlen(name) > size_t(kNameWidth))
        CutWText(name, kNameWidth);
    CopyField(ldt->name, name);
}

// The profile page of code: its own file when pages are kept, else the shared one.
std::string ProfilePath(int32_t code, bool keepFiles) {
    char path[64];
    if (keepFiles)
        std::snprintf(path, sizeof path, "/webtemp/fundamental/%04d/%04d.html", code / 1000 * 1000,
                      code);
    else
        std::snprintf(path, sizeof path, "/webtemp/fundamental.html");
    return g_startupPath + path;
}

std::string ProfileURL(int32_t code) {
    char path[64];
    std::snprintf(path, sizeof path, "/biz/fundamental/%04d.html", code);
    return "http://" + ProfileHost() + path;
}

} // namespace

int LDT::Write(FILE* stream) const {
    char fetchCode[4] = "X";
    if (g_marketConv != nullptr)
        g_marketConv->DSCodeToFetchCode(market, fetchCode);
    return std::fprintf(stream, "%s,%04d,%s,%s\n", codeText, code, fetchCode, name);
}

CListPageData::CListPageData(int32_t page) : rows(new LDT[kRowCapacity]) {
    std::snprintf(webTemp, sizeof webTemp, "listtemp-%03d.html", page);
    url = "http://" + QuoteHost() + "/l?s=%2a&m=" + std::to_string(page * kRowCapacity + 1);
}

CListPageData::~CListPageData() {
    delete[] rows;
}

LDT* CListPageData::getLDT(int32_t i) {
    return i >= 0 && i < rowCapacity ? &rows[i] : nullptr;
}

const LDT* CListPageData::getLDT(int32_t i) const {
    return i >= 0 && i < rowCapacity ? &rows[i] : nullptr;
}

void CListPageData::getDate(int32_t* year, int32_t* month, int32_t* day) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    *year = local.tm_year + 1900;
    *month = local.tm_mon + 1;
    *day = local.tm_mday;
}

void CListPageData::Clear() {
    std::fill(rows, rows + rowCapacity, LDT());
    rowCount = 0;
    letterCodeCount = 0;
    refusedCodeCount = 0;
}

int32_t CListPageData::ExtractListData(const char* path, CListPageData* page) {
    const int32_t read = ReadPageFile(path);
    if (read < 0) {
        page->Clear();
        return -1;
    }
    return ExtractListPage(s_buff, read, page);
}

int32_t CListPageData::ExtractListPage(const char* text, int32_t length, CListPageData* page) {
    page->Clear();
    const int32_t examined = std::min(length, kExaminedBytes);
    int32_t result = 0;
    int32_t accepted = 0;
    int32_t position = 0;
    int32_t rowStart = 0;
    int32_t rowLength;
    while (accepted < page->rowCapacity &&
           (rowLength = NextTableRow(text, examined, &position, &rowStart)) > 0) {
        LDT* slot = &page->rows[accepted];
        *slot = LDT();
        const int32_t row = ExtractTR(text + rowStart, rowLength, slot);
        if (row == kRowTaken) {
            ++accepted;
        } else if (row == kRowLetterCode) {
            ++page->letterCodeCount;
        } else if (row == kRowRefusedCode) {
            ++page->refusedCodeCount;
        } else if (row == kRowEndsPage) {
            result = -1;
            break;
        }
    }
    // A skipped row may have left its name in the first free slot.
    if (accepted < page->rowCapacity)
        page->rows[accepted] = LDT();
    page->rowCount = accepted;
    return result;
}

int32_t CListPageData::ExtractTR(const char* row, int32_t length, LDT* ldt) {
    // Only the cells of the row itself are read, so the last row of a table is
    // taken like any other and a row without cells has no code.
    int32_t result = 1;
    CTableCells cells(row, length);
    int32_t cellStart;
    int32_t cellLength;
    char text[kCellTextSize];
    for (int32_t cell = 0; cell < 2 && cells.Next(&cellStart, &cellLength); ++cell) {
        ExtractTD(row + cellStart, cellLength, text);
        if (cell == 0) {
            result = TakeCode(text, ldt);
            if (result != kRowTaken && result != kRowWithoutCode)
                return result;
        } else {
            TakeName(text, ldt);
        }
    }
    return result;
}

int32_t CListPageData::ExtractTD(const char* cell, int32_t length, char* out) {
    return ExtractCellText(cell, length, out, kCellTextSize);
}

void CListPageData::AddMarketCode(bool keepFiles, bool onlyAdded, bool offline,
                                  const BlockingDownload& download) {
    // The shared file holds whichever code was downloaded last, so without
    // downloads only kept pages say something about a code.
    if (offline && !keepFiles)
        return;
    if (keepFiles)
        CTorlindUtil::CreateWorkDir();
    for (int32_t i = 0; i < rowCapacity; ++i) {
        LDT& ldt = rows[i];
        if (ldt.code == 0 || (onlyAdded && !ldt.added))
            continue;
        const std::string path = ProfilePath(ldt.code, keepFiles);
        if (!offline) {
            // A download that fails must not leave the previous code's page.
            if (!keepFiles)
                unlink(path.c_str());
            if (download && !download(ProfileURL(ldt.code), path))
                continue;
        }
        FUNDAMENTAL profile;
        // A page without a market name (an empty or cut-off download) says nothing.
        if (CTorlindUtil::ExtractFundamental(path.c_str(), &profile) == 0 &&
            profile.market[0] != '\0')
            ldt.market = CTorlindUtil::MarketCode(profile.market);
    }
}

int32_t CListPageData::CountAddedItems() const {
    return int32_t(std::count_if(rows, rows + rowCapacity,
                                 [](const LDT& ldt) { return ldt.code != 0 && ldt.added; }));
}

int32_t CListPageData::CountAddedWithoutMarket() const {
    return int32_t(std::count_if(rows, rows + rowCapacity, [](const LDT& ldt) {
        return ldt.code != 0 && ldt.added && ldt.market == 99;
    }));
}

void CListPageData::SaveAddedItems(FILE* stream, bool onlyAdded) const {
    for (int32_t i = 0; i < rowCapacity; ++i) {
        const LDT& ldt = rows[i];
        if (ldt.code != 0 && (!onlyAdded || ldt.added))
            ldt.Write(stream);
    }
}
