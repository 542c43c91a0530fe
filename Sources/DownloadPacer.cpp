#include "DownloadPacer.h"

#include <cstring>

namespace {

// A word of an HTTP date: the text between separators.
struct Word {
    const char* text;
    size_t length;
};

constexpr size_t kMaxWords = 8;

// Splits text at blanks, commas, hyphens and colons; false when it has more
// than kMaxWords words.
bool SplitWords(const char* text, Word (&words)[kMaxWords], size_t* nWords) {
    size_t n = 0;
    for (const char* p = text; *p;) {
        if (std::strchr(" \t,-:", *p)) {
            ++p;
            continue;
        }
        if (n == kMaxWords)
            return false;
        const char* start = p;
        while (*p && !std::strchr(" \t,-:", *p))
            ++p;
        words[n++] = {start, size_t(p - start)};
    }
    *nWords = n;
    return true;
}

// A number of minDigits to maxDigits decimal digits (at most 4, so it fits).
bool WordNumber(const Word& word, size_t minDigits, size_t maxDigits, int32_t* value) {
    if (word.length < minDigits || word.length > maxDigits)
        return false;
    int32_t n = 0;
    for (size_t i = 0; i < word.length; ++i) {
        if (word.text[i] < '0' || word.text[i] > '9')
            return false;
        n = n * 10 + (word.text[i] - '0');
    }
    *value = n;
    return true;
}

bool WordIs(const Word& word, const char* text) {
    return word.length == std::strlen(text) && std::strncmp(word.text, text, word.length) == 0;
}

// 1..12 for "Jan".."Dec"; 0 otherwise.
int32_t WordMonth(const Word& word) {
    static const char* const s_months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int32_t i = 0; i < 12; ++i)
        if (WordIs(word, s_months[i]))
            return i + 1;
    return 0;
}

// Days from 1970-01-01 to the date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

int64_t CDownloadPacer::DelayUs(int64_t nowUs) const {
    int64_t next = m_waitUntilUs;
    if (m_started && m_lastStartUs + int64_t(m_intervalMs) * 1000 > next)
        next = m_lastStartUs + int64_t(m_intervalMs) * 1000;
    return next > nowUs ? next - nowUs : 0;
}

void CDownloadPacer::RequestStarted(int64_t nowUs) {
    m_started = true;
    m_lastStartUs = nowUs;
}

void CDownloadPacer::Wait(int64_t nowUs, int64_t waitMs) {
    if (nowUs + waitMs * 1000 > m_waitUntilUs)
        m_waitUntilUs = nowUs + waitMs * 1000;
}

bool CDownloadPacer::ParseHTTPDate(const char* text, time_t* moment) {
    Word words[kMaxWords];
    size_t nWords = 0;
    if (!SplitWords(text, words, &nWords))
        return false;
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool ok = false;
    if (nWords == 8 && WordIs(words[7], "GMT")) {
        // "Sun, 06 Nov 1994 08:49:37 GMT" or "Sunday, 06-Nov-94 08:49:37 GMT".
        month = WordMonth(words[2]);
        ok = WordNumber(words[1], 1, 2, &day) && WordNumber(words[3], 2, 4, &year) &&
             words[3].length != 3 && WordNumber(words[4], 2, 2, &hour) &&
             WordNumber(words[5], 2, 2, &minute) && WordNumber(words[6], 2, 2, &second);
        if (ok && words[3].length == 2)
            year += year < 70 ? 2000 : 1900;
    } else if (nWords == 7) {
        // "Sun Nov  6 08:49:37 1994".
        month = WordMonth(words[1]);
        ok = WordNumber(words[2], 1, 2, &day) && WordNumber(words[3], 2, 2, &hour) &&
             WordNumber(words[4], 2, 2, &minute) && WordNumber(words[5], 2, 2, &second) &&
             WordNumber(words[6], 4, 4, &year);
    }
    if (!ok || month == 0 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return false;
    *moment = time_t(DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second);
    return true;
}

int64_t CDownloadPacer::WaitMs(const char* retryAfter, int32_t nWaits, time_t now) {
    int64_t waitMs = -1;
    if (retryAfter) {
        while (*retryAfter == ' ' || *retryAfter == '\t')
            ++retryAfter;
        const char* p = retryAfter;
        int64_t seconds = 0;
        // Digits beyond the longest wait cannot change it.
        for (; *p >= '0' && *p <= '9'; ++p)
            if (seconds <= kMaxWaitMs / 1000)
                seconds = seconds * 10 + (*p - '0');
        while (*p == ' ' || *p == '\t')
            ++p;
        time_t moment = 0;
        if (p != retryAfter && *p == '\0')
            waitMs = seconds * 1000;
        else if (ParseHTTPDate(retryAfter, &moment))
            waitMs = moment > now ? int64_t(moment - now) * 1000 : 0;
    }
    if (waitMs < 0) {
        waitMs = kFirstWaitMs;
        for (int32_t i = 0; i < nWaits && waitMs < kMaxWaitMs; ++i)
            waitMs *= 2;
    }
    return waitMs < kMaxWaitMs ? waitMs : kMaxWaitMs;
}
