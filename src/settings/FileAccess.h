#pragma once
/// @file
/// @brief The settings file's dealings with the operating system: reading a whole file,
///        replacing one safely, and finding the folders it may live in.

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace relaydeck {

/// @brief A file could not be read or written; what() is the reason, as the system says it
/// ("Permission denied", "No space left on device", "the file is read-only").
class FileAccessError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// @brief The whole content of @p file; nullopt when there is no such file.
/// Throws FileAccessError when it exists but cannot be read (a folder, no permission).
std::optional<std::string> readFileBytes(const std::filesystem::path& file);

/// @brief Writes bytes to the new file. @p write does it through the system; a test puts
/// its own in front to make the disk fail.
using WriteInterceptor = std::function<std::error_code(
    std::string_view bytes, const std::function<std::error_code(std::string_view)>& write)>;

/// @brief Replaces the content of @p file by @p bytes so that it holds either the old or
/// the new content whatever happens: a new file is written beside it, flushed, renamed
/// over it, and the folder is flushed.
///
/// A symbolic link is followed and its target replaced; the file keeps its permissions.
/// A read-only file is refused. Temporary files that an interrupted save left behind are
/// removed. Throws FileAccessError with the reason; the old file is then untouched and
/// no temporary file is left.
void replaceFileContents(const std::filesystem::path& file, std::string_view bytes,
                         const WriteInterceptor& intercept = {});

/// @brief The name prefix of a save's temporary file for @p file.
std::string temporaryNamePrefix(const std::filesystem::path& file);

/// @brief Whether this program may create files in @p folder.
bool isWritableFolder(const std::filesystem::path& folder);

}  // namespace relaydeck
