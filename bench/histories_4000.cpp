// The histories of a fetch list of 4,000 stocks against the simulated
// service, `vezizo history --all` run as a process: the first run (no file:
// 4 pages of 50 rows each for the 200 rows asked for), the run of the next
// simulated day (one page a stock, merged into the files), and the daily fetch
// of that day adding its quotes to the 4,000 files. Each with its wall time,
// its time per download, its ratio to the floor that one download per
// interval sets (the least interval the program allows, so that the program's
// own time shows), and its peak memory.
#include "ProgramSettings.h"
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
constexpr double kInterval = CProgramSettings::kMinimumIntervalMs / 1000.0;
const QStringList kIntervalOption{"--interval",
                                  QString::number(CProgramSettings::kMinimumIntervalMs)};
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

// The run's downloads are the log's entries from first on.
bool Report(const char* what, const TimedRun& run, const QString& log, qsizetype first,
            const QByteArray& prefix) {
    const ServiceTimes times = ServiceTimesOf(log, first, prefix, kInterval);
    std::printf("%s\n", what);
    std::printf("  exit status        %d\n", run.status);
    std::printf("  downloads          %d (%.1f s in the service)\n", times.nDownloads,
                times.service);
    std::printf("  wall time          %.1f s\n", run.seconds);
    std::printf("  time per download  %.1f ms\n",
                times.nDownloads > 0 ? run.seconds * 1000.0 / times.nDownloads : 0.0);
    std::printf("  floor              %.1f s (the sum of max(download time, %.0f ms))\n",
                times.floor, kInterval * 1000);
    std::printf("  ratio to floor     %.2f\n", times.floor > 0 ? run.seconds / times.floor : 0.0);
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

    const TimedRun first = RunVezizoTimed(
        VEZIZO_EXE, folder.path(), kIntervalOption + QStringList{"history", "--all"}, errors);
    bool done = Report("vezizo history --all, first run, 4,000 stocks without a file", first, log,
                       0, "GET /t?");
    const int files = int(QDir(folder.path()).entryList({"KD*.KDT"}, QDir::Files).size());
    std::printf("  history files      %d\n", files);

    sim = Serve("2026-12-04", 1, log);
    QFile::remove(folder.filePath("servers.conf"));
    if (!sim->isRunning() || !WriteServersConf(folder.path(), *sim))
        return 1;
    qsizetype mark = ReadSimLog(log).size();
    const TimedRun next = RunVezizoTimed(VEZIZO_EXE, folder.path(),
                                         kIntervalOption + QStringList{"history", "--all"}, errors);
    done &= Report("vezizo history --all, the next day", next, log, mark, "GET /t?");
    mark = ReadSimLog(log).size();
    const TimedRun fetch =
        RunVezizoTimed(VEZIZO_EXE, folder.path(),
                       kIntervalOption + QStringList{"fetch", "--update-histories"}, errors);
    done &= Report("vezizo fetch --update-histories, the same day", fetch, log, mark, "GET /q?");
    return done ? 0 : 1;
}
