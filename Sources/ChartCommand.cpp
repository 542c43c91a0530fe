#include "ChartCommand.h"

#include "ChartWindow.h"
#include "CommandLine.h"
#include "Fetch/KDTFile.h"
#include "Fetch/MakeKDT.h"
#include "FullPath.h"
#include "MetalWindow.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "futil.h"

#include <cstdio>

namespace {

// The folder the program was started in, taken before start-up makes the
// application folder the current one: a relative --png names a file there.
const std::string s_startFolder = CurrentDirectory();

// The sides of a picture, in pixels.
constexpr int32_t kSmallestSide = 160;
constexpr int32_t kLargestSide = 8000;

struct ChartOptions {
    int32_t code = 0;
    std::string png; // empty: KDnnnn.png in the application folder
    int32_t days = CChartWindow::kDefaultDays;
    int32_t width = 1200;
    int32_t height = 800;
};

// Empty when the arguments are right, else what is wrong, naming the
// argument.
std::string ParseChartArguments(const std::vector<std::string>& arguments, ChartOptions& options) {
    bool haveCode = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isOption = argument == "--png" || argument == "--days" || argument == "--size";
        if (isOption && i + 1 >= arguments.size())
            return argument + " needs a value";
        if (argument == "--png") {
            options.png = arguments[++i];
            if (options.png.empty())
                return "--png needs a file name";
        } else if (argument == "--days") {
            if (!ReadWholeNumber(arguments[++i], 1, int32_t(kKDTFileMaxRecords), &options.days))
                return "--days " + arguments[i] +
                       ": the number of days must be a whole number "
                       "from 1";
        } else if (argument == "--size") {
            const std::string& size = arguments[++i];
            const size_t x = size.find('x');
            if (x == std::string::npos ||
                !ReadWholeNumber(size.substr(0, x), kSmallestSide, kLargestSide, &options.width) ||
                !ReadWholeNumber(size.substr(x + 1), kSmallestSide, kLargestSide, &options.height))
                return "--size " + size + ": give WIDTHxHEIGHT in pixels, each from " +
                       std::to_string(kSmallestSide) + " to " + std::to_string(kLargestSide);
        } else if (argument.compare(0, 1, "-") == 0 || haveCode) {
            return "unexpected argument " + argument;
        } else if (const char* refusal = CMakeKDT::CheckCode(argument.c_str(), &options.code)) {
            return "CODE " + argument + ": " + refusal;
        } else {
            haveCode = true;
        }
    }
    return haveCode ? std::string() : "CODE is missing";
}

} // namespace

bool ChartArgumentsValid(const std::vector<std::string>& arguments, std::string& problem) {
    ChartOptions options;
    problem = ParseChartArguments(arguments, options);
    return problem.empty();
}

int RunChart(CMetalWindow& window, const std::vector<std::string>& arguments) {
    ChartOptions options;
    ParseChartArguments(arguments, options);
    window.ShowChart(options.code);
    CChartWindow* chart = window.chart();
    chart->SetRange(options.days);
    if (!chart->failure().empty()) {
        std::fprintf(stderr, "vezizo chart: %s\n", chart->failure().c_str());
        return kExitFailed;
    }
    std::string path;
    if (options.png.empty()) {
        const std::string name = KDTFileName(options.code);
        path = MakeUnixFullPath(g_startupPath, (name.substr(0, name.size() - 4) + ".png").c_str());
    } else {
        path = options.png.front() == '/' ? options.png
                                          : MakeUnixFullPath(s_startFolder, options.png.c_str());
    }
    if (!SaveChartPicture(chart->getChart(), path.c_str(), options.width, options.height)) {
        std::fprintf(stderr, "vezizo chart: could not write %s\n", path.c_str());
        return kExitFailed;
    }
    std::printf("%s\n", path.c_str());
    return kExitDone;
}
