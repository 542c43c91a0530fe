#include "SimAppFolder.h"

#include <QDate>
#include <QFile>

const CSimMarket& TestSimMarket() {
    static const CSimMarket market(QByteArray(QuoteSimProcess::kSeed).toULongLong(),
                                   QDate::fromString(QuoteSimProcess::kDate, Qt::ISODate));
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
        lines += stock ? CSimMarket::fetchListLine(*stock)
                       : QStringLiteral("%1,%1,%2,UNKNOWN%1\n")
                             .arg(code)
                             .arg(CSimMarket::markets().value(0).fetchCode)
                             .toLatin1();
    }
    return lines;
}

QVector<int> KnownCodes(int count, int from) {
    QVector<int> codes;
    const QVector<SimStock>& stocks = TestSimMarket().stocks();
    for (int i = from; i < from + count && i < stocks.size(); ++i)
        codes.append(stocks[i].code);
    return codes;
}

// The year the program gives the service's trading day: this one, or the one
// before when the day lies after tomorrow.
static int SimQuoteYear() {
    const QDate day = TestSimMarket().tradingDate();
    const QDate today = QDate::currentDate();
    const QDate tomorrow = today.addDays(1);
    const bool afterTomorrow = QDate(today.year(), day.month(), day.day()) > tomorrow;
    return afterTomorrow && tomorrow.year() == today.year() ? today.year() - 1 : today.year();
}

QString SimDayFileName(const char* kind) {
    const QDate day = TestSimMarket().tradingDate();
    return QString::asprintf("%s%02d%02d%02d.DAT", kind, SimQuoteYear() - 2000, day.month(),
                             day.day());
}

static QDate WeekdayOnOrBefore(QDate day) {
    while (day.dayOfWeek() > 5)
        day = day.addDays(-1);
    return day;
}

QDate RecentTradingDay() {
    const QDate today = QDate::currentDate();
    const QDate day = WeekdayOnOrBefore(today);
    return day.year() == today.year() ? day : NextTradingDay(day);
}

QDate NextTradingDay(QDate day) {
    do
        day = day.addDays(1);
    while (day.dayOfWeek() > 5);
    return day;
}

CSimMarket SimMarketOn(QDate day) {
    return CSimMarket(QByteArray(QuoteSimProcess::kSeed).toULongLong(), day);
}

QVector<int> CodesTradedOn(const QVector<QDate>& days, int count) {
    QVector<CSimMarket> markets;
    for (const QDate& day : days)
        markets.append(SimMarketOn(day));
    QVector<int> codes;
    for (const SimStock& stock : TestSimMarket().stocks()) {
        bool traded = true;
        for (const CSimMarket& market : markets)
            traded = traded && market.today(*market.findStock(stock.code)).traded;
        if (traded)
            codes.append(stock.code);
        if (codes.size() == count)
            break;
    }
    return codes;
}
