#pragma once
/// @file
/// @brief Conversion between UTF-8 and Windows-1252, the settings file's 8-bit text.

#include <string>

namespace relaydeck {

/// @brief UTF-8 to Windows-1252; a character the code page lacks becomes '?'.
std::string utf8ToCp1252(const std::string& utf8);

/// @brief Windows-1252 to UTF-8; the five undefined bytes map to the control characters
/// U+0081, U+008D, U+008F, U+0090 and U+009D, so that every byte comes back unchanged.
std::string cp1252ToUtf8(const std::string& text);

}  // namespace relaydeck
