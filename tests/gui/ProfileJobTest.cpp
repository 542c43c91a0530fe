// The company profile job ("fund") against the simulated service: its option
// sheet, the walk code by code, the stored copies and the dictionary.
#include "SimJobTestBase.h"

#include "ExDic.h"

#include <QDir>
#include <QMessageBox>

#include <vector>

class ProfileJobTest : public SimJobTestBase {
protected:
    // Starts "fund", ticking the dialog's boxes by command before OK.
    void startJob(std::vector<const char*> boxes) {
        SetModalLoopHook([boxes](WindowRef dialog) {
            EXPECT_EQ(dialog->objectName(), "FundamentalDialog");
            for (const char* box : boxes)
                send(box);
            send("ok  ");
        });
        EXPECT_EQ(send("fund"), 0);
        SetModalLoopHook({});
    }
    QByteArray dictionary() const {
        QFile file(path(CExDic::kFileName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    const JobSheet& profileSheet() { return sheet(CMetalWindow::kFundamentalSheet); }
};

TEST_F(ProfileJobTest, CancelledDialogOrUnusableDictionaryStartsNothing) {
    startService(KnownCodes(3));
    SetModalLoopHook([](WindowRef) {
        send("chk1");
        send("not!");
    });
    send("fund");
    SetModalLoopHook({});
    EXPECT_FALSE(profileSheet().running);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);

    startJob({"chk2"});
    EXPECT_FALSE(profileSheet().running);
    EXPECT_TRUE(IsWindowVisible(profileSheet().window));
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
    EXPECT_FALSE(QFile::exists(path(CExDic::kFileName)));

    // A dictionary that cannot be made would take no record: no run.
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(CExDic::kFileName));
    startJob({});
    EXPECT_FALSE(profileSheet().running);
    EXPECT_EQ(requests("/biz/fundamental/"), 0);
}

// Two pages of 50 and 3 codes: the bar counts pages, the count text codes.
TEST_F(ProfileJobTest, FiftyThreeCodesOverTwoPages) {
    const QVector<int> codes = KnownCodes(53);
    startService(codes);
    startJob({});
    ASSERT_TRUE(profileSheet().running);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kFundamentalSheet);
    EXPECT_EQ(GetControl32BitMaximum(profileSheet().progressBar), 2);

    bool barWrong = false;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (profileSheet().running) {
                const int done = countText(profileSheet()).toInt();
                const int bar = GetControl32BitValue(profileSheet().progressBar);
                barWrong |= bar != (done >= 50 ? 1 : 0);
            }
            return !profileSheet().running;
        },
        40000));
    EXPECT_FALSE(barWrong);
    EXPECT_EQ(GetControl32BitValue(profileSheet().progressBar), 0);
    EXPECT_EQ(countText(profileSheet()), "53");
    EXPECT_EQ(requests("/biz/fundamental/"), 53);
    for (int code : codes)
        EXPECT_EQ(requests(QStringLiteral("/biz/fundamental/%1.html").arg(code).toLatin1()), 1);

    const QByteArray dic = dictionary();
    ASSERT_EQ(dic.size(), CExDic::kRecordCount * CExDic::kRecordSize);
    for (int code : codes)
        ExpectDictionaryRecordMatches(dic, code);
    // Without keepFiles every page went to the one shared file.
    EXPECT_TRUE(QFile::exists(path("webtemp/fundamental.html")));
    EXPECT_FALSE(QDir(path("webtemp/fundamental")).exists());
    SaveScreenshot(mainWindow(), "ProfileSheetAfterRun");
}

// A run that keeps its pages, then an offline run over the stored copies:
// the second run requests nothing and starts although the profile sheet is
// the one shown.
TEST_F(ProfileJobTest, OfflineReadsTheStoredCopies) {
    const QVector<int> codes = KnownCodes(3, 100);
    startService(codes);
    startJob({"chk1"});
    ASSERT_TRUE(waitForEnd(profileSheet()));
    for (int code : codes)
        EXPECT_TRUE(QFile::exists(
            path(QString::asprintf("webtemp/fundamental/%04d/%04d.html", code / 1000 * 1000, code)
                     .toLatin1()
                     .constData())))
            << code;
    EXPECT_EQ(requests("/biz/fundamental/"), 3);

    ASSERT_TRUE(QFile::remove(path(CExDic::kFileName)));
    startJob({"chk3"});
    EXPECT_TRUE(profileSheet().running);
    ASSERT_TRUE(waitForEnd(profileSheet()));
    EXPECT_EQ(countText(profileSheet()), "3");
    EXPECT_EQ(requests("/biz/fundamental/"), 3);
    const QByteArray dic = dictionary();
    for (int code : codes)
        ExpectDictionaryRecordMatches(dic, code);
}

TEST_F(ProfileJobTest, OfflineCreatesTheGroupFoldersAndDownloadsNothing) {
    startService(KnownCodes(2));
    startJob({"chk3"});
    ASSERT_TRUE(waitForEnd(profileSheet()));
    for (int group = 1000; group <= 9000; group += 1000)
        EXPECT_TRUE(QDir(path("webtemp/fundamental")).exists(QString::asprintf("%04d", group)));
    EXPECT_EQ(requests("/biz/fundamental/"), 0);
    EXPECT_EQ(countText(profileSheet()), "2");
}

TEST_F(ProfileJobTest, CancelAfterTenCodesKeepsTheirRecords) {
    const QVector<int> codes = KnownCodes(20);
    startService(codes);
    startJob({});
    ASSERT_TRUE(waitUntil([&] { return countText(profileSheet()) == "10"; }, 20000));
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_FALSE(profileSheet().running);
    waitFor(300); // no tick handles another code
    const QByteArray dic = dictionary();
    for (int i = 0; i < codes.size(); ++i) {
        if (i < 10) {
            ExpectDictionaryRecordMatches(dic, codes[i]);
        } else {
            // Seeded from the fetch list, no profile text.
            EXPECT_EQ(dic.at(codes[i] * CExDic::kRecordSize + CExDic::kFeatureOffset), '\0');
        }
    }
}

// A file of another size in the dictionary's place (cut short, another
// program's) is named on the caution sheet; no question, no download, and
// the file stays as it is.
TEST_F(ProfileJobTest, FileOfAnotherSizeStopsTheJobBeforeItStarts) {
    startService(KnownCodes(3));
    for (const int size : {0, 2027520}) {
        SCOPED_TRACE(size);
        const QByteArray bytes(size, '\x5A');
        QFile file(path(CExDic::kFileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == size);
        file.close();

        int dialogs = 0;
        SetModalLoopHook([&dialogs](WindowRef) {
            ++dialogs;
            send("ok  ");
        });
        EXPECT_EQ(send("fund"), 0);
        SetModalLoopHook({});
        EXPECT_EQ(dialogs, 0);
        EXPECT_FALSE(profileSheet().running);
        EXPECT_EQ(controller().shownSheet(), CMetalWindow::kNoSheet);
        const std::string named =
            g_startupPath + "/" + CExDic::kFileName + " is " + std::to_string(size) + " bytes long";
        EXPECT_EQ(controller().jobOutcome().message().compare(0, named.size(), named), 0)
            << controller().jobOutcome().message();
        const auto alerts = mainWindow()->findChildren<QMessageBox*>("cautionAlertSheet");
        ASSERT_FALSE(alerts.isEmpty());
        EXPECT_EQ(alerts.last()->text().toStdString(), controller().jobOutcome().message());
        if (size != 0)
            SaveScreenshot(alerts.last(), "ProfileDictionaryOfAnotherSize");
        alerts.last()->buttons().first()->click();
        EXPECT_EQ(dictionary(), bytes);
    }
    EXPECT_EQ(requests("/biz/fundamental/"), 0);
}
