#include "simulator/SpeechService.h"

#include <QStringList>
#include <utility>

#ifdef RELAYDECK_HAVE_TTS
#include <QTextToSpeech>
#endif

namespace relaydeck {

namespace {

#ifdef RELAYDECK_HAVE_TTS
/// Qt's text-to-speech, speaking one text after the other (say() would cut the last short).
class QtSpeechEngine : public SpeechEngine {
  public:
    QtSpeechEngine() {
        QObject::connect(&speech_, &QTextToSpeech::stateChanged, &speech_,
                         [this](QTextToSpeech::State state) {
                             if (state == QTextToSpeech::Ready && !queue_.isEmpty()) {
                                 speech_.say(queue_.takeFirst());
                             }
                         });
    }
    bool works() const { return speech_.state() != QTextToSpeech::Error; }

    void say(const QString& text) override {
        if (speech_.state() == QTextToSpeech::Speaking || !queue_.isEmpty()) {
            queue_.append(text);
        } else {
            speech_.say(text);
        }
    }

  private:
    QTextToSpeech speech_;
    QStringList queue_;
};
#endif

}  // namespace

std::unique_ptr<SpeechEngine> createSystemSpeechEngine() {
#ifdef RELAYDECK_HAVE_TTS
    if (QTextToSpeech::availableEngines().isEmpty()) return nullptr;
    auto engine = std::make_unique<QtSpeechEngine>();
    if (!engine->works()) return nullptr;
    return engine;
#else
    return nullptr;
#endif
}

/// What lives on the speech thread.
struct SpeechService::Worker {
    std::unique_ptr<SpeechEngine> engine;
};

SpeechService::SpeechService(SpeechEngineFactory factory, std::chrono::milliseconds answerLimit,
                             QObject* parent)
    : QObject(parent),
      factory_(std::move(factory)),
      worker_(std::make_shared<Worker>()),
      replies_(std::make_shared<ReplyChannel>(this)),
      thread_(QStringLiteral("speech")) {
    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(answerLimit);
    connect(&answerTimer_, &QTimer::timeout, this, &SpeechService::answerLimitPassed);
}

SpeechService::~SpeechService() {
    replies_->close();
    if (thread_.started()) thread_.post([worker = worker_] { worker->engine.reset(); });
}

void SpeechService::speak(const QString& text) {
    switch (state_) {
        case State::Missing:
        case State::NotAnswering:
            return;
        case State::Idle:
            state_ = State::Starting;
            answerTimer_.start();
            thread_.post([worker = worker_, replies = replies_, factory = factory_, this] {
                worker->engine = factory();
                replies->send([this, made = worker->engine != nullptr] { engineMade(made); });
            });
            break;
        case State::Starting:
        case State::Ready:
            break;
    }
    thread_.post([worker = worker_, text] {
        if (worker->engine) worker->engine->say(text);
    });
}

void SpeechService::engineMade(bool made) {
    answerTimer_.stop();
    if (made) {
        state_ = State::Ready;
        return;
    }
    state_ = State::Missing;
    emit note(QStringLiteral("(no speech engine: Speak is not spoken, only logged above)"));
}

void SpeechService::answerLimitPassed() {
    if (state_ != State::Starting) return;
    state_ = State::NotAnswering;
    emit note(QStringLiteral("(speech engine not answering: Speak is not spoken, only logged above)"));
}

}  // namespace relaydeck
