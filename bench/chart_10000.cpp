// Opens and draws the chart of a 10,000-day history as the chart window does
// (the simulated market's stock 7203): reading the KD file with the moving
// averages and drawing the window, then drawing alone with all days and with
// the last 120 in view, and writing the 1200x800 PNG of the command line.
// Prints the median and the slowest of the runs, in milliseconds.
#include "ChartWindow.h"
#include "KDFile.h"
#include "KDTFile.h"
#include "SimAppFolder.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 30;

void Measure(const char* what, const std::function<void()>& step) {
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        step();
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("  %-34s median %7.2f ms, slowest %7.2f ms\n", what, ms[ms.size() / 2], ms.back());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    g_startupPath = folder.path().toStdString();
    CSimMarket market = TestSimMarket();
    market.setHistoryLength(7203, 10000);
    const std::vector<KDT> days = ExpectedKDRecords(market, 7203, 10000);
    if (WriteKDTFile(folder.path().toStdString(), 7203, days) != int32_t(days.size()))
        return 1;

    CChartWindow chart;
    SizeWindow(chart.getWindow(), 1100, 680);
    chart.SetRange(0);
    std::printf("chart of %zu days (KD7203.KDT, %zu bytes), window 1100x680, %d runs\n",
                days.size(), days.size() * 26, kRuns);
    // The offscreen platform warns at each raise of the window.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    Measure("open and draw, all days", [&chart] {
        chart.ShowStock(7203);
        chart.getWindow()->grab();
    });
    Measure("open alone (read, averages)", [&chart] { chart.ShowStock(7203); });
    Measure("draw the window, all days", [&chart] { chart.getWindow()->grab(); });
    chart.SetRange(CChartWindow::kDefaultDays);
    Measure("draw the window, last 120 days", [&chart] { chart.getWindow()->grab(); });
    chart.SetRange(0);
    const std::string png = folder.filePath("KD7203.png").toStdString();
    Measure("PNG 1200x800, all days",
            [&chart, &png] { SaveChartPicture(chart.getChart(), png.c_str(), 1200, 800); });
    return 0;
}
