// The chart's computation: moving averages, the days in view, zoom, bars,
// scales and the day under a point.
#include "KDTChart.h"
#include "../support/RisingDays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

// The mean close over 25 and 75 days: closes 1000 + 2i average to 1000 plus
// twice the mean of the i's; before enough days, none. The view stays inside
// the history and shows at least one day.
TEST(KDTChart, AveragesAndTheDaysInView) {
    CKDTChart averages;
    averages.SetDays(RisingDays(80));
    EXPECT_TRUE(std::isnan(averages.getAverage(0, 23)));
    EXPECT_DOUBLE_EQ(averages.getAverage(0, 24), 1024.0);
    EXPECT_DOUBLE_EQ(averages.getAverage(0, 79), 1134.0); // 2 * mean(55..79) = 134
    EXPECT_TRUE(std::isnan(averages.getAverage(1, 73)));
    EXPECT_DOUBLE_EQ(averages.getAverage(1, 79), 1084.0); // 2 * mean(5..79) = 84

    CKDTChart chart;
    chart.SetDays(RisingDays(100));
    EXPECT_EQ(chart.nVisible(), 100);
    const int views[][4] = {
        // SetVisible's arguments (first -1: ShowLast(count)), then the view
        {-1, 20, 80, 20}, {-1, 0, 0, 100},  {-1, 500, 0, 100},
        {95, 10, 90, 10}, {-30, 10, 0, 10}, {50, 0, 50, 1},
    };
    for (const auto& [first, count, wantFirst, wantCount] : views) {
        first == -1 ? chart.ShowLast(count) : chart.SetVisible(first, count);
        EXPECT_EQ(chart.firstVisible() * 1000 + chart.nVisible(), wantFirst * 1000 + wantCount)
            << first << "," << count;
    }
    // Zooming stops at ten days and at the whole history; every step changes the view.
    chart.ShowLast(100);
    for (int i = 0; i < 20; ++i)
        chart.Zoom(0.5, 1.0);
    EXPECT_EQ(chart.nVisible(), CKDTChart::kFewestZoomedDays);
    chart.ShowLast(3);
    chart.Zoom(1.01, 0.5);
    EXPECT_EQ(chart.nVisible(), 4);
    chart.Zoom(1e9, 0.5);
    EXPECT_EQ(chart.firstVisible() * 1000 + chart.nVisible(), 100);
    CKDTChart empty;
    empty.SetDays({});
    empty.Zoom(0.5, 0.5);
    EXPECT_EQ(std::make_tuple(empty.nVisible(), empty.DayAt(10, 0, 100), empty.DayX(5, 10, 100)),
              std::make_tuple(0, -1, 10));
}

// Narrow days are grouped from the file's first day on: open of the first,
// close of the last, extremes and mean volume of all. Prices span the bars
// with a margin; a broken record stays in the plot and adds no volume.
TEST(KDTChart, BarsScalesAndTicks) {
    CKDTChart chart;
    chart.SetDays(RisingDays(100));
    chart.SetVisible(7, 90);             // 7..96: the first and last bars are cut
    EXPECT_EQ(chart.DaysPerBar(450), 1); // 5 pixels a day
    std::vector<KDTBar> bars;
    chart.VisibleBars(chart.DaysPerBar(100), bars); // 1.1 pixels a day: 5 a bar
    ASSERT_EQ(bars.size(), 19u);
    EXPECT_EQ((std::vector<int32_t>{bars[0].first, bars[0].last, bars[1].first, bars[1].last,
                                    bars[18].first, bars[18].last}),
              (std::vector<int32_t>{7, 9, 10, 14, 95, 96}));
    // The second bar's prices and mean volume (of days 10..14), and the first bar's (of 7..9).
    EXPECT_EQ((std::vector<double>{bars[1].open, bars[1].close, bars[1].high, bars[1].low,
                                   bars[1].volume, bars[0].volume}),
              (std::vector<double>{1010, 1028, 1048, 1000, 13000, 9000}));

    std::vector<KDT> days = RisingDays(100);
    days[60].low = 0;
    days[61].high = 5;
    days[61].volume = -7;
    chart.SetDays(days);
    chart.SetVisible(60, 2);
    chart.VisibleBars(1, bars);
    double low, high;
    chart.PriceRange(bars, &low, &high);
    EXPECT_LT(low, 0.0);
    EXPECT_GT(high, 1140.0); // day 60's high
    EXPECT_EQ(CKDTChart::VolumeRange(bars), 61000.0);
    const ChartScale scale = CKDTChart::ScaleOf(low, high, 50, 200);
    EXPECT_DOUBLE_EQ(scale.Pixel(high), 50);
    EXPECT_DOUBLE_EQ(scale.Pixel(low), 250);
    const double steps[][3] = {{1000, 10, 100}, {1000, 4, 500}, {7, 5, 2},
                               {0.3, 3, 0.1},   {0, 5, 1},      {1e9, 3, 5e8}};
    for (const auto& [span, ticks, step] : steps)
        EXPECT_DOUBLE_EQ(CKDTChart::TickStep(span, int32_t(ticks)), step) << span << "/" << ticks;
}

// Ticks fall on the first day of a month (in steps that keep them apart),
// also across a gap in the history.
TEST(KDTChart, DateTicksAtMonthStarts) {
    CKDTChart chart;
    chart.SetDays(RisingDays(731)); // 2024-01-01 .. 2025-12-31
    std::vector<int32_t> days;
    int32_t months = 0;
    chart.DateTicks(731 * 10.0, 50, days, &months); // 10 pixels a day
    EXPECT_EQ(months, 1);
    ASSERT_EQ(days.size(), 23u);
    EXPECT_EQ(days.front(), 31);                   // 1 February
    chart.DateTicks(731 * 0.5, 60, days, &months); // half a pixel a day
    EXPECT_EQ(months, 6);
    EXPECT_EQ(days, (std::vector<int32_t>{182, 366, 547})); // 1 July, 1 January, 1 July
    std::vector<KDT> gap = RisingDays(91);
    gap.erase(gap.begin() + 31, gap.begin() + 60); // February is missing
    chart.SetDays(gap);
    chart.DateTicks(620, 20, days, &months);
    EXPECT_EQ(days, std::vector<int32_t>{31});
}
