// A history whose every value a test can work out by hand, for the chart's
// tests of the data layer (no Qt here) and of the window.
#pragma once

#include "KDTPageData.h"

#include <vector>

// count calendar days from 2024-01-01: open 1000 + i, close 1000 + 2i, high
// the close + 20, low the open - 10, volume 1000 (i + 1).
inline std::vector<KDT> RisingDays(int count) {
    std::vector<KDT> days;
    int year = 2024, month = 1, date = 1;
    for (int i = 0; i < count; ++i) {
        days.push_back(
            {year, month, date, 1000 + i, 1020 + 2 * i, 990 + i, 1000 + 2 * i, 1000 * (i + 1)});
        // Years 2024 to 2099: a leap year is one divisible by four.
        const int monthDays = month == 2 ? 28 + (year % 4 == 0) : 30 + ((month + month / 8) & 1);
        if (++date > monthDays) {
            date = 1;
            year += month / 12;
            month = month % 12 + 1;
        }
    }
    return days;
}
