// The histories of a fetch list of 4,000 stocks against the simulated
// service, `vezizo history --all` run as a process: the first run (no file:
// 4 pages of 50 rows each for the 200 rows asked for), the run of the next
// simulated day (one page a stock, merged into the files), and the daily fetch
// of that day adding its quotes to the 4,000 files. Each with its wall time,
// its time per download, its ratio to the floor that one download per
// 0.1-second tick sets, and its peak memory.
#include "SimAppFolder.h"
#include "TimedRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int kStocks = 4000;
constexpr double kTick = 0.1;
// More rows than 200, so that every stock the service lists fills 4 pages.
constexpr int kHistoryRows = 1000;

// The market of kStocks stocks the service plays (the usual one has about
// 3,000).
const CSimMarket& Market() {
    static const CSimMarket market(QByteArray(QuoteSimProcess::kSeed).toULongLong(),
                                   QDate(2026, 12, 3), kStocks);
    return market;
}

// The service on date, each history laterDays longer than kHistoryRows.
std::unique_ptr<QuoteSimProcess> Serve(const char* date, int laterDays, const QString& log) {
    QStringList arguments{"--date", date, "--log", log, "--stocks", QString::number(kStocks)};
    for (const SimStock& stock : Market().stocks())
        arguments << "--history-length"
                  << QStringLiteral("%1=%2").arg(stock.code).arg(kHistoryRows + laterDays);
    return std::make_unique<QuoteSimProcess>(arguments);
}

// How many requests the log holds whose target starts with prefix.
int Requests(const QString& log, const QByteArray& prefix) {
    QFile file(log);
    return file.open(QIODevice::ReadOnly) ? int(file.readAll().count("GET " + prefix)) : 0;
}

bool Report(const char* what, const TimedRun& run, int downloads) {
    const double floor = downloads * kTick;
    std::printf("%s\n", what);
    std::printf("  exit status        %d\n", run.status);
    std::printf("  downloads          %d\n", downloads);
    std::printf("  wall time          %.1f s\n", run.seconds);
    std::printf("  time per download  %.1f ms\n",
                downloads > 0 ? run.seconds * 1000.0 / downloads : 0.0);
    std::printf("  floor              %.1f s (%d downloads x %.1f s tick)\n", floor, downloads,
                kTick);
    std::printf("  ratio to floor     %.2f\n", floor > 0 ? run.seconds / floor : 0.0);
    std::printf("  peak memory        %.1f MiB (ru_maxrss)\n", run.peakMiB);
    std::fflush(stdout);
    return run.status == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder, config;
    const QString log = config.filePath("quote-sim.log");
    std::unique_ptr<QuoteSimProcess> sim = Serve("2026-12-03", 0, log);
    if (!sim->isRunning() || !folder.isValid() || !config.isValid() ||
        !LayOutAppFolder(folder.path(), *sim) ||
        !WriteFetchList(folder.path(), Market().fetchList(kStocks))) {
        std::fprintf(stderr, "histories_4000: cannot set up quote-sim and the folder\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString errors = folder.filePath("history.err");

    // Each run ends before its requests are counted.
    const TimedRun first = RunVezizoTimed(folder.path(), {"history", "--all"}, errors);
    bool done = Report("vezizo history --all, first run, 4,000 stocks without a file", first,
                       Requests(log, "/t?"));
    const int files = int(QDir(folder.path()).entryList({"KD*.KDT"}, QDir::Files).size());
    std::printf("  history files      %d\n", files);

    sim = Serve("2026-12-04", 1, log);
    QFile::remove(folder.filePath("servers.conf"));
    if (!sim->isRunning() || !WriteServersConf(folder.path(), *sim))
        return 1;
    const int before = Requests(log, "/t?");
    const TimedRun next = RunVezizoTimed(folder.path(), {"history", "--all"}, errors);
    done &= Report("vezizo history --all, the next day", next, Requests(log, "/t?") - before);
    const int quotesBefore = Requests(log, "/q?");
    const TimedRun fetch = RunVezizoTimed(folder.path(), {"fetch", "--update-histories"}, errors);
    done &= Report("vezizo fetch --update-histories, the same day", fetch,
                   Requests(log, "/q?") - quotesBefore);
    return done ? 0 : 1;
}
