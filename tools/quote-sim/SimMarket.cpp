#include "SimMarket.h"

#include "SimEncoding.h"
#include "SimRandom.h"
#include "SimWords.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

// Stocks that are always on the market, with their market's fetch code and industry.
struct FixedStock {
    int code;
    const char* fetchCode;
    int category;
};
const FixedStock s_fixedStocks[] = {
    {1301, "T", 1}, {6758, "O", 16}, {7203, "T", 17}, {8001, "T", 26}, {9984, "T", 25}};

// The index rows of the listing: their own number, the code the listing maps it
// to, the name and the level in tenths.
struct IndexRow {
    const char* quoteCode;
    int code;
    const char* name;
    int64_t level;
};
const IndexRow s_indexRows[] = {{"998405", 1001, "総合株価指数", 16543},
                                {"998407", 1010, "平均株価", 172036},
                                {"23337", 1002, "平均株価先物", 171900}};

constexpr int kLowestCode = 1300;
constexpr int kMaxStocks = 3997; // with the three index rows the listing keeps to 80 pages
constexpr double kListedShare = 0.345;

// How often each row of market.csv is chosen (file order); rows beyond get 1.
const int s_marketWeights[] = {40, 12, 5, 8, 4, 6, 4, 2, 2, 13, 1, 1, 1, 1};

int64_t tickOf(int64_t tenths, bool fractional) {
    if (fractional)
        return 1;
    const int64_t yen = tenths / 10;
    if (yen < 2000)
        return 10;
    if (yen < 3000)
        return 50;
    if (yen < 30000)
        return 100;
    if (yen < 50000)
        return 500;
    if (yen < 300000)
        return 1000;
    return 10000;
}

// A price rounded to the stock's tick, never below one tick.
int64_t quantize(double tenths, bool fractional) {
    const double clamped = std::max(1.0, std::min(tenths, 1e10));
    const int64_t tick = tickOf(int64_t(clamped), fractional);
    const int64_t value = int64_t(std::llround(clamped / double(tick))) * tick;
    return std::max(value, tick);
}

QDate weekdayOnOrBefore(QDate date) {
    while (date.dayOfWeek() > 5)
        date = date.addDays(-1);
    return date;
}

} // namespace

std::array<double, 5> SimFinance::values() const {
    return {double(marketValue), double(per) / 10.0, double(yield) / 10.0, double(pbr) / 10.0,
            double(eps) / 10.0};
}

const QVector<SimMarketEntry>& CSimMarket::markets() {
    static const QVector<SimMarketEntry> entries = [] {
        QVector<SimMarketEntry> rows;
        QFile file(QStringLiteral(":/quote-sim/market.csv"));
        if (!file.open(QIODevice::ReadOnly))
            return rows;
        const QString text = fromShiftJis(file.readAll());
        for (QString line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            line.remove(QLatin1Char('\r'));
            const QStringList fields = line.split(QLatin1Char(','));
            if (fields.size() < 3)
                continue;
            SimMarketEntry entry;
            entry.dsCode = fields[0].trimmed().toInt();
            entry.fetchCode = fields[1].trimmed();
            entry.name = fields[2].mid(1);
            rows.append(entry);
        }
        return rows;
    }();
    return entries;
}

const QStringList& CSimMarket::industryNames() {
    return simIndustryNames();
}

CSimMarket::CSimMarket(uint64_t seed, QDate date, int stockCount)
    : m_seed(seed), m_tradingDate(weekdayOnOrBefore(date)) {
    const int maxStocks =
        stockCount > 0 ? std::min(stockCount, 9999 - kLowestCode + 1) : kMaxStocks;
    for (int code = kLowestCode; code <= 9999 && m_stocks.size() < maxStocks; ++code) {
        int forcedMarket = -2;
        for (const FixedStock& fixed : s_fixedStocks) {
            if (fixed.code != code)
                continue;
            forcedMarket = 0;
            for (int i = 0; i < markets().size(); ++i) {
                if (markets()[i].fetchCode == QLatin1String(fixed.fetchCode)) {
                    forcedMarket = i;
                    break;
                }
            }
        }
        // A count asked for is met exactly: each code is chosen with the share
        // of the stocks still wanted among the codes left.
        int fixedAfter = 0;
        for (const FixedStock& fixed : s_fixedStocks)
            fixedAfter += fixed.code > code ? 1 : 0;
        const double share = stockCount > 0 ? double(maxStocks - m_stocks.size() - fixedAfter) /
                                                  double(10000 - code - fixedAfter)
                                            : kListedShare;
        if (forcedMarket == -2 && !CSimRandom(seed, uint64_t(code), 1).chance(share))
            continue;
        addStock(code, forcedMarket);
    }

    for (const IndexRow& row : s_indexRows) {
        SimStock index;
        index.code = row.code;
        index.quoteCode = QLatin1String(row.quoteCode);
        index.name = QString::fromUtf8(row.name);
        index.index = true;
        index.fractional = true;
        index.basePrice = row.level;
        index.baseVolume = 0;
        index.historyLength = 2000;
        m_indices.append(index);
        m_listing.append({index.quoteCode, index.name, -1});
    }
    for (const SimStock& stock : m_stocks) {
        QString name = stock.name;
        if (stock.listingAffix == 1)
            name = QStringLiteral("(株)") + name;
        else if (stock.listingAffix == 2)
            name += QStringLiteral("(株)");
        m_listing.append(
            {QStringLiteral("%1").arg(stock.code, 4, 10, QLatin1Char('0')), name, stock.market});
    }
}

void CSimMarket::addStock(int code, int forcedMarket) {
    CSimRandom random(m_seed, uint64_t(code), 2);
    SimStock stock;
    stock.code = code;
    stock.quoteCode = QString::number(code);

    int category = random.range(1, 33);
    for (const FixedStock& fixed : s_fixedStocks) {
        if (fixed.code == code)
            category = fixed.category;
    }
    stock.category = category;
    stock.name = makeCompanyName(random, category);

    if (forcedMarket >= 0) {
        stock.market = forcedMarket;
    } else {
        int total = 0;
        for (int i = 0; i < markets().size(); ++i)
            total += i < int(std::size(s_marketWeights)) ? s_marketWeights[i] : 1;
        int roll = random.below(std::max(total, 1));
        stock.market = 0;
        for (int i = 0; i < markets().size(); ++i) {
            roll -= i < int(std::size(s_marketWeights)) ? s_marketWeights[i] : 1;
            if (roll < 0) {
                stock.market = i;
                break;
            }
        }
    }

    const int affix = random.below(10);
    stock.listingAffix = affix < 2 ? 1 : affix < 3 ? 2 : 0;

    stock.fractional = random.chance(0.05);
    double yen;
    if (stock.fractional)
        yen = 20.0 * std::pow(15.0, random.unit()); // 20 .. 300 yen
    else if (random.chance(0.01))
        yen = 100000.0 * std::pow(9.0, random.unit());
    else
        yen = 50.0 * std::pow(1200.0, random.unit()); // 50 .. 60,000 yen
    stock.basePrice = quantize(yen * 10.0, stock.fractional);

    stock.hugeVolume = code == 9984 || random.chance(0.003);
    if (stock.hugeVolume)
        stock.baseVolume = 3000000000LL;
    else
        stock.baseVolume = int64_t(1000.0 * std::pow(20000.0, random.unit()));

    const int lengthKind = random.below(10);
    if (lengthKind == 0)
        stock.historyLength = random.range(5, 49);
    else if (lengthKind < 4)
        stock.historyLength = random.range(50, 400);
    else
        stock.historyLength = random.range(401, 2000);

    // Finance figures, from the stock's price level.
    const double close = double(stock.basePrice) / 10.0;
    const double shares = std::pow(10.0, 6.5 + 3.0 * random.unit());
    stock.finance.marketValue = std::max<int64_t>(1, std::llround(close * shares / 1e6));
    if (random.chance(0.15))
        stock.finance.eps =
            -std::max<int64_t>(1, std::llround(close * (0.01 + 0.2 * random.unit()) * 10.0));
    else
        stock.finance.eps =
            std::max<int64_t>(1, std::llround(close * (0.02 + 0.1 * random.unit()) * 10.0));
    stock.finance.per =
        stock.finance.eps > 0 ? std::llround(close * 100.0 / double(stock.finance.eps)) : 0;
    stock.finance.yield = random.chance(0.2) ? 0 : random.range(1, 50);
    stock.finance.pbr = random.range(3, 60);

    m_stockByCode.insert(code, int(m_stocks.size()));
    m_stocks.append(stock);
}

const SimStock* CSimMarket::findStock(int code) const {
    const auto it = m_stockByCode.constFind(code);
    return it == m_stockByCode.constEnd() ? nullptr : &m_stocks[*it];
}

const SimStock* CSimMarket::findQuote(const QString& requested) const {
    QString text = requested;
    const int dot = int(text.indexOf(QLatin1Char('.')));
    if (dot >= 0)
        text.truncate(dot);
    for (const SimStock& index : m_indices) {
        if (index.quoteCode == text)
            return &index;
    }
    if (text.size() != 4)
        return nullptr;
    bool ok = false;
    const int code = text.toInt(&ok);
    return ok ? findStock(code) : nullptr;
}

void CSimMarket::setHistoryLength(int code, int rows) {
    const auto it = m_stockByCode.constFind(code);
    if (it != m_stockByCode.constEnd())
        m_stocks[*it].historyLength = std::max(0, rows);
}

double CSimMarket::wave(const SimStock& stock, int64_t day, int scale) const {
    const int64_t knot = day / scale; // Julian day numbers are positive
    const double t = double(day - knot * scale) / double(scale);
    const double ease = t * t * (3.0 - 2.0 * t);
    const uint64_t key = m_seed ^ (uint64_t(stock.code) << 20);
    const double from = CSimRandom(key, uint64_t(knot), uint64_t(scale)).unit() * 2.0 - 1.0;
    const double to = CSimRandom(key, uint64_t(knot + 1), uint64_t(scale)).unit() * 2.0 - 1.0;
    return from + (to - from) * ease;
}

int64_t CSimMarket::closeOn(const SimStock& stock, QDate date) const {
    // Moves of several time scales, each as large as a random walk of that
    // many days would make it, over the stock's price level; and the day's
    // own move.
    const int64_t day = date.toJulianDay();
    double move = 0.0;
    for (int scale : {729, 243, 81, 27, 9, 3})
        move += 0.012 * std::sqrt(double(scale)) * wave(stock, day, scale);
    CSimRandom random(m_seed ^ (uint64_t(stock.code) << 20), uint64_t(day), 3);
    move += 0.012 * (random.unit() * 2.0 - 1.0);
    return quantize(double(stock.basePrice) * std::exp(move), stock.fractional);
}

SimDay CSimMarket::makeDay(const SimStock& stock, QDate date) const {
    CSimRandom random(m_seed ^ (uint64_t(stock.code) << 20), uint64_t(date.toJulianDay()), 4);
    SimDay day;
    day.date = date;
    day.close = closeOn(stock, date);
    day.traded = !random.chance(1.0 / 40.0);
    const double c = double(day.close);
    day.open = quantize(c * (1.0 + (random.unit() - 0.5) * 0.04), stock.fractional);
    const int64_t top = std::max(day.open, day.close);
    const int64_t bottom = std::min(day.open, day.close);
    day.high =
        std::max(top, quantize(double(top) * (1.0 + random.unit() * 0.02), stock.fractional));
    day.low =
        std::min(bottom, quantize(double(bottom) * (1.0 - random.unit() * 0.02), stock.fractional));
    if (stock.index) {
        day.volume = 0;
    } else if (stock.hugeVolume) {
        day.volume = int64_t(double(stock.baseVolume) * (0.8 + 0.7 * random.unit())) / 1000 * 1000;
    } else {
        const double factor = 0.3 + 2.7 * random.unit();
        day.volume = std::max<int64_t>(100, int64_t(double(stock.baseVolume) * factor) / 100 * 100);
    }
    if (!day.traded)
        day.volume = 0;
    return day;
}

QVector<SimDay> CSimMarket::history(const SimStock& stock, int offset, int count) const {
    QVector<SimDay> days;
    const int end = std::min(stock.historyLength, offset + std::max(count, 0));
    QDate date = m_tradingDate;
    for (int i = 0; i < end; ++i) {
        if (i > 0)
            date = weekdayOnOrBefore(date.addDays(-1));
        if (i >= offset)
            days.append(makeDay(stock, date));
    }
    return days;
}

SimDay CSimMarket::today(const SimStock& stock) const {
    SimDay day = makeDay(stock, m_tradingDate);
    if (!day.traded) {
        // Not traded today: the quote shows the last close, without volume.
        day.open = day.high = day.low = day.close = previousClose(stock);
        day.volume = 0;
    }
    return day;
}

int64_t CSimMarket::previousClose(const SimStock& stock) const {
    QDate date = m_tradingDate;
    // Days without trading are rare: a few steps back find a traded one.
    for (int i = 0; i < 100; ++i) {
        date = weekdayOnOrBefore(date.addDays(-1));
        const SimDay day = makeDay(stock, date);
        if (day.traded)
            return day.close;
    }
    return closeOn(stock, date);
}

SimProfile CSimMarket::profile(const SimStock& stock) const {
    CSimRandom random(m_seed, uint64_t(stock.code), 5);
    SimProfile profile;
    profile.category = industryNames().value(stock.category - 1);
    if (random.chance(0.2))
        profile.category +=
            random.chance(0.5) ? QStringLiteral("（主力）") : QStringLiteral(" 内需関連");
    if (stock.market >= 0 && stock.market < markets().size())
        profile.market = markets()[stock.market].name;
    profile.feature = makeFeatureText(random, stock.category);
    const int marker = random.below(10);
    profile.businessMarker = marker < 6   ? SimBusinessMarker::Consolidated
                             : marker < 9 ? SimBusinessMarker::NonConsolidated
                                          : SimBusinessMarker::Funds;
    profile.business = makeBusinessText(random, stock.category);
    return profile;
}

QByteArray CSimMarket::fetchList(int count) const {
    QByteArray lines;
    for (int i = 0; i < std::min(count, int(m_stocks.size())); ++i)
        lines += fetchListLine(m_stocks[i]);
    return lines;
}

QByteArray CSimMarket::fetchListLine(const SimStock& stock) {
    return toShiftJis(QStringLiteral("%1,%2,%3,%4\n")
                          .arg(stock.quoteCode)
                          .arg(stock.code, 4, 10, QLatin1Char('0'))
                          .arg(markets().value(stock.market).fetchCode, stock.name));
}

QString formatNumber(int64_t value) {
    const bool negative = value < 0;
    QString digits = QString::number(negative ? -value : value);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return negative ? QLatin1Char('-') + digits : digits;
}

QString formatPrice(int64_t tenths) {
    if (tenths % 10 == 0)
        return formatNumber(tenths / 10);
    return formatTenths(tenths);
}

QString formatTenths(int64_t tenths) {
    const int64_t whole = std::abs(tenths) / 10;
    const QString text =
        formatNumber(whole) + QLatin1Char('.') + QString::number(std::abs(tenths) % 10);
    return tenths < 0 ? QLatin1Char('-') + text : text;
}
