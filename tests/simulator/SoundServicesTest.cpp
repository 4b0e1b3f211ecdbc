// Speech and Morse sound run on threads of their own: an engine or an output that never
// answers must hold up neither the caller nor the event loop. No test here depends on a
// speech daemon or a sound card on the machine: the engines are stand-ins.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "SoundStandIns.h"
#include "simulator/MorsePlayer.h"
#include "simulator/SpeechService.h"

namespace relaydeck {
namespace {

using std::chrono::milliseconds;

TEST(SpeechService, SpeaksEachTextInOrderOnAThreadOfItsOwn) {
    auto spoken = std::make_shared<Spoken>();
    {
        SpeechService speech([spoken] { return std::make_unique<RecordingSpeech>(spoken); });
        EXPECT_EQ(speech.state(), SpeechService::State::Idle) << "nothing is made before a text";
        speech.speak(QStringLiteral("PY2XYZ"));
        speech.speak(QStringLiteral("repeater"));
        ASSERT_TRUE(eventually([&] { return spoken->count() == 2; }));
        EXPECT_EQ(spoken->texts(), (QStringList{"PY2XYZ", "repeater"}));
        EXPECT_NE(spoken->thread(), QThread::currentThread());
        EXPECT_TRUE(eventually([&] { return speech.state() == SpeechService::State::Ready; }));
    }
    // A speech object belongs to the thread that made it, and ends there too.
    EXPECT_EQ(spoken->endThread(), spoken->thread());
}

TEST(SpeechService, NoEngineIsToldOnceAndTextsAreDropped) {
    SpeechService speech([] { return std::unique_ptr<SpeechEngine>(); });
    QSignalSpy notes(&speech, &SpeechService::note);
    speech.speak(QStringLiteral("one"));
    ASSERT_TRUE(eventually([&] { return notes.size() == 1; }));
    EXPECT_EQ(notes.at(0).at(0).toString(), QStringLiteral("(no speech engine: Speak is not spoken, only logged above)"));
    speech.speak(QStringLiteral("two"));
    runFor(50);
    EXPECT_EQ(notes.size(), 1);
    EXPECT_EQ(speech.state(), SpeechService::State::Missing);
}

TEST(SpeechService, AnEngineThatNeverAnswersHoldsUpNothing) {
    auto gate = std::make_shared<Gate>();
    auto spoken = std::make_shared<Spoken>();
    auto made = std::make_shared<std::atomic<int>>(0);
    {
        SpeechService speech(
            [gate, made, spoken] {
                ++*made;
                gate->wait();  // the daemon is stuck
                return std::make_unique<RecordingSpeech>(spoken);
            },
            milliseconds(50));
        QSignalSpy notes(&speech, &SpeechService::note);
        speech.speak(QStringLiteral("one"));  // returns at once
        ASSERT_TRUE(eventually([&] { return notes.size() == 1; }))
            << "the event loop runs on and the answer limit passes";
        EXPECT_EQ(notes.at(0).at(0).toString(),
                  QStringLiteral("(speech engine not answering: Speak is not spoken, only logged above)"));
        EXPECT_EQ(speech.state(), SpeechService::State::NotAnswering);
        speech.speak(QStringLiteral("two"));
        EXPECT_EQ(made->load(), 1) << "one engine only, even when it does not answer";
    }  // going away does not wait for the stuck engine either
    gate->open();
    EXPECT_TRUE(eventually([&] { return spoken->count() == 1; }))
        << "the text queued before the engine stuck is still handed over";
}

TEST(SpeechService, AnEngineThatAnswersLateIsUsedFromThenOn) {
    auto gate = std::make_shared<Gate>();
    auto spoken = std::make_shared<Spoken>();
    SpeechService speech(
        [gate, spoken] {
            gate->wait();
            return std::make_unique<RecordingSpeech>(spoken);
        },
        milliseconds(20));
    QSignalSpy notes(&speech, &SpeechService::note);
    speech.speak(QStringLiteral("early"));
    ASSERT_TRUE(eventually([&] { return notes.size() == 1; }));
    speech.speak(QStringLiteral("dropped"));
    gate->open();
    ASSERT_TRUE(eventually([&] { return speech.state() == SpeechService::State::Ready; }));
    speech.speak(QStringLiteral("late"));
    ASSERT_TRUE(eventually([&] { return spoken->count() == 2; }));
    EXPECT_EQ(spoken->texts(), (QStringList{"early", "late"}));
}

TEST(SpeechService, ASayThatNeverReturnsHoldsUpNoLaterText) {
    auto gate = std::make_shared<Gate>();
    auto spoken = std::make_shared<Spoken>();
    spoken->stuckOn = gate;
    {
        SpeechService speech([spoken] { return std::make_unique<RecordingSpeech>(spoken); });
        for (int i = 0; i < 5; ++i) speech.speak(QStringLiteral("text %1").arg(i));
        ASSERT_TRUE(eventually([&] { return spoken->count() == 1; }));
        runFor(20);
        EXPECT_EQ(spoken->count(), 1);
    }
    gate->open();
}

TEST(MorsePlayer, SoundsEachTextOnTheOutputWithQuietEdges) {
    auto played = std::make_shared<Played>();
    MorsePlayer player(
        [played](std::function<void()>) { return std::make_unique<RecordingTones>(played); });
    player.play("K");
    player.play("");  // nothing to sound
    player.play("R");
    ASSERT_TRUE(eventually([&] { return played->count() == 2; }));
    const std::vector<std::size_t> lengths = played->lengths();
    // 30 ms of silence either side of the keying: "K" is 540 ms at 20 wpm, "R" 420 ms.
    EXPECT_EQ(lengths[0], static_cast<std::size_t>(RecordingTones::kRate * 600 / 1000));
    EXPECT_EQ(lengths[1], static_cast<std::size_t>(RecordingTones::kRate * 480 / 1000));
    EXPECT_TRUE(player.available());
}

TEST(MorsePlayer, NoOutputIsToldOnceAndSilencesThePlayer) {
    auto opened = std::make_shared<std::atomic<int>>(0);
    MorsePlayer player([opened](std::function<void()>) {
        ++*opened;
        return std::unique_ptr<ToneOutput>();
    });
    QSignalSpy failed(&player, &MorsePlayer::outputFailed);
    EXPECT_TRUE(player.available()) << "not known before the first text";
    player.play("K");
    player.play("K");
    ASSERT_TRUE(eventually([&] { return !failed.isEmpty(); }));
    runFor(20);
    EXPECT_EQ(failed.size(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(), QStringLiteral("(no audio device: Morse is not sounded, only logged as SendCW above)"));
    EXPECT_FALSE(player.available());
    EXPECT_EQ(opened->load(), 1);
}

TEST(MorsePlayer, AnOutputThatFailsLaterIsToldOnce) {
    auto played = std::make_shared<Played>();
    std::function<void()> breakIt;
    std::mutex mutex;
    MorsePlayer player([&, played](std::function<void()> failed) {
        const std::lock_guard lock(mutex);
        breakIt = std::move(failed);
        return std::make_unique<RecordingTones>(played);
    });
    QSignalSpy failed(&player, &MorsePlayer::outputFailed);
    player.play("K");
    ASSERT_TRUE(eventually([&] { return played->count() == 1; }));
    {
        const std::lock_guard lock(mutex);
        breakIt();  // the sound server went away
        breakIt();
    }
    ASSERT_TRUE(eventually([&] { return !failed.isEmpty(); }));
    runFor(20);
    EXPECT_EQ(failed.size(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(),
              QStringLiteral("(audio output failed: Morse is not sounded, only logged as SendCW above)"));
    player.play("K");
    runFor(20);
    EXPECT_EQ(played->count(), 1);
}

TEST(MorsePlayer, AnOutputThatNeverOpensHoldsUpNothing) {
    auto gate = std::make_shared<Gate>();
    {
        MorsePlayer player([gate](std::function<void()>) {
            gate->wait();
            return std::unique_ptr<ToneOutput>();
        });
        player.play("K");
        player.play("R");
        bool ticked = false;
        QTimer::singleShot(1, [&ticked] { ticked = true; });
        EXPECT_TRUE(eventually([&] { return ticked; }));
        EXPECT_TRUE(player.available());
    }
    gate->open();
}

}  // namespace
}  // namespace relaydeck
