#include "AppFolder.h"

#include <QDate>
#include <QDir>
#include <QFile>

const CSimMarket& TestMarket() {
    static const CSimMarket market(QByteArray(QuoteSimProcess::kSeed).toULongLong(),
                                   QDate::fromString(QuoteSimProcess::kDate, Qt::ISODate));
    return market;
}

bool WriteTestFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool WriteServersConf(const QString& folder, const QuoteSimProcess& sim) {
    const QByteArray address = sim.hostPort().toLatin1();
    return WriteTestFile(QDir(folder).filePath("servers.conf"), "quote=" + address +
                                                                    "\nhistory=" + address +
                                                                    "\nprofile=" + address + "\n");
}

bool LayOutAppFolder(const QString& folder, const QuoteSimProcess& sim,
                     const QByteArray& fetchList) {
    const QDir dir(folder);
    QFile::remove(dir.filePath("market.csv"));
    return QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", dir.filePath("market.csv")) &&
           WriteTestFile(dir.filePath("fetchlist.csv"), fetchList) && WriteServersConf(folder, sim);
}
