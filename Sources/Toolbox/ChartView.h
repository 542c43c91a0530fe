// The widget behind the chart control (Chart.h): it draws the chart with
// QPainter from the chart's computation (KDTChart.h) and turns the wheel, a
// drag and the pointer into zoom, pan and readout.
#pragma once

#include "KDTChart.h"

#include <QRectF>
#include <QString>
#include <QWidget>

class CChartView : public QWidget {
    Q_OBJECT
public:
    explicit CChartView(QWidget* parent = nullptr);

    const CKDTChart& chart() const { return m_chart; }
    void setDays(std::vector<KDT> days);
    void showLast(int32_t count);
    void setCaption(const QString& caption);
    void setMessage(const QString& message);
    const QString& message() const { return m_message; }
    // The day under the pointer, else the last day in view.
    QString readout() const;
    // Where the prices are drawn, in the widget's coordinates.
    QRectF pricePlot() const;
    // Draws the chart at size, with the crosshair on pointerDay (-1: none).
    void paintChart(QPainter& painter, const QSize& size, int32_t pointerDay) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Layout {
        QRectF caption, readout, price, volume, dates;
    };
    Layout layoutFor(const QSize& size) const;
    QString readoutOf(int32_t day) const;
    void pointAt(double x);

    CKDTChart m_chart;
    QString m_caption;
    QString m_message;
    // The widest price or volume label, which sets the axis' width.
    QString m_widestLabel;
    int32_t m_pointerDay = -1;
    bool m_dragging = false;
    double m_dragX = 0;
    int32_t m_dragFirst = 0;
};
