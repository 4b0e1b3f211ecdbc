#include "win32/TaskPoster.h"

#include "win32/Window.h"

namespace relaydeck::win32 {

namespace {

constexpr wchar_t kClassName[] = L"RelaydeckTasks";
constexpr UINT kRunTask = WM_APP + 1;

using Task = std::function<void()>;

}  // namespace

TaskPoster::TaskPoster()
    : window_(createMessageWindow(kClassName, &TaskPoster::windowProc, this)) {}

TaskPoster::~TaskPoster() {
    if (window_ == nullptr) return;
    // Tasks still queued are dropped with their window.
    MSG message;
    while (PeekMessageW(&message, window_, kRunTask, kRunTask, PM_REMOVE)) {
        delete reinterpret_cast<Task*>(message.lParam);
    }
    for (auto& [id, task] : delayed_) KillTimer(window_, id);
    delayed_.clear();
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void TaskPoster::post(std::function<void()> task) {
    auto* queued = new Task(std::move(task));
    if (!PostMessageW(window_, kRunTask, 0, reinterpret_cast<LPARAM>(queued))) delete queued;
}

void TaskPoster::postAfter(unsigned delayMs, std::function<void()> task) {
    const UINT_PTR id = nextId_++;
    delayed_[id] = std::make_unique<Task>(std::move(task));
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
        auto* poster = reinterpret_cast<TaskPoster*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (poster != nullptr) poster->runDelayed(static_cast<UINT_PTR>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TaskPoster::runDelayed(UINT_PTR id) {
    const auto found = delayed_.find(id);
    if (found == delayed_.end()) return;
    const std::unique_ptr<Task> task = std::move(found->second);
    delayed_.erase(found);
    if (task && *task) (*task)();
}

}  // namespace relaydeck::win32
