#pragma once
/// @file
/// @brief Speaks texts on a thread of its own: a speech engine that does not answer never
///        holds up the window.

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "simulator/ServiceThread.h"

namespace relaydeck {

/// @brief Something that speaks texts. Made, used and destroyed on the speech thread; any
/// of its calls may take long or never return.
class SpeechEngine {
  public:
    virtual ~SpeechEngine() = default;
    /// @brief Speaks @p text after whatever it is still speaking.
    virtual void say(const QString& text) = 0;
};

/// @brief Makes the engine, on the speech thread; nullptr when there is none.
using SpeechEngineFactory = std::function<std::unique_ptr<SpeechEngine>()>;

/// @brief The machine's text-to-speech, or nullptr where there is none.
std::unique_ptr<SpeechEngine> createSystemSpeechEngine();

/// @brief Hands texts to a speech engine made at the first text, away from the window
/// thread. Nothing here ever waits for the engine.
///
/// An engine that is missing, or that has not answered within the answer limit, is told
/// once through @ref note; texts are then dropped (an engine that answers late is used
/// from then on).
class SpeechService : public QObject {
    Q_OBJECT
  public:
    enum class State { Idle, Starting, Ready, Missing, NotAnswering };

    static constexpr std::chrono::milliseconds kAnswerLimit{5000};

    explicit SpeechService(SpeechEngineFactory factory,
                           std::chrono::milliseconds answerLimit = kAnswerLimit,
                           QObject* parent = nullptr);
    ~SpeechService() override;

    /// @brief Queues @p text for the engine; the first text starts it.
    void speak(const QString& text);
    State state() const { return state_; }

  signals:
    /// @brief A line for the operator about the engine ("(no speech engine: …)").
    void note(const QString& text);

  private:
    struct Worker;
    void engineMade(bool made);
    void answerLimitPassed();

    SpeechEngineFactory factory_;
    State state_ = State::Idle;
    QTimer answerTimer_;
    std::shared_ptr<Worker> worker_;
    std::shared_ptr<ReplyChannel> replies_;
    ServiceThread thread_;
};

}  // namespace relaydeck
