#pragma once
/// @file
/// @brief Sounds Morse text on the machine's default audio output, when there is one.

#include <QObject>
#include <QString>
#include <memory>
#include <string_view>

#include "ui/MorseCode.h"

namespace relaydeck {

/// @brief Plays Morse texts one after the other without blocking the event loop.
///
/// Without Qt Multimedia or without an output device it stays silent: @ref available is
/// false and @ref play does nothing. A device that fails later reports once through
/// @ref outputFailed and falls silent too.
class MorsePlayer : public QObject {
    Q_OBJECT
  public:
    explicit MorsePlayer(QObject* parent = nullptr);
    ~MorsePlayer() override;

    /// @brief Whether texts are sounded.
    bool available() const;
    /// @brief Queues @p text behind whatever is still sounding.
    void play(std::string_view text);

    void setWordsPerMinute(int wpm) { wpm_ = wpm; }
    int wordsPerMinute() const { return wpm_; }
    void setFrequencyHz(double hz) { frequencyHz_ = hz; }

  signals:
    void outputFailed(const QString& reason);

  private:
    struct Output;
    std::unique_ptr<Output> output_;
    int wpm_ = kMorseDefaultWpm;
    double frequencyHz_ = 650.0;
};

}  // namespace relaydeck
