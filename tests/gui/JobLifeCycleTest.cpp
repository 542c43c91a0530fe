// The steps every job shares: start of progress, end, end of progress.
#include "GuiTestBase.h"

using JobLifeCycleTest = GuiTestBase;

TEST_F(JobLifeCycleTest, StartAndEndOfProgress) {
    const JobSheet& sheet = *controller().jobSheet(CMetalWindow::kKDTSheet);
    EXPECT_FALSE(IsControlVisible(sheet.busyIndicator));

    controller().StartProgressMakeKDT();
    EXPECT_TRUE(controller().isIdling());
    EXPECT_TRUE(IsControlActive(sheet.cancelButton));
    EXPECT_TRUE(IsControlVisible(sheet.busyIndicator));
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_FALSE(IsControlActive(controller().mainButton(i)));

    controller().EndProgressMakeKDT();
    EXPECT_FALSE(controller().isIdling());
    EXPECT_FALSE(IsControlActive(sheet.cancelButton));
    EXPECT_FALSE(IsControlVisible(sheet.busyIndicator));
    EXPECT_EQ(GetControl32BitValue(sheet.progressBar), 0);
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_TRUE(IsControlActive(controller().mainButton(i)));
}

TEST_F(JobLifeCycleTest, EndOfAJobThatDoesNotRunDoesNothing) {
    controller().StartProgressFetchData();
    // The fetch job's flag is clear, so its end leaves the progress alone.
    controller().EndFetchData();
    EXPECT_TRUE(controller().isIdling());
    controller().EndProgressFetchData();
}

TEST_F(JobLifeCycleTest, EverySheetHasItsControls) {
    for (int32_t sheet = CMetalWindow::kFetchSheet; sheet <= CMetalWindow::kFinanceSheet; ++sheet) {
        const JobSheet* block = controller().jobSheet(sheet);
        ASSERT_NE(block, nullptr);
        EXPECT_NE(block->window, nullptr) << sheet;
        EXPECT_NE(block->progressBar, nullptr) << sheet;
        EXPECT_NE(block->busyIndicator, nullptr) << sheet;
        EXPECT_NE(block->countText, nullptr) << sheet;
        EXPECT_EQ(block->errorText != nullptr, sheet == CMetalWindow::kFetchSheet) << sheet;
        EXPECT_FALSE(IsWindowVisible(block->window));
    }
    EXPECT_NE(controller().quoteListControl(), nullptr);
}
