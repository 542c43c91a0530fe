// The pages of the simulated quote service, rendered from the market as
// EUC-JP HTML with the table structure the program's page readers take apart:
// rows "<tr" .. "</tr>", cells "<td" .. "</td>", profile texts ending at "</TD>".
#pragma once

#include "SimMarket.h"

#include <QByteArray>
#include <QStringList>
#include <QTime>

class CSimPages {
public:
    static constexpr int kRowsPerPage = 50;
    // The listing is read 80 pages of 50 rows deep and no further.
    static constexpr int kListingRows = 4000;

    explicit CSimPages(const CSimMarket& market) : m_market(market) {}

    // During trading hours (09:00 to 15:00) the quote pages show this time of
    // day instead of the date; an invalid time shows the date.
    void setTimeOfDay(QTime time) { m_time = time; }

    // Daily quotes: one row per requested code, in request order.
    QByteArray quotePage(const QStringList& codes) const;
    // Finance figures: one row of ten cells per known code.
    QByteArray financePage(const QStringList& codes) const;
    // The quote page a browser shows for one code.
    QByteArray browserPage(const QString& code) const;
    // 50 listing rows from the 1-based row firstRow.
    QByteArray listingPage(int firstRow) const;
    // 50 history rows of the stock from the 0-based row offset, newest first.
    QByteArray historyPage(const QString& code, int offset) const;
    // The company profile; empty for a code the market does not know.
    QByteArray profilePage(int code) const;
    // The HTML body of an error answer.
    static QByteArray errorPage(int status, const QString& reason);

    // The date cell of the quote page: "12/25", or "14:32" during trading hours.
    QString dateCell() const;

private:
    const CSimMarket& m_market;
    QTime m_time;
};
