// relaydeck-replay: runs a scenario against the controller on a virtual clock.

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <algorithm>
#include <string>
#include <vector>

#include "ActivityOutput.h"

#include "ReplayRunner.h"
#include "ScenarioFolder.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output is compared byte for byte: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto echoOption = std::find(args.begin(), args.end(), "--echo");
    const bool echo = echoOption != args.end();
    if (echo) args.erase(echoOption);
    relaydeck::replay::ActivityOptions activity;
    if (!relaydeck::replay::takeActivityOptions(args, activity) || args.size() > 1 ||
        (args.size() == 1 && args[0] != "-" && args[0].starts_with("-"))) {
        std::cerr << "usage: relaydeck-replay [--echo] [--activity-csv FILE] "
                     "[--timeline-svg FILE] [SCENARIO]\n";
        return 2;
    }
    // The standard streams get buffers of their own; standard output is flushed before
    // anything goes to standard error.
    std::ios::sync_with_stdio(false);
    std::ifstream file;
    std::istream* scenario = &std::cin;
    std::string scenarioName = "standard input";
    if (args.size() == 1 && args[0] != "-") {
        file.open(args[0], std::ios::binary);
        if (!file) {
            std::cerr << "relaydeck-replay: cannot open " << args[0] << '\n';
            return 2;
        }
        scenario = &file;
        scenarioName = std::filesystem::path(args[0]).filename().string();
    }
    relaydeck::replay::ActivityOutput output(activity);
    int status = 0;
    relaydeck::ActivityTime end{};
    try {
        const relaydeck::replay::ScenarioFolder folder;
        relaydeck::replay::ReplayRunner runner(*scenario, std::cout, folder.path());
        if (activity.wanted()) runner.setActivity(output);
        if (echo) runner.echoScenario();
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
    if (!output.finish(end, scenarioName, std::cerr)) status = 2;
    return status;
}
