// The program run by a benchmark as a user runs it: one process, its standard
// error into a file, its wall time, exit status and peak memory.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// Runs VEZIZO_EXE --folder folder arguments..., standard error to errorFile.
inline TimedRun RunVezizoTimed(const QString& folder, const QStringList& arguments,
                               const QString& errorFile) {
    QList<QByteArray> texts{VEZIZO_EXE, "--folder", folder.toUtf8()};
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
    const int spawned = posix_spawn(&pid, VEZIZO_EXE, &actions, nullptr, argv.data(), environ);
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
