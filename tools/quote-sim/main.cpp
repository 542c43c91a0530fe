// quote-sim: the simulated quote service on loopback, for demonstrations and
// tests of the program without the Internet.
#include "SimFaults.h"
#include "SimMarket.h"
#include "SimPages.h"
#include "SimServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr quint16 kDefaultPort = 8731;

const char* const s_description =
    "The simulated quote service: daily quote, finance, listing, history and profile\n"
    "pages of a synthetic market, in EUC-JP, on 127.0.0.1.\n"
    "\n"
    "Faults (--fault, repeatable): KIND[:ARG]@PREFIX[#N] applies to requests whose\n"
    "target (path and query) starts with PREFIX; #N only to the N-th of them.\n"
    "  silence                 answer nothing, keep the connection open\n"
    "  silence-after-headers   status line and headers, then nothing\n"
    "  drip:SECONDS            the body in 3 parts, one every SECONDS\n"
    "  redirect:COUNT          COUNT redirects, then the page\n"
    "  redirect-loop           a redirect to the same target\n"
    "  status:CODE             that status with an HTML body\n"
    "  truncate:BYTES          BYTES of the announced body, then close\n"
    "  reset:BYTES             BYTES of the body, then a connection reset\n"
    "  oversize:BYTES          a body of BYTES bytes\n"
    "  bad-euc                 the page with bytes that are not EUC-JP\n"
    "  throttle:N/SECONDS      429 with Retry-After to a request that comes when N\n"
    "                          others were let through within SECONDS";

int s_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    const ssize_t written = ::write(s_signalPipe[1], &byte, 1);
    (void)written;
}

// SIGTERM and SIGINT end the event loop from the loop itself.
void quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(s_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

int usageError(const QString& message) {
    fprintf(stderr, "quote-sim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quote-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(s_description));
    parser.addHelpOption();
    const QCommandLineOption port(
        "port",
        "Port on 127.0.0.1; 0 picks a free one. The port is the first line on standard output.",
        "N", QString::number(kDefaultPort));
    const QCommandLineOption seed("seed", "Seed of the synthetic market.", "N", "1");
    const QCommandLineOption date("date", "Date of the quotes (default today).", "YYYY-MM-DD");
    const QCommandLineOption time(
        "time", "Time of day; during trading hours the quote pages show it instead of the date.",
        "HH:MM");
    const QCommandLineOption log("log",
                                 "Append one line per request to FILE: method, target, headers, "
                                 "then start=, end= (seconds), status= and retry-after=.",
                                 "FILE");
    const QCommandLineOption latency(
        "latency",
        "Wait MS (give or take a tenth, drawn from the seed) before each answer's first byte.",
        "MS", "0");
    const QCommandLineOption rate(
        "rate", "Send each answer at most KBPS kilobytes (1000 bytes) a second.", "KBPS", "0");
    const QCommandLineOption history(
        "history-length", "Number of history rows of one stock (repeatable).", "CODE=ROWS");
    const QCommandLineOption stocks(
        "stocks", "List exactly N stocks (default: about a third of the codes 1300..9999).", "N");
    const QCommandLineOption fetchList(
        "fetchlist", "Print the first N stocks as fetch-list lines (Shift-JIS) and exit.", "N");
    const QCommandLineOption fault("fault", "Inject a fault (repeatable), see above.", "RULE");
    parser.addOptions(
        {port, seed, date, time, log, latency, rate, history, stocks, fetchList, fault});
    parser.process(app);

    bool ok = false;
    const quint64 seedValue = parser.value(seed).toULongLong(&ok);
    if (!ok)
        return usageError(QStringLiteral("--seed takes a number"));
    QDate day = QDate::currentDate();
    if (parser.isSet(date)) {
        day = QDate::fromString(parser.value(date), Qt::ISODate);
        if (!day.isValid())
            return usageError(QStringLiteral("--date takes YYYY-MM-DD"));
    }
    int stockCount = 0;
    if (parser.isSet(stocks)) {
        stockCount = parser.value(stocks).toInt(&ok);
        if (!ok || stockCount < 1 || stockCount > 8700)
            return usageError(QStringLiteral("--stocks takes a number from 1 to 8700"));
    }
    CSimMarket market(seedValue, day, stockCount);
    if (CSimMarket::markets().isEmpty())
        return usageError(QStringLiteral("the embedded market table is missing"));
    for (const QString& item : parser.values(history)) {
        const QStringList parts = item.split(QLatin1Char('='));
        bool codeOk = false;
        bool rowsOk = false;
        const int code = parts.value(0).toInt(&codeOk);
        const int rows = parts.value(1).toInt(&rowsOk);
        if (parts.size() != 2 || !codeOk || !rowsOk || rows < 0)
            return usageError(QStringLiteral("--history-length takes CODE=ROWS"));
        market.setHistoryLength(code, rows);
    }

    if (parser.isSet(fetchList)) {
        const int count = parser.value(fetchList).toInt(&ok);
        if (!ok || count < 0)
            return usageError(QStringLiteral("--fetchlist takes a number"));
        const QByteArray lines = market.fetchList(count);
        fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
        return 0;
    }

    CSimPages pages(market);
    if (parser.isSet(time)) {
        const QTime timeOfDay = QTime::fromString(parser.value(time), QStringLiteral("HH:mm"));
        if (!timeOfDay.isValid())
            return usageError(QStringLiteral("--time takes HH:MM"));
        pages.setTimeOfDay(timeOfDay);
    }
    CSimFaults faults;
    for (const QString& rule : parser.values(fault)) {
        QString error;
        if (!faults.add(rule, &error))
            return usageError(error);
    }
    const uint portValue = parser.value(port).toUInt(&ok);
    if (!ok || portValue > 65535)
        return usageError(QStringLiteral("--port takes a number from 0 to 65535"));
    const uint latencyMs = parser.value(latency).toUInt(&ok);
    if (!ok || latencyMs > 60000)
        return usageError(QStringLiteral("--latency takes milliseconds from 0 to 60000"));
    const uint rateKBps = parser.value(rate).toUInt(&ok);
    if (!ok || rateKBps > 1000000)
        return usageError(QStringLiteral("--rate takes kilobytes a second from 0 to 1000000"));

    quitOnSignals(app);
    CSimServer server(pages, faults);
    server.setLatency(int(latencyMs), seedValue);
    server.setRate(qint64(rateKBps) * 1000);
    if (parser.isSet(log) && !server.openLog(parser.value(log)))
        return usageError(QStringLiteral("cannot open the log %1").arg(parser.value(log)));
    if (!server.listen(quint16(portValue))) {
        fprintf(stderr, "quote-sim: cannot listen on 127.0.0.1:%u: %s\n", portValue,
                qPrintable(server.errorString()));
        return 1;
    }
    printf("%u\n", unsigned(server.port()));
    fflush(stdout);
    fprintf(stderr, "quote-sim: serving %d stocks for %s on 127.0.0.1:%u\n",
            int(market.stocks().size()), qPrintable(market.tradingDate().toString(Qt::ISODate)),
            unsigned(server.port()));

    return app.exec();
}
