#include "ScenarioFolder.h"

#include <random>
#include <string>
#include <system_error>

namespace relaydeck::replay {

ScenarioFolder::ScenarioFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937_64 random(seed());
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::filesystem::path candidate = base / ("relaydeck-replay-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = std::move(candidate);
            return;
        }
    }
    throw std::filesystem::filesystem_error("cannot create a scenario folder", base,
                                            std::make_error_code(std::errc::file_exists));
}

ScenarioFolder::~ScenarioFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace relaydeck::replay
