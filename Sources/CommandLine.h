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
    // The least time between two requests; 0: the settings' interval.
    int32_t intervalMs = 0;
    // --help, `help [SUBCOMMAND]` or `SUBCOMMAND --help`: the help of the
    // subcommand, or of the program when there is none.
    bool help = false;
    bool version = false;
    std::string subcommand;
    std::vector<std::string> arguments;
};

// One subcommand: a job started by its command, its dialog answered from
// the arguments. A job adds its entry to the table in CommandLine.cpp.
struct SubcommandSpec {
    const char* name;
    const char* usage;   // the arguments after the name
    const char* summary; // what it does, in one line of --help
    // `vezizo help NAME`: what it does in full, what it reads and writes.
    const char* details;
    uint32_t command; // the command the desktop program's menu sends
    int32_t sheet;    // the job's sheet (CMetalWindow's sheet numbers)
    // False with problem (naming the argument) when the arguments are wrong,
    // a usage error; null: no argument allowed.
    bool (*checkArguments)(const std::vector<std::string>& arguments, std::string& problem);
    // Answers the job's dialog by sending the command events a user's clicks
    // would; null for a job without a dialog.
    void (*answerDialog)(WindowRef dialog, const std::vector<std::string>& arguments);
    // Whether the job can start; false sets message (exit status 1).
    bool (*preCheck)(std::string& message);
    // A subcommand that is not a job runs this instead, after the pre-check;
    // it returns the exit status. Null for a job.
    int (*run)(CMetalWindow& window, const std::vector<std::string>& arguments) = nullptr;
    // Sets what the arguments ask of this run only, before the job starts;
    // null: nothing.
    void (*prepare)(CMetalWindow& window, const std::vector<std::string>& arguments) = nullptr;
};

// Fills options from argv. False with message for a usage error.
bool ParseCommandLine(int argc, char** argv, CommandLineOptions& options, std::string& message);
// The form of the subcommand called name that takes these arguments: a form
// whose usage begins with an option (history --all) when the first argument
// is that option, else the name's first form; null for no such subcommand.
const SubcommandSpec* FindSubcommand(const std::string& name,
                                     const std::vector<std::string>& arguments);
// Checks a subcommand's arguments; false with problem for a usage error.
bool SubcommandArgumentsValid(const SubcommandSpec& spec, const std::vector<std::string>& arguments,
                              std::string& problem);
// The forms of the command line.
void PrintUsage(FILE* stream);
// The usage line of one subcommand.
void PrintSubcommandUsage(FILE* stream, const SubcommandSpec& spec);
// The help options asks for on standard output: the program's (usage, what
// each subcommand does, the application folder, the files, the exit
// statuses) or one subcommand's. Returns the exit status (kExitUsage for an
// unknown subcommand).
int PrintHelp(const CommandLineOptions& options);

// A whole number of at most nine digits, without sign or blanks, from lowest
// to highest.
bool ReadWholeNumber(const std::string& text, int32_t lowest, int32_t highest, int32_t* value);

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
