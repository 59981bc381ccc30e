// SPDX-License-Identifier: GPL-3.0-or-later
// Skin generator: draws every bitmap of the dashboard and writes it as <id>.png.
//
//   wp2_skin_gen MANIFEST OUTDIR NIGHTDIR
//
// NIGHTDIR gets the same bitmaps in the night palette: every colour through
// nightColour(), except a bitmap's key colour, which stays as it is.
// MANIFEST lists the ids and sizes the program expects (see skin_manifest.txt). The
// generator fails when it draws an id the manifest does not list, misses one it lists,
// or draws one at another size, so the embedded set always matches the manifest.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <set>

#include "core/waypoints/pushpin_icon_names.h"
#include "skin_art.h"
#include "skin_style.h"
#include "ui/night_palette.h"
#include "ui/skin_bitmaps.h"

namespace {

struct Expected {
    int width = -1;  // -1: any size
    int height = -1;
};

bool readManifest(const QString& path, std::map<int, Expected>& out) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "wp2_skin_gen: cannot read %s\n", qPrintable(path));
        return false;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || !line.front().isDigit()) {
            continue;
        }
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() < 3) {
            std::fprintf(stderr, "wp2_skin_gen: bad manifest line: %s\n", qPrintable(line));
            return false;
        }
        const QStringList range = f[0].split(QLatin1Char('-'));
        const int first = range[0].toInt();
        const int last = range.size() > 1 ? range[1].toInt() : first;
        Expected e;
        if (f[1] != QLatin1String("*")) {
            e.width = f[1].toInt();
            e.height = f[2].toInt();
        }
        for (int id = first; id <= last; ++id) {
            out[id] = e;
        }
    }
    return !out.empty();
}

QImage nightBitmap(int id, const QImage& day) {
    QImage night = day.convertToFormat(QImage::Format_RGB32);
    const std::optional<QRgb> key = wp2::skin::keyColour(id);
    for (int y = 0; y < night.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(night.scanLine(y));
        for (int x = 0; x < night.width(); ++x) {
            if (!key || line[x] != *key) {
                // A colour that darkens onto the key must not turn transparent.
                const QRgb mapped = wp2::nightColour(line[x]);
                line[x] = key && mapped == *key ? mapped ^ 0x00010000u : mapped;
            }
        }
    }
    return night;
}

bool save(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "wp2_skin_gen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: wp2_skin_gen MANIFEST OUTDIR NIGHTDIR\n");
        return 2;
    }
    std::map<int, Expected> manifest;
    if (!readManifest(QString::fromLocal8Bit(argv[1]), manifest)) {
        return 1;
    }
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    const QString nightDir = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(outDir);
    QDir().mkpath(nightDir);

    wp2::art::registerFonts();
    wp2::art::BitmapSet set;
    wp2::art::drawDials(set);
    wp2::art::drawPanels(set);
    wp2::art::drawControls(set);
    wp2::art::drawGlyphs(set);
    wp2::art::drawMapSymbols(set);
    wp2::art::drawSplash(set);
    wp2::art::drawPushpinIcons(set);

    int failures = 0;
    for (const auto& [id, image] : set) {
        const auto e = manifest.find(id);
        if (e == manifest.end()) {
            std::fprintf(stderr, "wp2_skin_gen: bitmap %d is not in the manifest\n", id);
            ++failures;
            continue;
        }
        if (e->second.width >= 0 &&
            (image.width() != e->second.width || image.height() != e->second.height)) {
            std::fprintf(stderr, "wp2_skin_gen: bitmap %d is %dx%d, the manifest says %dx%d\n", id,
                         image.width(), image.height(), e->second.width, e->second.height);
            ++failures;
        }
    }
    for (const auto& [id, e] : manifest) {
        if (set.find(id) == set.end()) {
            std::fprintf(stderr, "wp2_skin_gen: bitmap %d was not drawn\n", id);
            ++failures;
        }
    }
    // The 16 x 16 pictures are the icons a pushpin wears, one for each name
    // of the icon table that GPX symbols are matched against, in its order.
    int pictures = 0;
    for (const auto& [id, image] : set) {
        pictures += id > 1000 && image.size() == QSize(16, 16) ? 1 : 0;
    }
    if (pictures != wp2::kPushpinIconCount) {
        std::fprintf(stderr, "wp2_skin_gen: %d pushpin pictures for %d icon names\n", pictures,
                     wp2::kPushpinIconCount);
        ++failures;
    }
    if (failures > 0) {
        return 1;
    }
    for (const auto& [id, image] : set) {
        const QString name = QStringLiteral("/%1.png").arg(id);
        if (!save(image.convertToFormat(QImage::Format_RGB32), outDir + name) ||
            !save(nightBitmap(id, image), nightDir + name)) {
            return 1;
        }
    }
    return 0;
}
