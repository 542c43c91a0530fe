// The program entry: the desktop program, or one job from the command line.
#include "CommandLine.h"
#include "FolderLock.h"
#include "MetalWindow.h"
#include "Toolbox/Toolbox.h"
#include "VezizoApp.h"
#include "VezizoMain.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    CommandLineOptions options;
    std::string message;
    if (!ParseCommandLine(argc, argv, options, message)) {
        std::fprintf(stderr, "vezizo: %s\n", message.c_str());
        PrintUsage(stderr);
        return kExitUsage;
    }
    if (options.help)
        return PrintHelp(options);
    if (options.version) {
        std::printf("vezizo %s\n", VEZIZO_VERSION);
        return kExitDone;
    }
    const SubcommandSpec* subcommand = nullptr;
    if (!options.subcommand.empty()) {
        subcommand = FindSubcommand(options.subcommand, options.arguments);
        if (!subcommand) {
            std::fprintf(stderr, "vezizo: unknown subcommand %s\n", options.subcommand.c_str());
            PrintUsage(stderr);
            return kExitUsage;
        }
        if (!SubcommandArgumentsValid(*subcommand, options.arguments, message)) {
            std::fprintf(stderr, "vezizo %s: %s\nusage: ", subcommand->name, message.c_str());
            PrintSubcommandUsage(stderr, *subcommand);
            std::fprintf(stderr, "(vezizo help %s tells more)\n", subcommand->name);
            return kExitUsage;
        }
        // A subcommand runs the same controller without showing a window.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QuietPlatformNotes();
    QApplication application(argc, argv);
    g_osVersion = GestaltSystemVersion();
    if (!SystemVersionSupported(g_osVersion))
        return kExitDone;

    CVezizoApp vezizo;
    if (!vezizo.StartUp(QCoreApplication::applicationFilePath().toStdString(), options.folder)) {
        std::fprintf(stderr, "vezizo: cannot use the folder %s\n", g_startupPath.c_str());
        return kExitFailed;
    }
    if (options.intervalMs > 0)
        vezizo.mainWindow()->SetRequestInterval(options.intervalMs);
    if (vezizo.folderInUse()) {
        // The window stays open to say so; whichever way it ends, the run did nothing.
        const std::string message = CFolderLock::InUseMessage(g_startupPath);
        std::fprintf(stderr, "vezizo%s%s: %s\n", subcommand ? " " : "",
                     subcommand ? subcommand->name : "", message.c_str());
        if (subcommand)
            return kExitFailed;
        SetExitStatus(kExitFailed);
    }
    if (subcommand) {
        // The window shows these on a caution sheet; a run without one says
        // them here, and goes on with the fall-backs.
        for (const std::string& warning : vezizo.startupWarnings())
            std::fprintf(stderr, "vezizo %s: warning: %s\n", subcommand->name, warning.c_str());
        SetWindowAnimationsEnabled(false);
        return RunSubcommand(*vezizo.mainWindow(), *subcommand, options.arguments);
    }
    vezizo.mainWindow()->run();
    return ExitStatus();
}
