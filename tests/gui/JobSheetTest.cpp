// The jobs as the window runs them against the simulated service, beyond
// what every job's visit shows (ScreenshotTest): a wait the service asks for,
// shown as the job goes on, and the entries that start nothing.
#include "GuiTestBase.h"

#include "ExDic.h"

#include <tuple>

using JobSheetTest = SimJobTestBase;

// A service that lets two pages through a second asks the third to wait: the
// sheet says so while the job goes on, and the fetch ends whole. A code the
// service does not know is counted missing, and is no failure.
TEST_F(JobSheetTest, AWaitForTheServiceShowsOnTheSheet) {
    start(FetchListLines(KnownCodes(110)) + "1000,1000,T,UNKNOWN\n",
          {"--fault", "throttle:2/1@/q"});
    const JobSheet& fetch = *controller().jobSheet(CMetalWindow::kFetchSheet);
    EXPECT_EQ(send("fech"), 0);
    bool shown = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            shown |=
                text(fetch.statusText) == "the service asks us to wait 1 s (HTTP 429, wait 1 of 3)";
            return !fetch.running;
        },
        20000));
    EXPECT_TRUE(shown);
    EXPECT_EQ(text(fetch.countText), "110");
    EXPECT_EQ(text(fetch.errorText), "1"); // the code the service does not know
    EXPECT_EQ(controller().jobOutcome().exitStatus(), kExitDone);
}

// Entries refused or cancelled, and a dictionary the profile job cannot use,
// start no job, show no sheet and no chart. A file of another size in the
// dictionary's place is named on the caution sheet before any question, and
// kept as it is.
TEST_F(JobSheetTest, RefusedEntriesStartNothing) {
    start(FetchListLines(KnownCodes(3)));
    // clang-format off
    // The dictionary's file: -1 none; -2 a folder in its place; else its size.
    const std::tuple<const char*, const char*, const char*, int> rows[] = {
        // name                        command answers                  dictionary
        {"listing cancelled",          "list", "chk1|chk3|not!",        -1},
        {"profile cancelled",          "fund", "chk1|not!",             -1},
        {"history cancelled",          "mkdt", "21=7203|not!",          -1},
        {"no code",                    "mkdt", "ok  ",                  -1},
        // Twelve characters are refused, never cut to another stock's code.
        {"twelve characters",          "mkdt", "21=720300000001|ok  ",  -1},
        {"rows no number",             "mkdt", "21=7203|22=many|ok  ",  -1},
        {"no rows",                    "mkdt", "21=7203|22=-50|ok  ",   -1},
        {"chart of no code",           "chrt", "21=abc|ok  ",           -1},
        {"chart cancelled",            "chrt", "21=7203|not!",          -1},
        {"dictionary a folder",        "fund", "ok  ",                  -2},
        {"dictionary of another size", "fund", "ok  ",                  2027520}};
    // clang-format on
    for (const auto& [name, command, answers, dictionaryBytes] : rows) {
        SCOPED_TRACE(name);
        const QByteArray dictionary(std::max(dictionaryBytes, 0), '\x5A');
        QDir(m_folder.path()).rmdir(CExDic::kFileName);
        ASSERT_TRUE(dictionaryBytes != -2 || QDir(m_folder.path()).mkdir(CExDic::kFileName));
        ASSERT_TRUE(dictionaryBytes < 0 || write(CExDic::kFileName, dictionary));
        EXPECT_EQ(sendAnswered(command, answers), 0);
        EXPECT_FALSE(controller().anyJobRunning());
        EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
        EXPECT_EQ(controller().chart(), nullptr);
        if (dictionaryBytes < 0)
            continue;
        EXPECT_EQ(m_dialogs, 0);
        EXPECT_EQ(bytes(CExDic::kFileName), dictionary);
        ASSERT_FALSE(cautions().isEmpty()); // each row's caution is the last
        EXPECT_TRUE(cautions().last()->text().startsWith(QString::fromStdString(g_startupPath) +
                                                         "/VellmarkEx.DIC is 2027520 bytes long"))
            << cautions().last()->text().toStdString();
    }
    EXPECT_EQ(requests("GET /"), 0);
}
