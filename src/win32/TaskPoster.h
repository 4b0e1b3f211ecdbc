#pragma once
/// @file
/// @brief Runs tasks later on the window thread, through its message loop.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

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
    void runDelayed(UINT_PTR id);
    HWND window_ = nullptr;
    UINT_PTR nextId_ = 1;
    std::map<UINT_PTR, std::unique_ptr<std::function<void()>>> delayed_;
};

}  // namespace relaydeck::win32
