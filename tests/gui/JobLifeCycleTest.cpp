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
