// The about window: ordinary, non-modal, one more per command.
#include "GuiTestBase.h"

#include "misclib.h"

#include <QLabel>

using AboutBoxTest = GuiTestBase;

TEST_F(AboutBoxTest, TwoCommandsShowTwoWindows) {
    EXPECT_EQ(send("abou"), 0);
    EXPECT_EQ(send("abou"), 0);
    QList<QWidget*> windows = windowsNamed("AboutDialog");
    ASSERT_EQ(windows.size(), 2);
    for (QWidget* window : windows) {
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isModal());
        auto* version = qobject_cast<QLabel*>(GetControlByID(window, FourCharCode("abou"), 1));
        ASSERT_NE(version, nullptr);
        EXPECT_TRUE(version->text().contains(VEZIZO_VERSION));
    }
    windows[0]->close(); // the user's close disposes of it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windowsNamed("AboutDialog").size(), 1);
}
