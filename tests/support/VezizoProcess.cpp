#include "VezizoProcess.h"

#include <QProcess>
#include <QProcessEnvironment>

ProcessResult RunVezizo(const QStringList& arguments, const QString& configFolder) {
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
