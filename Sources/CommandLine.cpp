#include "CommandLine.h"

#include "ChartCommand.h"
#include "EnterCodeDialog.h"
#include "Fetch/FetchData.h"
#include "Fetch/MakeKDT.h"
#include "MetalWindow.h"
#include "ProgramSettings.h"
#include "QuotesCommand.h"
#include "Toolbox/TextEncoding.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <unistd.h>

bool RequireFetchList(std::string& message) {
    if (g_fetchData && g_fetchData->nPages() > 0)
        return true;
    message = kNoFetchListMessage;
    return false;
}

// history CODE [ROWS]: the code entry's two texts as a user would type them.
static void HistoryEntryTexts(const std::vector<std::string>& arguments,
                              char (&codeText)[CEnterCodeDialog::kTextSize],
                              char (&rowsText)[CEnterCodeDialog::kTextSize]) {
    StringToSystemText(QString::fromStdString(arguments.at(0)), codeText, sizeof codeText);
    StringToSystemText(QString::fromStdString(
                           arguments.size() > 1 ? arguments[1] : CEnterCodeDialog::kDefaultRows),
                       rowsText, sizeof rowsText);
}

// A code never begins with '-': such an argument is a misspelt option.
static bool HistoryArgumentsValid(const std::vector<std::string>& arguments) {
    return (arguments.size() == 1 || arguments.size() == 2) && arguments[0].rfind('-', 0) != 0;
}

// history --all [ROWS]: ROWS in decimal digits, 1 to CMakeKDT::kMaxRowsWanted.
static bool AllHistoriesRows(const std::vector<std::string>& arguments, int32_t* rows) {
    *rows = 0;
    if (arguments.size() < 2)
        return true;
    const std::string& text = arguments[1];
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *rows = std::stoi(text);
    return *rows >= 1 && *rows <= CMakeKDT::kMaxRowsWanted;
}

static bool AllHistoriesArgumentsValid(const std::vector<std::string>& arguments) {
    int32_t rows = 0;
    return (arguments.size() == 1 || arguments.size() == 2) && arguments[0] == "--all" &&
           AllHistoriesRows(arguments, &rows);
}

static void SetAllHistoriesRows(CMetalWindow& window, const std::vector<std::string>& arguments) {
    int32_t rows = 0;
    AllHistoriesRows(arguments, &rows);
    window.setHistoryRows(rows);
}

static bool FetchArgumentsValid(const std::vector<std::string>& arguments) {
    return arguments.empty() || (arguments.size() == 1 && arguments[0] == "--update-histories");
}

// --update-histories holds for this run; the saved setting stays as it is.
static void SetFetchOptions(CMetalWindow&, const std::vector<std::string>& arguments) {
    if (!arguments.empty())
        g_settings->updateHistories = true;
}

static bool HistoryCanStart(const std::vector<std::string>& arguments, std::string& message) {
    char codeText[CEnterCodeDialog::kTextSize], rowsText[CEnterCodeDialog::kTextSize];
    HistoryEntryTexts(arguments, codeText, rowsText);
    int32_t code = 0, rowsWanted = 0;
    if (const char* refusal = CMakeKDT::CheckEntry(codeText, rowsText, &code, &rowsWanted)) {
        message = refusal;
        return false;
    }
    return true;
}

static void AnswerCodeEntry(WindowRef dialog, const std::vector<std::string>& arguments) {
    char codeText[CEnterCodeDialog::kTextSize], rowsText[CEnterCodeDialog::kTextSize];
    HistoryEntryTexts(arguments, codeText, rowsText);
    const uint32_t sig = FourCharCode("entc");
    SetControlText(GetControlByID(dialog, sig, 21), codeText);
    SetControlText(GetControlByID(dialog, sig, 22), rowsText);
    ProcessCommand(FourCharCode("ok  "));
}

// The options of a job whose dialog has the check boxes 'chk1' to 'chk3', in
// the order of the boxes.
using DialogOptions = const char* const[3];

static const char* const s_listingOptions[3] = {"--keep-files", "--only-added", "--offline"};
static const char* const s_profileOptions[3] = {"--keep-files", "--existing-dictionary-only",
                                                "--offline"};

static int OptionIndex(const DialogOptions& options, const std::string& argument) {
    for (int i = 0; i < 3; ++i)
        if (argument == options[i])
            return i;
    return -1;
}

// Each option at most once: a second one would clear its box again.
template <const DialogOptions& options>
static bool CheckDialogOptions(const std::vector<std::string>& arguments) {
    bool seen[3] = {false, false, false};
    for (const std::string& argument : arguments) {
        const int index = OptionIndex(options, argument);
        if (index < 0 || seen[index])
            return false;
        seen[index] = true;
    }
    return true;
}

// Ticks the box of each option given, then confirms.
template <const DialogOptions& options>
static void AnswerDialogOptions(WindowRef, const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments)
        ProcessCommand(FourCharCode("chk1") + uint32_t(OptionIndex(options, argument)));
    ProcessCommand(FourCharCode("ok  "));
}

static const SubcommandSpec s_subcommands[] = {
    {"fetch",
     "[--update-histories]\n"
     "           writes the day's daily file; --update-histories also adds the day to\n"
     "           every KDnnnn.KDT there is",
     FourCharCode("fech"), CMetalWindow::kFetchSheet, FetchArgumentsValid, nullptr,
     RequireFetchList, nullptr, nullptr, SetFetchOptions},
    {"finance", "", FourCharCode("fina"), CMetalWindow::kFinanceSheet, nullptr, nullptr,
     RequireFetchList},
    // Without a fetch list every listed code is new: that is how a first list
    // is made.
    {"listing", "[--keep-files] [--only-added] [--offline]", FourCharCode("list"),
     CMetalWindow::kListSheet, CheckDialogOptions<s_listingOptions>,
     AnswerDialogOptions<s_listingOptions>, nullptr},
    {"profile", "[--keep-files] [--existing-dictionary-only] [--offline]", FourCharCode("fund"),
     CMetalWindow::kFundamentalSheet, CheckDialogOptions<s_profileOptions>,
     AnswerDialogOptions<s_profileOptions>, RequireFetchList},
    {"history",
     "CODE [ROWS]\n"
     "           writes KDnnnn.KDT from the last ROWS days (default 200) of stock CODE;\n"
     "           CODE: at most 11 characters, beginning with a number from 1; ROWS above 0",
     FourCharCode("mkdt"), CMetalWindow::kKDTSheet, HistoryArgumentsValid, AnswerCodeEntry, nullptr,
     HistoryCanStart},
    // The other form of history: every stock of the fetch list.
    {"history",
     "--all [ROWS]\n"
     "           brings KDnnnn.KDT of every stock of the fetch list up to date: the last\n"
     "           ROWS days (default 200) for a stock without one, else the days after its\n"
     "           newest; ROWS 1 to 100000",
     FourCharCode("mkda"), CMetalWindow::kHistoriesSheet, AllHistoriesArgumentsValid, nullptr,
     RequireFetchList, nullptr, nullptr, SetAllHistoriesRows},
    // Not a job: prints the display sheet's list (QuotesCommand.cpp).
    {"quotes", "[--sort name|mark|cv1|cv2|cv3|cv4|cvc] [--descending]", FourCharCode("disp"),
     CMetalWindow::kDispSheet, QuotesArgumentsValid, nullptr, RequireFetchList, nullptr,
     PrintQuoteList},
    // Not a job: draws the chart window's chart into a PNG (ChartCommand.cpp).
    {"chart",
     "CODE [--png FILE] [--days N] [--size WxH]\n"
     "           draws the last N days (default 120) of KDnnnn.KDT into FILE (default\n"
     "           KDnnnn.png in the folder), WxH pixels (default 1200x800)",
     FourCharCode("chrt"), CMetalWindow::kNoSheet, ChartArgumentsValid, nullptr, nullptr, nullptr,
     RunChart},
};

const SubcommandSpec* FindSubcommand(const std::string& name,
                                     const std::vector<std::string>& arguments) {
    const SubcommandSpec* first = nullptr;
    for (const SubcommandSpec& spec : s_subcommands) {
        if (name != spec.name)
            continue;
        if (SubcommandArgumentsValid(spec, arguments))
            return &spec;
        if (!first)
            first = &spec;
    }
    return first;
}

bool SubcommandArgumentsValid(const SubcommandSpec& spec,
                              const std::vector<std::string>& arguments) {
    return spec.checkArguments ? spec.checkArguments(arguments) : arguments.empty();
}

void PrintUsage(FILE* stream) {
    std::fprintf(stream, "usage: vezizo [--folder DIR]                 the desktop program\n");
    for (const SubcommandSpec& spec : s_subcommands)
        std::fprintf(stream, "       vezizo [--folder DIR] %s%s%s\n", spec.name,
                     *spec.usage ? " " : "", spec.usage);
    std::fprintf(stream, "       vezizo --help | --version\n"
                         "Exit status: 0 all done; 1 nothing done or nothing written (the\n"
                         "earlier files kept, the message says why); 2 a usage error; 3 done in\n"
                         "part (some pages failed, the message says which).\n");
}

bool ParseCommandLine(int argc, char** argv, CommandLineOptions& options, std::string& message) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(argv[i], "--version") == 0) {
            options.version = true;
        } else if (std::strcmp(argv[i], "--folder") == 0) {
            if (i + 1 >= argc) {
                message = "--folder needs a folder";
                return false;
            }
            options.folder = argv[++i];
        } else {
            message = std::string("unknown option ") + argv[i];
            return false;
        }
    }
    if (i < argc) {
        options.subcommand = argv[i++];
        options.arguments.assign(argv + i, argv + argc);
    }
    return true;
}

std::string TimeLeftText(double elapsed, int32_t value, int32_t maximum) {
    if (elapsed < 5.0 || value < 1 || value >= maximum)
        return std::string();
    const int64_t seconds = int64_t(elapsed * double(maximum - value) / double(value));
    char text[48];
    if (seconds < 60)
        std::snprintf(text, sizeof text, ", about %lld s left",
                      (long long)std::max<int64_t>(10, (seconds + 9) / 10 * 10));
    else if (seconds < 7200)
        std::snprintf(text, sizeof text, ", about %lld min left", (long long)(seconds + 59) / 60);
    else
        std::snprintf(text, sizeof text, ", about %lld h %02lld min left",
                      (long long)(seconds / 3600), (long long)(seconds % 3600 / 60));
    return text;
}

namespace {

// Reports a job's progress from its sheet: a bar on a terminal, a line per
// change otherwise; and each of the job's notices on a line of its own.
class CProgressReporter {
public:
    CProgressReporter(const char* name, const JobSheet& sheet, const CJobOutcome& outcome)
        : m_name(name), m_sheet(sheet), m_outcome(outcome),
          m_terminal(::isatty(STDERR_FILENO) == 1), m_start(std::chrono::steady_clock::now()) {}

    // The job's end sets its bar back to 0; the last line shows it full.
    void Report(bool ended = false) {
        ReportNotices();
        int32_t maximum = GetControl32BitMaximum(m_sheet.progressBar);
        int32_t value = ended ? maximum : GetControl32BitValue(m_sheet.progressBar);
        char count[32] = "", missing[32] = "", failed[32] = "", current[32] = "";
        GetControlText(m_sheet.countText, count, sizeof count);
        GetControlText(m_sheet.errorText, missing, sizeof missing);
        GetControlText(m_sheet.failedText, failed, sizeof failed);
        GetControlText(m_sheet.currentText, current, sizeof current);
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        std::string text = std::to_string(value) + "/" + std::to_string(maximum) + ", " +
                           m_sheet.countLabel + " " + count;
        if (*missing)
            text += std::string(", ") + m_sheet.errorLabel + " " + missing;
        if (*failed)
            text += std::string(", failed ") + failed;
        if (*current)
            text += std::string(", now ") + current;
        if (!ended)
            text += TimeLeftText(elapsed, value, maximum);
        if (m_last == text)
            return;
        m_last = text;
        if (m_terminal) {
            constexpr int kWidth = 30;
            int filled = maximum > 0 ? int(int64_t(value) * kWidth / maximum) : 0;
            filled = filled < 0 ? 0 : (filled > kWidth ? kWidth : filled);
            std::fprintf(stderr, "\r%s [%.*s%*s] %s\033[K", m_name, filled,
                         "##############################", kWidth - filled, "", text.c_str());
        } else {
            std::fprintf(stderr, "%s: %s\n", m_name, text.c_str());
        }
        std::fflush(stderr);
    }
    void Finish() {
        Report(true);
        if (m_terminal)
            std::fputc('\n', stderr);
    }

private:
    // Notices come faster than the polls: every one is printed, in order.
    void ReportNotices() {
        const std::vector<std::string>& notices = m_outcome.notices();
        for (; m_nNotices < notices.size(); ++m_nNotices) {
            std::fprintf(stderr, "%s%s: %s\n", m_terminal ? "\r\033[K" : "", m_name,
                         notices[m_nNotices].c_str());
            m_last.clear(); // a bar it wrote over comes again below
        }
    }

    const char* m_name;
    const JobSheet& m_sheet;
    const CJobOutcome& m_outcome;
    bool m_terminal;
    std::chrono::steady_clock::time_point m_start;
    std::string m_last;
    size_t m_nNotices = 0;
};

} // namespace

int RunSubcommand(CMetalWindow& window, const SubcommandSpec& spec,
                  const std::vector<std::string>& arguments) {
    std::string message;
    if (spec.preCheck && !spec.preCheck(message)) {
        std::fprintf(stderr, "vezizo %s: %s\n", spec.name, message.c_str());
        return kExitFailed;
    }
    if (spec.preCheckArguments && !spec.preCheckArguments(arguments, message)) {
        std::fprintf(stderr, "vezizo %s: %s\n", spec.name, message.c_str());
        return kExitFailed;
    }
    if (spec.run)
        return spec.run(window, arguments);
    if (spec.prepare)
        spec.prepare(window, arguments);
    const JobSheet* sheet = window.jobSheet(spec.sheet);
    if (!sheet) {
        std::fprintf(stderr, "vezizo %s: the program has no window for this job\n", spec.name);
        return kExitFailed;
    }
    if (spec.answerDialog)
        SetModalLoopHook(
            [&spec, &arguments](WindowRef dialog) { spec.answerDialog(dialog, arguments); });
    ProcessCommand(spec.command);
    SetModalLoopHook({});
    if (!sheet->running) {
        // A job that refused to start says why in its outcome.
        const CJobOutcome& outcome = window.jobOutcome();
        const bool refused = outcome.result() == CJobOutcome::kFailed && !outcome.message().empty();
        std::fprintf(stderr, "vezizo %s: %s\n", spec.name,
                     refused ? outcome.message().c_str() : "the job did not start");
        return kExitFailed;
    }
    CProgressReporter reporter(spec.name, *sheet, window.jobOutcome());
    EventLoopTimerRef poll = InstallEventLoopTimer(0.0, 0.2, [sheet, &reporter] {
        if (!sheet->running) {
            QuitApplicationEventLoop(); // Finish() reports the end
            return;
        }
        reporter.Report();
    });
    RunApplicationEventLoop();
    RemoveEventLoopTimer(poll);
    reporter.Finish();
    const CJobOutcome& outcome = window.jobOutcome();
    if (!outcome.message().empty())
        std::fprintf(stderr, "vezizo %s: %s\n", spec.name, outcome.message().c_str());
    return outcome.exitStatus();
}
