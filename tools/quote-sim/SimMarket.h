// The synthetic market the simulated quote service plays: a few thousand
// stocks with names, markets, prices, histories, finance figures and company
// profiles, all derived from one seed and one date. Tests build the same
// object to know what the pages must say.
#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>

// One row of the shipped market.csv.
struct SimMarketEntry {
    int dsCode = 0;
    QString fetchCode;
    QString name; // as the file writes it, without the blank after the comma
};

// One day of a stock's history. Prices are in tenths of a yen, so that
// fractional prices such as 10.5 stay exact.
struct SimDay {
    QDate date;
    bool traded = true; // false: a day without trading, shown with "-" prices
    int64_t open = 0;
    int64_t high = 0;
    int64_t low = 0;
    int64_t close = 0;
    int64_t volume = 0;
};

// The five figures of a finance row.
struct SimFinance {
    int64_t marketValue = 0; // millions of yen
    int64_t per = 0;         // price/earnings in tenths; 0 when the company made a loss
    int64_t yield = 0;       // dividend yield in tenths of a percent; 0 when none
    int64_t pbr = 0;         // price/book in tenths
    int64_t eps = 0;         // earnings per share in tenths of a yen, negative for a loss
    // The figures in the order of the page's cells six to ten, as numbers.
    std::array<double, 5> values() const;
};

enum class SimBusinessMarker { Consolidated, NonConsolidated, Funds };

struct SimProfile {
    QString category; // an industry name of the 33, sometimes followed by more text
    QString market;   // the market's name as market.csv writes it
    QString feature;
    SimBusinessMarker businessMarker = SimBusinessMarker::Consolidated;
    QString business;
};

struct SimStock {
    int code = 0;      // 1000..9999 (indices: the number the listing maps them to)
    QString quoteCode; // the code as the quote server spells it ("6758", "998405")
    int market = -1;   // row of market.csv; -1 for an index
    QString name;
    int category = 0;     // 1..33, 0 for an index
    int listingAffix = 0; // the listing writes the name 0: plain, 1: after "(株)", 2: before it
    bool index = false;
    bool fractional = false; // priced in tenths of a yen
    bool hugeVolume = false; // trades 2^31 shares or more a day
    int historyLength = 0;
    int64_t basePrice = 0; // the level the closes move around, tenths
    int64_t baseVolume = 0;
    SimFinance finance;
};

// One row of the market listing.
struct SimListingRow {
    QString codeText; // first cell: "%04d", or an index's own number
    QString name;     // second cell, "(株)" included where the listing writes it
    int market = -1;
};

class CSimMarket {
public:
    // stockCount 0: about a third of the codes 1300..9999 are listed (at most
    // 3,997, so that the listing keeps to 80 pages); else exactly that many.
    CSimMarket(uint64_t seed, QDate date, int stockCount = 0);

    // The rows of the shipped market.csv (read once from the embedded copy).
    static const QVector<SimMarketEntry>& markets();
    // The 33 industry names, number 1 first.
    static const QStringList& industryNames();

    uint64_t seed() const { return m_seed; }
    // The day the quotes are for: the date given, or the weekday before it.
    QDate tradingDate() const { return m_tradingDate; }

    // Ordinary stocks in code order; 1301, 6758, 7203, 8001 and 9984 are always there.
    const QVector<SimStock>& stocks() const { return m_stocks; }
    // The three index rows of the listing (23337, 998405, 998407).
    const QVector<SimStock>& indices() const { return m_indices; }
    const SimStock* findStock(int code) const;
    // A code as a request gives it: "6758", "6758.O", "998405"; null when unknown.
    const SimStock* findQuote(const QString& requested) const;
    // Overrides the number of history rows of one stock.
    void setHistoryLength(int code, int rows);

    // Days offset .. offset+count-1 of the history, newest first (day 0 is the
    // trading date, each row the weekday before the one above it), cut at the
    // stock's history length, which counts back from the trading date.
    QVector<SimDay> history(const SimStock& stock, int offset, int count) const;
    // The trading date's quote; a stock not traded that day shows the last
    // close at all four prices and no volume.
    SimDay today(const SimStock& stock) const;
    int64_t previousClose(const SimStock& stock) const;
    SimProfile profile(const SimStock& stock) const;
    // All listing rows: the indices first, then the stocks in code order.
    const QVector<SimListingRow>& listing() const { return m_listing; }
    // The first count stocks as fetch-list lines "%s,%04d,%s,%s\n", Shift-JIS.
    QByteArray fetchList(int count) const;
    // One stock's fetch-list line.
    static QByteArray fetchListLine(const SimStock& stock);

private:
    void addStock(int code, int forcedMarket);
    // Smooth noise in -1..1 over the days, with knots every scale days.
    double wave(const SimStock& stock, int64_t day, int scale) const;
    // A day's values depend on the stock and the date only: a later trading
    // date extends the same history.
    int64_t closeOn(const SimStock& stock, QDate date) const;
    SimDay makeDay(const SimStock& stock, QDate date) const;

    uint64_t m_seed;
    QDate m_tradingDate;
    QVector<SimStock> m_stocks;
    QVector<SimStock> m_indices;
    QHash<int, int> m_stockByCode;
    QVector<SimListingRow> m_listing;
};

// A price in tenths as the yen a page reader gets from its text.
inline double yen(int64_t tenths) {
    return double(tenths) / 10.0;
}

// Price texts as the pages write them: thousands commas, one decimal when the
// price has tenths ("1,234", "10.5").
QString formatPrice(int64_t tenths);
// An integer with thousands commas ("2,147,483,648").
QString formatNumber(int64_t value);
// A tenths value with one decimal ("15.3", "-0.5").
QString formatTenths(int64_t tenths);
