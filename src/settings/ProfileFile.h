#pragma once
/// @file
/// @brief A private-profile (INI) reader and writer with the rules of the Windows
///        private-profile functions.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace relaydeck {

/// @brief The longest value a read returns, in 8-bit characters.
inline constexpr std::size_t kProfileValueMax = 255;

/// @brief The value of @p key in @p section of the file at @p path, as 8-bit text.
///
/// Section and key match without regard to ASCII case; blanks around the value and
/// one pair of enclosing quotes (both ' or both ") are removed; at most 255 characters
/// are returned. nullopt when the file, the section or the key is absent; a key with
/// nothing after "=" gives the empty text.
std::optional<std::string> readProfileString(const std::filesystem::path& path,
                                             const std::string& section, const std::string& key);

/// @brief One key and its value, as 8-bit text.
struct ProfileEntry {
    std::string key;
    std::string value;
};

/// @brief readProfileString on the file's content @p bytes rather than on a file.
std::optional<std::string> profileStringIn(std::string_view bytes, const std::string& section,
                                           const std::string& key);

/// @brief The content @p bytes of a file with every key of @p entries set in @p section,
/// as writeProfileStrings writes it (the same content when nothing changes).
std::string withProfileStrings(std::string_view bytes, const std::string& section,
                               std::span<const ProfileEntry> entries);

/// @brief Sets every key of @p entries in @p section, in order, with one write of the file.
///
/// An existing key is replaced in place; a new key goes at the end of its section, a
/// new section at the end of the file. Every other line stays byte for byte, line ends
/// included (CR LF, LF or CR). A file whose content would not change is not touched.
/// Throws FileAccessError with the reason when the file cannot be read or written; it
/// then keeps what it had.
void writeProfileStrings(const std::filesystem::path& path, const std::string& section,
                         std::span<const ProfileEntry> entries);

/// @brief Sets @p key in @p section to @p value, as writeProfileStrings does.
/// @return false when the file could not be written.
bool writeProfileString(const std::filesystem::path& path, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace relaydeck
