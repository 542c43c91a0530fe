// The window-system layer on its own: the command handler chain and
// bounded text copies.
#include "Toolbox/Toolbox.h"
#include "Toolbox/TextEncoding.h"
#include "misclib.h"

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
