// A history whose every value a test can work out by hand, for the chart's
// tests of the data layer (no Qt here) and of the window.
#pragma once

#include "KDTPageData.h"

#include <ctime>
#include <vector>

// count calendar days from 2024-01-01: open 1000 + i, close 1000 + 2i, high
// the close + 20, low the open - 10, volume 1000 (i + 1).
inline std::vector<KDT> RisingDays(int count) {
    std::vector<KDT> days;
    for (int i = 0; i < count; ++i) {
        std::tm date = {};
        date.tm_year = 2024 - 1900, date.tm_mday = 1 + i, date.tm_hour = 12;
        std::mktime(&date); // brings the day into its month and year
        days.push_back({date.tm_year + 1900, date.tm_mon + 1, date.tm_mday, 1000 + i, 1020 + 2 * i,
                        990 + i, 1000 + 2 * i, 1000 * (i + 1)});
    }
    return days;
}
