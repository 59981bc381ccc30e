#pragma once
// Shared set-up for the dashboard tests: a GUI application for fonts, plain
// generated bitmaps of the sizes the dashboard expects, and published surfaces.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/frame_counter.h"
#include "ui/surface.h"

namespace wp2::test {

inline void ensureGuiApplication() {
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "wp2-ui-test";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    registerDashboardFonts();
}

inline QSize placeholderSize(int id) {
    struct Range {
        int first, last, w, h;
    };
    static const Range sizes[] = {{401, 408, 60, 56},   {461, 464, 60, 56},   {465, 465, 16, 14},
                                  {453, 456, 19, 17},   {424, 424, 240, 150}, {409, 409, 240, 150},
                                  {467, 471, 120, 114}, {477, 478, 120, 114}, {425, 435, 9, 14},
                                  {437, 438, 11, 12},   {472, 472, 2, 46},    {422, 423, 8, 8},
                                  {151, 151, 15, 15}};
    for (const Range& r : sizes) {
        if (id >= r.first && id <= r.last) {
            return {r.w, r.h};
        }
    }
    return {};
}

// A colour unique to each placeholder bitmap id.
inline QRgb placeholderColour(int id) {
    return rgb(id & 0xff, (id * 37) & 0xff, 90 + (id % 7) * 20);
}

// Glyph placeholders: a solid block in the glyph's colour whose last column is
// the key colour (120, 0, 120), so transparency is visible.
inline QRgb glyphColour(int glyph) {
    return rgb(20 * glyph + 10, 230, 40);
}

class PlaceholderBitmaps final : public BitmapSource {
public:
    QImage bitmap(int id) const override {
        if (id >= kFirstIcon && id < kFirstIcon + 59) {
            QImage icon(16, 16, QImage::Format_RGB32);
            icon.fill(placeholderColour(id));
            return icon;
        }
        const QSize size = placeholderSize(id);
        if (size.isEmpty()) {
            return {};
        }
        QImage image(size, QImage::Format_RGB32);
        if (id >= 425 && id <= 435) {
            image.fill(glyphColour(id - 425));
            for (int y = 0; y < size.height(); ++y) {
                image.setPixel(size.width() - 1, y, rgb(120, 0, 120));
            }
            return image;
        }
        image.fill(placeholderColour(id));
        if (id == 422) {
            image.setPixel(0, 0, rgb(81, 103, 245));  // key colour corner
        }
        if (id == 423) {
            image.setPixel(0, 0, rgb(0, 0, 0));
        }
        return image;
    }
    std::vector<int> pushpinIconIds() const override {
        std::vector<int> ids;
        for (int i = 0; i < 59; ++i) {
            ids.push_back(kFirstIcon + i);
        }
        return ids;
    }
    static constexpr int kFirstIcon = 1001;
};

// Publishes fresh surfaces and placeholder bitmaps for each test.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGuiApplication();
        setBitmapSource(&bitmaps_);
        publishSurfaces(&surfaces_);
        publishFrame(0);
        surfaces_.frame.fill(rgb(0, 0, 0));
        surfaces_.background.fill(rgb(0, 0, 0));
    }
    void TearDown() override {
        publishSurfaces(nullptr);
        setBitmapSource(nullptr);
    }

    Surface& frame() { return surfaces_.frame; }
    Surface& background() { return surfaces_.background; }
    Surface& scratch() { return surfaces_.scratch; }

    PlaceholderBitmaps bitmaps_;
    DrawingSurfaces surfaces_;
};

}  // namespace wp2::test
