#pragma once
/// @file
/// @brief The web server's threads give way to the controller's.

namespace relaydeck::web {

/// @brief Lowers the calling thread's priority below the controller's (Linux: a batch thread
/// at nice 10; Windows: below normal). Best effort: a refusal leaves it as it was.
void yieldToController() noexcept;

}  // namespace relaydeck::web
