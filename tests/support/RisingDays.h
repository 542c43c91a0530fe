// A history whose every value a test can work out by hand, for the chart's
// tests of the data layer (no Qt here) and of the window.
#pragma once

#include "KDTPageData.h"

#include <vector>

// count calendar days from 2024-01-01: open 1000 + i, close 1000 + 2i, high
// the close + 20, low the open - 10, volume 1000 (i + 1).
inline std::vector<KDT> RisingDays(int count) {
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<KDT> days(static_cast<size_t>(count));
    int year = 2024, month = 1, date = 1;
    for (int i = 0; i < count; ++i) {
        KDT& day = days[size_t(i)];
        day.year = year;
        day.month = month;
        day.day = date;
        day.open = 1000 + i;
        day.close = 1000 + 2 * i;
        day.high = day.close + 20;
        day.low = day.open - 10;
        day.volume = 1000 * (i + 1);
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        if (++date > kMonthDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
            date = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    return days;
}
