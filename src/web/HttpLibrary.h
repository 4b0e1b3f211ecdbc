#pragma once
/// @file
/// @brief The HTTP library, included once with the warnings it would raise in our builds
///        silenced for it alone.

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#endif
#include <httplib.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
