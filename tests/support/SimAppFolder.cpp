#include "SimAppFolder.h"

#include <QDate>
#include <QFile>

#include <algorithm>

const CSimMarket& TestSimMarket() {
    static const CSimMarket market =
        SimMarketOn(QDate::fromString(QuoteSimProcess::kDate, Qt::ISODate));
    return market;
}

bool WriteAppFile(const QString& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder + "/" + name);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool WriteServersConf(const QString& folder, const QuoteSimProcess& sim) {
    const QByteArray host = sim.hostPort().toLatin1();
    return WriteAppFile(folder, "servers.conf",
                        "quote=" + host + "\nhistory=" + host + "\nprofile=" + host + "\n");
}

bool LayOutAppFolder(const QString& folder, const QuoteSimProcess& sim) {
    return QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", folder + "/market.csv") &&
           WriteServersConf(folder, sim);
}

bool WriteFetchList(const QString& folder, const QByteArray& lines) {
    return WriteAppFile(folder, "fetchlist.csv", lines);
}

QByteArray ReadAppFile(const QString& folder, const QString& name) {
    QFile file(folder + "/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray FetchListLines(const QVector<int>& codes) {
    QByteArray lines;
    for (int code : codes) {
        const SimStock* stock = TestSimMarket().findStock(code);
        lines += stock
                     ? CSimMarket::fetchListLine(*stock)
                     : QString::asprintf("%d,%d,%s,UNKNOWN%d\n", code, code,
                                         qPrintable(CSimMarket::markets().value(0).fetchCode), code)
                           .toLatin1();
    }
    return lines;
}

QVector<int> KnownCodes(int count, int from) {
    QVector<int> codes;
    for (const SimStock& stock : TestSimMarket().stocks().mid(from, count))
        codes.append(stock.code);
    return codes;
}

QString SimDayFileName(const char* kind) {
    // The year the program gives the service's trading day: this one, or the
    // one before when the day lies after tomorrow.
    const QDate day = TestSimMarket().tradingDate(), tomorrow = QDate::currentDate().addDays(1);
    const int year = QDate::currentDate().year();
    const bool before = QDate(year, day.month(), day.day()) > tomorrow && tomorrow.year() == year;
    return QString::asprintf("%s%02d%02d%02d.DAT", kind, year - before - 2000, day.month(),
                             day.day());
}

QDate RecentTradingDay() {
    const QDate today = QDate::currentDate(),
                day = today.addDays(-std::max(0, today.dayOfWeek() - 5));
    return day.year() == today.year() ? day : NextTradingDay(day);
}

QDate NextTradingDay(QDate day) {
    return day.addDays(day.dayOfWeek() >= 5 ? 8 - day.dayOfWeek() : 1);
}

CSimMarket SimMarketOn(QDate day) {
    return CSimMarket(QByteArray(QuoteSimProcess::kSeed).toULongLong(), day);
}

QVector<int> CodesTradedOn(const QVector<QDate>& days, int count) {
    QVector<CSimMarket> markets;
    for (const QDate& day : days)
        markets.append(SimMarketOn(day));
    QVector<int> codes;
    for (const SimStock& stock : TestSimMarket().stocks())
        if (codes.size() < count &&
            std::all_of(markets.begin(), markets.end(), [&](const CSimMarket& market) {
                return market.today(*market.findStock(stock.code)).traded;
            }))
            codes.append(stock.code);
    return codes;
}
