// relaydeck-replay: runs a scenario against the controller on a virtual clock.

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ActivityOutput.h"

#include "ReplayRunner.h"
#include "ScenarioFolder.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

/// The activity files asked for on the command line.
struct ActivityOptions {
    std::string csv;
    std::string svg;
};

/// Takes `--activity-csv FILE` and `--timeline-svg FILE` out of the arguments; false when
/// one of them lacks its file.
bool takeActivityOptions(std::vector<std::string>& args, ActivityOptions& options) {
    for (std::size_t i = 0; i < args.size();) {
        std::string* target = args[i] == "--activity-csv"   ? &options.csv
                              : args[i] == "--timeline-svg" ? &options.svg
                                                            : nullptr;
        if (!target) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) return false;
        *target = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return true;
}

/// Writes the activity files; false (said on standard error) when one could not be written.
bool writeActivity(const ActivityOptions& options, const relaydeck::replay::ActivityOutput& output,
                   relaydeck::ActivityTime end, const std::string& scenario) {
    bool ok = true;
    const auto write = [&](const std::string& file, const std::string& text) {
        if (file.empty() || relaydeck::replay::writeTextFile(file, text)) return;
        std::cerr << "relaydeck-replay: cannot write " << file << '\n';
        ok = false;
    };
    write(options.csv, output.csv());
    write(options.svg, output.svg(end, scenario));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output is compared byte for byte: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    ActivityOptions activity;
    if (!takeActivityOptions(args, activity) || args.size() > 1) {
        std::cerr << "usage: relaydeck-replay [--activity-csv FILE] [--timeline-svg FILE] "
                     "[SCENARIO]\n";
        return 2;
    }
    std::ifstream file;
    std::istream* scenario = &std::cin;
    std::string scenarioName = "standard input";
    if (args.size() == 1) {
        file.open(args[0], std::ios::binary);
        if (!file) {
            std::cerr << "relaydeck-replay: cannot open " << args[0] << '\n';
            return 2;
        }
        scenario = &file;
        scenarioName = std::filesystem::path(args[0]).filename().string();
    }
    relaydeck::replay::ActivityOutput output;
    int status = 0;
    relaydeck::ActivityTime end{};
    try {
        const relaydeck::replay::ScenarioFolder folder;
        relaydeck::replay::ReplayRunner runner(*scenario, std::cout, folder.path());
        runner.setActivity(output);
        try {
            runner.run();
        } catch (...) {
            end = runner.wallTime();
            throw;
        }
        end = runner.wallTime();
    } catch (const relaydeck::replay::ScenarioError& e) {
        std::cout.flush();
        std::cerr << "line " << e.line() << ": " << e.reason() << '\n';
        status = 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "relaydeck-replay: " << e.what() << '\n';
        status = 2;
    }
    if (!writeActivity(activity, output, end, scenarioName)) status = 2;
    return status;
}
