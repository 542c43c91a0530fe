#include "ChartView.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Japanese charts draw a rising day red and hollow, a falling day blue and
// filled.
const QColor kRising(0xd0, 0x31, 0x2d);
const QColor kFalling(0x1f, 0x5f, 0xbf);
const QColor kUnchanged(0x50, 0x50, 0x50);
const QColor kUnchangedVolume(0xc8, 0xc8, 0xc8);
const QColor kRisingVolume(0xf2, 0xb0, 0xae);
const QColor kFallingVolume(0xa9, 0xc2, 0xec);
const QColor kAverageColors[CKDTChart::kAverageLines] = {QColor(0x2e, 0x9d, 0x3a),
                                                         QColor(0xe0, 0x8a, 0x00)};
const QColor kGrid(0xec, 0xec, 0xec);
const QColor kFrame(0xc4, 0xc4, 0xc4);
const QColor kText(0x20, 0x20, 0x20);
const QColor kAxisText(0x66, 0x66, 0x66);
const QColor kCrosshair(0x80, 0x80, 0x80);

constexpr double kMargin = 8.0;
constexpr double kPaneGap = 6.0;
constexpr double kPriceShare = 0.74; // of the height the two panes share
constexpr double kBodyShare = 0.7;   // of a bar's width
constexpr double kWheelZoom = 0.8;   // days shown after one wheel step in
constexpr int kMostTicks = 40;

QString NumberText(double value, int decimals = 0) {
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(value, 'f', decimals);
}

QString DateText(const KDT& day) {
    return QString::asprintf("%04d/%02d/%02d", day.year, day.month, day.day);
}

// A volume tick in the units Japanese quotes use: shares, 万 or 億.
QString VolumeText(double value, double unit) {
    const char* suffix = unit >= 1e8 ? "億" : unit >= 1e4 ? "万" : "";
    return NumberText(value / unit, 0) + QString::fromUtf8(suffix);
}

double VolumeUnit(double highest) {
    return highest >= 1e8 ? 1e8 : highest >= 1e4 ? 1e4 : 1.0;
}

QColor ColorOf(double open, double close, const QColor& rising, const QColor& falling,
               const QColor& unchanged) {
    return close > open ? rising : close < open ? falling : unchanged;
}

int Pixel(double value) {
    return int(std::lround(std::clamp(value, -1e6, 1e6)));
}

} // namespace

CChartView::CChartView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CChartView::setDays(std::vector<KDT> days) {
    m_chart.SetDays(std::move(days));
    // The axis is as wide as the file's largest price needs, so that it stays
    // put while the view moves.
    int32_t highest = 0;
    for (int32_t day = 0; day < m_chart.nDays(); ++day)
        highest = std::max({highest, m_chart.getDay(day).high, m_chart.getDay(day).close});
    m_widestLabel = NumberText(std::max(highest, 99999));
    m_pointerDay = -1;
    update();
}

void CChartView::showLast(int32_t count) {
    m_chart.ShowLast(count);
    update();
}

void CChartView::setCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void CChartView::setMessage(const QString& message) {
    m_message = message;
    update();
}

QRectF CChartView::pricePlot() const {
    return layoutFor(size()).price;
}

CChartView::Layout CChartView::layoutFor(const QSize& size) const {
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    const double axis = metrics.horizontalAdvance(m_widestLabel) + 2 * kMargin;
    const double width = std::max(size.width() - 2 * kMargin, 2.0);
    Layout layout;
    layout.caption = QRectF(kMargin, kMargin, width, line);
    layout.readout = QRectF(kMargin, layout.caption.bottom() + 2, width, line);
    const double top = layout.readout.bottom() + kMargin;
    const double plotWidth = std::max(width - axis, 1.0);
    const double dateHeight = line + 4;
    const double panes = std::max(size.height() - top - kMargin - dateHeight - kPaneGap, 2.0);
    layout.price = QRectF(kMargin, top, plotWidth, panes * kPriceShare);
    layout.volume =
        QRectF(kMargin, layout.price.bottom() + kPaneGap, plotWidth, panes - layout.price.height());
    layout.dates = QRectF(kMargin, layout.volume.bottom() + 2, plotWidth, dateHeight);
    return layout;
}

namespace {

// A line of texts in their colours, for the readout.
using ColoredText = std::vector<std::pair<QString, QColor>>;

void DrawColoredText(QPainter& painter, const QRectF& rect, const ColoredText& parts) {
    double x = rect.left();
    for (const auto& [text, color] : parts) {
        painter.setPen(color);
        painter.drawText(QRectF(x, rect.top(), rect.right() - x, rect.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        x += painter.fontMetrics().horizontalAdvance(text);
    }
}

ColoredText ReadoutParts(const CKDTChart& chart, int32_t day) {
    ColoredText parts;
    if (day < 0 || day >= chart.nDays())
        return parts;
    const KDT& row = chart.getDay(day);
    parts.emplace_back(DateText(row) + QString::fromUtf8("  始値 ") + NumberText(row.open) +
                           QString::fromUtf8("  高値 ") + NumberText(row.high) +
                           QString::fromUtf8("  安値 ") + NumberText(row.low) +
                           QString::fromUtf8("  終値 ") + NumberText(row.close) +
                           QString::fromUtf8("  出来高 ") + NumberText(row.volume),
                       kText);
    for (int32_t line = 0; line < CKDTChart::kAverageLines; ++line) {
        const double average = chart.getAverage(line, day);
        parts.emplace_back(
            QString::fromUtf8("  %1日平均 ").arg(CKDTChart::kAverageDays[line]) +
                (std::isfinite(average) ? NumberText(average, 1) : QStringLiteral("-")),
            kAverageColors[line]);
    }
    return parts;
}

QString RangeText(const CKDTChart& chart) {
    const auto span = [&chart](int32_t first, int32_t last) {
        return QString::fromUtf8("%1日 %2〜%3")
            .arg(NumberText(last - first + 1), DateText(chart.getDay(first)),
                 DateText(chart.getDay(last)));
    };
    return QString::fromUtf8("   全") + span(0, chart.nDays() - 1) + QString::fromUtf8("   表示") +
           span(chart.firstVisible(), chart.lastVisible());
}

} // namespace

QString CChartView::readoutOf(int32_t day) const {
    QString text;
    for (const auto& part : ReadoutParts(m_chart, day))
        text += part.first;
    return text;
}

QString CChartView::readout() const {
    return readoutOf(m_pointerDay >= 0 ? m_pointerDay : m_chart.lastVisible());
}

void CChartView::paintChart(QPainter& painter, const QSize& size, int32_t pointerDay) const {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const Layout layout = layoutFor(size);
    const QFontMetricsF metrics(font());

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(kText);
    painter.drawText(layout.caption, Qt::AlignLeft | Qt::AlignVCenter, m_caption);
    const double captionEnd =
        layout.caption.left() + QFontMetricsF(bold).horizontalAdvance(m_caption);
    painter.setFont(font());
    if (!m_message.isEmpty()) {
        const QRectF area(layout.price.left(), layout.readout.top(), layout.caption.width(),
                          layout.dates.bottom() - layout.readout.top());
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_message);
        return;
    }
    if (m_chart.nVisible() == 0)
        return;
    painter.setPen(kAxisText);
    painter.drawText(QRectF(captionEnd, layout.caption.top(), layout.caption.right() - captionEnd,
                            layout.caption.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, RangeText(m_chart));
    DrawColoredText(painter, layout.readout,
                    ReadoutParts(m_chart, pointerDay >= 0 ? pointerDay : m_chart.lastVisible()));

    const QRectF& price = layout.price;
    const QRectF& volume = layout.volume;
    std::vector<KDTBar> bars;
    m_chart.VisibleBars(m_chart.DaysPerBar(price.width()), bars);
    double low, high;
    m_chart.PriceRange(bars, &low, &high);
    const ChartScale priceScale = CKDTChart::ScaleOf(low, high, price.top(), price.height());
    const double highestVolume = CKDTChart::VolumeRange(bars) * 1.05;
    const ChartScale volumeScale =
        CKDTChart::ScaleOf(0.0, highestVolume, volume.top(), volume.height());
    const auto dayX = [this, &price](double day) {
        return m_chart.DayX(day, price.left(), price.width());
    };
    const double labelX = price.right() + kMargin;
    const double axisWidth = layout.caption.right() - labelX;
    const double line = metrics.height();

    painter.setRenderHint(QPainter::Antialiasing, false);
    // Prices: grid lines and labels at round steps.
    const double priceStep =
        CKDTChart::TickStep(high - low, std::max(2, int(price.height() / (line * 2.5))));
    const double firstPrice = std::ceil(low / priceStep) * priceStep;
    for (int i = 0; i < kMostTicks && firstPrice + i * priceStep <= high; ++i) {
        const double value = firstPrice + i * priceStep;
        const int y = Pixel(priceScale.Pixel(value));
        painter.setPen(kGrid);
        painter.drawLine(QPointF(price.left(), y), QPointF(price.right(), y));
        painter.setPen(kAxisText);
        painter.drawText(QRectF(labelX, y - line / 2, axisWidth, line),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         NumberText(value, priceStep < 1.0 ? 1 : 0));
    }
    // Volumes: a few round steps in shares, 万 or 億.
    const double unit = VolumeUnit(highestVolume);
    const double volumeStep =
        CKDTChart::TickStep(highestVolume / unit,
                            std::max(1, int(volume.height() / (line * 2.0)))) *
        unit;
    for (int i = 1; i < kMostTicks && i * volumeStep <= highestVolume; ++i) {
        const int y = Pixel(volumeScale.Pixel(i * volumeStep));
        painter.setPen(kGrid);
        painter.drawLine(QPointF(volume.left(), y), QPointF(volume.right(), y));
        painter.setPen(kAxisText);
        painter.drawText(QRectF(labelX, y - line / 2, axisWidth, line),
                         Qt::AlignLeft | Qt::AlignVCenter, VolumeText(i * volumeStep, unit));
    }
    // Dates: months, quarters or years, as many as fit.
    std::vector<int32_t> tickDays;
    int32_t monthsPerTick = 1;
    const double dateWidth = metrics.horizontalAdvance(QStringLiteral("0000/00"));
    m_chart.DateTicks(price.width(), dateWidth + 2 * kMargin, tickDays, &monthsPerTick);
    for (int32_t day : tickDays) {
        const int x = Pixel(dayX(day));
        painter.setPen(kGrid);
        painter.drawLine(QPointF(x, price.top()), QPointF(x, price.bottom()));
        painter.drawLine(QPointF(x, volume.top()), QPointF(x, volume.bottom()));
        const KDT& row = m_chart.getDay(day);
        const QString text = monthsPerTick >= 12
                                 ? QString::number(row.year)
                                 : QString::asprintf("%04d/%02d", row.year, row.month);
        if (x + metrics.horizontalAdvance(text) <= price.right()) {
            painter.setPen(kAxisText);
            painter.drawText(
                QRectF(x + 2, layout.dates.top(), dateWidth * 2, layout.dates.height()),
                Qt::AlignLeft | Qt::AlignVCenter, text);
        }
    }

    // Candles and volume bars.
    for (const KDTBar& bar : bars) {
        const double left = dayX(bar.first);
        const double right = dayX(bar.last + 1);
        int body = std::max(1, int((right - left) * kBodyShare));
        if (body > 2 && body % 2 == 0)
            --body; // an odd width puts the wick in the middle
        const int bodyLeft = Pixel((left + right) / 2 - body / 2.0);
        const int wickX = bodyLeft + body / 2;
        const int bodyTop = Pixel(priceScale.Pixel(std::max(bar.open, bar.close)));
        const int bodyBottom =
            std::max(bodyTop, Pixel(priceScale.Pixel(std::min(bar.open, bar.close))));
        const QColor color = ColorOf(bar.open, bar.close, kRising, kFalling, kUnchanged);
        painter.setClipRect(price);
        painter.setPen(color);
        painter.drawLine(wickX, Pixel(priceScale.Pixel(bar.high)), wickX, bodyTop);
        painter.drawLine(wickX, bodyBottom, wickX, Pixel(priceScale.Pixel(bar.low)));
        if (bar.close > bar.open && body >= 3) {
            painter.fillRect(bodyLeft, bodyTop, body, std::max(bodyBottom - bodyTop, 1), Qt::white);
            painter.drawRect(bodyLeft, bodyTop, body - 1, std::max(bodyBottom - bodyTop, 1));
        } else {
            painter.fillRect(bodyLeft, bodyTop, body, std::max(bodyBottom - bodyTop, 1), color);
        }
        painter.setClipRect(volume);
        const int volumeTop = Pixel(volumeScale.Pixel(bar.volume));
        painter.fillRect(
            bodyLeft, volumeTop, body, Pixel(volume.bottom()) - volumeTop,
            ColorOf(bar.open, bar.close, kRisingVolume, kFallingVolume, kUnchangedVolume));
    }

    // The moving averages, through the last day of each bar.
    painter.setClipRect(price);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int32_t line = 0; line < CKDTChart::kAverageLines; ++line) {
        painter.setPen(QPen(kAverageColors[line], 1.5));
        QPolygonF points;
        for (const KDTBar& bar : bars) {
            const double average = m_chart.getAverage(line, bar.last);
            if (std::isfinite(average))
                points << QPointF((dayX(bar.first) + dayX(bar.last + 1)) / 2,
                                  priceScale.Pixel(average));
        }
        painter.drawPolyline(points);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipping(false);

    if (pointerDay >= m_chart.firstVisible() && pointerDay <= m_chart.lastVisible()) {
        const int x = Pixel(dayX(pointerDay + 0.5));
        painter.setPen(QPen(kCrosshair, 1, Qt::DashLine));
        painter.drawLine(QPointF(x, price.top()), QPointF(x, price.bottom()));
        painter.drawLine(QPointF(x, volume.top()), QPointF(x, volume.bottom()));
    }
    painter.setPen(kFrame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(price);
    painter.drawRect(volume);
}

void CChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintChart(painter, size(), m_pointerDay);
}

void CChartView::pointAt(double x) {
    const QRectF plot = pricePlot();
    const int32_t day = m_chart.DayAt(x, plot.left(), plot.width());
    if (day != m_pointerDay) {
        m_pointerDay = day;
        update();
    }
}

void CChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_chart.nVisible() == 0)
        return QWidget::mousePressEvent(event);
    m_dragging = true;
    m_dragX = event->position().x();
    m_dragFirst = m_chart.firstVisible();
    setCursor(Qt::ClosedHandCursor);
}

void CChartView::mouseMoveEvent(QMouseEvent* event) {
    const double x = event->position().x();
    if (m_dragging) {
        // The day that was under the pointer stays under it.
        const double dayWidth = pricePlot().width() / m_chart.nVisible();
        const auto shift = int32_t(std::lround(std::clamp((m_dragX - x) / dayWidth, -1e7, 1e7)));
        m_chart.SetVisible(m_dragFirst + shift, m_chart.nVisible());
        update();
    }
    pointAt(x);
}

void CChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    unsetCursor();
}

void CChartView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y();
    if (steps == 0 || m_chart.nVisible() == 0)
        return QWidget::wheelEvent(event);
    const QRectF plot = pricePlot();
    const double x = event->position().x();
    m_chart.Zoom(std::pow(kWheelZoom, steps / 120.0), (x - plot.left()) / plot.width());
    m_pointerDay = -1;
    pointAt(x);
    update();
}

void CChartView::leaveEvent(QEvent* event) {
    m_pointerDay = -1;
    update();
    QWidget::leaveEvent(event);
}
