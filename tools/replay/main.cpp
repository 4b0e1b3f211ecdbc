// relaydeck-replay: runs a scenario against the controller on a virtual clock.

#include <exception>
#include <fstream>
#include <iostream>

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
    if (argc > 2) {
        std::cerr << "usage: relaydeck-replay [SCENARIO]\n";
        return 2;
    }
    // The standard streams get buffers of their own; standard output is flushed before
    // anything goes to standard error.
    std::ios::sync_with_stdio(false);
    std::ifstream file;
    std::istream* scenario = &std::cin;
    if (argc == 2) {
        file.open(argv[1], std::ios::binary);
        if (!file) {
            std::cerr << "relaydeck-replay: cannot open " << argv[1] << '\n';
            return 2;
        }
        scenario = &file;
    }
    try {
        const relaydeck::replay::ScenarioFolder folder;
        relaydeck::replay::ReplayRunner runner(*scenario, std::cout, folder.path());
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
