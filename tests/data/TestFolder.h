// A fresh folder for one test, removed with everything in it afterwards; the
// count of a folder's entries; byte helpers; and the application folder the
// daily-quote readers run in.
#pragma once

#include "FetchData.h"
#include "MarketConv.h"
#include "Preferences.h"
#include "QuoteServers.h"
#include "VezizoMain.h"
#include "futil.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/xattr.h>

class TempFolder {
public:
    TempFolder() : m_path(std::filesystem::temp_directory_path() / "vezizo-test-XXXXXX") {
        if (mkdtemp(m_path.data()) == nullptr)
            m_path.clear();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline int EntryCount(const std::string& folder) {
    const auto entries = std::filesystem::directory_iterator(folder);
    return int(std::distance(begin(entries), end(entries)));
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An extended attribute of a file; empty where the file system keeps none.
inline std::string ReadAttribute(const std::string& path, const char* name) {
    char value[16];
    const ssize_t size = getxattr(path.c_str(), name, value, sizeof value);
    return size > 0 ? std::string(value, size_t(size)) : std::string();
}

// A row of a history page: a date cell (年, 月 and 日 in EUC-JP) and the
// price cells given, split at spaces.
inline std::string PriceRow(int year, int month, int day, const std::string& prices) {
    std::string cells = "<td>" + std::to_string(year) + "\xC7\xAF" + std::to_string(month) +
                        "\xB7\xEE" + std::to_string(day) + "\xC6\xFC</td>";
    for (size_t p = 0, end = 0; p < prices.size(); p = end + 1) {
        end = std::min(prices.find(' ', p), prices.size());
        cells += "<td><b>" + prices.substr(p, end - p) + "</b></td>";
    }
    return "<tr align=right>" + cells + "</tr>\n";
}

// The files replaced while it lives, each with the bytes it held at the
// instant its complete temporary was about to take its name.
class ReplacedFiles {
public:
    ReplacedFiles() {
        SetReplaceHook([this](const std::string& path) { before[path] = ReadBytes(path); });
    }
    ~ReplacedFiles() { SetReplaceHook({}); }

    std::map<std::string, std::string> before;
};

// The market table the program ships, as the program's own.
class ShippedMarkets : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(markets.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 1);
        g_marketConv = &markets;
    }
    void TearDown() override { g_marketConv = nullptr; }

    CMarketConv markets;
};

// The application folder of a daily run: local market codes 0, 1, 2 with fetch
// codes T, O, N and DS codes 1, 2, 3 (names 東証1部, 大証1部, 名証1部 in
// Shift-JIS), default preferences and the default quote servers.
class DailyTestFolder : public ::testing::Test {
protected:
    void SetUp() override {
        g_startupPath = g_webtempPath = folder;
        WriteFile("market.csv", "1, T, \x93\x8c\x8f\xd8\x31\x95\x94\n2, O, \x91\xe5\x8f\xd8\x31"
                                "\x95\x94\n3, N, \x96\xbc\x8f\xd8\x31\x95\x94\n");
        g_marketConv = &markets;
        markets.LoadMarketCsv(PathOf("market.csv").c_str());
        g_Preferences = &preferences;
        LoadQuoteServers(folder);
    }
    void TearDown() override { g_marketConv = nullptr, g_Preferences = nullptr; }

    std::string PathOf(const std::string& name) const { return temp.file(name); }
    void WriteFile(const std::string& name, const std::string& bytes) const {
        WriteBytes(PathOf(name), bytes);
    }
    std::string ReadFile(const std::string& name) const { return ReadBytes(PathOf(name)); }

    TempFolder temp;
    const std::string folder = temp.path();
    CMarketConv markets;
    CPreferences preferences;
};
