// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's default event sounds into the folder given as the only
// argument: short chimes, 22050 Hz mono 16-bit PCM.

#include <cstdio>
#include <string>
#include <vector>

#include "core/sound/chime.h"
#include "core/sound/wave_file.h"

namespace {

constexpr int kSampleRate = 22050;

// Equal-tempered pitches used below.
constexpr double kA4 = 440.0, kC5 = 523.25, kE5 = 659.26, kG5 = 783.99, kC6 = 1046.50;
constexpr double kA5 = 880.0, kE4 = 329.63, kG4 = 392.0;

struct NamedSound {
    const char* file;
    wp2::Chime chime;
};

std::vector<NamedSound> defaultSounds() {
    using wp2::Chime;
    return {
        // Receiver on: a rising fifth.
        {"GpsOn.wav", Chime{{{0, kC5, 110, 1.0}, {120, kG5, 160, 1.0}}, 520, 0.55}},
        // Receiver off: the same fifth falling.
        {"GpsOff.wav", Chime{{{0, kG5, 110, 1.0}, {120, kC5, 170, 1.0}}, 540, 0.5}},
        // Fix gained: a bright major arpeggio.
        {"FixOk.wav",
         Chime{{{0, kC5, 90, 0.9}, {80, kE5, 90, 0.9}, {160, kG5, 100, 0.9}, {240, kC6, 170, 1.0}},
               620,
               0.55}},
        // Signal lost: two soft low notes.
        {"NoFix.wav", Chime{{{0, kG4, 120, 1.0}, {170, kE4, 180, 1.0}}, 600, 0.5}},
        // Overspeed: three quick high pings.
        {"Alarm1.wav",
         Chime{{{0, kA5, 45, 1.0}, {110, kA5, 45, 1.0}, {220, kA5, 70, 1.0}, {220, kA4, 70, 0.4}},
               420,
               0.6}},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const NamedSound& s : defaultSounds()) {
        std::string path = folder + "/" + s.file;
        if (!wp2::writeWaveFile(path, wp2::synthesizeChime(s.chime, kSampleRate), kSampleRate)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
