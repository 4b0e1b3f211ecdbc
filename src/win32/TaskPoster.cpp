#include "win32/TaskPoster.h"

#include <map>
#include <memory>

namespace relaydeck::win32 {

namespace {

constexpr wchar_t kClassName[] = L"RelaydeckTasks";
constexpr UINT kRunTask = WM_APP + 1;

using Task = std::function<void()>;

std::map<UINT_PTR, std::unique_ptr<Task>>& delayed() {
    static std::map<UINT_PTR, std::unique_ptr<Task>> tasks;
    return tasks;
}

}  // namespace

TaskPoster::TaskPoster() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = &TaskPoster::windowProc;
    type.hInstance = instance;
    type.lpszClassName = kClassName;
    RegisterClassExW(&type);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              nullptr);
}

TaskPoster::~TaskPoster() {
    if (window_ == nullptr) return;
    // Tasks still queued are dropped with their window.
    MSG message;
    while (PeekMessageW(&message, window_, kRunTask, kRunTask, PM_REMOVE)) {
        delete reinterpret_cast<Task*>(message.lParam);
    }
    for (auto& [id, task] : delayed()) KillTimer(window_, id);
    delayed().clear();
    DestroyWindow(window_);
}

void TaskPoster::post(std::function<void()> task) {
    auto* queued = new Task(std::move(task));
    if (!PostMessageW(window_, kRunTask, 0, reinterpret_cast<LPARAM>(queued))) delete queued;
}

void TaskPoster::postAfter(unsigned delayMs, std::function<void()> task) {
    static UINT_PTR nextId = 1;
    const UINT_PTR id = nextId++;
    delayed()[id] = std::make_unique<Task>(std::move(task));
    SetTimer(window_, id, delayMs, nullptr);
}

LRESULT CALLBACK TaskPoster::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunTask) {
        std::unique_ptr<Task> task(reinterpret_cast<Task*>(lParam));
        if (task && *task) (*task)();
        return 0;
    }
    if (message == WM_TIMER) {
        KillTimer(window, wParam);
        const auto found = delayed().find(static_cast<UINT_PTR>(wParam));
        if (found == delayed().end()) return 0;
        const std::unique_ptr<Task> task = std::move(found->second);
        delayed().erase(found);
        if (task && *task) (*task)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace relaydeck::win32
