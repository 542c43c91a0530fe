// The command line: options, the table of subcommands, and running one
// subcommand's job on the controller without showing a window.
#pragma once

#include "JobOutcome.h"
#include "Toolbox/ToolboxTypes.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CMetalWindow;

struct CommandLineOptions {
    std::string folder;
    bool help = false;
    bool version = false;
    std::string subcommand;
    std::vector<std::string> arguments;
};

// One subcommand: a job started by its command, its dialog answered from
// the arguments. A job adds its entry to the table in CommandLine.cpp.
struct SubcommandSpec {
    const char* name;
    const char* usage; // the arguments after the name, for --help
    uint32_t command;  // the command the desktop program's menu sends
    int32_t sheet;     // the job's sheet (CMetalWindow's sheet numbers)
    // False when the arguments are wrong (a usage error); null: none allowed.
    bool (*checkArguments)(const std::vector<std::string>& arguments);
    // Answers the job's dialog by sending the command events a user's clicks
    // would; null for a job without a dialog.
    void (*answerDialog)(WindowRef dialog, const std::vector<std::string>& arguments);
    // Whether the job can start; false sets message (exit status 1).
    bool (*preCheck)(std::string& message);
    // The same for a job whose start depends on its arguments; null: none.
    bool (*preCheckArguments)(const std::vector<std::string>& arguments,
                              std::string& message) = nullptr;
    // A subcommand that is not a job runs this instead, after the pre-checks;
    // it returns the exit status. Null for a job.
    int (*run)(CMetalWindow& window, const std::vector<std::string>& arguments) = nullptr;
    // Sets what the arguments ask of this run only, before the job starts;
    // null: nothing.
    void (*prepare)(CMetalWindow& window, const std::vector<std::string>& arguments) = nullptr;
};

// Fills options from argv. False with message for a usage error.
bool ParseCommandLine(int argc, char** argv, CommandLineOptions& options, std::string& message);
// The form of the subcommand called name that takes these arguments, else its
// first form (whose arguments check then fails); null for no such subcommand.
const SubcommandSpec* FindSubcommand(const std::string& name,
                                     const std::vector<std::string>& arguments);
// Checks a subcommand's arguments; false for a usage error.
bool SubcommandArgumentsValid(const SubcommandSpec& spec,
                              const std::vector<std::string>& arguments);
void PrintUsage(FILE* stream);

// Sends the subcommand's command to window, answers its dialog, reports the
// job's progress and notices on standard error, waits until the job has ended
// and reports how it ended. Returns the exit status (JobOutcome.h).
int RunSubcommand(CMetalWindow& window, const SubcommandSpec& spec,
                  const std::vector<std::string>& arguments);

// ", about 12 min left": the time the rest of a job takes at the pace of its
// first value steps of maximum in elapsed seconds; empty until the job has run
// long enough for a fair guess, and once it is done.
std::string TimeLeftText(double elapsed, int32_t value, int32_t maximum);

// Pre-check of the jobs that work through the fetch list.
bool RequireFetchList(std::string& message);
