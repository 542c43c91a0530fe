// What every subcommand shares: the pre-check, the dialog answered inside its
// modal loop, and the exit status of a job that does not start.
#include "GuiTestBase.h"

#include "CommandLine.h"
#include "Preferences.h"
#include "VezizoMain.h"
#include "misclib.h"

using CommandLineMachineryTest = GuiTestBase;

TEST_F(CommandLineMachineryTest, ParsesOptionsAndFindsSubcommands) {
    const char* argv[] = {"vezizo", "--folder", "/tmp/x", "fetch", "a", "b"};
    CommandLineOptions options;
    std::string message;
    ASSERT_TRUE(ParseCommandLine(6, const_cast<char**>(argv), options, message));
    EXPECT_EQ(options.folder, "/tmp/x");
    EXPECT_EQ(options.subcommand, "fetch");
    EXPECT_EQ(options.arguments, (std::vector<std::string>{"a", "b"}));
    ASSERT_NE(FindSubcommand("fetch"), nullptr);
    EXPECT_FALSE(SubcommandArgumentsValid(*FindSubcommand("fetch"), options.arguments));
    EXPECT_EQ(FindSubcommand("nothing"), nullptr);
}

// A subcommand whose "job" is the preferences dialog: the answer clicks
// through it as a user would, and since no job runs the exit status is 1.
TEST_F(CommandLineMachineryTest, AnswersTheDialogAndReportsAJobThatDidNotStart) {
    SubcommandSpec spec = {"pref-test",
                           "",
                           FourCharCode("pref"),
                           CMetalWindow::kFetchSheet,
                           nullptr,
                           [](WindowRef dialog, const std::vector<std::string>&) {
                               EXPECT_EQ(dialog->objectName(), "PrefDialog");
                               ProcessCommand(FourCharCode("cre5"));
                               ProcessCommand(FourCharCode("ok  "));
                           },
                           nullptr};
    EXPECT_EQ(RunSubcommand(controller(), spec, {}), kExitCannotStart);
    EXPECT_EQ(g_Preferences->creatorIndex, 4);
}

using CommandLineWithoutFetchListTest = GuiTestWithoutFetchList;

TEST_F(CommandLineWithoutFetchListTest, PreCheckRefusesAnEmptyFetchList) {
    std::string message;
    EXPECT_FALSE(RequireFetchList(message));
    EXPECT_EQ(message, "fetchlist.csvが見つかりません。");
    EXPECT_EQ(RunSubcommand(controller(), *FindSubcommand("fetch"), {}), kExitCannotStart);
    EXPECT_FALSE(controller().anyJobRunning());
}
