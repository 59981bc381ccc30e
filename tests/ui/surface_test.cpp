#include "ui/surface.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>

#include "ui/fonts.h"
#include "ui/transparent_bitmap.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::UiTest;

QImage solid(int w, int h, QRgb c) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

TEST_F(UiTest, BlockCopiesAreClippedAtEveryEdgeAndTheClipRectangle) {
    QImage src(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            src.setPixel(x, y, rgb(x * 10, y * 10, 1));
        }
    }
    frame().fill(rgb(0, 0, 0));
    frame().blit(-2, -1, src);  // only the lower-right part lands
    EXPECT_EQ(frame().pixel(0, 0), rgb(20, 10, 1));
    EXPECT_EQ(frame().pixel(1, 2), rgb(30, 30, 1));
    EXPECT_EQ(frame().pixel(2, 0), rgb(0, 0, 0));
    frame().blit(238, 318, src);
    EXPECT_EQ(frame().pixel(239, 319), rgb(10, 10, 1));
    // A source rectangle partly outside the image copies only what exists.
    frame().blit(100, 100, src, {2, 2, 8, 8});
    EXPECT_EQ(frame().pixel(101, 101), rgb(30, 30, 1));
    EXPECT_EQ(frame().pixel(102, 102), rgb(0, 0, 0));
    // Nothing at all for a null image.
    frame().blit(0, 0, QImage());

    frame().setClip({50, 50, 52, 52});
    frame().blit(49, 49, src);
    frame().fillRect({0, 0, 240, 320}, rgb(9, 9, 9));
    frame().clearClip();
    EXPECT_EQ(frame().pixel(49, 49), rgb(0, 0, 0));
    EXPECT_EQ(frame().pixel(50, 50), rgb(9, 9, 9));
    EXPECT_EQ(frame().pixel(52, 51), rgb(0, 0, 0));
}

TEST_F(UiTest, CopyingBetweenSurfacesOfTheirFixedSizes) {
    EXPECT_EQ(frame().bounds(), (Rect{0, 0, 240, 320}));
    EXPECT_EQ(background().bounds(), (Rect{0, 0, 240, 320}));
    EXPECT_EQ(scratch().bounds(), (Rect{0, 0, 60, 60}));
    background().fill(rgb(1, 2, 3));
    frame().copyFrom(background(), {10, 20, 30, 40});
    for (auto [x, y, c] : {std::tuple{10, 20, rgb(1, 2, 3)},
                           {29, 39, rgb(1, 2, 3)},
                           {30, 39, rgb(0, 0, 0)},
                           {29, 40, rgb(0, 0, 0)}}) {
        EXPECT_EQ(frame().pixel(x, y), c) << x << "," << y;
    }
    scratch().copyFrom(frame(), {10, 20, 70, 80}, 0, 0);
    EXPECT_EQ(scratch().pixel(0, 0), rgb(1, 2, 3));
    EXPECT_EQ(scratch().pixel(59, 59), rgb(0, 0, 0));
}

TEST_F(UiTest, TransparentBitmapLeavesKeyColouredPixelsAlone) {
    QImage image = solid(3, 2, rgb(10, 20, 30));
    image.setPixel(1, 0, rgb(120, 0, 120));
    TransparentBitmap bitmap;
    EXPECT_FALSE(bitmap.maskReady());
    ASSERT_TRUE(bitmap.load(image, rgb(120, 0, 120)));
    EXPECT_EQ(bitmap.width(), 3);
    frame().fill(rgb(200, 200, 200));
    bitmap.drawTransparent(frame(), 5, 5);
    EXPECT_EQ(frame().pixel(5, 5), rgb(10, 20, 30));
    EXPECT_EQ(frame().pixel(6, 5), rgb(200, 200, 200));
    EXPECT_EQ(frame().pixel(6, 6), rgb(10, 20, 30));
    EXPECT_EQ(frame().pixel(8, 5), rgb(200, 200, 200));

    // A key chosen by the caller, and a part of the bitmap.
    const Rect rightColumn{2, 0, 3, 2};
    frame().fill(rgb(200, 200, 200));
    bitmap.drawTransparentKey(frame(), 0, 0, rgb(10, 20, 30), &rightColumn);
    EXPECT_EQ(frame().pixel(0, 0), rgb(200, 200, 200));
    bitmap.drawTransparentKey(frame(), 0, 0, rgb(1, 1, 1));
    EXPECT_EQ(frame().pixel(1, 0), rgb(120, 0, 120));
    bitmap.drawOpaque(frame(), 20, 20);
    EXPECT_EQ(frame().pixel(21, 20), rgb(120, 0, 120));

    // A bitmap that cannot be loaded draws nothing.
    TransparentBitmap missing;
    EXPECT_FALSE(missing.load(12345, rgb(0, 0, 0)));
    frame().fill(rgb(4, 4, 4));
    missing.drawTransparent(frame(), 0, 0);
    missing.drawOpaque(frame(), 0, 0);
    EXPECT_EQ(frame().pixel(0, 0), rgb(4, 4, 4));
}

TEST_F(UiTest, PolygonsAreFilledAndOutlined) {
    frame().fill(rgb(255, 255, 255));
    const Point square[4] = {{10, 10}, {30, 10}, {30, 30}, {10, 30}};
    frame().polygon(square, 4, rgb(0, 0, 255), rgb(0, 0, 0));
    EXPECT_EQ(frame().pixel(20, 20), rgb(0, 0, 255));
    EXPECT_EQ(frame().pixel(10, 20), rgb(0, 0, 0));
    EXPECT_EQ(frame().pixel(20, 10), rgb(0, 0, 0));
    EXPECT_EQ(frame().pixel(32, 20), rgb(255, 255, 255));
    frame().setClip({0, 0, 20, 320});
    const Point other[3] = {{0, 50}, {100, 50}, {50, 90}};
    frame().polygon(other, 3, rgb(0, 255, 0), rgb(0, 0, 0));
    frame().clearClip();
    EXPECT_EQ(frame().pixel(15, 55), rgb(0, 255, 0));
    EXPECT_EQ(frame().pixel(50, 60), rgb(255, 255, 255));
}

TEST_F(UiTest, TheNamedTypefacesResolveToRealFonts) {
    const QString tahoma = typefaceFamily(Typeface::Tahoma);
    if (QFile::exists("/usr/share/wine/fonts/tahoma.ttf")) {
        EXPECT_EQ(tahoma, "Tahoma");
    }
    const QString arial = typefaceFamily(Typeface::Arial);
    EXPECT_TRUE(arial == "Arial" || arial == "Liberation Sans" || arial == "DejaVu Sans")
        << arial.toStdString();
    for (bool bold : {false, true}) {
        const QFont f = dashboardFont(Typeface::Tahoma, 16, bold);
        EXPECT_LE(QFontMetrics(f).height(), 16);
        EXPECT_GE(QFontMetrics(f).height(), 14);
        EXPECT_EQ(QFontInfo(f).family(), tahoma);
        EXPECT_EQ(QFontInfo(f).bold(), bold);
    }
}

// Pixels of the frame matching `match`: how many lie inside and outside `r`.
std::pair<int, int> countInAndOut(const Surface& s, const Rect& r, bool (*match)(QRgb)) {
    std::pair<int, int> n{0, 0};
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (match(s.pixel(x, y))) {
                ++(r.contains(x, y) ? n.first : n.second);
            }
        }
    }
    return n;
}

TEST_F(UiTest, TextStaysInsideItsRectangleUnlessToldOtherwise) {
    const QFont font = dashboardFont(Typeface::Tahoma, 16, true);
    auto ink = [](QRgb c) { return c != rgb(255, 255, 255); };
    frame().fill(rgb(255, 255, 255));
    frame().text({20, 20, 60, 40}, "Wide text that does not fit", font, rgb(0, 0, 0));
    auto [in, out] = countInAndOut(frame(), {20, 20, 60, 40}, ink);
    EXPECT_GT(in, 20);
    EXPECT_EQ(out, 0);

    frame().fill(rgb(255, 255, 255));
    frame().text({20, 20, 30, 40}, "Name", font, rgb(0, 0, 0), TextFlag::NoClip);
    EXPECT_GT(countInAndOut(frame(), {31, 20, 80, 40}, ink).first, 0);

    // An opaque background fills behind the text only.
    frame().fill(rgb(255, 255, 255));
    frame().text({10, 200, 70, 220}, "200 m", font, rgb(0, 0, 0), TextFlag::Centre,
                 rgb(230, 230, 230));
    auto [filled, spilled] =
        countInAndOut(frame(), {15, 200, 65, 220}, [](QRgb c) { return c == rgb(230, 230, 230); });
    EXPECT_GT(filled, 100);
    EXPECT_EQ(spilled, 0);
    EXPECT_EQ(frame().pixel(11, 201), rgb(255, 255, 255));
}

}  // namespace
}  // namespace wp2
