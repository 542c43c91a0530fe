// How the last job went and how it ended: the notices its sheet shows while it
// runs (a retry), the pages that failed for good and why, and the closing
// result and message. The sheet, the command line and quit-after-fetch all
// read it here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Exit statuses of the program.
enum { kExitDone = 0, kExitFailed = 1, kExitUsage = 2, kExitPartial = 3 };

class CJobOutcome {
public:
    enum Result {
        kRunning,
        kDone,      // everything done (the message may still say something)
        kPartial,   // the file written, but some pages failed for good
        kFailed,    // nothing done or nothing written; earlier files kept
        kCancelled, // ended by the cancel command; its exit status is kFailed's
    };

    // A page that failed for good.
    struct FailedPage {
        int32_t number; // the page's number from 1, or the stock's code
        std::string reason;
        int32_t nStocks; // the stocks it was to bring
    };

    // A new job, which asks the service at host ("HOST:PORT") for its pages.
    void Begin(const std::string& host);
    // Something the job did that the user should see now ("page 3 of 6
    // failed (HTTP 500); retry 1 of 2").
    void AddNotice(std::string notice);
    void AddFailedPage(int32_t number, const std::string& reason, int32_t nStocks);
    // A stock whose page failed, or whose file could not be kept up (the
    // profile job, the listing's market step, the histories).
    void AddFailedStock(int32_t code, const std::string& reason);
    // Closes the job; a job that is no longer running keeps its first end.
    void End(Result result, std::string message);

    Result result() const { return m_result; }
    bool running() const { return m_result == kRunning; }
    // Empty for a job done without anything to say.
    const std::string& message() const { return m_message; }
    const std::vector<std::string>& notices() const { return m_notices; }
    const std::vector<FailedPage>& failedPages() const { return m_failedPages; }
    const std::vector<FailedPage>& failedStocks() const { return m_failedStocks; }
    // The stocks of the pages that failed for good.
    int32_t nMissing() const;
    // What the program ends with after this job: kExitDone, kExitPartial or
    // kExitFailed (also for a job cancelled or still running).
    int exitStatus() const;

    // For a job that got no page at all: "the quote service at HOST did not
    // answer (REASONS)", the distinct reasons of every failure in order.
    std::string NoAnswerText() const;
    // "page 3 of 6 failed (HTTP 500)", "listing pages 2 and 5 of 80 failed (...)";
    // what names the pages ("page", "listing page").
    std::string FailedPagesText(const char* what, int32_t nPages) const;
    // "the profile pages of 1301 and 6758 failed (HTTP 500)": one or many
    // ("the profile page of ", "the profile pages of ") names what failed.
    std::string FailedStocksText(const char* one, const char* many) const;
    std::string FailedProfilesText() const {
        return FailedStocksText("the profile page of ", "the profile pages of ");
    }
    // "; NAME was kept" when folder/name is a file, else "; nothing was written".
    static std::string KeptText(const std::string& folder, const std::string& name);
    // "3", "2 and 5", "1, 2, ... 10 and 4 more".
    static std::string NumbersText(const std::vector<int32_t>& numbers);
    // "1 stock", "300 stocks": n and the noun, plural unless n is 1.
    static std::string CountText(int32_t n, const char* noun);

private:
    // NumbersText of the failures' numbers.
    static std::string NumbersText(const std::vector<FailedPage>& failures);
    // "HTTP 500, no data for 5 s": the distinct reasons of failures, in order.
    static std::string ReasonsText(const std::vector<const std::vector<FailedPage>*>& lists);

    Result m_result = kRunning;
    std::string m_host;
    std::string m_message;
    std::vector<std::string> m_notices;
    std::vector<FailedPage> m_failedPages;
    std::vector<FailedPage> m_failedStocks;
};
