#pragma once
/// @file
/// @brief The program's exit status: how a run ended, for whatever started it.

namespace relaydeck {

/// @brief Why the program ended; the value is the process's exit status.
enum class ExitStatus : int {
    Normal = 0,           ///< the operator left (exit command, close answered Yes, Finish)
    LinkFailed = 1,       ///< a call on the link program failed while running
    LinkUnavailable = 2,  ///< the link program could not be reached (not installed or not
                          ///< registered, or its object could not be created)
    ProgramFailed = 3,    ///< a fault of Relaydeck itself, start-up included
    LinkClosed = 4,       ///< the link program closed (its Closing event); not a failure
};

/// @brief The status as the process's exit code.
constexpr int exitCode(ExitStatus status) {
    return static_cast<int>(status);
}

}  // namespace relaydeck
