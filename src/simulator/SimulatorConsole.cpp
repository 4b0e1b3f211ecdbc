#include "simulator/SimulatorConsole.h"

#include <unistd.h>
#include <QSocketNotifier>
#include <cstdio>
#include <iostream>
#include <string>

#include "link/SimulatedLinkHost.h"

namespace relaydeck {

SimulatorConsole::SimulatorConsole(SimulatedStation& station)
    : station_(station), input_(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this)) {
    connect(input_, &QSocketNotifier::activated, this, &SimulatorConsole::readLine);
    station_.addCallObserver([](const LinkCall& call) {
        if (!call.query) std::cout << "call " << call.toString() << std::endl;
    });
}

void SimulatorConsole::readLine() {
    std::string line;
    char c = 0;
    // One line a notification; the notifier fires again while more is waiting.
    while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n') line += c;
    if (line.empty() && c != '\n') {
        input_->setEnabled(false);  // the other end closed
        return;
    }
    const bool on = line.ends_with(" 1");
    if (line.starts_with("carrier ")) station_.setCarrier(on ? kLinkTrue : kLinkFalse);
    if (line.starts_with("rx ")) station_.setRX(on ? kLinkTrue : kLinkFalse);
}

}  // namespace relaydeck
