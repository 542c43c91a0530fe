// The daily fetch of 4,000 stocks (80 pages) against the simulated service,
// with the service answering each page after 0, 50 and 150 ms: `vezizo fetch`
// run as a process, its wall time against the polite floor, the sum over the
// pages of the longer of the page's time in the service (from its log) and the
// interval between two requests, and its peak memory.
//
//   fetch_4000 [PROGRAM]   PROGRAM: the vezizo to measure (default: this build's)
#include "ProgramSettings.h"
#include "SimAppFolder.h"
#include "TimedRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kStocks = 4000;
constexpr int kPages = kStocks / 50;
constexpr double kInterval = CProgramSettings::kDefaultIntervalMs / 1000.0;

// kStocks fetch-list lines; a market with fewer stocks is repeated.
QByteArray FetchList() {
    const QVector<SimStock>& stocks = TestSimMarket().stocks();
    QByteArray lines;
    for (int i = 0; i < kStocks; ++i)
        lines += CSimMarket::fetchListLine(stocks.at(i % stocks.size()));
    return lines;
}

// The record lines of the daily file in folder.
qsizetype DailyRecords(const QString& folder) {
    const QStringList daily = QDir(folder).entryList({"DS*"}, QDir::Files);
    QFile file(QDir(folder).filePath(daily.value(0)));
    const qsizetype lines = file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    return lines > 2 ? lines - 2 : 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* program = argc > 1 ? argv[1] : VEZIZO_EXE;
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");

    std::printf("vezizo fetch of %d stocks (%d pages) against quote-sim, interval %.0f ms\n",
                kStocks, kPages, kInterval * 1000);
    std::printf("  %s\n", program);
    bool allDone = true;
    for (const int latency : {0, 50, 150}) {
        QTemporaryDir folder;
        const QString log = folder.filePath("quote-sim.log");
        QuoteSimProcess sim({"--latency", QString::number(latency), "--log", log});
        if (!sim.isRunning() || !folder.isValid() || !config.isValid() ||
            !LayOutAppFolder(folder.path(), sim) || !WriteFetchList(folder.path(), FetchList())) {
            std::fprintf(stderr, "fetch_4000: cannot set up quote-sim and the folder\n");
            return 1;
        }
        const TimedRun run =
            RunVezizoTimed(program, folder.path(), {"fetch"}, folder.filePath("fetch.err"));
        const ServiceTimes pages = ServiceTimesOf(log, 0, "GET /q?s=", kInterval);
        std::printf("  latency %3d ms: wall %6.2f s, floor %6.2f s, ratio %.2f (%d pages, %.1f s "
                    "in the service; exit %d, %lld records, peak %.1f MiB)\n",
                    latency, run.seconds, pages.floor,
                    pages.floor > 0 ? run.seconds / pages.floor : 0.0, pages.nDownloads,
                    pages.service, run.status, static_cast<long long>(DailyRecords(folder.path())),
                    run.peakMiB);
        std::fflush(stdout);
        allDone = allDone && run.status == 0;
    }
    return allDone ? 0 : 1;
}
