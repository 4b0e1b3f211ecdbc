#pragma once
/// @file
/// @brief Runs tasks later on the window thread, through its message loop.

#include <windows.h>

#include <functional>

namespace relaydeck::win32 {

/// @brief Queues tasks as messages to a hidden window; every message loop of the thread
/// runs them, message boxes' included.
class TaskPoster {
  public:
    TaskPoster();
    ~TaskPoster();
    TaskPoster(const TaskPoster&) = delete;
    TaskPoster& operator=(const TaskPoster&) = delete;

    /// @brief Runs @p task after the current handler.
    void post(std::function<void()> task);
    /// @brief Runs @p task once, about @p delayMs milliseconds from now.
    void postAfter(unsigned delayMs, std::function<void()> task);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

}  // namespace relaydeck::win32
