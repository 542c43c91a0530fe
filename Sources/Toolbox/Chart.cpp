#include "Chart.h"

#include "ChartView.h"
#include "TextEncoding.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>

static CChartView* ChartView(ControlRef chart) {
    return qobject_cast<CChartView*>(chart);
}

void SetChartDays(ControlRef chart, std::vector<KDT> days) {
    if (CChartView* view = ChartView(chart))
        view->setDays(std::move(days));
}

void SetChartVisibleDays(ControlRef chart, int32_t count) {
    if (CChartView* view = ChartView(chart))
        view->showLast(count);
}

void SetChartCaption(ControlRef chart, const char* sjisText) {
    if (CChartView* view = ChartView(chart))
        view->setCaption(SystemTextToString(sjisText));
}

void SetChartMessage(ControlRef chart, const char* message) {
    if (CChartView* view = ChartView(chart))
        view->setMessage(QString::fromUtf8(message));
}

std::string GetChartMessage(ControlRef chart) {
    CChartView* view = ChartView(chart);
    return view ? view->message().toStdString() : std::string();
}

const CKDTChart* GetChartData(ControlRef chart) {
    CChartView* view = ChartView(chart);
    return view ? &view->chart() : nullptr;
}

std::string GetChartReadout(ControlRef chart) {
    CChartView* view = ChartView(chart);
    return view ? view->readout().toStdString() : std::string();
}

bool SaveChartPicture(ControlRef chart, const char* path, int32_t width, int32_t height) {
    CChartView* view = ChartView(chart);
    if (!view || width < 1 || height < 1)
        return false;
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return false;
    {
        QPainter painter(&picture);
        view->paintChart(painter, picture.size(), -1);
    }
    QSaveFile file(QString::fromUtf8(path));
    return file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit();
}
