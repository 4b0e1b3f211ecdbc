#pragma once
/// @file
/// @brief The counting checks of the Windows test programs run under Wine (no GoogleTest
///        for MinGW here): each check counts as passed or prints why it failed.

#include <cstdio>
#include <string>

namespace wintest {

inline int passed = 0;
inline int failed = 0;

inline void check(bool ok, const char* what, int line) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED (line %d): %s\n", line, what);
}

inline void checkEqual(const std::string& actual, const std::string& expected, int line) {
    if (actual == expected) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED (line %d):\n  expected: %s\n  actual:   %s\n", line, expected.c_str(),
                actual.c_str());
}

}  // namespace wintest

#define CHECK(condition) ::wintest::check((condition), #condition, __LINE__)
#define CHECK_EQ(actual, expected) ::wintest::checkEqual((actual), (expected), __LINE__)
