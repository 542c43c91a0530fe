#include "KDTChart.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

void CKDTChart::SetDays(std::vector<KDT> days) {
    m_days = std::move(days);
    const size_t n = m_days.size();
    for (int32_t line = 0; line < kAverageLines; ++line) {
        const size_t period = size_t(kAverageDays[line]);
        std::vector<double>& average = m_averages[line];
        average.assign(n, std::numeric_limits<double>::quiet_NaN());
        // A running sum; 64 bits hold any 75 closes exactly.
        int64_t sum = 0;
        for (size_t i = 0; i < n; ++i) {
            sum += m_days[i].close;
            if (i >= period) {
                sum -= m_days[i - period].close;
            }
            if (i + 1 >= period) {
                average[i] = double(sum) / double(period);
            }
        }
    }
    ShowLast(0);
}

double CKDTChart::getAverage(int32_t line, int32_t day) const {
    return m_averages[line][size_t(day)];
}

void CKDTChart::SetVisible(int32_t first, int32_t count) {
    const int32_t n = nDays();
    if (n == 0) {
        m_first = m_count = 0;
        return;
    }
    m_count = std::clamp(count, 1, n);
    m_first = std::clamp(first, 0, n - m_count);
}

void CKDTChart::ShowLast(int32_t count) {
    const int32_t n = nDays();
    if (count <= 0 || count > n) {
        count = n;
    }
    SetVisible(n - count, count);
}

void CKDTChart::Zoom(double factor, double anchor) {
    if (m_count == 0 || !(factor > 0.0)) {
        return;
    }
    anchor = std::clamp(anchor, 0.0, 1.0);
    const double wanted = double(m_count) * factor;
    int32_t count = wanted >= double(nDays()) ? nDays() : int32_t(std::lround(wanted));
    // Every step changes the view, however few days it shows.
    if (factor < 1.0) {
        count = std::min(count, m_count - 1);
    } else if (factor > 1.0) {
        count = std::max(count, m_count + 1);
    }
    count = std::clamp(count, std::min(kFewestZoomedDays, m_count), nDays());
    const double anchorDay = double(m_first) + anchor * double(m_count);
    SetVisible(int32_t(std::lround(anchorDay - anchor * double(count))), count);
}

int32_t CKDTChart::DaysPerBar(double plotWidth) const {
    if (m_count == 0 || !(plotWidth > 0.0)) {
        return std::max(m_count, 1);
    }
    const double dayWidth = plotWidth / double(m_count);
    if (dayWidth >= kNarrowestBar) {
        return 1;
    }
    return std::min(m_count, int32_t(std::ceil(kNarrowestBar / dayWidth)));
}

void CKDTChart::VisibleBars(int32_t daysPerBar, std::vector<KDTBar>& bars) const {
    bars.clear();
    if (m_count == 0 || daysPerBar < 1) {
        return;
    }
    for (int32_t group = m_first / daysPerBar; group <= lastVisible() / daysPerBar; ++group) {
        KDTBar bar;
        bar.first = std::max(group * daysPerBar, m_first);
        bar.last = std::min(group * daysPerBar + daysPerBar - 1, lastVisible());
        bar.open = getDay(bar.first).open;
        bar.close = getDay(bar.last).close;
        bar.high = getDay(bar.first).high;
        bar.low = getDay(bar.first).low;
        for (int32_t day = bar.first; day <= bar.last; ++day) {
            const KDT& row = getDay(day);
            bar.high = std::max(bar.high, double(row.high));
            bar.low = std::min(bar.low, double(row.low));
            bar.volume += std::max(row.volume, 0);
        }
        bar.volume /= double(bar.last - bar.first + 1);
        bars.push_back(bar);
    }
}

double CKDTChart::DayX(double day, double plotLeft, double plotWidth) const {
    return m_count == 0 ? plotLeft
                        : plotLeft + (day - double(m_first)) * plotWidth / double(m_count);
}

int32_t CKDTChart::DayAt(double x, double plotLeft, double plotWidth) const {
    if (m_count == 0 || !(x >= plotLeft) || !(x < plotLeft + plotWidth)) {
        return -1;
    }
    const int32_t offset = int32_t((x - plotLeft) * double(m_count) / plotWidth);
    return std::min(m_first + offset, lastVisible());
}

void CKDTChart::PriceRange(const std::vector<KDTBar>& bars, double* low, double* high) const {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    const auto take = [&](double value) {
        if (std::isfinite(value)) {
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
    };
    // A broken record may have its high below its open or close; every price
    // stays inside the plot.
    for (const KDTBar& bar : bars) {
        for (double price : {bar.open, bar.high, bar.low, bar.close}) {
            take(price);
        }
    }
    for (int32_t line = 0; line < kAverageLines; ++line) {
        for (int32_t day = m_first; m_count > 0 && day <= lastVisible(); ++day) {
            take(getAverage(line, day));
        }
    }
    if (lowest > highest) {
        lowest = 0.0;
        highest = 1.0;
    }
    double margin = (highest - lowest) * 0.05;
    if (margin <= 0.0) {
        margin = std::max(std::fabs(highest) * 0.05, 1.0);
    }
    *low = lowest - margin;
    *high = highest + margin;
}

double CKDTChart::VolumeRange(const std::vector<KDTBar>& bars) {
    double highest = 1.0;
    for (const KDTBar& bar : bars) {
        highest = std::max(highest, bar.volume);
    }
    return highest;
}

ChartScale CKDTChart::ScaleOf(double low, double high, double top, double height) {
    ChartScale scale;
    scale.value0 = high;
    scale.pixel0 = top;
    scale.pixelsPerValue = high > low ? -height / (high - low) : 0.0;
    return scale;
}

double CKDTChart::TickStep(double span, int32_t maxTicks) {
    if (!(span > 0.0) || !std::isfinite(span) || maxTicks < 1) {
        return 1.0;
    }
    double step = std::pow(10.0, std::floor(std::log10(span / maxTicks)));
    for (double multiple : {1.0, 2.0, 5.0, 10.0}) {
        if (span / (step * multiple) <= maxTicks) {
            return step * multiple;
        }
    }
    return step * 10.0;
}

void CKDTChart::DateTicks(double plotWidth, double minSpacing, std::vector<int32_t>& days,
                          int32_t* monthsPerTick) const {
    days.clear();
    static const int32_t kMonthSteps[] = {1, 2, 3, 6, 12, 24, 60, 120, 240, 600};
    constexpr double kDaysPerMonth = 21.0; // trading days
    const double dayWidth = m_count > 0 ? plotWidth / double(m_count) : 0.0;
    int32_t months = kMonthSteps[std::size(kMonthSteps) - 1];
    for (int32_t step : kMonthSteps) {
        if (kDaysPerMonth * step * dayWidth >= minSpacing) {
            months = step;
            break;
        }
    }
    *monthsPerTick = months;
    const auto period = [this, months](int32_t day) {
        const KDT& row = getDay(day);
        return (row.year * 12 + std::max(row.month - 1, 0)) / months;
    };
    double lastX = -std::numeric_limits<double>::infinity();
    // A tick where the day starts a new period; a gap in the history still
    // gets one, and ticks never crowd each other.
    for (int32_t day = std::max(m_first, 1); m_count > 0 && day <= lastVisible(); ++day) {
        if (period(day) == period(day - 1)) {
            continue;
        }
        const double x = DayX(day, 0.0, plotWidth);
        if (x - lastX >= minSpacing) {
            days.push_back(day);
            lastX = x;
        }
    }
}
