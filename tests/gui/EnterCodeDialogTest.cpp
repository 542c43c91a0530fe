// The code entry sheet of the historical series job: its texts at each
// opening and texts longer than it keeps.
#include "GuiTestBase.h"

#include "EnterCodeDialog.h"
#include "misclib.h"

#include <cstring>

class EnterCodeDialogTest : public GuiTestBase {
protected:
    static ControlRef field(WindowRef dialog, int32_t number) {
        return GetControlByID(dialog, FourCharCode("entc"), number);
    }
    static std::string fieldText(WindowRef dialog, int32_t number) {
        char text[CEnterCodeDialog::kTextSize] = "";
        GetControlText(field(dialog, number), text, sizeof text);
        return text;
    }
};

TEST_F(EnterCodeDialogTest, OpensEmptyWithTwoHundredRowsEachTime) {
    for (int opening = 0; opening < 2; ++opening) {
        std::string code = "?", rows = "?";
        SetModalLoopHook([&](WindowRef dialog) {
            code = fieldText(dialog, 21);
            rows = fieldText(dialog, 22);
            // What was typed last time is not kept.
            SetControlText(field(dialog, 21), "7203");
            SetControlText(field(dialog, 22), "50");
            send("ok  ");
        });
        CEnterCodeDialog dialog(mainWindow());
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(code, "");
        EXPECT_EQ(rows, "200");
        EXPECT_STREQ(dialog.getCodeText(), "7203");
        EXPECT_STREQ(dialog.getRowsText(), "50");
    }
}

// 127 two-byte characters are 254 bytes in the system encoding: the text kept
// stops at 127 bytes, between two characters.
TEST_F(EnterCodeDialogTest, LongTextsAreCutToTheirBuffers) {
    std::string kanji, letters(200, 'x');
    for (int i = 0; i < 127; ++i)
        kanji += "\x8A\x94"; // 株
    SetModalLoopHook([&](WindowRef dialog) {
        SetControlText(field(dialog, 21), kanji.c_str());
        SetControlText(field(dialog, 22), letters.c_str());
        send("ok  ");
    });
    CEnterCodeDialog dialog(mainWindow());
    dialog.DoModal();
    EXPECT_EQ(std::strlen(dialog.getCodeText()), 126u);
    EXPECT_EQ(std::string(dialog.getCodeText()), kanji.substr(0, 126));
    EXPECT_EQ(std::string(dialog.getRowsText()), letters.substr(0, 127));
}
