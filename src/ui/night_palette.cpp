// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/night_palette.h"

#include <QColor>
#include <algorithm>
#include <atomic>

namespace wp2 {
namespace {

std::atomic<Palette> g_palette{Palette::Day};
std::atomic<unsigned> g_generation{0};

constexpr double kNightBrightness = 0.8;
constexpr int kGreySaturation = 40;  // below this a colour counts as grey

// Night hue (degrees) for a day hue: every day hue lands between red and amber.
int nightHue(int dayHue) {
    struct Band {
        int below;
        int hue;
    };
    static constexpr Band kBands[] = {
        {15, 0},    // red
        {45, 22},   // orange
        {75, 36},   // yellow, gold
        {165, 58},  // green
        {260, 48},  // cyan, blue
        {330, 0},   // violet, magenta
        {360, 0},   // red
    };
    for (const Band& b : kBands) {
        if (dayHue < b.below) {
            return b.hue;
        }
    }
    return 0;
}

}  // namespace

Palette currentPalette() {
    return g_palette.load();
}

void setCurrentPalette(Palette palette) {
    if (g_palette.exchange(palette) != palette) {
        ++g_generation;
    }
}

unsigned paletteGeneration() {
    return g_generation.load();
}

QRgb nightColour(QRgb day) {
    const QColor c = QColor::fromRgb(day);
    const int value = static_cast<int>(c.value() * kNightBrightness);
    const bool grey = c.hsvSaturation() < kGreySaturation || c.hsvHue() < 0;
    const int hue = grey ? 20 : nightHue(c.hsvHue());
    const int saturation = grey ? 230 : std::max(c.hsvSaturation(), 200);
    return QColor::fromHsv(hue, saturation, value).rgb();
}

QRgb shade(QRgb day) {
    return currentPalette() == Palette::Night ? nightColour(day) : day;
}

QRgb darkAtNight(QRgb day, QRgb night) {
    return currentPalette() == Palette::Night ? night : day;
}

}  // namespace wp2
