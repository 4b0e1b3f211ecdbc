#pragma once
/// @file
/// @brief The folder the running exe sits in.

#include <filesystem>

namespace relaydeck::win32 {

/// @brief The folder of this process's own exe, whatever the length of its path.
std::filesystem::path programFolder();

}  // namespace relaydeck::win32
