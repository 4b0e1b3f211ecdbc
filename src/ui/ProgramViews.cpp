#include "ui/ProgramViews.h"

#include <QApplication>

#include "ui/QtOperator.h"

namespace relaydeck {

ProgramViews::ProgramViews(QtOperator* op, std::function<void()> leaveEventLoop)
    : op_(op), leaveEventLoop_(std::move(leaveEventLoop)) {
    if (!leaveEventLoop_) leaveEventLoop_ = [] { QCoreApplication::exit(0); };
}

ProgramViews::~ProgramViews() {
    if (op_ != nullptr) op_->setOwner(nullptr);
}

void ProgramViews::mainCreated(MainModel& main) {
    main_ = std::make_unique<MainWindow>(main);
    if (activityModel_ != nullptr) activityModel_->setOperatorTexts(main.operatorTexts());
    if (op_ != nullptr) op_->setOwner(main_.get());
}

void ProgramViews::activityRequested() {
    if (activityModel_ == nullptr) return;
    if (!activity_) activity_ = std::make_unique<ActivityWindow>(*activityModel_);
    activityModel_->open();
    activity_->raise();
    activity_->activateWindow();
}

void ProgramViews::programEnded() {
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    leaveEventLoop_();
}

}  // namespace relaydeck
