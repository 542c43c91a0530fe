// Pictures of the fetch sheet after a run and of the quote list with the
// market's Japanese names, in <build>/screenshots/.
#include "SimGuiTestBase.h"
#include "misclib.h"

using FetchScreenshotTest = SimGuiTestBase;

TEST_F(FetchScreenshotTest, FetchSheetAndQuoteList) {
    start(stocks(0, 40) + "1000,1000,T,UNKNOWN\n");
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());
    SaveScreenshot(mainWindow(), "FetchSheetAfterRun");

    EXPECT_EQ(send("disp"), 0);
    SetDataBrowserSortProperty(controller().quoteListControl(), FourCharCode("cv4 "), true);
    SaveScreenshot(mainWindow(), "QuoteList");
}
