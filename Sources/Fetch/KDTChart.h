// What a price chart of a stock's days shows, apart from the drawing: the
// days and the moving averages of their close, the days in view, the bars
// they are grouped into when a day is narrower than a few pixels, the scales
// and the day under a point. Positions are pixels of a plot whose left edge
// and width the drawing gives.
#pragma once

#include "KDTPageData.h"

#include <cstdint>
#include <vector>

// Consecutive days drawn as one candle and one volume bar.
struct KDTBar {
    int32_t first = 0; // day numbers, oldest first
    int32_t last = 0;
    double open = 0;  // of the first day
    double high = 0;  // the highest of the days
    double low = 0;   // the lowest of the days
    double close = 0; // of the last day
    // The mean volume of the days, so that a bar cut by the view's edge
    // compares with the others; a negative volume (a broken record) counts
    // as 0.
    double volume = 0;
};

// A linear map of values onto pixels.
struct ChartScale {
    double value0 = 0;
    double pixel0 = 0;
    double pixelsPerValue = 0;
    double Pixel(double value) const { return pixel0 + (value - value0) * pixelsPerValue; }
};

class CKDTChart {
public:
    // The moving averages of the close, over 25 and 75 days.
    static constexpr int32_t kAverageLines = 2;
    static constexpr int32_t kAverageDays[kAverageLines] = {25, 75};
    // Zooming in stops at this many days.
    static constexpr int32_t kFewestZoomedDays = 10;
    // Days narrower than this many pixels are grouped into wider bars.
    static constexpr double kNarrowestBar = 5.0;

    // Takes the days, oldest first, and shows them all.
    void SetDays(std::vector<KDT> days);
    int32_t nDays() const { return int32_t(m_days.size()); }
    const KDT& getDay(int32_t day) const { return m_days[size_t(day)]; }
    // The mean close of the kAverageDays[line] days that end with day; NaN
    // while fewer days lie before it.
    double getAverage(int32_t line, int32_t day) const;

    // The days in view: firstVisible .. lastVisible, none without days.
    int32_t firstVisible() const { return m_first; }
    int32_t nVisible() const { return m_count; }
    int32_t lastVisible() const { return m_first + m_count - 1; }
    // Shows count days from first, moved and cut to fit the days.
    void SetVisible(int32_t first, int32_t count);
    // Shows the last count days; all of them when count is 0 or too many.
    void ShowLast(int32_t count);
    // Shows factor times as many days (below 1 zooms in); the day at anchor
    // (0 the left edge, 1 the right) stays where it is.
    void Zoom(double factor, double anchor);

    // How many days each bar of a plot plotWidth pixels wide groups.
    int32_t DaysPerBar(double plotWidth) const;
    // The visible days grouped daysPerBar at a time, counted from the first
    // day of the file, so that the groups stay the same while the view moves.
    void VisibleBars(int32_t daysPerBar, std::vector<KDTBar>& bars) const;
    // The left edge of day (a fraction lies between two days).
    double DayX(double day, double plotLeft, double plotWidth) const;
    // The visible day at x, or -1 when x lies outside the plot.
    int32_t DayAt(double x, double plotLeft, double plotWidth) const;
    // The prices the bars and the visible averages reach, with a margin.
    void PriceRange(const std::vector<KDTBar>& bars, double* low, double* high) const;
    // The largest volume of the bars, at least 1.
    static double VolumeRange(const std::vector<KDTBar>& bars);
    // Maps high onto top and low onto top + height.
    static ChartScale ScaleOf(double low, double high, double top, double height);
    // A round step (1, 2 or 5 times a power of ten) cutting span into at most
    // maxTicks parts.
    static double TickStep(double span, int32_t maxTicks);
    // The visible days that begin a month, every *monthsPerTick months (1, 2,
    // 3, 6 or whole years), chosen so that ticks lie at least minSpacing
    // pixels apart.
    void DateTicks(double plotWidth, double minSpacing, std::vector<int32_t>& days,
                   int32_t* monthsPerTick) const;

private:
    std::vector<KDT> m_days;
    std::vector<double> m_averages[kAverageLines];
    int32_t m_first = 0;
    int32_t m_count = 0;
};
