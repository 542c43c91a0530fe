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
#include <climits>
#include <cstring>
#include <unistd.h>

bool RequireFetchList(std::string& message) {
    if (g_fetchData && g_fetchData->nPages() > 0)
        return true;
    message = kNoFetchListMessage;
    return false;
}

bool ReadWholeNumber(const std::string& text, int32_t lowest, int32_t highest, int32_t* value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = int32_t(std::stol(text));
    return *value >= lowest && *value <= highest;
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

// The arguments after CODE or --all: at most ROWS, from 1 to kMaxRowsWanted.
static bool HistoryRowsValid(const std::vector<std::string>& arguments, std::string& problem) {
    int32_t rows = 0;
    if (arguments.size() > 2) {
        problem = "unexpected argument " + arguments[2];
        return false;
    }
    if (arguments.size() == 2 &&
        !ReadWholeNumber(arguments[1], 1, CMakeKDT::kMaxRowsWanted, &rows)) {
        problem = "ROWS " + arguments[1] + ": the number of rows is a whole number from 1 to " +
                  std::to_string(CMakeKDT::kMaxRowsWanted);
        return false;
    }
    return true;
}

static bool HistoryArgumentsValid(const std::vector<std::string>& arguments, std::string& problem) {
    if (arguments.empty()) {
        problem = "CODE is missing";
        return false;
    }
    int32_t code = 0;
    if (const char* refusal = CMakeKDT::CheckCode(arguments[0].c_str(), &code)) {
        problem = "CODE " + arguments[0] + ": " + refusal;
        return false;
    }
    return HistoryRowsValid(arguments, problem);
}

static void SetAllHistoriesRows(CMetalWindow& window, const std::vector<std::string>& arguments) {
    int32_t rows = 0;
    if (arguments.size() == 2)
        ReadWholeNumber(arguments[1], 1, CMakeKDT::kMaxRowsWanted, &rows);
    window.setHistoryRows(rows);
}

static bool FetchArgumentsValid(const std::vector<std::string>& arguments, std::string& problem) {
    for (size_t i = 0; i < arguments.size(); ++i)
        if (arguments[i] != "--update-histories" || i > 0) {
            problem = "unexpected argument " + arguments[i];
            return false;
        }
    return true;
}

// --update-histories holds for this run; the saved setting stays as it is.
static void SetFetchOptions(CMetalWindow&, const std::vector<std::string>& arguments) {
    if (!arguments.empty())
        g_settings->updateHistories = true;
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
static bool CheckDialogOptions(const std::vector<std::string>& arguments, std::string& problem) {
    bool seen[3] = {false, false, false};
    for (const std::string& argument : arguments) {
        const int index = OptionIndex(options, argument);
        if (index < 0) {
            problem = "unexpected argument " + argument;
            return false;
        }
        if (seen[index]) {
            problem = argument + " is given twice";
            return false;
        }
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
    {"fetch", "[--update-histories]",
     "downloads the day's quotes of fetchlist.csv into the daily file",
     "Downloads the quote pages of every stock of fetchlist.csv, 50 stocks a page,\n"
     "and writes the day's daily file in the layout the preferences choose, named\n"
     "by the quotes' date (quotes of 12/30 fetched in January are of the year\n"
     "before). A page that fails is asked for again, up to twice, after the others.\n"
     "Stocks the service did not quote usably are counted as missing and logged,\n"
     "as are fetch-list lines whose quote codes cannot go into a request. A daily\n"
     "file of the same day gives the new one the lines of the stocks this run\n"
     "lacks. Ends by naming the file and its count (DS261204.DAT: 300 stocks,\n"
     "0 missing).\n"
     "  --update-histories   also adds the day's quotes to every KDnnnn.KDT there\n"
     "                       is (update_histories=1 of vezizo.conf does it always)\n"
     "Reads:  fetchlist.csv, market.csv, servers.conf\n"
     "Writes: DSyymmdd.DAT or DSyyyymm.dd, ERRORLOG.TXT, webtemp/webtemp-NNN.html,\n"
     "        KDnnnn.KDT (--update-histories)\n",
     FourCharCode("fech"), CMetalWindow::kFetchSheet, FetchArgumentsValid, nullptr,
     RequireFetchList, nullptr, SetFetchOptions},
    {"finance", "", "downloads the finance figures of fetchlist.csv into FNyymmdd.DAT",
     "Downloads the finance view of every page of fetchlist.csv and writes the\n"
     "finance file of the quotes' date, with the retries of fetch and keeping the\n"
     "lines of an earlier file of the day as fetch does. Ends by naming the file\n"
     "and its count.\n"
     "Reads:  fetchlist.csv, market.csv, servers.conf\n"
     "Writes: FNyymmdd.DAT, ERRORLOG.TXT, webtemp/webtemp-NNN.html\n",
     FourCharCode("fina"), CMetalWindow::kFinanceSheet, nullptr, nullptr, RequireFetchList},
    // Without a fetch list every listed code is new: that is how a first list
    // is made.
    {"listing", "[--keep-files] [--only-added] [--offline]",
     "makes fetchlist.csv from the market listing, or lists the new stocks",
     "Reads the 80 pages of the market listing, gives every stock its market from\n"
     "its company profile page and rewrites fetchlist.csv in code order (the old\n"
     "one becomes fetchlist.bak). Without a fetch list every listed stock is new.\n"
     "Codes with letters (130A) are skipped and counted, as the files hold numeric\n"
     "codes only. When a listing page fails, no file is changed.\n"
     "  --only-added   writes only the stocks fetchlist.csv lacks, to\n"
     "                 addlist-yymmdd.csv\n"
     "  --keep-files   keeps each profile page as webtemp/fundamental/NNNN/CCCC.html\n"
     "  --offline      downloads no profile page and reads the kept ones\n"
     "Reads:  fetchlist.csv, market.csv, servers.conf\n"
     "Writes: fetchlist.csv and fetchlist.bak, or addlist-yymmdd.csv; webtemp/\n",
     FourCharCode("list"), CMetalWindow::kListSheet, CheckDialogOptions<s_listingOptions>,
     AnswerDialogOptions<s_listingOptions>, nullptr},
    {"profile", "[--keep-files] [--existing-dictionary-only] [--offline]",
     "stores every stock's company profile in VellmarkEx.DIC",
     "Downloads each stock's company profile and stores its industry category,\n"
     "market, feature and business texts in VellmarkEx.DIC (made and seeded from\n"
     "the fetch list when missing). A stock whose page fails keeps its record.\n"
     "  --existing-dictionary-only   updates only an existing dictionary\n"
     "  --keep-files                 keeps each page in webtemp/fundamental/NNNN/\n"
     "  --offline                    downloads nothing and reads the kept pages\n"
     "Reads:  fetchlist.csv, market.csv, servers.conf\n"
     "Writes: VellmarkEx.DIC, webtemp/\n",
     FourCharCode("fund"), CMetalWindow::kFundamentalSheet, CheckDialogOptions<s_profileOptions>,
     AnswerDialogOptions<s_profileOptions>, RequireFetchList},
    {"history", "CODE [ROWS]", "downloads one stock's daily prices into KDnnnn.KDT",
     "Downloads the daily history of stock CODE, 50 days a page, newest first, and\n"
     "writes KDnnnn.KDT oldest day first. CODE is at most 11 characters (letters,\n"
     "digits, . - _ ^) beginning with a number of at least 1; ROWS, the days\n"
     "wanted, is a whole number from 1 to 100000 (200 when left out). When no page\n"
     "yields rows, or a page fails, nothing is written and an earlier file is kept.\n"
     "Reads:  servers.conf\n"
     "Writes: KDnnnn.KDT, webtemp/kdttemp-NNN.html\n",
     FourCharCode("mkdt"), CMetalWindow::kKDTSheet, HistoryArgumentsValid, AnswerCodeEntry,
     nullptr},
    // The other form of history: every stock of the fetch list.
    {"history", "--all [ROWS]", "brings KDnnnn.KDT of every stock of fetchlist.csv up to date",
     "Brings the history of every stock of fetchlist.csv up to date. A stock without\n"
     "KDnnnn.KDT gets the last ROWS days (200 when left out, 1 to 100000); a stock\n"
     "with one gets only the pages down to the newest day it holds, merged in (one\n"
     "record a date, the service's values for a date it gives again). A stock whose\n"
     "file holds the newest trading day is skipped without a download, so a run\n"
     "stopped half-way resumes where it stopped. A stock whose page fails keeps its\n"
     "file as it was and counts as failed.\n"
     "Reads:  fetchlist.csv, KDnnnn.KDT, servers.conf\n"
     "Writes: KDnnnn.KDT, webtemp/kdttemp-NNN.html\n",
     FourCharCode("mkda"), CMetalWindow::kHistoriesSheet, HistoryRowsValid, nullptr,
     RequireFetchList, nullptr, SetAllHistoriesRows},
    // Not a job: prints the display sheet's list (QuotesCommand.cpp).
    {"quotes", "[--sort name|mark|cv1|cv2|cv3|cv4|cvc] [--descending]",
     "prints the last fetch's quotes, one line per stock",
     "Prints the last fetch's quote list on standard output, one line per stock in\n"
     "UTF-8: code and name, market, open, high, low, close, volume. It reads the\n"
     "pages the last fetch kept in webtemp/; before any fetch it says so and\n"
     "exits with 1.\n"
     "  --sort KEY     name (the first two characters), mark, cv1, cv2, cv3\n"
     "                 (fetch-list order), cv4 (close) or cvc (volume)\n"
     "  --descending   the largest first\n"
     "Reads:  fetchlist.csv, market.csv, webtemp/webtemp-NNN.html\n"
     "Writes: nothing\n",
     FourCharCode("disp"), CMetalWindow::kDispSheet, QuotesArgumentsValid, nullptr,
     RequireFetchList, PrintQuoteList},
    // Not a job: draws the chart window's chart into a PNG (ChartCommand.cpp).
    {"chart", "CODE [--png FILE] [--days N] [--size WxH]",
     "draws a stock's KDnnnn.KDT as a chart into a PNG picture",
     "Draws the chart of KDnnnn.KDT as the chart window draws it (candlesticks,\n"
     "the 25 and 75 day moving averages of the close, the volume) into a PNG\n"
     "picture and prints the picture's path. A missing, empty or malformed KD file\n"
     "ends with status 1.\n"
     "  --png FILE     the picture (KDnnnn.png in the application folder when left\n"
     "                 out; a relative name is taken from the current folder)\n"
     "  --days N       the last N days (120 when left out)\n"
     "  --size WxH     the size in pixels, each side 160 to 8000 (1200x800)\n"
     "Reads:  KDnnnn.KDT, fetchlist.csv (the stock's name)\n"
     "Writes: the picture\n",
     FourCharCode("chrt"), CMetalWindow::kNoSheet, ChartArgumentsValid, nullptr, nullptr, RunChart},
};

// The option a form's usage begins with ("--all"), else empty.
static std::string LeadingOption(const SubcommandSpec& spec) {
    if (std::strncmp(spec.usage, "--", 2) != 0)
        return std::string();
    return std::string(spec.usage, std::strcspn(spec.usage, " "));
}

const SubcommandSpec* FindSubcommand(const std::string& name,
                                     const std::vector<std::string>& arguments) {
    const SubcommandSpec* first = nullptr;
    for (const SubcommandSpec& spec : s_subcommands) {
        if (name != spec.name)
            continue;
        const std::string option = LeadingOption(spec);
        if (option.empty())
            first = first ? first : &spec;
        else if (!arguments.empty() && arguments[0] == option)
            return &spec;
    }
    return first;
}

bool SubcommandArgumentsValid(const SubcommandSpec& spec, const std::vector<std::string>& arguments,
                              std::string& problem) {
    if (spec.checkArguments)
        return spec.checkArguments(arguments, problem);
    if (!arguments.empty())
        problem = "unexpected argument " + arguments[0];
    return arguments.empty();
}

void PrintSubcommandUsage(FILE* stream, const SubcommandSpec& spec) {
    std::fprintf(stream, "vezizo [--folder DIR] %s%s%s\n", spec.name, *spec.usage ? " " : "",
                 spec.usage);
}

void PrintUsage(FILE* stream) {
    std::fprintf(stream, "usage: vezizo [--folder DIR]                 the desktop program\n");
    for (const SubcommandSpec& spec : s_subcommands) {
        std::fputs("       ", stream);
        PrintSubcommandUsage(stream, spec);
    }
    std::fprintf(stream,
                 "       vezizo --help | --version\n"
                 "       vezizo help SUBCOMMAND                one subcommand in full "
                 "(or SUBCOMMAND --help)\n"
                 "Options: --folder DIR names the application folder; --interval MS starts\n"
                 "two requests to the service at least MS milliseconds apart (%d or more;\n"
                 "default: interval_ms of vezizo.conf, else %d).\n",
                 CProgramSettings::kMinimumIntervalMs, CProgramSettings::kDefaultIntervalMs);
}

// The program's path, resolved, for the folder it takes by default.
static std::string ProgramPath() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return std::string(path, n > 0 ? size_t(n) : 0);
}

int PrintHelp(const CommandLineOptions& options) {
    if (!options.subcommand.empty()) {
        if (!FindSubcommand(options.subcommand, {})) {
            std::fprintf(stderr, "vezizo: unknown subcommand %s\n", options.subcommand.c_str());
            PrintUsage(stderr);
            return kExitUsage;
        }
        // Every form of the subcommand, one after the other.
        const char* separator = "";
        for (const SubcommandSpec& spec : s_subcommands) {
            if (options.subcommand != spec.name)
                continue;
            std::printf("%susage: ", separator);
            PrintSubcommandUsage(stdout, spec);
            std::printf("%s: %s.\n\n%s", spec.name, spec.summary, spec.details);
            separator = "\n";
        }
        return kExitDone;
    }
    PrintUsage(stdout);
    std::printf("\nA subcommand runs one job without a window, shows its progress on standard\n"
                "error and exits:\n");
    for (const SubcommandSpec& spec : s_subcommands)
        std::printf("  %-9s %s\n", spec.name, spec.summary);
    const std::string folder =
        options.folder.empty() ? ApplicationFolderOf(ProgramPath().c_str()) : options.folder;
    std::printf("\n"
                "The application folder holds every file but the preferences: DIR when given,\n"
                "else the folder that holds Vezizo.app when you may write there, else\n"
                "$VEZIZO_FOLDER, else ~/Vezizo. Here: %s\n"
                "Read there:    fetchlist.csv (your stocks), market.csv (the market table),\n"
                "               servers.conf (the quote service's hosts, optional)\n"
                "Written there: DSyymmdd.DAT or DSyyyymm.dd (fetch), FNyymmdd.DAT (finance),\n"
                "               KDnnnn.KDT (history), KDnnnn.png (chart), VellmarkEx.DIC\n"
                "               (profile), fetchlist.csv with fetchlist.bak or\n"
                "               addlist-yymmdd.csv (listing), ERRORLOG.TXT, webtemp/ (the pages)\n"
                "Preferences:   TorlindX.Preference and vezizo.conf in $XDG_CONFIG_HOME, else\n"
                "               in ~/.config\n"
                "\n"
                "Exit status: 0 all done; 1 nothing done or nothing written (the earlier files\n"
                "kept, the message says why); 2 a usage error; 3 done in part (some pages\n"
                "failed, the message says which).\n",
                folder.c_str());
    return kExitDone;
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
        } else if (std::strcmp(argv[i], "--interval") == 0) {
            if (i + 1 >= argc ||
                !CProgramSettings::ParseInterval(argv[i + 1], &options.intervalMs)) {
                message = "--interval takes whole milliseconds from " +
                          std::to_string(CProgramSettings::kMinimumIntervalMs) + " to " +
                          std::to_string(CProgramSettings::kMaximumIntervalMs) +
                          (i + 1 < argc ? std::string(", not ") + argv[i + 1] : std::string());
                return false;
            }
            ++i;
        } else {
            message = std::string("unknown option ") + argv[i];
            return false;
        }
    }
    if (i < argc) {
        options.subcommand = argv[i++];
        options.arguments.assign(argv + i, argv + argc);
    }
    // `help SUBCOMMAND` and `SUBCOMMAND --help` ask for one subcommand's help.
    if (options.subcommand == "help") {
        if (options.arguments.size() > 1) {
            message = "help takes one subcommand";
            return false;
        }
        options.help = true;
        options.subcommand = options.arguments.empty() ? "" : options.arguments[0];
        options.arguments.clear();
    }
    for (const std::string& argument : options.arguments)
        options.help |= argument == "--help" || argument == "-h";
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
        std::string line = std::to_string(value) + "/" + std::to_string(maximum) + ", " +
                           m_sheet.countLabel + " " + count;
        if (*missing)
            line += std::string(", ") + m_sheet.errorLabel + " " + missing;
        if (*failed)
            line += std::string(", failed ") + failed;
        if (*current)
            line += std::string(", now ") + current;
        if (!ended)
            line += TimeLeftText(elapsed, value, maximum);
        if (m_last == line)
            return;
        m_last = line;
        if (m_terminal) {
            constexpr int kWidth = 30;
            int filled = maximum > 0 ? int(int64_t(value) * kWidth / maximum) : 0;
            filled = filled < 0 ? 0 : (filled > kWidth ? kWidth : filled);
            std::fprintf(stderr, "\r%s [%.*s%*s] %s\033[K", m_name, filled,
                         "##############################", kWidth - filled, "", line.c_str());
        } else {
            std::fprintf(stderr, "%s: %s\n", m_name, line.c_str());
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
