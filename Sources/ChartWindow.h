// The chart window: the price chart of one stock's KD file, a pop-up of
// spans to show, and the reason in place of the chart when the file cannot
// be drawn. The controller keeps one and shows each stock asked for in it.
#pragma once

#include "Toolbox/ToolboxTypes.h"

#include <cstdint>
#include <string>

class CChartWindow {
public:
    // The days shown until another span is chosen: about half a year.
    static constexpr int32_t kDefaultDays = 120;

    CChartWindow();
    ~CChartWindow();
    CChartWindow(const CChartWindow&) = delete;
    CChartWindow& operator=(const CChartWindow&) = delete;

    // Reads the KD file of code in the application folder and draws it (or
    // says why it cannot) with the stock's code and name from the fetch
    // list, showing the window in front.
    void ShowStock(int32_t code);
    // Shows the last nDays days (0: all) of this stock and the next ones.
    void SetRange(int32_t nDays);
    int32_t DoAppCommandProcess(uint32_t command);

    // Why the last stock's file could not be drawn (English, with the file's
    // name); empty when it was drawn.
    const std::string& failure() const { return m_failure; }
    WindowRef getWindow() const { return window; }
    ControlRef getChart() const { return chart; }

private:
    WindowRef window = nullptr;
    ControlRef chart = nullptr;      // chrt_11
    ControlRef rangePopup = nullptr; // chrt_2
    int32_t rangeDays = kDefaultDays;
    std::string m_failure;
    uint32_t commandHandler = 0;
};
