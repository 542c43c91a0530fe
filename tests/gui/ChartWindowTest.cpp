// The chart window on KD files made here: the days and averages it holds, the
// readout under the pointer, zoom, pan and the range pop-up, the messages in
// place of a chart, and its openings from the menu and the quote list.
#include "GuiTestBase.h"

#include "ChartWindow.h"
#include "KDFile.h"
#include "KDTChart.h"
#include "RisingDays.h"
#include "SimAppFolder.h"
#include "Toolbox/ChartView.h"
#include "UrlCatcher.h"
#include "misclib.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeView>
#include <QWheelEvent>

#include <cmath>

class ChartWindowTest : public GuiTestBase {
protected:
    void writeDays(const char* name, const std::vector<KDT>& days) {
        ASSERT_TRUE(WriteKDFile(path(name), days)) << name;
    }
    // "chrt" answered with code; whether the sheet asked for the code alone.
    bool chartFromMenu(const char* code) {
        bool codeOnly = false;
        SetModalLoopHook([code, &codeOnly](WindowRef dialog) {
            codeOnly = !IsControlVisible(GetControlByID(dialog, FourCharCode("entc"), 22));
            SetControlText(GetControlByID(dialog, FourCharCode("entc"), 21), code);
            SaveScreenshot(dialog, "EnterCodeDialogForChart");
            send(*code ? "ok  " : "not!");
        });
        EXPECT_EQ(send("chrt"), 0);
        SetModalLoopHook({});
        return codeOnly;
    }
    CChartWindow* chartWindow() { return controller().chart(); }
    void resizeChartWindow(int width, int height) {
        SizeWindow(chartWindow()->getWindow(), width, height);
        QCoreApplication::processEvents(); // lays the window out
    }
    QString title() { return chartWindow()->getWindow()->windowTitle(); }
    ControlRef chart() { return chartWindow()->getChart(); }
    const CKDTChart& data() { return *GetChartData(chart()); }
    CChartView* view() { return qobject_cast<CChartView*>(chart()); }
    QString readout() { return QString::fromStdString(GetChartReadout(chart())); }
    // A point over the middle of day, halfway down the prices.
    QPointF pointOfDay(double day) {
        const QRectF plot = view()->pricePlot();
        return {data().DayX(day + 0.5, plot.left(), plot.width()), plot.center().y()};
    }
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton) {
        QMouseEvent event(type, at, view()->mapToGlobal(at), button,
                          type == QEvent::MouseMove ? Qt::MouseButtons() : Qt::MouseButtons(button),
                          Qt::NoModifier);
        QCoreApplication::sendEvent(view(), &event);
    }
};

TEST_F(ChartWindowTest, HoldsTheFilesDaysAndReadsOutTheDayUnderThePointer) {
    writeDays("KD7203.KDT", RisingDays(80));
    // A cancelled or refused entry shows nothing.
    for (const char* code : {"", "abc"})
        chartFromMenu(code);
    EXPECT_EQ(chartWindow(), nullptr);

    EXPECT_TRUE(chartFromMenu("7203"));
    ASSERT_NE(chartWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(chartWindow()->getWindow()));
    EXPECT_EQ(title(), "7203 TOYOTA");
    EXPECT_EQ(GetChartMessage(chart()), "");
    EXPECT_TRUE(chartWindow()->failure().empty());

    const std::vector<KDT> days = RisingDays(80);
    ASSERT_EQ(data().nDays(), 80);
    EXPECT_EQ(data().nVisible(), 80); // fewer than the 120 shown at first
    for (int day : {0, 41, 79})
        EXPECT_EQ(data().getDay(day), days[size_t(day)]) << day;
    // Closes 1000 + 2i: the average is 1000 plus twice the mean of the i's.
    EXPECT_DOUBLE_EQ(data().getAverage(0, 41), 1058.0); // 17..41
    EXPECT_DOUBLE_EQ(data().getAverage(1, 79), 1084.0); // 5..79
    EXPECT_TRUE(std::isnan(data().getAverage(1, 73)));

    resizeChartWindow(900, 560);
    mouse(QEvent::MouseMove, pointOfDay(41));
    EXPECT_EQ(readout(), QString::fromUtf8("2024/02/11  始値 1,041  高値 1,102  安値 1,031  "
                                           "終値 1,082  出来高 42,000  25日平均 1,058.0  "
                                           "75日平均 -"));
    SaveScreenshot(chartWindow()->getWindow(), "ChartWindowReadout");
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(view(), &leave);
    EXPECT_TRUE(readout().startsWith("2024/03/20  始値 1,079")) << readout().toStdString();

    // One wheel step in shows 0.8 times the days around the pointer; a drag
    // five days to the right shows five earlier days.
    const QPointF middle = pointOfDay(39.5);
    QWheelEvent wheel(middle, view()->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(data().nVisible(), 64);
    EXPECT_EQ(data().firstVisible(), 8);
    const QPointF from = pointOfDay(30), to = pointOfDay(35);
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, to);
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton);
    EXPECT_EQ(data().firstVisible(), 3);
    EXPECT_EQ(data().nVisible(), 64);

    // The range pop-up shows the last days of the span.
    EXPECT_EQ(send("cr1m"), 0);
    EXPECT_EQ(data().firstVisible(), 60);
    EXPECT_EQ(data().nVisible(), 20);
    EXPECT_EQ(send("cral"), 0);
    EXPECT_EQ(data().nVisible(), 80);
}

TEST_F(ChartWindowTest, SaysWhyAFileCannotBeDrawn) {
    const struct {
        const char* name;
        int bytes; // -1: no file
        const char* message;
        const char* failure;
    } cases[] = {
        {"missing", -1, "KD7203.KDT がありません。", "KD7203.KDT: no such file"},
        {"empty", 0, "KD7203.KDT は空です", "KD7203.KDT: the file is empty"},
        {"no whole records", 27, "大きさ 27 バイトが 1 日分の 26 バイトの倍数ではありません",
         "not a multiple of 26 bytes (one record per day) (27 bytes)"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        QFile::remove(path("KD7203.KDT"));
        if (row.bytes >= 0) {
            QFile file(path("KD7203.KDT"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(row.bytes, '\x01'));
        }
        controller().ShowChart(7203);
        EXPECT_TRUE(QString::fromStdString(GetChartMessage(chart()))
                        .contains(QString::fromUtf8(row.message)))
            << GetChartMessage(chart());
        EXPECT_NE(chartWindow()->failure().find(row.failure), std::string::npos)
            << chartWindow()->failure();
        EXPECT_EQ(data().nDays(), 0);
    }
    resizeChartWindow(700, 400);
    SaveScreenshot(chartWindow()->getWindow(), "ChartWindowMalformedFile");

    writeDays("KD7203.KDT", RisingDays(10));
    controller().ShowChart(7203);
    EXPECT_EQ(GetChartMessage(chart()), "");
    EXPECT_EQ(data().nDays(), 10);
}

// Records no writer makes (every byte 0xFF, prices at the ends of 32 bits)
// are drawn as they are, on screen and into a picture.
TEST_F(ChartWindowTest, DrawsBrokenRecordsAsTheyAre) {
    std::vector<KDT> days = RisingDays(3);
    days[1].open = days[1].low = INT32_MIN;
    days[1].high = days[1].close = INT32_MAX;
    ASSERT_TRUE(WriteKDFile(path("KD7203.KDT"), days));
    QFile file(path("KD7203.KDT"));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray(26, '\xFF'));
    file.close();
    controller().ShowChart(7203);
    ASSERT_EQ(data().nDays(), 4);
    EXPECT_TRUE(readout().startsWith("65535/255/255  始値 -1")) << readout().toStdString();
    for (double factor : {0.1, 10.0}) {
        mouse(QEvent::MouseMove, pointOfDay(1));
        EXPECT_FALSE(chartWindow()->getWindow()->grab().isNull());
        QWheelEvent wheel(pointOfDay(1), QPointF(), QPoint(), QPoint(0, factor < 1 ? 1200 : -1200),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view(), &wheel);
    }
    EXPECT_TRUE(SaveChartPicture(chart(), path("broken.png").toUtf8().constData(), 400, 300));
}

// A double-click or the contextual menu on a row of the quote list charts
// that stock; a right-click does not select the row, so no page opens.
TEST_F(ChartWindowTest, OpensFromTheQuoteList) {
    UrlCatcher browser;
    writeDays("KD7203.KDT", RisingDays(40));
    writeDays("KD6758.KDT", RisingDays(30));
    EXPECT_EQ(send("disp"), 0);
    auto* list = qobject_cast<QTreeView*>(controller().quoteListControl());
    ASSERT_NE(list, nullptr);
    const auto rowCenter = [list](int row) {
        return list->visualRect(list->model()->index(row, 0)).center();
    };
    const auto click = [list](QEvent::Type type, QPoint at, Qt::MouseButton button) {
        QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &event);
    };

    click(QEvent::MouseButtonPress, rowCenter(0), Qt::RightButton);
    click(QEvent::MouseButtonRelease, rowCenter(0), Qt::RightButton);
    QContextMenuEvent contextual(QContextMenuEvent::Mouse, rowCenter(0),
                                 list->viewport()->mapToGlobal(rowCenter(0)));
    QCoreApplication::sendEvent(list->viewport(), &contextual);
    EXPECT_FALSE(list->currentIndex().isValid());
    QMenu* menu = list->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 1);
    menu->actions().at(0)->trigger();
    ASSERT_NE(chartWindow(), nullptr);
    EXPECT_EQ(title(), "7203 TOYOTA");
    EXPECT_EQ(data().nDays(), 40);
    EXPECT_TRUE(browser.urls.isEmpty());

    // The first click of a double-click selects the row, which opens its page.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
        click(type, rowCenter(1), Qt::LeftButton);
    EXPECT_EQ(title(), "6758 SONY");
    EXPECT_EQ(data().nDays(), 30);
    EXPECT_EQ(browser.urls.size(), 1);
}

// Pictures of the window on a history of 200 days and of 10,000 days (all
// days shown, and the first view of the last 120) for a person to look at.
TEST_F(ChartWindowTest, Screenshots) {
    CSimMarket market = TestSimMarket();
    market.setHistoryLength(7203, 10000);
    const struct {
        const char* name;
        int rows;
        const char* range;
    } pictures[] = {
        {"ChartWindow200Days", 200, "cral"},
        {"ChartWindow10000Days", 10000, "cral"},
        {"ChartWindow10000DaysLast120", 10000, "cr6m"},
    };
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const std::vector<KDT> days = ExpectedKDRecords(market, 7203, picture.rows);
        writeDays("KD7203.KDT", days);
        controller().ShowChart(7203);
        send(picture.range);
        resizeChartWindow(1100, 680);
        EXPECT_EQ(data().nDays(), int(days.size()));
        mouse(QEvent::MouseMove, pointOfDay(data().lastVisible() - data().nVisible() / 3));
        SaveScreenshot(chartWindow()->getWindow(), picture.name);
    }
}
