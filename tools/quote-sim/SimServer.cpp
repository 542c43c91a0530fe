#include "SimServer.h"

#include "SimConnection.h"

#include <QHash>
#include <QTcpSocket>

namespace {

const QByteArray s_redirectPath = "/redirect/";

QHash<QByteArray, QByteArray> parseQuery(const QByteArray& query) {
    QHash<QByteArray, QByteArray> values;
    for (const QByteArray& pair : query.split('&')) {
        const int equals = int(pair.indexOf('='));
        if (equals > 0)
            values.insert(pair.left(equals), QByteArray::fromPercentEncoding(pair.mid(equals + 1)));
    }
    return values;
}

QStringList splitCodes(const QByteArray& codes) {
    QStringList list;
    for (const QByteArray& code : codes.split('+')) {
        const QByteArray trimmed = code.trimmed();
        if (!trimmed.isEmpty())
            list.append(QString::fromLatin1(trimmed));
    }
    return list;
}

SimResponse notFound() {
    return {404, CSimPages::errorPage(404, QStringLiteral("Not Found")), {}};
}

} // namespace

CSimServer::CSimServer(const CSimPages& pages, CSimFaults& faults, QObject* parent)
    : QObject(parent), m_pages(pages), m_faults(faults) {
    connect(&m_server, &QTcpServer::newConnection, this, &CSimServer::acceptConnections);
    m_clock.start();
}

void CSimServer::setLatency(int latencyMs, quint64 seed) {
    m_latencyMs = latencyMs;
    m_latencySpread = CSimRandom(seed, 0x1A7E);
}

int CSimServer::nextLatency() {
    if (m_latencyMs <= 0)
        return 0;
    const int spread = m_latencyMs / 10;
    return m_latencyMs + (spread > 0 ? m_latencySpread.range(-spread, spread) : 0);
}

bool CSimServer::listen(quint16 port) {
    return m_server.listen(QHostAddress::LocalHost, port);
}

bool CSimServer::openLog(const QString& path) {
    m_log.setFileName(path);
    return m_log.open(QIODevice::WriteOnly | QIODevice::Append);
}

void CSimServer::log(const QByteArray& line) {
    if (!m_log.isOpen())
        return;
    m_log.write(line + '\n');
    m_log.flush();
}

void CSimServer::acceptConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection())
        new CSimConnection(socket, *this);
}

SimResponse CSimServer::route(const QByteArray& target, const QByteArray& hostPort) const {
    // A hop of a redirect chain: "/redirect/K/original-target".
    if (target.startsWith(s_redirectPath)) {
        const int slash = int(target.indexOf('/', s_redirectPath.size()));
        bool ok = false;
        const int left =
            target.mid(s_redirectPath.size(), slash - s_redirectPath.size()).toInt(&ok);
        if (!ok || slash < 0)
            return notFound();
        const QByteArray original = target.mid(slash);
        if (left <= 0)
            return route(original, hostPort);
        return {302, CSimPages::errorPage(302, QStringLiteral("Found")),
                "http://" + hostPort + s_redirectPath + QByteArray::number(left - 1) + original};
    }

    const int question = int(target.indexOf('?'));
    const QByteArray path = question < 0 ? target : target.left(question);
    const QHash<QByteArray, QByteArray> query =
        parseQuery(question < 0 ? QByteArray() : target.mid(question + 1));

    if (path == "/q") {
        const QStringList codes = splitCodes(query.value("s"));
        const QByteArray view = query.value("d");
        if (view == "v2")
            return {200, m_pages.quotePage(codes), {}};
        if (view == "v3")
            return {200, m_pages.financePage(codes), {}};
        if (view == "b" && !codes.isEmpty())
            return {200, m_pages.browserPage(codes.first()), {}};
        return notFound();
    }
    if (path == "/l")
        return {200, m_pages.listingPage(query.value("m", "1").toInt()), {}};
    if (path == "/t") {
        const QString code = QString::fromLatin1(query.value("s"));
        return {200, m_pages.historyPage(code, query.value("y", "0").toInt()), {}};
    }
    static const QByteArray profilePath = "/biz/fundamental/";
    if (path.startsWith(profilePath) && path.endsWith(".html")) {
        const QByteArray digits =
            path.mid(profilePath.size(), path.size() - profilePath.size() - 5);
        bool ok = digits.size() == 4;
        const int code = ok ? digits.toInt(&ok) : 0;
        const QByteArray page = ok ? m_pages.profilePage(code) : QByteArray();
        if (!page.isEmpty())
            return {200, page, {}};
    }
    return notFound();
}

QByteArray spoilEncoding(QByteArray page) {
    static const QByteArray bad = "\x8E\xFF";
    for (int row = int(page.indexOf("<tr")); row >= 0; row = int(page.indexOf("<tr", row + 1))) {
        const int nextRow = int(page.indexOf("<tr", row + 1));
        const int first = int(page.indexOf("</td>", row));
        const int second = first < 0 ? -1 : int(page.indexOf("</td>", first + 1));
        if (second >= 0 && (nextRow < 0 || second < nextRow))
            page.insert(second, bad);
    }
    const int body = int(page.indexOf("<body>"));
    page.insert(body < 0 ? 0 : body + 6, bad);
    return page;
}
