#include "QuoteSimProcess.h"

#include <QFile>

QList<SimLogEntry> ReadSimLog(const QString& path) {
    QList<SimLogEntry> entries;
    QFile log(path);
    for (const QByteArray& line :
         log.open(QIODevice::ReadOnly) ? log.readAll().split('\n') : QList<QByteArray>()) {
        const QList<QByteArray> fields = line.split('\t');
        SimLogEntry entry{fields[0]};
        for (const QByteArray& field : fields) {
            const QByteArray value = field.mid(field.indexOf('=') + 1);
            if (field.startsWith("start="))
                entry.start = value.toDouble();
            else if (field.startsWith("end="))
                entry.end = value.toDouble();
            else if (field.startsWith("status="))
                entry.status = value.toInt();
        }
        if (!line.isEmpty())
            entries.append(entry);
    }
    return entries;
}

QuoteSimProcess::QuoteSimProcess(const QStringList& extraArgs) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QUOTE_SIM_EXE),
                    QStringList{"--port", "0", "--seed", kSeed, "--date", kDate} + extraArgs);
    if (!m_process.waitForStarted(10000))
        return;
    // The first line on standard output is the port that was picked.
    while (!m_process.canReadLine())
        if (!m_process.waitForReadyRead(20000))
            return;
    const uint port = m_process.readLine().trimmed().toUInt(); // 0 when it is no number
    if (port < 65536)
        m_port = static_cast<quint16>(port);
}

QuoteSimProcess::~QuoteSimProcess() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString QuoteSimProcess::hostPort() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QString QuoteSimProcess::url(const QString& path) const {
    return QStringLiteral("http://") + hostPort() + path;
}
