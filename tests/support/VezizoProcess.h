// The program run as a process, as a user runs it from a shell.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gmock/gmock.h>

class QProcess;

struct ProcessResult {
    int status = -1; // the exit status; -1 when it crashed or did not end in time
    QString out;
    QString err;
};

// A run that ended with status and said text on standard error; a mismatch
// shows both.
MATCHER_P2(Ended, status, text, "") {
    *result_listener << "status " << arg.status << ", said:\n" << arg.err.toStdString();
    return arg.status == status && arg.err.contains(text);
}

// Runs program with arguments in environment. A run longer than a minute is
// killed.
ProcessResult
RunProcess(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
// The tests ask the simulated service at the shortest interval the program
// allows, so that runs of thousands of pages stay short: writes the program's
// settings file with that interval into configFolder unless it has one.
bool WriteQuickSettings(const QString& configFolder);
// Runs VEZIZO_EXE with arguments; configFolder, when given, becomes its
// XDG_CONFIG_HOME (with the quick settings unless it has settings of its own).
ProcessResult RunVezizo(const QStringList& arguments, const QString& configFolder = QString());
// The two halves of RunVezizo, for runs that overlap: StartVezizo returns at
// once, FinishVezizo waits for the run's end.
void StartVezizo(QProcess& process, const QStringList& arguments,
                 const QString& configFolder = QString());
ProcessResult FinishVezizo(QProcess& process, int timeoutMs = 60000);
