#include "AppFolder.h"

#include "QuoteSimProcess.h"

#include <QDir>
#include <QFile>

bool WriteAppFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray ReadAppFile(const QString& folder, const QString& name) {
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteServersConf(const QString& folder, const QuoteSimProcess& sim) {
    const QByteArray host = sim.hostPort().toLatin1();
    return WriteAppFile(folder, "servers.conf",
                        "quote=" + host + "\nhistory=" + host + "\nprofile=" + host + "\n");
}
