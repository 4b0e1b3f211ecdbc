#pragma once
/// @file
/// @brief The web server's threads: named, and giving way to the controller's.

namespace relaydeck::web {

/// @brief Lowers the calling thread's priority below the controller's (Linux: a batch thread
/// at nice 10; Windows: below normal). Best effort: a refusal leaves it as it was.
void yieldToController() noexcept;

/// @brief Names the calling thread (at most 15 characters) where the system shows names.
void nameThisThread(const char* name) noexcept;

}  // namespace relaydeck::web
