// Arbitrary bytes as a whole scenario run against the controller: a run either ends or
// names the line it refuses, and never crashes. Waits are kept short so that a run
// stays quick.
#include <chrono>
#include <sstream>
#include <string>

#include "ReplayRunner.h"
#include "ScenarioArguments.h"
#include "ScenarioFolder.h"
#include "ScenarioLexer.h"

namespace {

using namespace std::chrono_literals;
namespace replay = relaydeck::replay;

/// Whether every wait of the scenario together stays within a virtual hour.
bool shortEnough(const std::string& text) {
    std::istringstream in(text);
    replay::ScenarioReader reader(in);
    std::chrono::milliseconds total{0};
    try {
        while (auto line = reader.next()) {
            if (line->words[0].text != "wait" || line->words.size() != 2) continue;
            const auto wait = replay::parseSeconds(line->words[1].text);
            if (wait) total += *wait;
            if (total > 1h) return false;
        }
    } catch (const replay::ScenarioError&) {
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (size > 4096 || !shortEnough(text)) return -1;  // not kept in the corpus
    std::istringstream scenario(text);
    std::ostringstream out;
    // One folder for the whole run (removed at exit), emptied before every scenario.
    static const replay::ScenarioFolder folder;
    std::filesystem::remove_all(folder.path());
    std::filesystem::create_directories(folder.path());
    try {
        replay::ReplayRunner runner(scenario, out, folder.path());
        runner.run();
    } catch (const replay::ScenarioError&) {
    } catch (const std::exception&) {
    }
    return 0;
}
