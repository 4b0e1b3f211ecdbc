#include "simulator/MorsePlayer.h"

#include <utility>

#ifdef RELAYDECK_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>
#endif

namespace relaydeck {

namespace {

const QString kNoDevice = QStringLiteral("(no audio device: Morse is not sounded, only logged as SendCW above)");
const QString kFailed = QStringLiteral("(audio output failed: Morse is not sounded, only logged as SendCW above)");

#ifdef RELAYDECK_HAVE_MULTIMEDIA

/// @p sample (-1 to 1) scaled to a whole number type's range.
template <typename T>
T scaled(float sample, double full, double offset = 0.0) {
    return static_cast<T>(std::lround(offset + static_cast<double>(sample) * full));
}

/// Appends @p samples to @p out in @p format, the same sample on every channel.
void appendPcm(QByteArray& out, const std::vector<float>& samples, const QAudioFormat& format) {
    const int channels = std::max(format.channelCount(), 1);
    const int bytes = format.bytesPerSample();
    const qsizetype start = out.size();
    out.resize(start + static_cast<qsizetype>(samples.size()) * channels * bytes);
    char* p = out.data() + start;
    for (float s : samples) {
        for (int c = 0; c < channels; ++c, p += bytes) {
            switch (format.sampleFormat()) {
                case QAudioFormat::UInt8: {
                    const auto v = scaled<quint8>(s, 127.0, 128.0);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case QAudioFormat::Int32: {
                    const auto v = scaled<qint32>(s, 2147483000.0);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case QAudioFormat::Float:
                    std::memcpy(p, &s, sizeof s);
                    break;
                default: {
                    const auto v = scaled<qint16>(s, 32767.0);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
            }
        }
    }
}

/// The default audio output through Qt Multimedia, fed a little at a time so that texts
/// queue up and none cuts another short.
class QtToneOutput : public ToneOutput {
  public:
    QtToneOutput(const QAudioDevice& device, const QAudioFormat& format,
                 std::function<void()> failed)
        : format_(format), sink_(device, format), failed_(std::move(failed)) {
        feeder_.setInterval(std::chrono::milliseconds(20));
        QObject::connect(&feeder_, &QTimer::timeout, &feeder_, [this] { feed(); });
        // Running dry between texts is the normal case; any other error silences it.
        QObject::connect(&sink_, &QAudioSink::stateChanged, &sink_, [this](QAudio::State) {
            const QAudio::Error error = sink_.error();
            if (error == QAudio::NoError || error == QAudio::UnderrunError || broken_) return;
            broken_ = true;
            feeder_.stop();
            pending_.clear();
            failed_();
        });
    }
    ~QtToneOutput() override { sink_.stop(); }

    int sampleRate() const override { return format_.sampleRate(); }

    bool play(const std::vector<float>& samples) override {
        if (broken_) return false;
        appendPcm(pending_, samples, format_);
        if (io_ == nullptr) io_ = sink_.start();
        if (io_ == nullptr) {
            broken_ = true;
            pending_.clear();
            return false;
        }
        feed();
        if (!pending_.isEmpty()) feeder_.start();
        return true;
    }

  private:
    /// Hands the sink as much of the pending samples as it takes now.
    void feed() {
        const int frame = std::max(format_.bytesPerFrame(), 1);
        while (io_ != nullptr && !pending_.isEmpty()) {
            const qsizetype room = sink_.bytesFree() / frame * frame;
            if (room <= 0) break;
            const qint64 written =
                io_->write(pending_.constData(), std::min(room, pending_.size()));
            if (written <= 0) break;
            pending_.remove(0, static_cast<qsizetype>(written));
        }
        if (pending_.isEmpty()) feeder_.stop();
    }

    QAudioFormat format_;
    QAudioSink sink_;
    std::function<void()> failed_;
    QIODevice* io_ = nullptr;  // the sink's input once started, owned by the sink
    QByteArray pending_;       // samples not yet taken by the sink
    QTimer feeder_;
    bool broken_ = false;
};

#endif

}  // namespace

std::unique_ptr<ToneOutput> createSystemToneOutput(std::function<void()> failed) {
#ifdef RELAYDECK_HAVE_MULTIMEDIA
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return nullptr;
    QAudioFormat format = device.preferredFormat();
    QAudioFormat int16 = format;
    int16.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(int16)) format = int16;
    if (!format.isValid()) return nullptr;
    return std::make_unique<QtToneOutput>(device, format, std::move(failed));
#else
    static_cast<void>(failed);
    return nullptr;
#endif
}

/// What lives on the sound thread.
struct MorsePlayer::Worker {
    ToneOutputFactory factory;
    bool opened = false;
    std::unique_ptr<ToneOutput> output;
};

MorsePlayer::MorsePlayer(ToneOutputFactory factory, QObject* parent)
    : QObject(parent),
      worker_(std::make_shared<Worker>()),
      replies_(std::make_shared<ReplyChannel>(this)),
      thread_(QStringLiteral("sound")) {
    worker_->factory = std::move(factory);
}

MorsePlayer::~MorsePlayer() {
    replies_->close();
    if (thread_.started()) thread_.post([worker = worker_] { worker->output.reset(); });
}

void MorsePlayer::play(std::string_view text) {
    if (failed_) return;
    const std::vector<MorseElement> elements = morseElements(text, kMorseDefaultWpm);
    if (elements.empty()) return;
    // Short silences around the text keep the ramps clear of the device's start and stop.
    std::vector<MorseElement> keyed{{false, std::chrono::milliseconds(30)}};
    keyed.insert(keyed.end(), elements.begin(), elements.end());
    keyed.push_back({false, std::chrono::milliseconds(30)});

    thread_.post([worker = worker_, replies = replies_, keyed = std::move(keyed), this] {
        if (!worker->opened) {
            worker->opened = true;
            worker->output =
                worker->factory([replies, this] { replies->send([this] { fail(kFailed); }); });
            if (!worker->output) replies->send([this] { fail(kNoDevice); });
        }
        if (!worker->output) return;
        if (!worker->output->play(morseSamples(keyed, worker->output->sampleRate()))) {
            worker->output.reset();
            replies->send([this] { fail(kFailed); });
        }
    });
}

void MorsePlayer::fail(const QString& reason) {
    if (failed_) return;
    failed_ = true;
    emit outputFailed(reason);
}

}  // namespace relaydeck
