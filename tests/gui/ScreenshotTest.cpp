// Saves a picture of the main window, every sheet and every dialog, and of
// the program's icon, into <build>/screenshots/ for a person to look at.
#include "GuiTestBase.h"

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
