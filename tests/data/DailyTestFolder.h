// A fresh application folder for one test of the daily quote data: a small
// market table, default preferences and the default quote servers.
#pragma once

#include "FetchData.h"
#include "MarketConv.h"
#include "PageData.h"
#include "Preferences.h"
#include "QuoteServers.h"
#include "VezizoMain.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class DailyTestFolder : public ::testing::Test {
protected:
    // Local codes 0, 1, 2 with fetch codes T, O, N and DS codes 1, 2, 3;
    // names in Shift-JIS: 東証1部, 大証1部, 名証1部.
    static constexpr const char* kMarketCsv = "1, T, \x93\x8c\x8f\xd8\x31\x95\x94\n"
                                              "2, O, \x91\xe5\x8f\xd8\x31\x95\x94\n"
                                              "3, N, \x96\xbc\x8f\xd8\x31\x95\x94\n";

    void SetUp() override {
        char pattern[] = "/tmp/vezizo-daily-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        g_startupPath = folder;
        g_webtempPath = folder;
        WriteFile("market.csv", kMarketCsv);
        g_marketConv = new CMarketConv;
        g_marketConv->LoadMarketCsv((folder + "/market.csv").c_str());
        g_Preferences = new CPreferences;
        LoadQuoteServers(folder);
    }

    void TearDown() override {
        delete g_marketConv;
        g_marketConv = nullptr;
        delete g_Preferences;
        g_Preferences = nullptr;
        std::filesystem::remove_all(folder);
    }

    std::string PathOf(const std::string& name) const { return folder + "/" + name; }

    void WriteFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }

    std::string ReadFile(const std::string& name) const {
        std::ifstream file(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    bool Exists(const std::string& name) const { return std::filesystem::exists(PathOf(name)); }

    std::string folder;
};
