#include "SimPages.h"

#include "SimEncoding.h"

namespace {

const QString s_head = QStringLiteral(
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\">"
    "<title>%1</title></head><body>\n");
const QString s_tail = QStringLiteral("</body></html>\n");
const QString s_menu = QStringLiteral(
    "<table class=\"menu\"><tr><td><a href=\"/\">トップ</a></td><td><a href=\"/l?s=%2a&amp;m=1\">"
    "銘柄一覧</a></td><td>ポートフォリオ</td><td>ニュース</td></tr></table>\n");
const QString s_notFound = QStringLiteral("一致する銘柄はありません");

void appendRow(QString& page, const QStringList& cells) {
    page += QLatin1String("<tr>");
    for (const QString& cell : cells) {
        page += QLatin1String("<td>");
        page += cell;
        page += QLatin1String("</td>");
    }
    page += QLatin1String("</tr>\n");
}

QString signedTenths(int64_t tenths, bool asPrice) {
    const QString text = asPrice ? formatPrice(tenths < 0 ? -tenths : tenths)
                                 : formatTenths(tenths < 0 ? -tenths : tenths);
    return (tenths < 0 ? QLatin1Char('-') : QLatin1Char('+')) + text;
}

QString percentOf(int64_t change, int64_t base) {
    const int64_t hundredths = base > 0 ? change * 10000 / base : 0;
    const int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    return QStringLiteral("%1%2.%3%")
        .arg(hundredths < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString codeText(int code) {
    return QStringLiteral("%1").arg(code, 4, 10, QLatin1Char('0'));
}

} // namespace

QString CSimPages::dateCell() const {
    if (m_time.isValid() && m_time >= QTime(9, 0) && m_time <= QTime(15, 0))
        return m_time.toString(QStringLiteral("HH:mm"));
    const QDate date = m_market.tradingDate();
    return QStringLiteral("%1/%2").arg(date.month()).arg(date.day(), 2, 10, QLatin1Char('0'));
}

QByteArray CSimPages::quotePage(const QStringList& codes) const {
    QString page = s_head.arg(QStringLiteral("株価")) + s_menu;
    page += QLatin1String("<table class=\"quotes\">\n");
    appendRow(page, {"コード", "銘柄名", "日付", "現在値", "前日比", "騰落率", "出来高", "始値",
                     "高値", "安値"});
    const QString date = dateCell();
    for (const QString& code : codes) {
        const SimStock* stock = m_market.findQuote(code);
        if (!stock) {
            appendRow(page, {code, s_notFound, "-", "-", "-", "-", "-", "-", "-", "-"});
            continue;
        }
        const SimDay day = m_market.today(*stock);
        const int64_t change = day.close - m_market.previousClose(*stock);
        appendRow(page, {code, stock->name, date, "<b>" + formatPrice(day.close) + "</b>",
                         signedTenths(change, true), percentOf(change, day.close - change),
                         formatNumber(day.volume), formatPrice(day.open), formatPrice(day.high),
                         formatPrice(day.low)});
    }
    page += QLatin1String("</table>\n") + s_tail;
    return toEucJp(page);
}

QByteArray CSimPages::financePage(const QStringList& codes) const {
    QString page = s_head.arg(QStringLiteral("投資指標")) + s_menu;
    page += QLatin1String("<table class=\"finance\">\n");
    appendRow(page, {"コード", "市場", "銘柄名", "現在値", "日付", "時価総額", "PER", "配当利回り",
                     "PBR", "1株利益"});
    for (const QString& code : codes) {
        const SimStock* stock = m_market.findQuote(code);
        if (!stock || stock->index)
            continue;
        const SimFinance& f = stock->finance;
        appendRow(page, {codeText(stock->code), CSimMarket::markets().value(stock->market).name,
                         stock->name, formatPrice(m_market.today(*stock).close), dateCell(),
                         formatNumber(f.marketValue) + "百万円",
                         f.per > 0 ? formatTenths(f.per) + "倍" : QStringLiteral("---"),
                         f.yield > 0 ? formatTenths(f.yield) + "%" : QStringLiteral("---"),
                         formatTenths(f.pbr) + "倍", formatTenths(f.eps) + "円"});
    }
    page += QLatin1String("</table>\n") + s_tail;
    return toEucJp(page);
}

QByteArray CSimPages::browserPage(const QString& code) const {
    const SimStock* stock = m_market.findQuote(code);
    QString page = s_head.arg(stock ? stock->name : s_notFound) + s_menu;
    if (!stock) {
        page += QStringLiteral("<p>%1: %2</p>\n").arg(code.toHtmlEscaped(), s_notFound);
        return toEucJp(page + s_tail);
    }
    const SimDay day = m_market.today(*stock);
    page += QStringLiteral("<h1>%1 (%2)</h1>\n").arg(stock->name, stock->quoteCode);
    page += QLatin1String("<table class=\"detail\">\n");
    appendRow(page, {"市場", CSimMarket::markets().value(stock->market).name});
    appendRow(page, {"日付", dateCell()});
    appendRow(page, {"現在値", formatPrice(day.close)});
    appendRow(page, {"前日終値", formatPrice(m_market.previousClose(*stock))});
    appendRow(page, {"始値", formatPrice(day.open)});
    appendRow(page, {"高値", formatPrice(day.high)});
    appendRow(page, {"安値", formatPrice(day.low)});
    appendRow(page, {"出来高", formatNumber(day.volume)});
    page += QLatin1String("</table>\n") + s_tail;
    return toEucJp(page);
}

QByteArray CSimPages::listingPage(int firstRow) const {
    // Lean markup: the listing reader looks at the first 10,240 bytes only.
    QString page = QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" "
                                  "content=\"text/html; charset=EUC-JP\"></head><body>\n"
                                  "<table>\n");
    appendRow(page, {"コード", "銘柄名", "市場"});
    const QVector<SimListingRow>& rows = m_market.listing();
    const int first = std::max(firstRow, 1) - 1;
    const int end = std::min({first + kRowsPerPage, int(rows.size()), kListingRows});
    for (int i = first; i < end; ++i) {
        const SimListingRow& row = rows[i];
        appendRow(page, {row.codeText, row.name,
                         row.market >= 0 ? CSimMarket::markets().value(row.market).name
                                         : QStringLiteral("指数")});
    }
    page += QLatin1String("</table>\n") + s_tail;
    return toEucJp(page);
}

QByteArray CSimPages::historyPage(const QString& code, int offset) const {
    const SimStock* stock = m_market.findQuote(code);
    QString page = s_head.arg(QStringLiteral("時系列")) + s_menu;
    page += QLatin1String("<table class=\"history\">\n");
    appendRow(page, {"日付", "始値", "高値", "安値", "終値", "出来高"});
    if (stock && offset >= 0) {
        for (const SimDay& day : m_market.history(*stock, offset, kRowsPerPage)) {
            const QString date = QStringLiteral("%1年%2月%3日")
                                     .arg(day.date.year())
                                     .arg(day.date.month())
                                     .arg(day.date.day());
            if (!day.traded) {
                appendRow(page, {date, "-", "-", "-", "-", "0"});
                continue;
            }
            appendRow(page,
                      {date, formatPrice(day.open), formatPrice(day.high), formatPrice(day.low),
                       formatPrice(day.close), formatNumber(day.volume)});
        }
    }
    page += QStringLiteral("</table>\n<table><tr><td>前へ</td><td>次へ</td></tr></table>\n");
    return toEucJp(page + s_tail);
}

QByteArray CSimPages::profilePage(int code) const {
    const SimStock* stock = m_market.findStock(code);
    if (!stock)
        return {};
    const SimProfile profile = m_market.profile(*stock);
    QString page = s_head.arg(stock->name + QStringLiteral("の企業情報")) + s_menu;
    page += QStringLiteral("<h1>%1 (%2)</h1>\n<table class=\"profile\">\n")
                .arg(stock->name, codeText(code));
    const char* businessMarker =
        profile.businessMarker == SimBusinessMarker::Consolidated      ? "【連結事業】"
        : profile.businessMarker == SimBusinessMarker::NonConsolidated ? "【単独事業】"
                                                                       : "【資金】";
    const auto text = [&page](const QString& marker, const QString& value) {
        page += QStringLiteral("<tr><TD>%1%2</TD></tr>\n").arg(marker, value);
    };
    text(QStringLiteral("【特色】"), profile.feature);
    text(QString::fromUtf8(businessMarker), profile.business);
    text(QStringLiteral("【業種分類】"), profile.category);
    text(QStringLiteral("【市場名】"), profile.market);
    page += QLatin1String("</table>\n") + s_tail;
    return toEucJp(page);
}

QByteArray CSimPages::errorPage(int status, const QString& reason) {
    const QString title = QStringLiteral("%1 %2").arg(status).arg(reason);
    return toEucJp(s_head.arg(title) + QStringLiteral("<h1>%1</h1>\n").arg(title) + s_tail);
}
