#pragma once
/// @file
/// @brief The program's folder for one scenario: a fresh, empty temporary folder.

#include <filesystem>

namespace relaydeck::replay {

/// @brief Creates a new empty folder under the system's temporary folder and removes
/// it, with everything in it, when destroyed.
class ScenarioFolder {
  public:
    /// @brief Throws std::filesystem::filesystem_error when no folder can be made.
    ScenarioFolder();
    ~ScenarioFolder();
    ScenarioFolder(const ScenarioFolder&) = delete;
    ScenarioFolder& operator=(const ScenarioFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace relaydeck::replay
