#include "VezizoProcess.h"

#include "ProgramSettings.h"
#include "SimAppFolder.h"

#include <QFile>
#include <QProcess>

bool WriteQuickSettings(const QString& configFolder) {
    return QFile::exists(configFolder + "/" + CProgramSettings::kFileName) ||
           WriteAppFile(configFolder, CProgramSettings::kFileName,
                        "interval_ms=" + QByteArray::number(CProgramSettings::kMinimumIntervalMs) +
                            "\n");
}

void StartVezizo(QProcess& process, const QStringList& arguments, const QString& configFolder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!configFolder.isEmpty()) {
        environment.insert("XDG_CONFIG_HOME", configFolder);
        WriteQuickSettings(configFolder);
    }
    process.setProcessEnvironment(environment);
    process.start(VEZIZO_EXE, arguments);
}

ProcessResult FinishVezizo(QProcess& process, int timeoutMs) {
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

ProcessResult RunProcess(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    return FinishVezizo(process);
}

ProcessResult RunVezizo(const QStringList& arguments, const QString& configFolder) {
    QProcess process;
    StartVezizo(process, arguments, configFolder);
    return FinishVezizo(process);
}
