#include "JobOutcome.h"

#include <sys/stat.h>

// Numbers named one by one in a message; the others are counted.
static constexpr size_t kNamedNumbers = 10;

void CJobOutcome::Begin(const std::string& host) {
    *this = CJobOutcome();
    m_host = host;
}

void CJobOutcome::AddNotice(std::string notice) {
    m_notices.push_back(std::move(notice));
}

void CJobOutcome::AddFailedPage(int32_t number, const std::string& reason, int32_t nStocks) {
    m_failedPages.push_back({number, reason, nStocks});
}

void CJobOutcome::AddFailedStock(int32_t code, const std::string& reason) {
    m_failedStocks.push_back({code, reason, 1});
}

void CJobOutcome::End(Result result, std::string message) {
    if (m_result != kRunning)
        return;
    m_result = result;
    m_message = std::move(message);
}

int32_t CJobOutcome::nMissing() const {
    int32_t n = 0;
    for (const FailedPage& page : m_failedPages)
        n += page.nStocks;
    return n;
}

int CJobOutcome::exitStatus() const {
    switch (m_result) {
    case kDone:
        return kExitDone;
    case kPartial:
        return kExitPartial;
    default:
        return kExitFailed;
    }
}

std::string CJobOutcome::NumbersText(const std::vector<int32_t>& numbers) {
    const size_t n = numbers.size();
    std::string text;
    for (size_t i = 0; i < n && i < kNamedNumbers; ++i) {
        const char* separator = i == 0 ? "" : (i + 1 == n ? " and " : ", ");
        text += separator + std::to_string(numbers[i]);
    }
    if (n > kNamedNumbers)
        text += " and " + std::to_string(n - kNamedNumbers) + " more";
    return text;
}

std::string CJobOutcome::CountText(int32_t n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string CJobOutcome::NumbersText(const std::vector<FailedPage>& failures) {
    std::vector<int32_t> numbers;
    for (const FailedPage& failure : failures)
        numbers.push_back(failure.number);
    return NumbersText(numbers);
}

std::string CJobOutcome::ReasonsText(const std::vector<const std::vector<FailedPage>*>& lists) {
    std::vector<const std::string*> reasons;
    for (const std::vector<FailedPage>* failures : lists) {
        for (const FailedPage& failure : *failures) {
            bool known = false;
            for (const std::string* reason : reasons)
                known |= *reason == failure.reason;
            if (!known)
                reasons.push_back(&failure.reason);
        }
    }
    std::string text;
    for (const std::string* reason : reasons)
        text += (text.empty() ? "" : ", ") + *reason;
    return text;
}

std::string CJobOutcome::NoAnswerText() const {
    return "the quote service at " + m_host + " did not answer (" +
           ReasonsText({&m_failedPages, &m_failedStocks}) + ")";
}

std::string CJobOutcome::FailedPagesText(const char* what, int32_t nPages) const {
    return std::string(what) + (m_failedPages.size() == 1 ? " " : "s ") +
           NumbersText(m_failedPages) + " of " + std::to_string(nPages) + " failed (" +
           ReasonsText({&m_failedPages}) + ")";
}

std::string CJobOutcome::FailedStocksText(const char* one, const char* many) const {
    return std::string(m_failedStocks.size() == 1 ? one : many) + NumbersText(m_failedStocks) +
           " failed (" + ReasonsText({&m_failedStocks}) + ")";
}

std::string CJobOutcome::KeptText(const std::string& folder, const std::string& name) {
    struct stat status {};
    if (!name.empty() && ::stat((folder + "/" + name).c_str(), &status) == 0 &&
        S_ISREG(status.st_mode))
        return "; " + name + " was kept";
    return "; nothing was written";
}
