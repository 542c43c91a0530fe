// The price chart control: a stock's days as candlesticks with the 25- and
// 75-day moving averages of the close, the volume in a pane below on the same
// dates, a caption and a readout of the day under the pointer. The wheel
// zooms and a drag pans it. In the interface description it is a widget of
// class "CChartView".
#pragma once

#include "ToolboxTypes.h"

#include <string>
#include <vector>

struct KDT;
class CKDTChart;

// Gives the chart its days, oldest first, and shows them all.
void SetChartDays(ControlRef chart, std::vector<KDT> days);
// Shows the last count days; all of them when count is 0.
void SetChartVisibleDays(ControlRef chart, int32_t count);
// The caption drawn above the chart (system text encoding).
void SetChartCaption(ControlRef chart, const char* sjisText);
// A message drawn under the caption instead of the chart (UTF-8); an empty
// one draws the chart again.
void SetChartMessage(ControlRef chart, const char* message);
std::string GetChartMessage(ControlRef chart);
// The chart's days and the days in view; null for a control that is no chart.
const CKDTChart* GetChartData(ControlRef chart);
// The readout line (UTF-8): the day under the pointer, else the last day in
// view.
std::string GetChartReadout(ControlRef chart);
// Draws the chart as it shows now, without the pointer, into a PNG file of
// width x height pixels, replacing the file only when the picture is
// complete. False when it could not be written.
bool SaveChartPicture(ControlRef chart, const char* path, int32_t width, int32_t height);
