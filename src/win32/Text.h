#pragma once
/// @file
/// @brief UTF-8 inside the program, UTF-16 at the Windows boundary.

#include <string>
#include <string_view>

namespace relaydeck::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace relaydeck::win32
