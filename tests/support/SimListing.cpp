#include "SimListing.h"

#include "SimAppFolder.h"
#include "SimEncoding.h"
#include "SimMarket.h"

#include <QMap>

QByteArray ListedName(const QString& listingName) {
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
