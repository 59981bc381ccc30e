// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small bell-like synthesiser for the program's own event sounds: each note
// is a sine with two softer overtones, a short attack and an exponential decay.

#include <cstdint>
#include <vector>

namespace wp2 {

struct ChimeNote {
    double startMs = 0.0;
    double frequencyHz = 880.0;
    double decayMs = 120.0;  // time for the note to fall to 1/e of its peak
    double level = 1.0;      // relative loudness among the notes
};

struct Chime {
    std::vector<ChimeNote> notes;
    double lengthMs = 400.0;
    double peak = 0.6;  // loudest sample as a fraction of full scale
};

// Mono 16-bit samples at sampleRate. The result starts and ends at zero (the
// last 15 ms fade out) so that playing it never clicks, and its loudest sample
// is `peak` of full scale, so it never clips.
std::vector<std::int16_t> synthesizeChime(const Chime& chime, int sampleRate);

}  // namespace wp2
