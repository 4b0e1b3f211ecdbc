#include "ui/MorsePlayer.h"

#ifdef RELAYDECK_HAVE_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <cstring>
#endif

namespace relaydeck {

#ifdef RELAYDECK_HAVE_MULTIMEDIA

namespace {

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
                    const auto v = static_cast<quint8>(128 + s * 127);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case QAudioFormat::Int32: {
                    const auto v = static_cast<qint32>(s * 2147483000.0);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
                case QAudioFormat::Float:
                    std::memcpy(p, &s, sizeof s);
                    break;
                default: {
                    const auto v = static_cast<qint16>(s * 32767);
                    std::memcpy(p, &v, sizeof v);
                    break;
                }
            }
        }
    }
}

}  // namespace

struct MorsePlayer::Output {
    QAudioFormat format;
    std::unique_ptr<QAudioSink> sink;
    QIODevice* io = nullptr;  // the sink's input once started, owned by the sink
    QByteArray pending;       // samples not yet taken by the sink
    QTimer feeder;
    bool failed = false;

    /// Hands the sink as much of the pending samples as it takes now.
    void feed() {
        const int frame = std::max(format.bytesPerFrame(), 1);
        while (io != nullptr && !pending.isEmpty()) {
            const qsizetype room = sink->bytesFree() / frame * frame;
            if (room <= 0) break;
            const qint64 written = io->write(pending.constData(), std::min(room, pending.size()));
            if (written <= 0) break;
            pending.remove(0, static_cast<qsizetype>(written));
        }
        if (pending.isEmpty()) feeder.stop();
    }
};

MorsePlayer::MorsePlayer(QObject* parent) : QObject(parent) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    QAudioFormat format = device.preferredFormat();
    QAudioFormat int16 = format;
    int16.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(int16)) format = int16;
    if (!format.isValid()) return;

    output_ = std::make_unique<Output>();
    output_->format = format;
    output_->sink = std::make_unique<QAudioSink>(device, format);
    output_->feeder.setInterval(std::chrono::milliseconds(20));
    connect(&output_->feeder, &QTimer::timeout, this, [this] { output_->feed(); });
    // Running dry between texts is the normal case; any other error silences the player.
    connect(output_->sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State) {
        const QAudio::Error error = output_->sink->error();
        if (error == QAudio::NoError || error == QAudio::UnderrunError || output_->failed) return;
        output_->failed = true;
        output_->feeder.stop();
        output_->pending.clear();
        emit outputFailed(QStringLiteral("(audio output failed: Morse shown only)"));
    });
}

MorsePlayer::~MorsePlayer() {
    if (output_) output_->sink->stop();
}

bool MorsePlayer::available() const {
    return output_ != nullptr && !output_->failed;
}

void MorsePlayer::play(std::string_view text) {
    if (!available()) return;
    const std::vector<MorseElement> elements = morseElements(text, wpm_);
    if (elements.empty()) return;
    // Short silences around the text keep the ramps clear of the device's start and stop.
    std::vector<MorseElement> keyed{{false, std::chrono::milliseconds(30)}};
    keyed.insert(keyed.end(), elements.begin(), elements.end());
    keyed.push_back({false, std::chrono::milliseconds(30)});
    appendPcm(output_->pending, morseSamples(keyed, output_->format.sampleRate(), frequencyHz_),
              output_->format);

    // Pushed a little at a time, so the texts queue up and none cuts another short.
    if (output_->io == nullptr) output_->io = output_->sink->start();
    if (output_->io == nullptr) {
        output_->failed = true;
        output_->pending.clear();
        emit outputFailed(QStringLiteral("(audio output failed: Morse shown only)"));
        return;
    }
    output_->feed();
    if (!output_->pending.isEmpty()) output_->feeder.start();
}

#else

struct MorsePlayer::Output {};

MorsePlayer::MorsePlayer(QObject* parent) : QObject(parent) {}

MorsePlayer::~MorsePlayer() = default;

bool MorsePlayer::available() const {
    return false;
}

void MorsePlayer::play(std::string_view /*text*/) {}

#endif

}  // namespace relaydeck
