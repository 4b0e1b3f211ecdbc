#pragma once
/// @file
/// @brief The Link Simulator driven from standard input, for tests that run the whole
///        program: "carrier 1", "carrier 0", "rx 1", "rx 0"; every call the controller
///        makes on the simulated link program is printed on standard output.

#include <QObject>

class QSocketNotifier;

namespace relaydeck {

class SimulatedStation;

/// @brief Reads commands from standard input while the program runs.
class SimulatorConsole : public QObject {
    Q_OBJECT
  public:
    explicit SimulatorConsole(SimulatedStation& station);

  private:
    void readLine();
    SimulatedStation& station_;
    QSocketNotifier* input_;
};

}  // namespace relaydeck
