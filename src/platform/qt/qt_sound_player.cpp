// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_sound_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "core/sound/wave_file.h"

namespace wp2 {

// One sound on its way to the audio output: the samples and the sink reading them.
struct QtSoundPlayer::Playback {
    QByteArray samples;
    QBuffer buffer;
    std::unique_ptr<QAudioSink> sink;
    double durationMs = 0.0;

    ~Playback() {
        if (sink) {
            sink->stop();
        }
    }
};

namespace {

QAudioFormat::SampleFormat sampleFormat(const WaveFormat& f) {
    if (f.encoding == WaveFormat::kFloat) {
        return QAudioFormat::Float;
    }
    switch (f.bitsPerSample) {
        case 8:
            return QAudioFormat::UInt8;
        case 16:
            return QAudioFormat::Int16;
        default:
            return QAudioFormat::Int32;  // 24-bit samples are widened
    }
}

// Reads the file and starts it on the default output; nothing when there is
// no output, the file cannot be played or the output refuses to start.
std::unique_ptr<QtSoundPlayer::Playback> start(const std::string& path) {
    if (!QCoreApplication::instance()) {
        return nullptr;
    }
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return nullptr;
    }
    std::optional<WaveSound> sound = loadWaveFile(path, QtSoundPlayer::kMaxSampleBytes);
    if (!sound) {
        return nullptr;
    }
    if (sound->format.encoding == WaveFormat::kPcm && sound->format.bitsPerSample == 24) {
        sound->samples = widen24To32(sound->samples);
    }
    QAudioFormat format;
    format.setSampleRate(sound->format.sampleRate);
    format.setChannelCount(sound->format.channels);
    format.setSampleFormat(sampleFormat(sound->format));

    auto p = std::make_unique<QtSoundPlayer::Playback>();
    p->durationMs = sound->format.durationMs();
    p->samples = QByteArray(reinterpret_cast<const char*>(sound->samples.data()),
                            static_cast<qsizetype>(sound->samples.size()));
    p->buffer.setBuffer(&p->samples);
    p->buffer.open(QIODevice::ReadOnly);
    p->sink = std::make_unique<QAudioSink>(device, format);
    QAudioSink* sink = p->sink.get();
    // Give the device back as soon as the last sample has been played.
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State s) {
        if (s == QAudio::IdleState) {
            sink->stop();
        }
    });
    sink->start(&p->buffer);
    if (sink->error() != QAudio::NoError) {
        return nullptr;
    }
    return p;
}

}  // namespace

QtSoundPlayer::QtSoundPlayer() {
    preferGStreamerMediaBackend();
}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::playAsync(const std::string& path) {
    current_.reset();
    current_ = start(path);
}

bool QtSoundPlayer::playSync(const std::string& path, int timeLimitMs) {
    current_.reset();
    std::unique_ptr<Playback> p = start(path);
    if (!p) {
        return false;
    }
    const double wanted = p->durationMs + kSlackMs;
    const int waitMs = static_cast<int>(std::clamp(wanted, 0.0, double(std::max(0, timeLimitMs))));

    QEventLoop loop;
    QAudioSink* sink = p->sink.get();
    QObject::connect(sink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State s) {
        if (s == QAudio::StoppedState || s == QAudio::IdleState) {
            loop.quit();
        }
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(waitMs);
    if (sink->state() == QAudio::ActiveState) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return sink->error() == QAudio::NoError || sink->error() == QAudio::UnderrunError;
}

void preferGStreamerMediaBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) {
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }
}

}  // namespace wp2
