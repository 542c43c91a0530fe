// Saves a picture of the main window, every sheet and every dialog, and of
// the program's icon, into <build>/screenshots/ for a person to look at.
#include "Fetch/MakeList.h"
#include "GuiTestBase.h"
#include "SimJobTestBase.h"
#include "misclib.h"

#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QSvgRenderer>

class ScreenshotTest : public GuiTestWithoutFetchList {
protected:
    static void save(QWidget* widget, const char* name) { SaveScreenshot(widget, name); }
};

TEST_F(ScreenshotTest, WindowsSheetsAndDialogs) {
    save(mainWindow(), "MainWindow");
    save(mainWindow()->findChild<QMessageBox*>("cautionAlertSheet"), "CautionAlertSheet");

    const char* sheets[] = {"",
                            "FetchSheet",
                            "MakeListSheet",
                            "MakeKDTSheet",
                            "MakeFundamentalSheet",
                            "MakeFinanceSheet"};
    for (int32_t sheet = CMetalWindow::kFetchSheet; sheet <= CMetalWindow::kFinanceSheet; ++sheet) {
        controller().HideSheetWindow();
        TransitionWindowResize(mainWindow(), 350, 250);
        ShowWindow(controller().jobSheet(sheet)->window);
        save(mainWindow(), sheets[sheet]);
    }
    send("disp");
    save(mainWindow(), "DispSheet");

    SetModalLoopHook([](WindowRef dialog) {
        save(dialog, "PrefDialog");
        send("not!");
    });
    send("pref");
    SetModalLoopHook({});

    for (const char* name : {"FetchListDialog", "FundamentalDialog", "EnterCodeDialog"}) {
        WindowRef dialog = CreateWindowFromNib(name);
        ShowSheetWindow(dialog, mainWindow());
        save(dialog, name);
        DisposeWindow(dialog);
    }
    send("abou");
    save(windowsNamed("AboutDialog").value(0), "AboutDialog");
}

// The icon of the menu entry at the sizes a desktop shows it, beside the
// window it opens.
TEST_F(GuiTestBase, IconBesideTheMainWindow) {
    QSvgRenderer icon(QStringLiteral(VEZIZO_SOURCE_DIR "/packaging/vezizo.svg"));
    ASSERT_TRUE(icon.isValid());
    EXPECT_EQ(icon.viewBox().width(), icon.viewBox().height());
    for (int size : {48, 256}) {
        SCOPED_TRACE(size);
        // A rounded tile: clear corners, a solid middle.
        QImage alone(size, size, QImage::Format_ARGB32);
        alone.fill(Qt::transparent);
        QPainter painter(&alone);
        icon.render(&painter);
        painter.end();
        EXPECT_EQ(qAlpha(alone.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(alone.pixel(size / 2, size / 2)), 255);
    }

    const QPixmap window = mainWindow()->grab();
    constexpr int kGap = 16;
    QPixmap picture(kGap * 4 + 48 + 256 + window.width(),
                    kGap * 2 + std::max(256, window.height()));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    icon.render(&painter, QRectF(kGap, kGap, 48, 48));
    icon.render(&painter, QRectF(kGap * 2 + 48, kGap, 256, 256));
    painter.drawPixmap(kGap * 3 + 48 + 256, kGap, window);
    painter.end();
    QLabel shown;
    shown.setPixmap(picture);
    shown.resize(picture.size());
    SaveScreenshot(&shown, "Icon");
}

// Each job sheet once its job has ended: its heading says how (done,
// cancelled, failed) and its status names the file and its count.
class EndedSheetScreenshotTest : public SimJobTestBase {};

TEST_F(EndedSheetScreenshotTest, EachSheetAfterItsJob) {
    const QVector<int> codes = KnownCodes(60);
    startService(codes, {"--fault", "silence@/t?s=9984"});
    const struct {
        const char* name;
        const char* command;
        QStringList answers; // the dialog's controls and buttons, in order
        int32_t sheet;
        const char* heading;
        QString status;
    } jobs[] = {
        {"FetchSheetEnded",
         "fech",
         {},
         CMetalWindow::kFetchSheet,
         "株価の取得を終えました",
         SimDayFileName("DS") + ": 60 stocks, 0 missing"},
        {"MakeFinanceSheetEnded",
         "fina",
         {},
         CMetalWindow::kFinanceSheet,
         "財務データの取得を終えました",
         SimDayFileName("FN") + ": "},
        {"MakeKDTSheetEnded",
         "mkdt",
         {"7203", "ok  "},
         CMetalWindow::kKDTSheet,
         "時系列データの取得を終えました",
         "KD7203.KDT: "},
        {"MakeKDTSheetFailed",
         "mkdt",
         {"1000", "ok  "},
         CMetalWindow::kKDTSheet,
         "時系列データを取得できませんでした",
         "the service gave no rows; no history file written"},
        {"MakeKDTSheetCancelled",
         "mkdt",
         {"9984", "ok  "},
         CMetalWindow::kKDTSheet,
         "時系列データの取得を中止しました",
         "cancelled"},
        {"MakeListSheetEnded",
         "list",
         {"chk2", "chk3", "ok  "},
         CMetalWindow::kListSheet,
         "銘柄一覧の取得を終えました",
         CMakeList::AddedListName().c_str() + QString(": ")},
        {"MakeFundamentalSheetEnded",
         "fund",
         {"ok  "},
         CMetalWindow::kFundamentalSheet,
         "企業情報の取得を終えました",
         "VellmarkEx.DIC: 60 of 60 stocks stored"},
    };
    for (const auto& job : jobs) {
        SCOPED_TRACE(job.name);
        send("disp"); // another sheet first, so that the command runs again
        SetModalLoopHook([&job](WindowRef dialog) {
            for (const QString& answer : job.answers) {
                if (answer.size() == 4 && !answer[0].isDigit())
                    send(answer.toLatin1().constData());
                else
                    SetControlText(GetControlByID(dialog, FourCharCode("entc"), 21),
                                   answer.toLatin1().constData());
            }
        });
        EXPECT_EQ(send(job.command), 0);
        SetModalLoopHook({});
        const JobSheet& ended = sheet(job.sheet);
        ASSERT_TRUE(ended.running);
        if (QString(job.status) == "cancelled") {
            waitFor(300);
            send("fccn");
        }
        ASSERT_TRUE(waitForEnd(ended, 60000));
        EXPECT_EQ(qobject_cast<QLabel*>(ended.headingText)->text(), QString::fromUtf8(job.heading));
        const QString status = qobject_cast<QLabel*>(ended.statusText)->text();
        EXPECT_TRUE(status.startsWith(job.status)) << status.toStdString();
        SaveScreenshot(mainWindow(), job.name);
    }
}
