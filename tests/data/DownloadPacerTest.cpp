// When the downloader may send its next request, and how long an answer that
// asks it to wait makes it wait.
#include "DownloadPacer.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kSecond = 1000000; // in microseconds
// "Sun, 06 Nov 1994 08:49:37 GMT", in seconds since 1970
constexpr time_t kExampleDate = 784111777;

TEST(DownloadPacerTest, RequestsStartTheIntervalApartAndAWaitHoldsThemBack) {
    CDownloadPacer pacer;
    EXPECT_EQ(pacer.interval(), 100);
    pacer.setInterval(250);
    const int64_t t = 5000 * kSecond;
    EXPECT_EQ(pacer.DelayUs(t), 0); // the first request
    pacer.RequestStarted(t);
    EXPECT_EQ(pacer.DelayUs(t + 1), 250000 - 1);
    EXPECT_EQ(pacer.DelayUs(t + 250000), 0);
    // The request left 3 ms after it was made: the interval counts from then.
    pacer.RequestStarted(t + 3000);
    EXPECT_EQ(pacer.DelayUs(t + 250000), 3000);

    // The answer asked for 2 s: nothing goes before, then the interval rules.
    pacer.Wait(t + 100000, 2000);
    EXPECT_EQ(pacer.DelayUs(t + 100000), 2 * kSecond);
    EXPECT_EQ(pacer.DelayUs(t + 2100000), 0);
    // A shorter wait asked later does not end the longer one earlier.
    pacer.Wait(t + 200000, 0);
    EXPECT_EQ(pacer.DelayUs(t + 2000000), 100000);
    pacer.RequestStarted(t + 2100000);
    EXPECT_EQ(pacer.DelayUs(t + 2200000), 150000);
}

TEST(DownloadPacerTest, WaitIsWhatRetryAfterSaysWithinBounds) {
    const time_t now = kExampleDate - 30;
    const struct {
        const char* name;
        const char* retryAfter; // null: no Retry-After
        int32_t nWaits;
        int64_t ms;
    } rows[] = {
        {"seconds with blanks", " 5\t", 0, 5000},
        {"no wait", "0", 0, 0},
        {"longer than a minute", "120", 0, 60000},
        {"more digits than any number", "99999999999999999999999999", 0, 60000},
        {"none, first", nullptr, 0, 2000},
        {"none, second", nullptr, 1, 4000},
        {"none, many", nullptr, 40, 60000},
        {"empty", "", 1, 4000},
        {"words", "soon", 0, 2000},
        {"a unit", "5s", 0, 2000},
        {"negative", "-5", 0, 2000},
        {"date", "Sun, 06 Nov 1994 08:49:37 GMT", 0, 30000},
        {"older date form", "Sunday, 06-Nov-94 08:49:37 GMT", 0, 30000},
        {"C library date form", "Sun Nov  6 08:49:37 1994", 0, 30000},
        {"date passed", "Sun, 06 Nov 1994 08:49:00 GMT", 0, 0},
        {"date far ahead", "Fri, 31 Dec 9999 23:59:59 GMT", 0, 60000},
        {"date, year 2000 in two digits", "Saturday, 01-Jan-00 00:00:00 GMT", 0, 60000},
        {"date without zone", "Sun, 06 Nov 1994 08:49:37", 2, 8000},
        {"date, no such month", "Sun, 06 Noe 1994 08:49:37 GMT", 0, 2000},
        {"date, day 0", "Sun, 00 Nov 1994 08:49:37 GMT", 0, 2000},
        {"date, long numbers", "Sun, 0000006 Nov 1994 08:49:37 GMT", 0, 2000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CDownloadPacer::WaitMs(row.retryAfter, row.nWaits, now), row.ms);
    }
}

} // namespace
