// Runs the program as a process and collects what it printed.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct ProcessResult {
    int status = -1; // -1 when it crashed or did not end in time
    QString out;
    QString err;
};

// configFolder, when given, is the preferences folder (XDG_CONFIG_HOME).
inline ProcessResult RunVezizo(const QStringList& arguments,
                               const QString& configFolder = QString()) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!configFolder.isEmpty())
        environment.insert("XDG_CONFIG_HOME", configFolder);
    process.setProcessEnvironment(environment);
    process.start(VEZIZO_EXE, arguments);
    ProcessResult run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
