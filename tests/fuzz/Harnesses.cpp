// A fuzzing harness for every reader of the program's input (harnesses.txt):
// each runs its reader on any bytes and stops the run when the reader breaks
// one of its promises. Built as one libFuzzer program per harness
// (VEZIZO_FUZZ_HARNESS names it) and as `fuzz_replay NAME FOLDER`, the harness run
// once over every file of its committed corpus: the regression run that keeps
// every input once found failing.
#include "FetchData.h"
#include "KDTFile.h"
#include "ListPageData.h"
#include "MarketConv.h"
#include "PageBuffer.h"
#include "Preferences.h"
#include "QuoteServers.h"
#include "TextFile.h"
#include "TorlindUtil.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

// A broken promise stops the run: the fuzzer and the replay both count the
// abort as a finding.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void(0)                                                                         \
                 : (std::fprintf(stderr, "Harnesses.cpp:%d: broken: %s\n", __LINE__, #condition),  \
                    std::abort()))

namespace {

std::string s_folder;     // the scratch application folder
FILE* s_sink;             // /dev/null, for the writers
const CPageData* s_slots; // a quote page's slots as the fetch list sets them up

// What start-up sets before any reader runs: a scratch application folder (its
// ERRORLOG.TXT leads to /dev/null, so that the quote reader's log does not
// grow) that is also the preferences folder, the shipped market table and the
// default quote servers; and the 50 stocks of tests/fuzz/data/fetchlist.csv.
void SetUpProgramState() {
    // A harness writes its file thousands of times a second: memory, where there is some.
    s_folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    FUZZ_CHECK(mkdtemp(s_folder.append("/vezizo-fuzz-XXXXXX").data()) != nullptr);
    FUZZ_CHECK(symlink("/dev/null", (s_folder + "/ERRORLOG.TXT").c_str()) == 0);
    g_startupPath = g_webtempPath = s_folder;
    setenv("XDG_CONFIG_HOME", s_folder.c_str(), 1);
    static CMarketConv s_markets;
    FUZZ_CHECK(s_markets.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv") == 1);
    g_marketConv = &s_markets;
    LoadQuoteServers(s_folder);
    static CFetchData s_list;
    FUZZ_CHECK(s_list.LoadFetchData(VEZIZO_SOURCE_DIR "/tests/fuzz/data") == 0);
    s_slots = s_list.getPage(0);
    s_sink = std::fopen("/dev/null", "w");
    // The folder goes with the process (the fuzzer ends by exit()).
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(s_folder, ignored);
    });
}

std::string WriteScratchFile(const char* name, const std::string& bytes) {
    const std::string path = s_folder + "/" + name;
    FUZZ_CHECK((std::ofstream(path, std::ios::binary) << bytes).good());
    return path;
}

// What a page reader sees of a download: the bytes before the first zero
// byte, at most limit of them, in a buffer of exactly that many bytes so that
// a read past the text is caught.
std::vector<char> PageText(const std::string& input, size_t limit) {
    return std::vector<char>(input.c_str(), input.c_str() + strnlen(input.c_str(), limit));
}

bool In(int64_t value, int64_t low, int64_t high) {
    return value >= low && value <= high;
}

// A field or buffer (array or vector) holds its text's terminating zero byte.
template <class Field> bool IsTerminated(const Field& field) {
    return std::memchr(std::data(field), '\0', std::size(field)) != nullptr;
}

// A page reader fills in values; the stock's identity stays the fetch list's.
void CheckIdentityKept(const CTesselRec& record, const CTesselRec& before) {
    FUZZ_CHECK(record.code == before.code && record.market == before.market);
    FUZZ_CHECK(std::strcmp(record.quoteCode, before.quoteCode) == 0);
    FUZZ_CHECK(std::memcmp(record.name, before.name, sizeof record.name) == 0);
}

// The quote page reader; then the page's lines of the daily file, written one
// of the six ways, picked by the input's size.
void QuotePage(const std::string& input) {
    static CPreferences s_preferences;
    const std::vector<char> text = PageText(input, kPageBufferSize - 1);
    CPageData page = *s_slots;
    CPageData::ExtractPage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK(In(page.nExtracted(), 0, page.nCodes()));
    s_preferences.decimalPrices = uint8_t(input.size() / 3 % 2);
    g_Preferences = &s_preferences;
    for (int32_t slot = 0; slot < page.nCodes(); ++slot) {
        const CTesselRec& record = *page.getTesselRec(slot);
        CheckIdentityKept(record, *s_slots->getTesselRec(slot));
        FUZZ_CHECK(In(record.month, 0, 12) && In(record.day, 0, 31)); // 0: not on the page
        for (double value : {record.open, record.high, record.low, record.close, record.volume})
            FUZZ_CHECK(std::isfinite(value));
        page.getTesselRec(slot)->Write(s_sink, int32_t(input.size() % 3));
    }
}

// The finance page reader; only the five values come from the page.
void FinancePage(const std::string& input) {
    const std::vector<char> text = PageText(input, CTorlindUtil::kFinancePageSize - 1);
    CPageData page = *s_slots;
    const auto count = CTorlindUtil::ExtractFinancePage(text.data(), int32_t(text.size()), &page);
    FUZZ_CHECK(In(count, 0, page.nCodes()));
    for (int32_t slot = 0; slot < page.nCodes(); ++slot) {
        const CTesselRec &record = *page.getTesselRec(slot), &before = *s_slots->getTesselRec(slot);
        CheckIdentityKept(record, before);
        FUZZ_CHECK(record.close == before.close && record.valid == before.valid);
        page.getTesselRec(slot)->WriteFinanceData(s_sink);
    }
}

// The history page reader; then the page's rows merged into a history, which
// keeps one record a date, oldest first, whatever order and repeats a page has.
void HistoryPage(const std::string& input) {
    const std::vector<char> text = PageText(input, kPageBufferSize - 1);
    CKDTPageData page("7203", 7203, 0);
    const int32_t result = CKDTPageData::ExtractKDTPage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK(result == (page.nRows() > 0 ? 0 : -1));
    FUZZ_CHECK(In(page.nRows(), 0, CKDTPageData::kRowCapacity));
    std::vector<KDT> rows, days;
    for (int32_t slot = 0; slot < page.nRows(); ++slot) {
        const KDT& row = rows.emplace_back(page.getRow(slot));
        FUZZ_CHECK(KDT::IsRecordYear(row.year) && In(row.month, 1, 12) && In(row.day, 1, 31));
    }
    MergeKDTRows(days, rows);
    FUZZ_CHECK(days.size() <= rows.size() && days.empty() == rows.empty());
    for (size_t i = 1; i < days.size(); ++i)
        FUZZ_CHECK(KDTDateKey(days[i - 1]) < KDTDateKey(days[i]));
}

// A fetch-list field: no line end, no other control byte.
bool IsFieldText(const char* text) {
    return std::none_of(text, text + std::strlen(text),
                        [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

// The listing page reader; then the page's lines of the fetch list.
void ListingPage(const std::string& input) {
    const std::vector<char> text = PageText(input, kPageBufferSize - 1);
    CListPageData page(0);
    const int32_t result = CListPageData::ExtractListPage(text.data(), int32_t(text.size()), &page);

    FUZZ_CHECK((result == 0 || result == -1) && In(page.nRows(), 0, page.nCodes()));
    for (int32_t i = 0; i < page.nCodes(); ++i) {
        const LDT* row = page.getLDT(i);
        FUZZ_CHECK(i < page.nRows() || row->code == 0); // nothing beyond the rows read
        if (i >= page.nRows())
            continue;
        FUZZ_CHECK(In(row->code, 1000, 9999) && IsTerminated(row->codeText) && row->codeText[0]);
        FUZZ_CHECK(IsFieldText(row->codeText) && std::strchr(row->codeText, ',') == nullptr);
        FUZZ_CHECK(IsTerminated(row->name) && std::strlen(row->name) <= 31 &&
                   IsFieldText(row->name));
    }
    page.SaveAddedItems(s_sink, false);
}

// The profile page reader, on at most the size it reads; then the look-ups of
// the market and the industry category the dictionary makes.
void ProfilePage(const std::string& input) {
    // In a buffer of exactly its size, so that a read past it is caught.
    const std::string text = input.substr(0, size_t(CTorlindUtil::kMaxProfilePage));
    std::vector<char> page(text.c_str(), text.c_str() + text.size() + 1);
    FUNDAMENTAL record;
    std::memset(&record, 0x55, sizeof record); // the reader clears what it was given
    FUZZ_CHECK(CTorlindUtil::ExtractFundamentalPage(page.data(), &record) == 0);

    const auto ends = [](const auto& field) { return std::memchr(field, 0, sizeof field - 1); };
    FUZZ_CHECK(ends(record.category) && ends(record.market) && ends(record.feature) &&
               ends(record.business));
    FUZZ_CHECK(In(CTorlindUtil::CategoryCode(record.category), 0, 33));
    CTorlindUtil::MarketCode(record.market);
}

// The fetch-list reader with the shipped market table; then the pages' URLs
// and the market look-up of the listing job. Every page but the last is full.
void FetchList(const std::string& input) {
    WriteScratchFile("fetchlist.csv", input);
    CFetchData list;
    FUZZ_CHECK(list.LoadFetchData(s_folder) == (list.nPages() > 0 ? 0 : -1));
    for (int32_t p = 0; p < list.nPages(); ++p) {
        const CPageData* page = list.getPage(p);
        FUZZ_CHECK(page->nCodes() <= CPageData::kSlots);
        FUZZ_CHECK(p == list.nPages() - 1 || page->nCodes() == CPageData::kSlots);
        for (int32_t slot = 0; slot < page->nCodes(); ++slot) {
            const CTesselRec* record = page->getTesselRec(slot);
            FUZZ_CHECK(std::strlen(record->quoteCode) <= size_t(kMaxQuoteCode));
            FUZZ_CHECK(std::strlen(record->name) <= size_t(CFetchData::kNameWidth) + 1);
            FUZZ_CHECK(In(record->market, 0, g_marketConv->nEntries()));
            FUZZ_CHECK(In(list.FindMarket(record->code), 1, g_marketConv->nEntries() + 1));
        }
        FUZZ_CHECK(std::strncmp(list.getURL(p), "http://", 7) == 0);
        FUZZ_CHECK(std::strncmp(list.getFinanceURL(p), "http://", 7) == 0);
    }
}

// The market table reader; then every look-up of each row. The first row with
// a fetch code, a name or a DS code answers for it.
void MarketCsv(const std::string& input) {
    const std::string path = WriteScratchFile("market.csv", input);
    CMarketConv markets;
    FUZZ_CHECK(markets.LoadMarketCsv(path.c_str()) == (markets.nEntries() > 0 ? 1 : 0));
    for (int32_t code = -1; code <= markets.nEntries(); ++code) {
        char fetchCode[4], name[32], byDSCode[4];
        markets.LocalCodeToFetchCode(code, fetchCode);
        markets.LocalCodeToMarketName(code, name);
        FUZZ_CHECK(IsTerminated(fetchCode) && IsTerminated(name));
        if (code < 0 || code == markets.nEntries())
            continue;
        FUZZ_CHECK(markets.FetchCodeToLocalCode(fetchCode) <= code);
        if (std::strchr(name, ',') == nullptr && name[0] != '\0')
            FUZZ_CHECK(markets.MarketNameToLocalCode(name + 1) <= code);
        markets.DSCodeToFetchCode(markets.LocalCodeToDSCode(code), byDSCode);
        FUZZ_CHECK(IsTerminated(byDSCode));
    }
}

// The servers.conf reader: refused lines in order, and every host it keeps
// one that a request URL can carry.
void ServersConf(const std::string& input) {
    WriteScratchFile("servers.conf", input);
    const std::vector<int32_t> refused = LoadQuoteServers(s_folder);
    for (size_t i = 0; i < refused.size(); ++i)
        FUZZ_CHECK(refused[i] >= 1 && (i == 0 || refused[i] > refused[i - 1]));
    // An authority of a URL: letters, digits, '.', '-', ':' and IPv6 brackets only.
    const auto* kAuthority = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-:[]";
    for (const std::string* host : {&QuoteHost(), &HistoryHost(), &ProfileHost()})
        FUZZ_CHECK(!host->empty() && host->size() <= 261 &&
                   host->find_first_not_of(kAuthority) == std::string::npos);
}

// The preferences reader; a file of another version leaves the defaults. Then
// a save and a load that must give back the same record.
void Preferences(const std::string& input) {
    WriteScratchFile(CPreferences::kFileName, input);
    CPreferences preferences, reloaded;
    preferences.Load();
    FUZZ_CHECK(preferences.version == CPreferences::kVersion && preferences.GetCreator() != 0);
    FUZZ_CHECK(IsTerminated(preferences.proxyHost) && IsTerminated(preferences.defaultFolder));

    unsigned char saved[CPreferences::kFileSize], loaded[CPreferences::kFileSize];
    preferences.ToBytes(saved);
    preferences.Save();
    reloaded.Load();
    reloaded.ToBytes(loaded);
    FUZZ_CHECK(std::memcmp(saved, loaded, sizeof saved) == 0);
}

// The text-file line reader in each line-end mode: the first input byte picks
// the line end the file begins with (none, CR, LF, LF CR, CR LF), the second
// the size of the line buffer. Both reading passes of the fetch list and the
// market table must see the same lines, each a terminated text.
void TextFile(const std::string& input) {
    static const char* const kFirstLines[] = {"", "a,1\r", "a,1\n", "a,1\n\r", "a,1\r\n"};
    if (input.size() < 2)
        return;
    std::vector<char> buffer(2 + uint8_t(input[1]) % 160);
    const std::string bytes = kFirstLines[uint8_t(input[0]) % 5] + input.substr(2);
    const std::string path = WriteScratchFile("text.txt", bytes);
    CTextFile file;
    FUZZ_CHECK(file.Open(path.c_str(), CTextFile::kReadText, nullptr) == 1);
    const auto countLines = [&](bool whole) {
        const int32_t length = int32_t(buffer.size());
        int32_t lines = 0;
        file.SeekToBegin();
        for (const char* line; (line = whole ? file.ReadLine(buffer.data(), length)
                                             : file.ReadString(buffer.data(), length));
             ++lines)
            FUZZ_CHECK(line == buffer.data() && IsTerminated(buffer));
        return lines;
    };
    const int32_t lines = countLines(true);
    FUZZ_CHECK(size_t(lines) <= bytes.size() + 1 && countLines(true) == lines);
    const int32_t pieces = countLines(false);
    FUZZ_CHECK(pieces >= lines && size_t(pieces) <= bytes.size() + 1);
    file.Close();
}

// The EUC-JP to Shift-JIS conversion, into a buffer of exactly the size it
// asks for, gives Shift-JIS never longer than the source: ASCII, half-width
// katakana, or a lead byte with its trail byte. Then the cleaning of figures
// the cell readers apply.
void Euc2Sjis(const std::string& input) {
    const std::string source = input.c_str(); // up to the first zero byte
    std::vector<char> converted(source.size() + 1);
    euc2sjis(source.c_str(), converted.data());
    const size_t length = strnlen(converted.data(), converted.size());
    FUZZ_CHECK(length < converted.size()); // terminated, never longer than the source
    const auto* out = reinterpret_cast<const unsigned char*>(converted.data());
    for (size_t i = 0; i < length; ++i) {
        if (out[i] < 0x80 || In(out[i], 0xA1, 0xDF))
            continue;
        FUZZ_CHECK((In(out[i], 0x81, 0x9F) || In(out[i], 0xE0, 0xEF)) && i + 1 < length);
        ++i;
        FUZZ_CHECK(In(out[i], 0x40, 0xFC) && out[i] != 0x7F);
    }
    RemoveKanji(converted.data());
    RemoveComma(converted.data());
    for (const char* p = converted.data(); length < 256 && *p != '\0'; ++p)
        FUZZ_CHECK((*p >= '0' && *p <= '9') || *p == '.' || *p == '-');
    atoiClamped(converted.data());
}

// The cut at a character boundary: the first input byte is the width (1..64),
// the rest the text. The result is a prefix that ends after the character
// reaching the width and never inside a double-byte character.
void CutWtext(const std::string& input) {
    if (input.empty())
        return;
    const int32_t width = 1 + uint8_t(input[0]) % 64;
    const std::string original = input.c_str() + 1; // up to the first zero byte
    std::vector<char> text(original.c_str(), original.c_str() + original.size() + 1);
    const int32_t length = CutWText(text.data(), width);

    FUZZ_CHECK(length >= 0 && size_t(length) == std::strlen(text.data()));
    FUZZ_CHECK(length <= width + 1 && original.compare(0, size_t(length), text.data()) == 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (int32_t i = 0; i < length; ++i) {
        const unsigned char trail = i + 1 < length ? bytes[i + 1] : 0;
        if ((In(bytes[i], 0x81, 0x9F) || In(bytes[i], 0xE0, 0xFC)) &&
            (In(trail, 0x40, 0x7E) || In(trail, 0x80, 0xFC)))
            ++i;
        else
            FUZZ_CHECK(In(bytes[i], 0x20, 0x7F));
    }
}

const std::map<std::string, void (*)(const std::string&)> kHarnesses = {
    {"quote_page", QuotePage},     {"finance_page", FinancePage}, {"history_page", HistoryPage},
    {"listing_page", ListingPage}, {"profile_page", ProfilePage}, {"fetch_list", FetchList},
    {"market_csv", MarketCsv},     {"servers_conf", ServersConf}, {"preferences", Preferences},
    {"text_file", TextFile},       {"euc2sjis", Euc2Sjis},        {"cut_wtext", CutWtext},
};

} // namespace

#ifdef VEZIZO_FUZZ_HARNESS
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto s_harness = (SetUpProgramState(), kHarnesses.at(VEZIZO_FUZZ_HARNESS));
    s_harness(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
#else
// Exits 1 when the folder held no input, 2 on a harness it does not know.
int main(int argc, char** argv) {
    const auto harness = argc == 3 ? kHarnesses.find(argv[1]) : kHarnesses.end();
    if (harness == kHarnesses.end()) {
        std::fprintf(stderr, "usage: fuzz_replay NAME FOLDER\n");
        return 2;
    }
    SetUpProgramState();
    int nInputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(argv[2])) {
        std::ifstream file(entry.path(), std::ios::binary);
        harness->second(std::string(std::istreambuf_iterator<char>(file), {}));
        ++nInputs;
    }
    std::printf("%d inputs replayed\n", nInputs);
    return nInputs == 0 ? 1 : 0;
}
#endif
