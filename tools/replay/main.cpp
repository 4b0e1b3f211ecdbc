// relaydeck-replay: runs a scenario against the controller on a virtual clock.

#include <exception>
#include <fstream>
#include <iostream>
#include <string_view>

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
    bool echo = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--echo") {
            echo = true;
        } else if (path == nullptr && (arg == "-" || !arg.starts_with("-"))) {
            path = argv[i];
        } else {
            std::cerr << "usage: relaydeck-replay [--echo] [SCENARIO]\n";
            return 2;
        }
    }
    std::ifstream file;
    std::istream* scenario = &std::cin;
    if (path != nullptr && std::string_view(path) != "-") {
        file.open(path, std::ios::binary);
        if (!file) {
            std::cerr << "relaydeck-replay: cannot open " << path << '\n';
            return 2;
        }
        scenario = &file;
    }
    try {
        const relaydeck::replay::ScenarioFolder folder;
        relaydeck::replay::ReplayRunner runner(*scenario, std::cout, folder.path());
        if (echo) runner.echoScenario();
        runner.run();
    } catch (const relaydeck::replay::ScenarioError& e) {
        std::cout.flush();
        std::cerr << "line " << e.line() << ": " << e.reason() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "relaydeck-replay: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
