// The daily fetch of 4,000 stocks (80 pages) against the simulated service:
// `vezizo fetch` run as a process, its wall time against the floor that one
// download per 0.1-second tick sets, and its peak memory.
#include "SimAppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

    const QByteArray folderPath = folder.path().toUtf8();
    const QByteArray errors = folder.filePath("fetch.err").toUtf8();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char* const arguments[] = {const_cast<char*>(VEZIZO_EXE), const_cast<char*>("--folder"),
                               const_cast<char*>(folderPath.constData()),
                               const_cast<char*>("fetch"), nullptr};
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, VEZIZO_EXE, &actions, nullptr, arguments, environ) != 0) {
        std::fprintf(stderr, "fetch_4000: cannot run %s\n", VEZIZO_EXE);
        return 1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    posix_spawn_file_actions_destroy(&actions);
    // quote-sim is still running, so the only child waited for is vezizo.
    struct rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);

    const QStringList daily = QDir(folder.path()).entryList({"DS*"}, QDir::Files);
    QFile file(folder.filePath(daily.value(0)));
    const qsizetype lines = file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    const double floor = kPages * kTick;

    std::printf("vezizo fetch of %d stocks (%d pages) against quote-sim\n", kStocks, kPages);
    std::printf("  exit status        %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    std::printf("  daily file         %s, %lld record lines\n", qPrintable(daily.value(0)),
                static_cast<long long>(lines > 2 ? lines - 2 : 0));
    std::printf("  wall time          %.2f s\n", seconds);
    std::printf("  time per page      %.1f ms\n", seconds * 1000.0 / kPages);
    std::printf("  floor              %.1f s (%d pages x %.1f s tick)\n", floor, kPages, kTick);
    std::printf("  ratio to floor     %.2f\n", seconds / floor);
    std::printf("  peak memory        %.1f MiB (ru_maxrss)\n", double(usage.ru_maxrss) / 1024.0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
