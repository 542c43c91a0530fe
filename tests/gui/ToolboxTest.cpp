// The window-system layer on its own: the command handler chain, the
// interface description, timers, modal loops and bounded text copies.
#include "Toolbox/Toolbox.h"
#include "GuiTestBase.h"
#include "Toolbox/TextEncoding.h"
#include "misclib.h"

#include <QApplication>
#include <QCheckBox>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(ToolboxCommands, NewestHandlerFirstUntilOneHandles) {
    std::vector<int> calls;
    CommandHandlerRef older = InstallCommandHandler([&](uint32_t command) {
        calls.push_back(1);
        return command == FourCharCode("abcd") ? 0 : eventNotHandledErr;
    });
    CommandHandlerRef newer = InstallCommandHandler([&](uint32_t command) {
        calls.push_back(2);
        return command == FourCharCode("wxyz") ? 0 : eventNotHandledErr;
    });
    EXPECT_EQ(ProcessCommand(FourCharCode("abcd")), 0);
    EXPECT_EQ(calls, (std::vector<int>{2, 1}));
    calls.clear();
    EXPECT_EQ(ProcessCommand(FourCharCode("wxyz")), 0);
    EXPECT_EQ(calls, (std::vector<int>{2}));
    RemoveCommandHandler(newer);
    EXPECT_EQ(ProcessCommand(FourCharCode("wxyz")), eventNotHandledErr);
    RemoveCommandHandler(older);
    EXPECT_EQ(ProcessCommand(FourCharCode("abcd")), eventNotHandledErr);
}

TEST(ToolboxCommands, HandlerMayRemoveItselfWhileHandling) {
    CommandHandlerRef ref = 0;
    int calls = 0;
    ref = InstallCommandHandler([&](uint32_t) {
        ++calls;
        RemoveCommandHandler(ref);
        return 0;
    });
    EXPECT_EQ(ProcessCommand(FourCharCode("once")), 0);
    EXPECT_EQ(ProcessCommand(FourCharCode("once")), eventNotHandledErr);
    EXPECT_EQ(calls, 1);
}

TEST(ToolboxCommands, CodeTextKeepsBlanks) {
    EXPECT_EQ(CommandFromText("ok  "), FourCharCode("ok  "));
    EXPECT_EQ(CommandFromText("ok"), 0u);
    EXPECT_EQ(CommandFromText(nullptr), 0u);
}

TEST(ToolboxNib, WindowsAndControlsByName) {
    EXPECT_EQ(CreateWindowFromNib("NoSuchWindow"), nullptr);
    WindowRef dialog = CreateWindowFromNib("FetchListDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetControlByID(dialog, FourCharCode("fcls"), 99), nullptr);
    auto* box = qobject_cast<QCheckBox*>(GetControlByID(dialog, FourCharCode("fcls"), 12));
    ASSERT_NE(box, nullptr);
    uint32_t received = 0;
    CommandHandlerRef ref = InstallCommandHandler([&](uint32_t command) {
        received = command;
        return 0;
    });
    box->click();
    EXPECT_EQ(received, FourCharCode("chk2"));
    // The close box answers as the cancel button.
    dialog->show();
    dialog->close();
    EXPECT_EQ(received, FourCharCode("not!"));
    EXPECT_TRUE(dialog->isVisible());
    RemoveCommandHandler(ref);
    DisposeWindow(dialog);
}

TEST(ToolboxTimers, RepeatingAndOneShot) {
    int once = 0, repeating = 0;
    EventLoopTimerRef single = InstallEventLoopTimer(0.0, 0.0, [&] { ++once; });
    EventLoopTimerRef repeat = InstallEventLoopTimer(0.0, 0.01, [&] { ++repeating; });
    EXPECT_TRUE(waitUntil([&] { return repeating >= 3; }));
    EXPECT_EQ(once, 1);
    RemoveEventLoopTimer(repeat);
    int stopped = repeating;
    waitFor(50);
    EXPECT_EQ(repeating, stopped);
    RemoveEventLoopTimer(single);
}

TEST(ToolboxModalLoop, HookRunsInsideTheLoopAndEndsIt) {
    QWidget window;
    window.show();
    bool inside = false;
    SetModalLoopHook([&](WindowRef modal) {
        inside = modal == &window && QApplication::activeModalWidget() == &window;
        QuitAppModalLoopForWindow(modal);
    });
    RunAppModalLoopForWindow(&window);
    SetModalLoopHook({});
    EXPECT_TRUE(inside);
    EXPECT_FALSE(window.isModal());
}

TEST(ToolboxText, CopiesAreBoundedAndNeverSplitACharacter) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(StringToSystemText(QStringLiteral("abcdefghijkl"), buffer, sizeof buffer), 7u);
    EXPECT_STREQ(buffer, "abcdefg");
    // Four double-byte characters take 8 bytes; only three fit before the NUL.
    EXPECT_EQ(StringToSystemText(QString::fromUtf8("株価取得"), buffer, sizeof buffer), 6u);
    EXPECT_EQ(SystemTextToString(buffer), QString::fromUtf8("株価取"));
    EXPECT_EQ(StringToSystemText(QStringLiteral("x"), buffer, 1), 0u);
    EXPECT_STREQ(buffer, "");
}
