#include "QuoteSimProcess.h"

#include <QFile>
#include <QRegularExpression>

QList<SimLogEntry> ReadSimLog(const QString& path) {
    // The request, later start=, end= and status= ("-": none sent), tab-separated.
    static const QRegularExpression line(
        "^([^\t\n]*)[^\n]*\tstart=(\\S+)\tend=(\\S+)\tstatus=(\\S+)",
        QRegularExpression::MultilineOption);
    QFile log(path);
    QList<SimLogEntry> entries;
    for (const QRegularExpressionMatch& m : line.globalMatch(
             log.open(QIODevice::ReadOnly) ? QString::fromLatin1(log.readAll()) : QString()))
        entries.append({m.captured(1).toLatin1(), m.captured(2).toDouble(),
                        m.captured(3).toDouble(), m.captured(4).toInt()});
    return entries;
}

QuoteSimProcess::QuoteSimProcess(const QStringList& extraArgs) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QUOTE_SIM_EXE),
                    QStringList{"--port", "0", "--seed", kSeed, "--date", kDate} + extraArgs);
    // The first line on standard output is the port that was picked.
    while (!m_process.canReadLine())
        if (!m_process.waitForReadyRead(20000))
            return;
    m_port = m_process.readLine().trimmed().toUShort(); // 0 when it is no port
}

QuoteSimProcess::~QuoteSimProcess() {
    m_process.terminate();
    m_process.waitForFinished(5000); // else QProcess kills it
}

QString QuoteSimProcess::hostPort() const {
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QString QuoteSimProcess::url(const QString& path) const {
    return QStringLiteral("http://") + hostPort() + path;
}
