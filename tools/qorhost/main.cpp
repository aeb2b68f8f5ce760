// qorhost: a host for the QorBVN driver. It loads the driver the way the host application
// does, serves its err messages, seeds the simulated data-exchange library and sends the
// driver's requests from a scenario file or from a prompt.
#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/qorhost/bench.h"
#include "tools/qorhost/platform.h"
#include "tools/qorhost/scenario.h"

namespace {

// Exit statuses.
constexpr int kExitPassed = 0;
constexpr int kExitFailed = 1;  // an expectation failed, or the run stopped on a failure
constexpr int kExitRefused = 2;  // bad command line, driver refused, scenario unreadable or wrong

struct LoadedDriver {
    void* module = nullptr;
    QorMainEntry qorMain = nullptr;
};

// The driver beside the program, or in the folder above it (the package's layout).
std::string DefaultDriver() {
    const std::string folder = ProgramFolder();
    const std::string candidates[] = {folder + QOR_DRIVER_FILE, folder + "../" + QOR_DRIVER_FILE};
    for (const std::string& candidate : candidates) {
        if (FileExists(candidate)) return candidate;
    }
    return candidates[0];
}

bool LoadDriver(const std::string& path, LoadedDriver& driver) {
    if (!FileExists(path)) {
        std::fprintf(stderr, "qorhost: no driver at %s: the file does not exist\n", path.c_str());
        return false;
    }
    std::string reason;
    driver.module = OpenModule(path, reason);
    if (driver.module == nullptr) {
        std::fprintf(stderr, "qorhost: %s is not a driver: it does not load as a library (%s)\n", path.c_str(),
                     reason.c_str());
        return false;
    }
    driver.qorMain = reinterpret_cast<QorMainEntry>(FindModuleSymbol(driver.module, "QorMain"));
    if (driver.qorMain == nullptr) {
        std::fprintf(stderr, "qorhost: %s is not a QorBVN driver: it exports no QorMain\n", path.c_str());
        CloseModule(driver.module);
        driver.module = nullptr;
        return false;
    }
    return true;
}

void PrintErrors(const std::vector<scenario::ParseError>& errors) {
    for (const scenario::ParseError& error : errors) std::fputs(scenario::FormatParseError(error).c_str(), stderr);
}

int RunPrompt(Bench& bench, scenario::ParserContext& context, bool identify) {
    std::printf("Commands as in a scenario; help lists them, quit ends.\n");
    scenario::Command identifyCommand;
    identifyCommand.verb = scenario::Verb::Identify;
    if (identify) bench.RunCommand(identifyCommand);
    int number = 0;
    std::string line;
    while (ReadPromptLine("qorhost> ", line)) {
        ++number;
        scenario::LineResult parsed = scenario::ParseLine(line, "prompt", number, context);
        if (parsed.kind == scenario::LineResult::Failed) {
            std::fputs(scenario::FormatParseError(parsed.error).c_str(), stdout);
            continue;
        }
        if (parsed.kind == scenario::LineResult::Blank) continue;
        if (parsed.command.verb == scenario::Verb::Tags) {
            scenario::ScriptResult list = scenario::ParseScriptFile(parsed.command.name, context, true);
            if (!list.errors.empty()) {
                for (const scenario::ParseError& error : list.errors) {
                    std::fputs(scenario::FormatParseError(error).c_str(), stdout);
                }
                continue;
            }
            bench.RunScript(list.commands);
            continue;
        }
        if (!bench.RunCommand(parsed.command)) break;
    }
    bench.PrintSummary("prompt");
    return bench.Passed() ? kExitPassed : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"qorhost: loads a QorBVN driver, serves its messages and sends it requests from a "
                 "scenario (or a prompt) against the simulated data-exchange library.\n"
                 "Exit status: 0 every expectation held, 1 an expectation failed, 2 refused "
                 "(command line, driver or scenario)."};
    // Paths may start with '/' under Wine: no /option spelling.
    app.allow_windows_style_options(false);
    std::string scenarioPath;
    std::string driverPath;
    std::vector<std::string> tagLists;
    std::vector<std::string> defines;
    std::string logPath;
    bool quiet = false;
    bool check = false;
    bool noBanner = false;
    app.add_option("scenario", scenarioPath, "Scenario file to run; without it, a prompt");
    app.add_option("-d,--driver", driverPath, "The driver library (default: " QOR_DRIVER_FILE " beside qorhost, or one folder up)");
    app.add_option("-t,--tags", tagLists, "A tag list to define before the scenario (repeatable)")
        ->allow_extra_args(false);
    app.add_option("-D,--define", defines, "NAME=VALUE, used as ${NAME} in the scenario (repeatable)")
        ->allow_extra_args(false);
    app.add_option("-l,--log", logPath, "Also write every err message to this file");
    app.add_flag("-q,--quiet", quiet, "Print only what failed, and the summary");
    app.add_flag("--check", check, "Only check the scenario and tag lists; send nothing");
    app.add_flag("--no-banner", noBanner, "At the prompt, do not identify the driver first");
    app.set_version_flag("--version", "qorhost " QOR_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? kExitPassed : kExitRefused;
    }

    scenario::ParserContext context;
    for (const std::string& define : defines) {
        const size_t equals = define.find('=');
        const std::string name = define.substr(0, equals);
        bool valid = equals != std::string::npos && !name.empty();
        for (char c : name) valid = valid && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!valid) {
            std::fprintf(stderr, "qorhost: -D %s: expected NAME=VALUE, NAME of letters, digits and _\n", define.c_str());
            return kExitRefused;
        }
        context.variables[name] = define.substr(equals + 1);
        context.fixedVariables.insert(name);
    }
    context.lookupFunction = LibraryOrdinal;

    // Every file is read and checked before anything is sent.
    std::vector<scenario::Command> commands;
    std::vector<scenario::ParseError> errors;
    for (const std::string& list : tagLists) {
        scenario::ScriptResult parsed = scenario::ParseScriptFile(list, context, true);
        commands.insert(commands.end(), parsed.commands.begin(), parsed.commands.end());
        errors.insert(errors.end(), parsed.errors.begin(), parsed.errors.end());
    }
    if (!scenarioPath.empty()) {
        scenario::ScriptResult parsed = scenario::ParseScriptFile(scenarioPath, context);
        commands.insert(commands.end(), parsed.commands.begin(), parsed.commands.end());
        errors.insert(errors.end(), parsed.errors.begin(), parsed.errors.end());
    }
    if (!errors.empty()) {
        PrintErrors(errors);
        std::fprintf(stderr, "qorhost: %zu error(s); nothing was sent\n", errors.size());
        return kExitRefused;
    }
    if (check) {
        std::printf("qorhost: %zu command(s), no errors\n", commands.size());
        return kExitPassed;
    }

    if (driverPath.empty()) driverPath = DefaultDriver();
    LoadedDriver driver;
    if (!LoadDriver(driverPath, driver)) return kExitRefused;

    std::FILE* log = nullptr;
    if (!logPath.empty()) {
        log = std::fopen(logPath.c_str(), "w");
        if (log == nullptr) {
            std::fprintf(stderr, "qorhost: cannot write the log file %s\n", logPath.c_str());
            CloseModule(driver.module);
            return kExitRefused;
        }
    }

    PrepareConsole();
    std::printf("qorhost %s  driver %s\n", QOR_VERSION, driverPath.c_str());
    int status;
    {
        BenchSettings settings;
        settings.quiet = quiet;
        settings.log = log;
        Bench bench(driver.qorMain, settings);
        if (scenarioPath.empty()) {
            bench.RunScript(commands);  // the tag lists
            bench.EchoCommands(false);  // the user has just typed them
            status = RunPrompt(bench, context, !noBanner);
        } else {
            bench.RunScript(commands);
            bench.PrintSummary(scenarioPath);
            status = bench.Passed() ? kExitPassed : kExitFailed;
        }
    }
    if (log != nullptr) std::fclose(log);
    CloseModule(driver.module);
    return status;
}
