// The daily fetch of 4,000 stocks (80 pages) against the simulated service,
// with the service answering each page after 0, 50 and 150 ms: `vezizo fetch`
// run as a process, its wall time against the polite floor, the sum over the
// pages of the longer of the page's time in the service (from its log) and the
// interval between two requests, and its peak memory.
//
//   fetch_4000 [PROGRAM]   PROGRAM: the vezizo to measure (default: this build's)
#include "ProgramSettings.h"
#include "SimAppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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

struct PageTimes {
    int nPages = 0;
    double service = 0; // the pages' time in the service
    double floor = 0;   // the sum of max(page time, interval)
};

PageTimes ServicePageTimes(const QString& log) {
    PageTimes times;
    for (const SimLogEntry& entry : ReadSimLog(log)) {
        if (!entry.request.startsWith("GET /q?s="))
            continue;
        const double page = entry.end - entry.start;
        ++times.nPages;
        times.service += page;
        times.floor += std::max(page, kInterval);
    }
    return times;
}

struct Run {
    int status = -1;
    double seconds = 0;
    long maxRssKiB = 0;
};

Run RunFetch(const char* program, const QString& folder) {
    Run run;
    const QByteArray folderPath = folder.toUtf8();
    const QByteArray errors = QDir(folder).filePath("fetch.err").toUtf8();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* const arguments[] = {const_cast<char*>(program), const_cast<char*>("--folder"),
                               const_cast<char*>(folderPath.constData()),
                               const_cast<char*>("fetch"), nullptr};
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, arguments, environ) == 0) {
        int status = 0;
        struct rusage usage {};
        wait4(pid, &status, 0, &usage);
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.maxRssKiB = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
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
        const Run run = RunFetch(program, folder.path());
        const PageTimes pages = ServicePageTimes(log);
        std::printf("  latency %3d ms: wall %6.2f s, floor %6.2f s, ratio %.2f (%d pages, %.1f s "
                    "in the service; exit %d, %lld records, peak %.1f MiB)\n",
                    latency, run.seconds, pages.floor,
                    pages.floor > 0 ? run.seconds / pages.floor : 0.0, pages.nPages, pages.service,
                    run.status, static_cast<long long>(DailyRecords(folder.path())),
                    double(run.maxRssKiB) / 1024.0);
        std::fflush(stdout);
        allDone = allDone && run.status == 0;
    }
    return allDone ? 0 : 1;
}
