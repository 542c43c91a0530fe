// The program run by a benchmark as a user runs it: one process, its standard
// error into a file, its wall time, exit status and peak memory.
#pragma once

#include "QuoteSimProcess.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct TimedRun {
    int status = -1; // the exit status; -1 when it did not start or did not exit
    double seconds = 0;
    double peakMiB = 0; // the largest resident set of the process
};

// Runs program --folder folder arguments..., standard error to errorFile.
inline TimedRun RunVezizoTimed(const char* program, const QString& folder,
                               const QStringList& arguments, const QString& errorFile) {
    QList<QByteArray> texts{program, "--folder", folder.toUtf8()};
    for (const QString& argument : arguments)
        texts.append(argument.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const QByteArray errors = errorFile.toUtf8();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    TimedRun run;
    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    return run;
}

// The downloads of a run as the service's log tells them.
struct ServiceTimes {
    int nDownloads = 0;
    double service = 0; // the downloads' time in the service
    double floor = 0;   // the sum of max(download time, interval)
};

// The requests of the log at path from entry first on whose method and target
// start with prefix ("GET /q?s="), with interval seconds between two starts.
inline ServiceTimes ServiceTimesOf(const QString& path, qsizetype first, const QByteArray& prefix,
                                   double interval) {
    ServiceTimes times;
    const QVector<SimLogEntry> entries = ReadSimLog(path);
    for (qsizetype i = first; i < entries.size(); ++i) {
        if (!entries[i].request.startsWith(prefix))
            continue;
        const double time = entries[i].end - entries[i].start;
        ++times.nDownloads;
        times.service += time;
        times.floor += std::max(time, interval);
    }
    return times;
}
