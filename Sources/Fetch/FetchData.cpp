#include "FetchData.h"

#include "EarlierDayFile.h"
#include "QuoteCode.h"
#include "TextFile.h"
#include "futil.h"
#include "misclib.h"

#include <cstring>
#include <dirent.h>
#include <fnmatch.h>

namespace {

constexpr int32_t kPageSize = CPageData::kSlots;

// The Japanese texts of layout 2, in Shift-JIS.
// "\"%4d年\"\t\"%02d月\"\t\"%02d日\"\n"
constexpr char kTabDateLine[] = "\"%4d\x94N\"\t\"%02d\x8c\x8e\"\t\"%02d\x93\xfa\"\n";
// "\"銘柄数\"\t%d\n"
constexpr char kTabCountLine[] = "\"\x96\xc1\x95\xbf\x90\x94\"\t%d\n";
// "\"エラー数\"\t%d\n"
constexpr char kTabErrorLine[] = "\"\x83G\x83\x89\x81[\x90\x94\"\t%d\n";
// "\"銘柄コード\"\t\"市場\"\t\"銘柄名\"\t\"始値\"\t\"高値\"\t\"安値\"\t\"終値\"\t\"出来高\"\n"
constexpr char kTabHeading[] =
    "\x22\x96\xc1\x95\xbf\x83\x52\x81\x5b\x83\x68\x22\x09\x22\x8e\x73\x8f\xea\x22\x09\x22\x96"
    "\xc1\x95\xbf\x96\xbc\x22\x09\x22\x8e\x6e\x92\x6c\x22\x09\x22\x8d\x82\x92\x6c\x22\x09\x22"
    "\x88\xc0\x92\x6c\x22\x09\x22\x8f\x49\x92\x6c\x22\x09\x22\x8f\x6f\x97\x88\x8d\x82\x22\x0a";
static_assert(sizeof kTabHeading - 1 == 66, "the column heading is 66 bytes");

// One line of fetchlist.csv: quote code, code, market fetch code, name.
struct FetchLine {
    char quoteCode[kMaxQuoteCode + 1] = {};
    int32_t code = 0;
    char fetchCode[CPageData::kMaxFetchCode + 1] = {};
    char name[CFetchData::kLineBufferSize] = {};
    // The text before the first comma when it is no quote code, and why.
    std::string refusedCode;
    const char* refusal = nullptr;
};

// Copies the bytes [begin, end), at most max of them, and terminates.
void CopyField(char* destination, const char* begin, const char* end, size_t max) {
    size_t length = size_t(end - begin);
    if (length > max)
        length = max;
    std::memcpy(destination, begin, length);
    destination[length] = '\0';
}

// A line without a comma gives its slot no quote code; fields beyond the
// commas the line has stay empty. A quote code that may not go into a
// request is refused: the slot keeps the other fields and asks for nothing.
FetchLine ParseFetchLine(const char* line) {
    FetchLine fields;
    const char* lineEnd = line + std::strlen(line);
    if (lineEnd > line && lineEnd[-1] == '\n')
        --lineEnd;
    const char* comma1 = std::strchr(line, ',');
    if (comma1 == nullptr)
        return fields;
    const std::string quoteCode(line, comma1);
    fields.refusal = CheckQuoteCode(quoteCode.c_str());
    if (fields.refusal == nullptr)
        CopyField(fields.quoteCode, line, comma1, kMaxQuoteCode);
    else
        fields.refusedCode = quoteCode;
    fields.code = atoiClamped(comma1 + 1);

    const char* comma2 = std::strchr(comma1 + 1, ',');
    if (comma2 == nullptr)
        return fields;
    const char* comma3 = std::strchr(comma2 + 1, ',');
    CopyField(fields.fetchCode, comma2 + 1, comma3 != nullptr ? comma3 : lineEnd,
              CPageData::kMaxFetchCode);
    if (comma3 == nullptr)
        return fields;
    CopyField(fields.name, comma3 + 1, lineEnd, sizeof fields.name - 1);
    if (std::strlen(fields.name) > size_t(CFetchData::kNameWidth))
        CutWText(fields.name, CFetchData::kNameWidth);
    return fields;
}

// The greatest name in folder that matches pattern: with the date written
// with fixed widths, the newest file.
std::string LatestFile(const std::string& folder, const char* pattern) {
    std::string latest;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return latest;
    while (const dirent* entry = readdir(directory)) {
        if (fnmatch(pattern, entry->d_name, 0) == 0 && latest < entry->d_name)
            latest = entry->d_name;
    }
    closedir(directory);
    return latest;
}

} // namespace

int32_t CFetchData::LoadFetchData(const std::string& folder) {
    m_pages.clear();
    m_refusedLines.clear();
    const std::string path = folder + "/fetchlist.csv";
    CTextFile file;
    if (file.Open(path.c_str(), CTextFile::kReadText, nullptr) == 0)
        return -1;
    char line[kLineBufferSize];
    int32_t nLines = 0;
    while (file.ReadLine(line, kLineBufferSize) != nullptr)
        ++nLines;
    if (nLines == 0) {
        file.Close();
        return -1;
    }
    file.SeekToBegin();
    const int32_t nPages = (nLines + kPageSize - 1) / kPageSize;
    m_pages.reserve(size_t(nPages));
    bool linesLeft = true;
    for (int32_t p = 0; p < nPages && linesLeft; ++p) {
        auto page = std::make_unique<CPageData>(p);
        for (int32_t slot = 0; slot < kPageSize; ++slot) {
            if (file.ReadLine(line, kLineBufferSize) == nullptr) {
                linesLeft = false;
                break;
            }
            const FetchLine fields = ParseFetchLine(line);
            page->setCode(slot, fields.quoteCode, fields.code, fields.fetchCode, fields.name);
            if (fields.refusal != nullptr)
                m_refusedLines.push_back(
                    {p * kPageSize + slot + 1, p, slot, fields.refusedCode, fields.refusal});
        }
        page->MakeFetchURL();
        m_pages.push_back(std::move(page));
    }
    file.Close();
    return 0;
}

int32_t CFetchData::nExtracted() const {
    int32_t n = 0;
    for (const auto& page : m_pages)
        n += page->nExtracted();
    return n;
}

CPageData* CFetchData::getPage(int32_t page) const {
    if (page < 0 || page >= nPages())
        return nullptr;
    return m_pages[size_t(page)].get();
}

const char* CFetchData::getURL(int32_t page) const {
    const CPageData* data = getPage(page);
    return data != nullptr ? data->getURL() : "";
}

const char* CFetchData::getFinanceURL(int32_t page) const {
    const CPageData* data = getPage(page);
    return data != nullptr ? data->getFinanceURL() : "";
}

const char* CFetchData::getWebTemp(int32_t page) const {
    const CPageData* data = getPage(page);
    return data != nullptr ? data->getWebTemp() : "";
}

const CTesselRec* CFetchData::FindRecord(int32_t code) const {
    const CTesselRec* found = nullptr;
    for (const auto& page : m_pages) {
        for (int32_t slot = 0; slot < page->nCodes(); ++slot) {
            if (page->getTesselRec(slot)->code == code) {
                found = page->getTesselRec(slot);
                break;
            }
        }
    }
    return found;
}

int32_t CFetchData::FindMarket(int32_t code) const {
    const CTesselRec* record = FindRecord(code);
    return record != nullptr ? record->market + 1 : kNoMarket;
}

std::string CFetchData::DailyFileName(int32_t fileFormat, int32_t year, int32_t month,
                                      int32_t day) {
    char name[64];
    if (fileFormat == kDSLayoutFixed)
        std::snprintf(name, sizeof name, "DS%04d%02d.%02d", year, month, day);
    else
        std::snprintf(name, sizeof name, "DS%02d%02d%02d.DAT", year - 2000, month, day);
    return name;
}

std::string CFetchData::FinanceFileName(int32_t year, int32_t month, int32_t day) {
    char name[64];
    std::snprintf(name, sizeof name, "FN%02d%02d%02d.DAT", year - 2000, month, day);
    return name;
}

void CFetchData::getDate(int32_t& year, int32_t& month, int32_t& day, std::time_t now) const {
    for (const auto& page : m_pages) {
        if (page->hasDate()) {
            page->getDate(year, month, day, now);
            return;
        }
    }
    m_pages.front()->getDate(year, month, day, now); // no page showed one: today's
}

std::string CFetchData::dailyFileName(int32_t fileFormat) const {
    int32_t year, month, day;
    getDate(year, month, day);
    return DailyFileName(fileFormat, year, month, day);
}

std::string CFetchData::financeFileName() const {
    int32_t year, month, day;
    getDate(year, month, day);
    return FinanceFileName(year, month, day);
}

std::string CFetchData::LatestDailyFile(const std::string& folder, int32_t fileFormat) {
    return LatestFile(folder, fileFormat == kDSLayoutFixed
                                  ? "DS[0-9][0-9][0-9][0-9][0-9][0-9].[0-9][0-9]"
                                  : "DS[0-9][0-9][0-9][0-9][0-9][0-9].DAT");
}

std::string CFetchData::LatestFinanceFile(const std::string& folder) {
    return LatestFile(folder, "FN[0-9][0-9][0-9][0-9][0-9][0-9].DAT");
}

bool CFetchData::WriteDayFile(const std::string& folder, const std::string& name,
                              int32_t nHeaderLines, const char* lineEnd, bool quoted, int32_t count,
                              const std::function<void(FILE*, int32_t)>& header,
                              const std::function<bool(const CTesselRec&)>& hasLine,
                              const std::function<void(FILE*, const CTesselRec&)>& writeLine,
                              uint32_t creator, int32_t* nKept) const {
    const std::string path = folder + "/" + name;
    CEarlierDayFile earlier(path, nHeaderLines, lineEnd, quoted);
    for (const auto& page : m_pages)
        for (int32_t slot = 0; slot < page->nCodes(); ++slot)
            if (hasLine(*page->getTesselRec(slot)))
                earlier.Drop(page->getTesselRec(slot)->code);
    const int32_t kept = earlier.nLines();

    StReplaceFile output(path, "w");
    FILE* file = output.stream();
    if (file == nullptr)
        return false;
    header(file, count + kept);
    for (const auto& page : m_pages) {
        for (int32_t slot = 0; slot < page->nCodes(); ++slot) {
            const CTesselRec& record = *page->getTesselRec(slot);
            if (hasLine(record))
                writeLine(file, record);
            else
                earlier.WriteLines(file, record.code);
        }
    }
    earlier.WriteRest(file);
    if (!output.commit())
        return false;
    SetCreatorAndType(name.c_str(), folder, creator, FourCharCode("TEXT"));
    if (nKept != nullptr)
        *nKept = kept;
    return true;
}

bool CFetchData::Save(const std::string& folder, int32_t fileFormat, uint32_t creator,
                      int32_t* nKept) const {
    if (m_pages.empty())
        return false;
    int32_t year, month, day;
    getDate(year, month, day);
    if (year <= 2000 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;

    const int32_t count = nExtracted();
    auto header = [fileFormat, year, month, day](FILE* file, int32_t n) {
        if (fileFormat == kDSLayoutFixed) {
            std::fprintf(file, "%04d%02d%02d\n\r", year, month, day);
            std::fprintf(file, "%d,0\n\r", n);
        } else if (fileFormat == kDSLayoutTab) {
            std::fprintf(file, kTabDateLine, year, month, day);
            std::fprintf(file, kTabCountLine, n);
            std::fprintf(file, kTabErrorLine, 0);
            std::fputs(kTabHeading, file);
        } else {
            std::fprintf(file, "%02d%02d%02d\n", year - 2000, month, day);
            std::fprintf(file, "%d,0\n", n);
        }
    };
    return WriteDayFile(
        folder, DailyFileName(fileFormat, year, month, day), fileFormat == kDSLayoutTab ? 4 : 2,
        fileFormat == kDSLayoutFixed ? "\n\r" : "\n", fileFormat == kDSLayoutTab, count, header,
        [](const CTesselRec& record) { return record.HasQuote(); },
        [fileFormat](FILE* file, const CTesselRec& record) { record.Write(file, fileFormat); },
        creator, nKept);
}

bool CFetchData::SaveFinanceData(int32_t count, const std::string& folder, uint32_t creator,
                                 int32_t* nKept) const {
    if (m_pages.empty())
        return false;
    int32_t year, month, day;
    getDate(year, month, day);
    auto header = [year, month, day](FILE* file, int32_t n) {
        std::fprintf(file, "%02d%02d%02d\n", year - 2000, month, day);
        std::fprintf(file, "%d\n", n);
    };
    return WriteDayFile(
        folder, FinanceFileName(year, month, day), 2, "\n", false, count, header,
        [](const CTesselRec& record) { return record.HasFinance(); },
        [](FILE* file, const CTesselRec& record) { record.WriteFinanceData(file); }, creator,
        nKept);
}
