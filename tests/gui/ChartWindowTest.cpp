// The chart window on KD files made here: its opening from the menu, the
// readout under the pointer, zoom, pan and the range pop-up, and what it shows
// of a file it cannot draw or of records no writer makes.
#include "GuiTestBase.h"

#include "Toolbox/ChartView.h"

#include <QWheelEvent>

class ChartWindowTest : public GuiTestBase {
protected:
    CChartView* view() { return qobject_cast<CChartView*>(controller().chart()->getChart()); }
    const CKDTChart& data() { return *GetChartData(view()); }
    // A point over the middle of day, halfway down the prices.
    QPointF pointOfDay(double day) {
        const QRectF plot = view()->pricePlot();
        return {data().DayX(day + 0.5, plot.left(), plot.width()), plot.center().y()};
    }
    void wheel(double day, int degrees8) {
        QWheelEvent event(pointOfDay(day), {}, {}, {0, degrees8}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view(), &event);
    }
};

// A file that cannot be drawn is named in place of the chart; records no
// writer makes (every byte 0xFF, prices at the ends of 32 bits) are drawn as
// they are, on screen and into a picture, at any zoom.
TEST_F(ChartWindowTest, FilesItCannotDrawThenOneFromTheMenu) {
    const char* messages[] = {"KD7203.KDT がありません。", "KD7203.KDT は空です",
                              "大きさ 27 バイトが 1 日分の 26 バイトの倍数ではありません"};
    for (int i = 0; i < 3; ++i) { // no file, an empty one, one of 27 bytes
        SCOPED_TRACE(messages[i]);
        controller().ShowChart(7203);
        EXPECT_THAT(GetChartMessage(view()), testing::HasSubstr(messages[i]));
        EXPECT_EQ(data().nDays(), 0);
        ASSERT_TRUE(write("KD7203.KDT", QByteArray(27 * i, '\x01')));
    }
    std::vector<KDT> days = RisingDays(3);
    days[1].open = days[1].low = INT32_MIN;
    days[1].high = days[1].close = INT32_MAX;
    ASSERT_TRUE(writeKD(7203, days));
    ASSERT_TRUE(write("KD7203.KDT", bytes("KD7203.KDT") + QByteArray(26, '\xFF')));
    controller().ShowChart(7203);
    ASSERT_EQ(std::pair(GetChartMessage(view()), data().nDays()), std::pair(std::string(), 4));
    EXPECT_THAT(GetChartReadout(view()), testing::StartsWith("65535/255/255  始値 -1"));
    for (int degrees8 : {1200, -1200}) {
        SendMouse(view(), {QEvent::MouseMove}, pointOfDay(1));
        EXPECT_FALSE(controller().chart()->getWindow()->grab().isNull());
        wheel(1, degrees8);
    }
    EXPECT_TRUE(SaveChartPicture(view(), path("broken.png").toUtf8().constData(), 400, 300));

    // A history from the menu: the readout under the pointer, zoom, pan and range.
    ASSERT_TRUE(writeKD(7203, RisingDays(80)));
    EXPECT_EQ(sendAnswered("chrt", "21=7203|ok  "), 0);
    SizeWindow(controller().chart()->getWindow(), 900, 560);
    QCoreApplication::processEvents(); // lays the window out
    SendMouse(view(), {QEvent::MouseMove}, pointOfDay(41));
    EXPECT_EQ(GetChartReadout(view()),
              "2024/02/11  始値 1,041  高値 1,102  安値 1,031  終値 1,082  "
              "出来高 42,000  25日平均 1,058.0  75日平均 -");

    // One wheel step in shows 0.8 times the days around the pointer; a drag
    // five days to the right shows five earlier days; the range pop-up shows
    // the last days of a span.
    wheel(39.5, 120);
    EXPECT_EQ(data().firstVisible() * 1000 + data().nVisible(), 8064);
    SendMouse(view(), {QEvent::MouseButtonPress}, pointOfDay(30), Qt::LeftButton);
    SendMouse(view(), {QEvent::MouseMove, QEvent::MouseButtonRelease}, pointOfDay(35),
              Qt::LeftButton);
    EXPECT_EQ(data().firstVisible(), 3);
    EXPECT_EQ(send("cr1m"), 0);
    EXPECT_EQ(data().firstVisible() * 1000 + data().nVisible(), 60020);
}
