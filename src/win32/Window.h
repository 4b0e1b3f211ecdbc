#pragma once
/// @file
/// @brief A top-level window of the program with its controls bound to a model.

#include <windows.h>

#include "win32/ControlHost.h"

namespace relaydeck::win32 {

/// @brief The dots per inch of @p window (of the screen when it has none yet).
unsigned dpiOf(HWND window);
/// @brief The outer size of a window whose client area is @p width × @p height pixels.
SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, bool menu, unsigned dpi);
/// @brief The work area of the monitor nearest to @p window (the primary one for nullptr).
RECT workArea(HWND window);

/// @brief A hidden message-only window of class @p className (registered here) whose
/// messages go to @p procedure, with @p owner in its user data.
HWND createMessageWindow(const wchar_t* className, WNDPROC procedure, void* owner);

/// @brief A top-level window: registers its class, forwards its controls' messages to
/// its ControlHost and leaves the rest to the subclass.
class Window {
  public:
    Window(WindowModel& model, const WindowLayout& layout);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    ControlHost& controls() { return host_; }

  protected:
    /// @brief Creates the window and its controls; the window starts hidden.
    void createWindow(DWORD exStyle, DWORD style, const wchar_t* title, HWND owner, HMENU menu);
    /// @brief A message not handled by the controls; default: DefWindowProc.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    /// @brief The model reported a window change (caption, geometry or visibility).
    virtual void applyWindow() {}

    ControlHost host_;

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

}  // namespace relaydeck::win32
