// The daily fetch of 4,000 stocks (80 pages) against the simulated service:
// `vezizo fetch` run as a process, its wall time against the floor that one
// download per 0.1-second tick sets, and its peak memory.
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
constexpr double kTick = 0.1;

// kStocks fetch-list lines; a market with fewer stocks is repeated.
QByteArray FetchList() {
    const QVector<SimStock>& stocks = TestSimMarket().stocks();
    QByteArray lines;
    for (int i = 0; i < kStocks; ++i)
        lines += CSimMarket::fetchListLine(stocks.at(i % stocks.size()));
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QuoteSimProcess sim;
    QTemporaryDir folder, config;
    if (!sim.isRunning() || !folder.isValid() || !config.isValid() ||
        !QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", folder.filePath("market.csv")) ||
        !WriteServersConf(folder.path(), sim) || !WriteFetchList(folder.path(), FetchList())) {
        std::fprintf(stderr, "fetch_4000: cannot set up quote-sim and the folder\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");

    const TimedRun run = RunVezizoTimed(folder.path(), {"fetch"}, folder.filePath("fetch.err"));
    if (run.status < 0) {
        std::fprintf(stderr, "fetch_4000: cannot run %s\n", VEZIZO_EXE);
        return 1;
    }
    const double seconds = run.seconds;

    const QStringList daily = QDir(folder.path()).entryList({"DS*"}, QDir::Files);
    QFile file(folder.filePath(daily.value(0)));
    const qsizetype lines = file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    const double floor = kPages * kTick;

    std::printf("vezizo fetch of %d stocks (%d pages) against quote-sim\n", kStocks, kPages);
    std::printf("  exit status        %d\n", run.status);
    std::printf("  daily file         %s, %lld record lines\n", qPrintable(daily.value(0)),
                static_cast<long long>(lines > 2 ? lines - 2 : 0));
    std::printf("  wall time          %.2f s\n", seconds);
    std::printf("  time per page      %.1f ms\n", seconds * 1000.0 / kPages);
    std::printf("  floor              %.1f s (%d pages x %.1f s tick)\n", floor, kPages, kTick);
    std::printf("  ratio to floor     %.2f\n", seconds / floor);
    std::printf("  peak memory        %.1f MiB (ru_maxrss)\n", run.peakMiB);
    return run.status == 0 ? 0 : 1;
}
