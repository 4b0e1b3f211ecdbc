#pragma once
/// @file
/// @brief The "Link Simulator" window: the simulated link program's front panel.

#include <QPoint>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "link/SimulatedLinkHost.h"
#include "settings/SettingsStore.h"
#include "simulator/MorsePlayer.h"
#include "simulator/SpeechService.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace relaydeck {

class LampWidget;

/// @brief A thin view over a SimulatedStation: the operator keys the local carrier and
/// the Internet audio, closes the link program or fails its next call, and watches the
/// transmitter and aux lamps and a log of every operation the controller calls.
///
/// SendCW is sounded as Morse and Speak spoken where the machine can, each on a thread of
/// its own (a sound or speech service that does not answer never holds up the window);
/// otherwise both are only logged. The window's position and the station callsign are kept
/// in the settings file's section SIMULATOR (keys LEFT and TOP in twips: the top left
/// corner of the window's inside, without the frame; CALLSIGN). Closing the window only
/// minimises it (see setCloseMinimises()).
class SimulatorWindow : public QWidget {
    Q_OBJECT
  public:
    /// @brief The log keeps at most this many lines; older ones scroll away.
    static constexpr int kLogLines = 500;

    /// @brief @p speech and @p tones make the speech engine and the sound output, on
    /// threads of their own, when the first Speak or SendCW comes.
    SimulatorWindow(SimulatedStation& station, const SettingsStore& settings,
                    SpeechEngineFactory speech = createSystemSpeechEngine,
                    ToneOutputFactory tones = createSystemToneOutput, QWidget* parent = nullptr);
    ~SimulatorWindow() override;

    /// @brief Whether the window stands where an earlier run left it (kept in the settings
    /// file; on the nearest screen if that place is off every screen now): then the caller
    /// need not place it.
    bool hasStoredPosition() const { return storedPosition_.has_value(); }

    /// @brief Whether the close box only minimises the window (the default: the repeater
    /// would go on with nothing to drive it); false lets it close.
    void setCloseMinimises(bool minimises) { closeMinimises_ = minimises; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Key;

    void buildWidgets();
    void loadSettings();
    void saveSettings();
    void onCall(const LinkCall& call);
    void refreshLamps();
    void keepFrameOnScreen();
    void failNext();
    void log(const QString& text);
    /// @brief Raises an event once this window's own handler has returned, as the link
    /// program's events reach the controller: a box the controller opens never holds it.
    void raiseLater(std::function<void()> raise);

    SimulatedStation& station_;
    SettingsStore settings_;  ///< section SIMULATOR
    std::optional<QPoint> storedPosition_;
    bool shown_ = false;
    bool closeMinimises_ = true;
    bool positionDirty_ = false;
    bool callsignDirty_ = false;
    QString lastSaveError_;
    QTimer saveTimer_;

    QLineEdit* callsign_ = nullptr;
    std::unique_ptr<Key> carrier_;
    std::unique_ptr<Key> rx_;
    LampWidget* carrierLamp_ = nullptr;
    LampWidget* rxLamp_ = nullptr;
    LampWidget* txLamp_ = nullptr;
    LampWidget* auxLamp_ = nullptr;
    QComboBox* failOperation_ = nullptr;
    QCheckBox* showQueries_ = nullptr;
    QPlainTextEdit* log_ = nullptr;

    MorsePlayer* morse_ = nullptr;
    SpeechService* speech_ = nullptr;

    // What this window asked the station to tell it; removed when the window goes.
    std::array<SimulatedStation::ObserverId, 2> observers_{};
};

}  // namespace relaydeck
