// The preferences sheet opened by "pref", answered inside its modal loop.
#include "GuiTestBase.h"

#include "Preferences.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

class PreferencesDialogTest : public GuiTestBase {
protected:
    // Opens the dialog with "pref" and runs answer inside its modal loop.
    void withDialog(std::function<void(WindowRef)> answer) {
        bool answered = false;
        SetModalLoopHook([&](WindowRef dialog) {
            answered = true;
            answer(dialog);
        });
        EXPECT_EQ(send("pref"), 0);
        EXPECT_TRUE(answered);
        EXPECT_TRUE(windowsNamed("PrefDialog").isEmpty()); // disposed when closed
    }
    static ControlRef control(WindowRef dialog, int32_t id) {
        return GetControlByID(dialog, FourCharCode("pref"), id);
    }
    static void click(WindowRef dialog, int32_t id) {
        qobject_cast<QAbstractButton*>(control(dialog, id))->click();
    }
};

TEST_F(PreferencesDialogTest, CancelLeavesRecordAndFileUnchanged) {
    CPreferences before = *g_Preferences;
    withDialog([](WindowRef dialog) {
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(GetPopupValue(control(dialog, 31)), 1);
        EXPECT_EQ(qobject_cast<QLineEdit*>(control(dialog, 21))->text(), "localhost");
        EXPECT_EQ(qobject_cast<QLineEdit*>(control(dialog, 22))->text(), "8080");
        send("cre3");
        send("chk2");
        click(dialog, 2);
    });
    unsigned char expected[CPreferences::kFileSize], actual[CPreferences::kFileSize];
    before.ToBytes(expected);
    g_Preferences->ToBytes(actual);
    EXPECT_EQ(std::memcmp(expected, actual, sizeof expected), 0);
    EXPECT_FALSE(QFile::exists(preferencesFile()));
}

TEST_F(PreferencesDialogTest, ConfirmStoresAndSaves) {
    withDialog([](WindowRef dialog) {
        send("cre3");
        EXPECT_EQ(GetPopupValue(control(dialog, 32)), 3);
        // The format pop-up sends its item's command when chosen.
        auto* format = qobject_cast<QComboBox*>(control(dialog, 31));
        format->activated(2);
        EXPECT_EQ(GetPopupValue(format), 3);
        click(dialog, 13); // quit after fetch
        qobject_cast<QLineEdit*>(control(dialog, 22))->setText("3128x");
        click(dialog, 1);
    });
    EXPECT_EQ(g_Preferences->creatorIndex, 2);
    EXPECT_EQ(g_Preferences->GetCreator(), FourCharCode("MMKE"));
    EXPECT_EQ(g_Preferences->fileFormat, 2);
    EXPECT_EQ(g_Preferences->quitAfterFetch, 1);
    EXPECT_EQ(g_Preferences->fetchAtLaunch, 0);
    EXPECT_EQ(g_Preferences->proxyPort, 3128);

    QFile file(preferencesFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), CPreferences::kFileSize);
    EXPECT_EQ(bytes[140], 2); // creatorIndex
    EXPECT_EQ(bytes[136], 2); // fileFormat
}

TEST_F(PreferencesDialogTest, ProxySwitchEnablesBothFields) {
    withDialog([](WindowRef dialog) {
        EXPECT_FALSE(IsControlActive(control(dialog, 21)));
        EXPECT_FALSE(IsControlActive(control(dialog, 22)));
        click(dialog, 11);
        EXPECT_TRUE(GetCheckBoxValue(control(dialog, 11)));
        EXPECT_TRUE(IsControlActive(control(dialog, 21)));
        EXPECT_TRUE(IsControlActive(control(dialog, 22)));
        qobject_cast<QLineEdit*>(control(dialog, 21))->setText("proxy.example");
        click(dialog, 11);
        EXPECT_FALSE(IsControlActive(control(dialog, 21)));
        EXPECT_FALSE(IsControlActive(control(dialog, 22)));
        click(dialog, 1);
    });
    EXPECT_EQ(g_Preferences->useProxy, 0);
    EXPECT_STREQ(g_Preferences->proxyHost, "proxy.example"); // stored though disabled
}

TEST_F(PreferencesDialogTest, HostIsBoundedToTheDialogCopy) {
    const std::string host63(63, 'h');
    withDialog([&](WindowRef dialog) {
        qobject_cast<QLineEdit*>(control(dialog, 21))->setText(QString(200, 'x'));
        EXPECT_EQ(qobject_cast<QLineEdit*>(control(dialog, 21))->text().size(), 63);
        qobject_cast<QLineEdit*>(control(dialog, 21))->setText(QString::fromStdString(host63));
        qobject_cast<QLineEdit*>(control(dialog, 22))->setText(QString(40, '9'));
        click(dialog, 1);
    });
    EXPECT_EQ(std::string(g_Preferences->proxyHost), host63);
    EXPECT_EQ(g_Preferences->proxyPort, 2147483647); // 15 nines, clamped
}

TEST_F(PreferencesDialogTest, CloseBoxCancels) {
    withDialog([](WindowRef dialog) {
        send("chk4");
        dialog->close();
    });
    EXPECT_EQ(g_Preferences->decimalPrices, 0);
}
