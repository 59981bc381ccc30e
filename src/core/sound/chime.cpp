// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/chime.h"

#include <algorithm>
#include <cmath>

namespace wp2 {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kAttackMs = 4.0;
constexpr double kFadeOutMs = 15.0;

// Overtones of a small bell: (multiple of the fundamental, level, decay factor).
struct Partial {
    double multiple;
    double level;
    double decayFactor;
};
constexpr Partial kPartials[] = {{1.0, 1.0, 1.0}, {2.0, 0.35, 0.6}, {3.0, 0.12, 0.4}};

double noteValue(const ChimeNote& note, double tMs) {
    if (tMs < 0.0) {
        return 0.0;
    }
    double attack = std::min(1.0, tMs / kAttackMs);
    double sum = 0.0;
    for (const Partial& p : kPartials) {
        double decay = std::exp(-tMs / (note.decayMs * p.decayFactor));
        sum += p.level * decay * std::sin(kTwoPi * note.frequencyHz * p.multiple * tMs / 1000.0);
    }
    return note.level * attack * sum;
}

}  // namespace

std::vector<std::int16_t> synthesizeChime(const Chime& chime, int sampleRate) {
    const std::size_t count =
        static_cast<std::size_t>(std::max(0.0, chime.lengthMs) * sampleRate / 1000.0);
    std::vector<double> mix(count, 0.0);
    const double fadeSamples = kFadeOutMs * sampleRate / 1000.0;
    double loudest = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        double tMs = static_cast<double>(i) * 1000.0 / sampleRate;
        double v = 0.0;
        for (const ChimeNote& note : chime.notes) {
            v += noteValue(note, tMs - note.startMs);
        }
        double fromEnd = static_cast<double>(count - 1 - i);
        if (fromEnd < fadeSamples) {
            v *= fromEnd / fadeSamples;
        }
        mix[i] = v;
        loudest = std::max(loudest, std::fabs(v));
    }
    std::vector<std::int16_t> samples(count, 0);
    if (loudest <= 0.0) {
        return samples;
    }
    const double scale = std::clamp(chime.peak, 0.0, 1.0) * 32767.0 / loudest;
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(mix[i] * scale));
    }
    return samples;
}

}  // namespace wp2
