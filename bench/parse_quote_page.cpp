// Parses a realistic quote page of 50 stocks (about 100 KB of EUC-JP HTML,
// menus and tables around the quote rows) again and again, and prints how
// many pages and megabytes per second the quote page parser takes.
#include "MarketConv.h"
#include "PageBuffer.h"
#include "PageData.h"
#include "VezizoMain.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

// EUC-JP: 株式会社 and the kana of a name.
const std::string kEucCompany = "\xb3\xf4\xbc\xb0\xb2\xf1\xbc\xd2";
const std::string kEucKana[] = {"\xa5\xa2", "\xa5\xa4", "\xa5\xa6", "\xa5\xa8", "\xa5\xaa",
                                "\xa5\xab", "\xa5\xad", "\xa5\xaf", "\xa5\xb1", "\xa5\xb3"};

std::string Figure(int32_t value) {
    std::string digits = std::to_string(value);
    for (int32_t i = int32_t(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(size_t(i), ",");
    return digits;
}

// Navigation: many small rows the parser skips before the quote table.
std::string Menus(int32_t rows) {
    std::string html;
    for (int32_t i = 0; i < rows; ++i)
        html += "<tr><td class=nav><a href=\"/news/" + std::to_string(i) +
                ".html\">\xa5\xcb\xa5\xe5\xa1\xbc\xa5\xb9 " + std::to_string(i) +
                "</a></td><td><small>" + kEucCompany + "</small></td></tr>\n";
    return html;
}

std::string QuotePage(int32_t menuRows) {
    std::string html =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
        "charset=EUC-JP\"><title>quotes</title></head><body>\n<table width=\"100%\">" +
        Menus(menuRows) + "</table>\n<table border=0 cellpadding=2>\n";
    for (int32_t i = 0; i < CPageData::kSlots; ++i) {
        const int32_t code = 1301 + i * 97;
        const int32_t price = 300 + i * 137;
        std::string name = kEucKana[i % 10] + kEucKana[(i / 10) % 10] + kEucCompany;
        html += "<tr align=right bgcolor=#ffffff><td nowrap align=left><small><a href=\"/q?s=" +
                std::to_string(code) + "&d=t\">" + std::to_string(code) +
                "</a></small></td><td nowrap align=left><small>" + name +
                "</small></td><td nowrap>12/25</td><td nowrap><b>" + Figure(price) +
                "</b></td><td nowrap><font color=#ff0020>+12</font></td><td nowrap>+1.20%</td>"
                "<td nowrap>" +
                Figure(price * 311) + "</td><td nowrap>" + Figure(price - 5) + "</td><td nowrap>" +
                Figure(price + 20) + "</td><td nowrap>" + Figure(price - 9) +
                "</td><td><small><a href=\"/b?s=" + std::to_string(code) +
                "\">\xa5\xc1\xa5\xe3\xa1\xbc\xa5\xc8</a></small></td></tr>\n";
    }
    return html + "</table>\n<table>" + Menus(menuRows / 2) + "</table></body></html>\n";
}

} // namespace

int main() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vezizo-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    g_startupPath = folder.string();
    CMarketConv markets;
    markets.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv");
    g_marketConv = &markets;

    // About 100 KB: the most the page buffer takes is 102,399 bytes.
    std::string html = QuotePage(1);
    for (int32_t rows = 1; html.size() < 98000; rows += 10)
        html = QuotePage(rows);
    const std::string path = (folder / "webtemp-000.html").string();
    std::ofstream(path, std::ios::binary) << html;

    CPageData page(0);
    for (int32_t i = 0; i < CPageData::kSlots; ++i)
        page.setCode(i, std::to_string(1301 + i * 97).c_str(), 1301 + i * 97, "T", "x");
    page.MakeFetchURL();

    using Clock = std::chrono::steady_clock;
    int32_t pages = 0;
    const Clock::time_point start = Clock::now();
    double seconds = 0;
    while (seconds < 2.0) {
        CPageData::ExtractData(path.c_str(), &page);
        ++pages;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    g_marketConv = nullptr;
    std::filesystem::remove_all(folder);
    if (page.nExtracted() != CPageData::kSlots) {
        std::fprintf(stderr, "parsed %d of 50 stocks\n", page.nExtracted());
        return 1;
    }
    std::printf("page of %zu bytes, 50 stocks: %.0f pages/s, %.1f MB/s\n", html.size(),
                pages / seconds, pages * double(html.size()) / seconds / 1e6);
    return 0;
}
