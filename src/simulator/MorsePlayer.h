#pragma once
/// @file
/// @brief Sounds Morse text on the machine's default audio output, when there is one.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "simulator/MorseCode.h"
#include "simulator/ServiceThread.h"

namespace relaydeck {

/// @brief Where Morse is sounded. Made, used and destroyed on the sound thread; any of its
/// calls may take long.
class ToneOutput {
  public:
    virtual ~ToneOutput() = default;
    /// @brief Samples per second the output plays.
    virtual int sampleRate() const = 0;
    /// @brief Plays @p samples (mono, -1 to 1) after those still playing; false when the
    /// output has failed for good.
    virtual bool play(const std::vector<float>& samples) = 0;
};

/// @brief Makes the output on the sound thread (nullptr: there is none). @p failed is
/// called, on the sound thread, when an output that worked fails later.
using ToneOutputFactory = std::function<std::unique_ptr<ToneOutput>(std::function<void()> failed)>;

/// @brief The machine's default audio output, or nullptr where there is none.
std::unique_ptr<ToneOutput> createSystemToneOutput(std::function<void()> failed);

/// @brief Plays Morse texts one after the other, on a sound thread of its own: opening or
/// feeding the audio output never holds up the window thread.
///
/// The output is opened at the first text. Without one, or once it fails, the player
/// reports it once through @ref outputFailed and falls silent.
class MorsePlayer : public QObject {
    Q_OBJECT
  public:
    explicit MorsePlayer(ToneOutputFactory factory = createSystemToneOutput,
                         QObject* parent = nullptr);
    ~MorsePlayer() override;

    /// @brief False once the output is known to be missing or failed.
    bool available() const { return !failed_; }
    /// @brief Queues @p text behind whatever is still sounding.
    void play(std::string_view text);

  signals:
    void outputFailed(const QString& reason);

  private:
    struct Worker;
    void fail(const QString& reason);

    bool failed_ = false;
    std::shared_ptr<Worker> worker_;
    std::shared_ptr<ReplyChannel> replies_;
    ServiceThread thread_;
};

}  // namespace relaydeck
