#pragma once
// A whole program on a virtual clock and a simulated station, with its Qt views.

#include <QApplication>
#include <QMetaObject>
#include <QTemporaryDir>
#include <vector>

#include "controller/OperatorInterface.h"
#include "controller/Program.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"
#include "ui/ProgramViews.h"

namespace relaydeck {

/// Records every box and answers the quit question with @ref answer.
class FakeOperator : public OperatorInterface {
  public:
    MessageAnswer showMessage(const MessageBoxRequest& box) override {
        boxes.push_back(box);
        return box.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
    }
    void showAbout(AboutModel& about) override {
        ++aboutShown;
        about.close();
    }

    std::vector<MessageBoxRequest> boxes;
    MessageAnswer answer = MessageAnswer::Yes;
    int aboutShown = 0;
};

struct UiRig {
    UiRig() { viewing = program.addObserver(views); }
    ~UiRig() { QCoreApplication::processEvents(); }

    /// Starts as the operator does: the startup dialog, then its start button's hand-over.
    MainWindow& startMain() {
        program.startWithSplash();
        program.showMain();
        QCoreApplication::processEvents();
        return *views.mainWindow();
    }

    QTemporaryDir folder;
    SettingsStore settings{folder.path().toStdString()};
    SimulatedStation station{[](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    }};
    SimulatedLinkHostFactory links{station};
    VirtualClock clock;
    FakeOperator op;
    Program program{links, clock, settings, op};
    int eventLoopLeft = 0;
    ProgramViews views{nullptr, [this] { ++eventLoopLeft; }};
    Connection viewing;
};

}  // namespace relaydeck
