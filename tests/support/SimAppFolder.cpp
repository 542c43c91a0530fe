#include "SimAppFolder.h"

#include "SimEncoding.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QtEndian>
#include <gtest/gtest.h>

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

QVector<int> UnknownCodes(int count) {
    QVector<int> codes;
    for (int code = 1000; code <= 9999 && codes.size() < count; ++code)
        if (!TestSimMarket().findStock(code))
            codes.append(code);
    return codes;
}

QStringList FinanceFileRecords(const QString& path, QByteArray* date, int* count) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.size() < 2)
        return {};
    if (date)
        *date = lines[0];
    if (count)
        *count = lines[1].toInt();
    QStringList records;
    for (const QByteArray& line : lines.mid(2)) {
        // The name between the market and the values may hold anything.
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() >= 8)
            records.append(
                QString::fromLatin1((fields.mid(0, 2) + fields.mid(fields.size() - 5)).join(',')));
    }
    return records;
}

QStringList ExpectedFinanceRecords(const QVector<int>& codes) {
    QStringList records;
    for (int code : codes) {
        const SimStock* stock = TestSimMarket().findStock(code);
        if (!stock)
            continue;
        QString record = QString::asprintf("%04d,%d", code, stock->market);
        for (double value : stock->finance.values())
            record += QString::asprintf(",%.2f", value);
        records.append(record);
    }
    return records;
}

QString FinanceFileIn(const QString& folder) {
    const QStringList found = QDir(folder).entryList({"FN*.DAT"}, QDir::Files);
    return found.size() == 1 ? folder + "/" + found.first() : QString();
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

static uint32_t BigEndian32(const QByteArray& bytes, int at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

// A text field of the record: its bytes up to the first zero byte.
static QByteArray TextField(const QByteArray& record, int at, int size) {
    const QByteArray field = record.mid(at, size);
    const int end = int(field.indexOf('\0'));
    return end < 0 ? field : field.left(end);
}

void ExpectDictionaryRecordMatches(const QByteArray& dictionary, int code) {
    constexpr int kRecordSize = 1024;
    ASSERT_GE(dictionary.size(), (code + 1) * kRecordSize) << code;
    const SimStock* stock = TestSimMarket().findStock(code);
    ASSERT_NE(stock, nullptr) << code;
    const SimProfile profile = TestSimMarket().profile(*stock);
    const QByteArray record = dictionary.mid(code * kRecordSize, kRecordSize);
    EXPECT_EQ(BigEndian32(record, 0), uint32_t(code));
    EXPECT_EQ(BigEndian32(record, 4), uint32_t(CSimMarket::markets().value(stock->market).dsCode))
        << code;
    EXPECT_EQ(BigEndian32(record, 8), uint32_t(stock->category)) << code;
    // Seeded from the fetch list when the dictionary was made.
    EXPECT_EQ(TextField(record, 16, 16), stock->quoteCode.toLatin1()) << code;
    // Texts are kept up to 254 bytes.
    EXPECT_EQ(TextField(record, 80, 256), toShiftJis(profile.feature).left(254)) << code;
    EXPECT_EQ(TextField(record, 336, 256), toShiftJis(profile.business).left(254)) << code;
}

// A listing name as the listing reader keeps it, in Shift-JIS: without "(株)"
// in front or at the end, cut after the character that reaches 30 bytes.
static QByteArray ListedName(const QString& listingName) {
    static const QString affix = QStringLiteral("(株)");
    QString name = listingName;
    if (name.startsWith(affix))
        name.remove(0, affix.size());
    else if (name.size() > affix.size() && name.endsWith(affix))
        name.chop(affix.size());
    QByteArray kept;
    for (const QChar c : name) {
        if (kept.size() >= 30)
            break;
        kept += toShiftJis(QString(c));
    }
    return kept;
}

QByteArray ListedFetchList() {
    const CSimMarket& market = TestSimMarket();
    QMap<int, QByteArray> lines;
    for (const SimStock& index : market.indices())
        lines[index.code] = index.quoteCode.toLatin1() + ',' + QByteArray::number(index.code) +
                            ",X," + ListedName(index.name) + '\n';
    for (const SimStock& stock : market.stocks())
        lines[stock.code] =
            toShiftJis(QStringLiteral("%1,%2,%3,")
                           .arg(stock.quoteCode)
                           .arg(stock.code, 4, 10, QLatin1Char('0'))
                           .arg(CSimMarket::markets().value(stock.market).fetchCode)) +
            ListedName(stock.name) + '\n';
    QByteArray list;
    for (const QByteArray& line : lines)
        list += line;
    return list;
}
