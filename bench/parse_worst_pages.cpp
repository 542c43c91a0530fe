// Times each page reader on a page of the simulated quote service and on the
// worst pages for its table walk, about as large as the reader takes: stray row
// ends before the page, a row of nothing but cell starts, stray cell ends, one
// row of 100 KB of cells (and for the profile reader a page of marker starts).
// Prints the time per KB examined and its ratio to the service's page; a reader
// whose time grew faster than its input would show a ratio far above 1. Exits 1
// when a ratio exceeds 3.
#include "FetchData.h"
#include "KDTPageData.h"
#include "ListPageData.h"
#include "MarketConv.h"
#include "PageBuffer.h"
#include "PageData.h"
#include "TorlindUtil.h"
#include "VezizoMain.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <time.h>

namespace {

constexpr double kMaxRatio = 3.0;

std::string ReadCorpusPage(const char* reader, const char* name) {
    const std::string path =
        std::string(VEZIZO_SOURCE_DIR "/tests/fuzz/corpus/") + reader + "/" + name;
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Repeat(const std::string& piece, size_t size) {
    std::string text;
    while (text.size() + piece.size() <= size)
        text += piece;
    return text;
}

// The processor time of one read, in seconds: the least over batches that take
// 0.4 s in all, the one that other work on the machine disturbed least.
double SecondsPerRead(const std::function<void()>& read) {
    const auto now = [] {
        timespec t;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    double best = 1e9;
    const double start = now();
    do {
        const double batch = now();
        int32_t n = 0;
        do {
            read();
            ++n;
        } while (now() - batch < 0.02);
        best = std::min(best, (now() - batch) / n);
    } while (now() - start < 0.4);
    return best;
}

struct Reader {
    const char* name;
    std::string normal;
    size_t examined; // the most bytes of a page the reader looks at
    size_t limit;    // the most bytes of a download it is given
    std::function<void(const std::string&)> read;
};

} // namespace

int main() {
    CMarketConv markets;
    markets.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv");
    g_marketConv = &markets;
    g_startupPath = "/nonexistent"; // the quote reader's log goes nowhere
    CFetchData list;
    if (list.LoadFetchData(VEZIZO_SOURCE_DIR "/tests/fuzz/data") != 0) {
        std::fprintf(stderr, "no fetch list in tests/fuzz/data\n");
        return 1;
    }
    const CPageData& slots = *list.getPage(0);
    const size_t page = size_t(kPageBufferSize - 1);

    const Reader readers[] = {
        {"quote", ReadCorpusPage("quote_page", "sim-quotes.html"), page, page,
         [&](const std::string& text) {
             CPageData data = slots;
             CPageData::ExtractPage(text.data(), int32_t(text.size()), &data);
         }},
        {"finance", ReadCorpusPage("finance_page", "sim-finance.html"),
         size_t(CTorlindUtil::kFinancePageSize - 1), size_t(CTorlindUtil::kFinancePageSize - 1),
         [&](const std::string& text) {
             CPageData data = slots;
             CTorlindUtil::ExtractFinancePage(text.data(), int32_t(text.size()), &data);
         }},
        {"history", ReadCorpusPage("history_page", "sim-7203-first.html"), page, page,
         [](const std::string& text) {
             static CKDTPageData data("7203", 7203, 0);
             CKDTPageData::ExtractKDTPage(text.data(), int32_t(text.size()), &data);
         }},
        {"listing", ReadCorpusPage("listing_page", "sim-first.html"),
         size_t(CListPageData::kExaminedBytes), page,
         [](const std::string& text) {
             static CListPageData data(0);
             CListPageData::ExtractListPage(text.data(), int32_t(text.size()), &data);
         }},
        {"profile", ReadCorpusPage("profile_page", "sim-6758.html"),
         size_t(CTorlindUtil::kMaxProfilePage), size_t(CTorlindUtil::kMaxProfilePage),
         [](const std::string& text) {
             FUNDAMENTAL record;
             CTorlindUtil::ExtractFundamentalPage(text.c_str(), &record);
         }},
    };

    bool linear = true;
    std::printf("%-8s %-22s %9s %10s %7s\n", "reader", "page", "KB", "us per KB", "ratio");
    for (const Reader& reader : readers) {
        if (reader.normal.empty()) {
            std::fprintf(stderr, "no page of the service for the %s reader\n", reader.name);
            return 1;
        }
        const size_t size = reader.limit - reader.normal.size();
        const std::string marker =
            "\xA1\xDA\xB6\xC8\xBC\xEF\xCA\xAC\xCE\xE0"; // 【業種分類 in EUC-JP
        const std::pair<const char*, std::string> pages[] = {
            {"service page", reader.normal},
            {"stray row ends", Repeat("</tr>", size) + reader.normal},
            {"cell starts in a row", "<tr>" + Repeat("<td", size - 9) + "</tr>" + reader.normal},
            {"stray cell ends", "<tr>" + Repeat("</td>", size - 9) + "</tr>" + reader.normal},
            {"one row of 100 KB", "<tr>" +
                                      Repeat("<td>1,234</td>", std::min(size, size_t(102400)) - 9) +
                                      "</tr>" + reader.normal},
            {"marker starts", Repeat(marker, size) + reader.normal},
        };
        double normal = 0;
        for (const auto& [name, text] : pages) {
            const double kb = double(std::min(text.size(), reader.examined)) / 1024;
            const double perKB = SecondsPerRead([&] { reader.read(text); }) * 1e6 / kb;
            if (normal == 0)
                normal = perKB;
            const double ratio = perKB / normal;
            linear = linear && ratio <= kMaxRatio;
            std::printf("%-8s %-22s %9.1f %10.3f %7.2f\n", reader.name, name, kb, perKB, ratio);
        }
    }
    g_marketConv = nullptr;
    if (!linear)
        std::printf("a page costs more than %.0f times a service page per KB\n", kMaxRatio);
    return linear ? 0 : 1;
}
