#pragma once
/// @file
/// @brief The stand-in's type library, built at run time.

#include <string>

#include "StandInTypes.h"

namespace standin {

/// @brief Writes the type library to @p path; the failed step's text, or "" on success.
std::string writeTypeLib(const std::wstring& path);

}  // namespace standin
