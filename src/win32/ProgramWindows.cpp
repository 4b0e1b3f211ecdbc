#include "win32/ProgramWindows.h"

namespace relaydeck::win32 {

void ProgramWindows::mainCreated(MainModel& main) {
    main_ = std::make_unique<MainView>(main);
    if (activityModel_ != nullptr) activityModel_->setOperatorTexts(main.operatorTexts());
    op_.setMainWindow(main_->hwnd());
}

void ProgramWindows::programEnded() {
    if (main_) ShowWindow(main_->hwnd(), SW_HIDE);
    if (splash_) ShowWindow(splash_->hwnd(), SW_HIDE);
    if (activity_) ShowWindow(activity_->hwnd(), SW_HIDE);
    PostQuitMessage(0);
}

void ProgramWindows::activityRequested() {
    if (activityModel_ == nullptr) return;
    if (!activity_) activity_ = std::make_unique<ActivityView>(*activityModel_);
    activityModel_->open();
    SetForegroundWindow(activity_->hwnd());
}

void ProgramWindows::showSplash(SplashModel& splash) {
    splash_ = std::make_unique<SplashView>(splash);
}

}  // namespace relaydeck::win32
