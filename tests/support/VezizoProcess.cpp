#include "VezizoProcess.h"

#include <QProcess>

ProcessResult RunProcess(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment, int timeoutMs) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProcessResult run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ProcessResult RunVezizo(const QStringList& arguments, const QString& configFolder, int timeoutMs) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!configFolder.isEmpty())
        environment.insert("XDG_CONFIG_HOME", configFolder);
    return RunProcess(VEZIZO_EXE, arguments, environment, timeoutMs);
}
