// The embedded skin: every bitmap the dashboard names is there at its size, the key
// colours sit where the transparent drawing relies on them, the pictures line up with
// the instruments drawn over them, and text areas give their text contrast.

#include "ui/skin_bitmaps.h"

#include <gtest/gtest.h>

#include <QColor>
#include <cmath>
#include <set>
#include <utility>

#include "core/nav/angles.h"
#include "ui/dial_arrow.h"

namespace wp2 {
namespace {

int lum(QRgb c) {
    return qGray(c);
}

int countPixels(const QImage& image, const std::function<bool(QRgb)>& test) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += test(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// Bounding box of the pixels that are not the key colour.
QRect inkBounds(const QImage& image, QRgb key) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xffffff) != (key & 0xffffff)) {
                box = box.united(QRect(x, y, 1, 1));
            }
        }
    }
    return box;
}

// Lowest and highest brightness in a rectangle.
std::pair<int, int> lumRange(const QImage& image, const QRect& r) {
    int lo = 255, hi = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            lo = std::min(lo, lum(image.pixel(x, y)));
            hi = std::max(hi, lum(image.pixel(x, y)));
        }
    }
    return {lo, hi};
}

// Brightest pixel on the ray from (cx, cy) in the display direction a (0 right,
// pi/2 up) between two radii, `side` pixels either side included.
int brightestOnRay(const QImage& image, double cx, double cy, double r1, double r2, double a,
                   double side = 0.8) {
    int best = 0;
    for (double r = r1; r <= r2; r += 0.5) {
        for (double s : {-side, 0.0, side}) {
            const double x = cx + r * std::cos(a) + s * std::sin(a);
            const double y = cy - r * std::sin(a) + s * std::cos(a);
            best = std::max(best, lum(image.pixel(static_cast<int>(std::lround(x)),
                                                  static_cast<int>(std::lround(y)))));
        }
    }
    return best;
}

// Speed arrow angle for v km/h.
double speedAngle(double v) {
    return DialArrow::speedAngle(v / 3.6);
}

TEST(SkinBitmaps, EveryNamedIdLoadsAtItsSizeAndNoOther) {
    struct Range {
        int first, last;
        QSize size;
    };
    const Range ranges[] = {{151, 151, {15, 15}},   {409, 409, {240, 150}}, {424, 424, {240, 150}},
                            {422, 423, {9, 9}},     {435, 435, {5, 16}},    {425, 434, {10, 16}},
                            {437, 438, {11, 12}},   {465, 465, {16, 14}},   {467, 471, {120, 114}},
                            {477, 478, {120, 114}}, {472, 472, {4, 46}},    {473, 473, {180, 240}},
                            {401, 408, {60, 56}},   {461, 464, {60, 56}},   {453, 456, {19, 17}}};
    std::vector<std::pair<int, QSize>> expected;
    for (const Range& r : ranges) {
        for (int id = r.first; id <= r.last; ++id) {
            expected.push_back({id, r.size});
        }
    }
    std::set<int> named;
    for (const auto& [id, size] : expected) {
        const QImage image = skinBitmap(id);
        ASSERT_FALSE(image.isNull()) << id;
        EXPECT_EQ(image.size(), size) << id;
        EXPECT_EQ(skinBitmapSize(id), size) << id;
        EXPECT_EQ(image.format(), QImage::Format_RGB32) << id;
        named.insert(id);
    }
    // The id list holds exactly these and the pushpin icons, ascending.
    const std::vector<int> ids = skinBitmapIds();
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    std::set<int> listed(ids.begin(), ids.end());
    for (int i = 0; i < 89; ++i) {
        EXPECT_EQ(listed.erase(skin::kFirstPushpinIcon + i), 1u) << i;
    }
    EXPECT_EQ(listed, named);
    for (int id : {0, -1, 400, 436, 466, 999, 1000, 1090}) {
        EXPECT_TRUE(skinBitmap(id).isNull()) << id;
        EXPECT_FALSE(skinBitmapSize(id).isValid()) << id;
    }
    EXPECT_TRUE(pushpinIcon(-1).isNull());
    EXPECT_TRUE(pushpinIcon(89).isNull());
}

TEST(SkinBitmaps, DigitGlyphsAreKeyedAlignedAndDistinct) {
    std::vector<QImage> glyphs;
    for (int id = skin::kFirstGlyph; id <= skin::kOtherGlyph; ++id) {
        glyphs.push_back(skinBitmap(id));
    }
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const QImage& g = glyphs[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(g.height(), glyphs[0].height());  // one baseline for every character
        // Transparent around the character, and the dark rim closed: no white stroke
        // reaches the glyph's edge, so a digit stays legible over the yellow arrow.
        EXPECT_GE(countPixels(g, [](QRgb c) { return c == skin::kGlyphKey; }), 10);
        for (int y = 0; y < g.height(); ++y) {
            for (int x = 0; x < g.width(); ++x) {
                if (x == 0 || y == 0 || x == g.width() - 1 || y == g.height() - 1) {
                    EXPECT_TRUE(g.pixel(x, y) == skin::kGlyphKey || lum(g.pixel(x, y)) < 40)
                        << x << "," << y;
                }
            }
        }
        // White strokes with a dark rim, readable on any face.
        EXPECT_GT(countPixels(g, [](QRgb c) { return lum(c) > 230; }), 8);
        EXPECT_GT(countPixels(g, [](QRgb c) { return c != skin::kGlyphKey && lum(c) < 40; }), 8);
        for (size_t j = 0; j < i; ++j) {
            EXPECT_NE(g, glyphs[j]) << j;
        }
    }
    // "12.5" in a 40-pixel read-out: the point is narrower than the digits.
    const int run =
        glyphs[1].width() + glyphs[2].width() + glyphs[10].width() + glyphs[5].width() + 3;
    EXPECT_LE(run, 40);
    // The point sits on the baseline: its ink is in the lower part only.
    const QRect point = inkBounds(glyphs[10], skin::kGlyphKey);
    EXPECT_GT(point.top(), glyphs[10].height() / 2);
}

TEST(SkinBitmaps, SatelliteDotsAndMarkerAreCentredOnTheirKey) {
    // Dots are drawn with their top-left at (x - 4, y - 4); the marker centred.
    struct Case {
        int id;
        QRgb key;
    };
    for (const Case& c : {Case{skin::kSatelliteWithSignal, skin::kSignalDotKey},
                          Case{skin::kSatelliteNoSignal, skin::kNoSignalDotKey},
                          Case{skin::kMarker, skin::kMarkerKey}}) {
        SCOPED_TRACE(c.id);
        const QImage image = skinBitmap(c.id);
        const int w = image.width() - 1, h = image.height() - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)}) {
            EXPECT_EQ(image.pixel(corner), c.key);
        }
        const QPoint centre(image.width() / 2, image.height() / 2);
        EXPECT_NE(image.pixel(centre), c.key);
        const QRect ink = inkBounds(image, c.key);
        EXPECT_EQ(ink.left() + ink.right(), 2 * centre.x());
        EXPECT_EQ(ink.top() + ink.bottom(), 2 * centre.y());
    }
    EXPECT_EQ(skinBitmap(skin::kSatelliteWithSignal).width() / 2, 4);
    // The two dots must tell signal from no signal apart.
    EXPECT_NE(skinBitmap(422).pixel(4, 4), skinBitmap(423).pixel(4, 4));
}

TEST(SkinBitmaps, PushpinIconListHas59DistinctPictures) {
    ASSERT_EQ(pushpinIconCount(), 89);
    int full = 0;
    std::vector<QImage> icons;
    for (int i = 0; i < pushpinIconCount(); ++i) {
        SCOPED_TRACE(i);
        const QImage icon = pushpinIcon(i);
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon, skinBitmap(skin::kFirstPushpinIcon + i));
        if (icon.size() == QSize(16, 16)) {
            ++full;
        } else {
            EXPECT_LT(icon.width(), 16);  // narrower ones add no image to the list
        }
        // Black is transparent: every icon has a see-through part and a visible one.
        const int black = countPixels(icon, [](QRgb c) { return (c & 0xffffff) == 0; });
        EXPECT_GT(black, 0);
        EXPECT_GT(icon.width() * icon.height() - black, icon.width() * icon.height() / 4);
        for (size_t j = 0; j < icons.size(); ++j) {
            EXPECT_NE(icon, icons[j]) << j;
        }
        icons.push_back(icon);
    }
    EXPECT_EQ(full, 59);
}

TEST(SkinBitmaps, SpeedDialMarksLieWhereTheArrowPoints) {
    const QImage dial = skinBitmap(skin::kSpeedDial);
    const double cx = 121, cy = 106;
    // A white tick on the scale ring in the arrow's direction at these speeds...
    for (double v : {25.0, 30.0, 60.0, 100.0, 140.0, 180.0}) {
        EXPECT_GT(brightestOnRay(dial, cx, cy, 84, 88, speedAngle(v)), 200) << v;
    }
    // ...and none half way between two ticks.
    for (double v : {32.5, 57.5, 102.5, 147.5, 177.5}) {
        EXPECT_LT(brightestOnRay(dial, cx, cy, 84, 88, speedAngle(v), 0), 180) << v;
    }
    // The arrow rests pointing down below about 24 km/h: no scale below the hub.
    EXPECT_LT(brightestOnRay(dial, cx, cy, 26, 42, 3 * kPi / 2), 120);
}

TEST(SkinBitmaps, CourseDialHasAheadAtTopPortLeftStarboardRight) {
    const QImage dial = skinBitmap(skin::kCourseDial);
    const double cx = 121, cy = 106;
    EXPECT_GT(brightestOnRay(dial, cx, cy, 84, 88, kPi / 2), 200);  // straight ahead
    for (int rb = -90; rb <= 90; rb += 30) {
        EXPECT_GT(brightestOnRay(dial, cx, cy, 84, 88, kPi / 2 - rb * kPi / 180), 200) << rb;
    }
    const auto along = [&](double a) {
        return QColor::fromRgb(dial.pixel(static_cast<int>(std::lround(cx + 85.5 * std::cos(a))),
                                          static_cast<int>(std::lround(cy - 85.5 * std::sin(a)))));
    };
    const QColor left = along(kPi / 2 + 0.8), right = along(kPi / 2 - 0.8);
    EXPECT_GT(left.red(), left.green() + 60);    // red to the left
    EXPECT_GT(right.green(), right.red() + 60);  // green to the right
}

TEST(SkinBitmaps, SkyViewHorizonMatchesTheDotRadius) {
    const QImage sky = skinBitmap(skin::kSkyView);
    // Elevation 0 lies 40 pixels from the centre (60, 57) of the panel.
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4 + 0.2;
        EXPECT_GT(brightestOnRay(sky, 60, 57, 39, 41, a, 0), 140) << i;
        EXPECT_LT(brightestOnRay(sky, 60, 57, 45, 45, a, 0), 90) << i;
    }
}

TEST(SkinBitmaps, CompassFaceIsLightUnderTheNeedle) {
    // The needle (blue and red triangles, 38 long) turns about (61, 58).
    for (int id : {skin::kCompassLeft, skin::kCompassRight}) {
        const QImage face = skinBitmap(id);
        for (int i = 0; i < 12; ++i) {
            for (double r : {10.0, 25.0, 35.0}) {
                EXPECT_GT(brightestOnRay(face, 61, 58, r, r, i * kPi / 6 + 0.26, 0), 170)
                    << id << " " << i << " " << r;
            }
        }
    }
}

TEST(SkinBitmaps, TextAreasContrastWithTheirText) {
    // Light text (white, yellow, beige) is drawn on these: they must stay dark.
    struct Area {
        int id;
        QRect rect;
    };
    const std::vector<Area> dark = {
        {469, QRect(QPoint(8, 22), QPoint(116, 61))},    // target name
        {469, QRect(QPoint(46, 62), QPoint(117, 76))},   // distance
        {469, QRect(QPoint(76, 78), QPoint(116, 92))},   // time to go
        {469, QRect(QPoint(76, 94), QPoint(116, 108))},  // clock
        {470, QRect(QPoint(8, 22), QPoint(116, 61))},
        {470, QRect(QPoint(76, 94), QPoint(116, 108))},
        {477, QRect(QPoint(25, 3), QPoint(117, 22))},  // "Position"
        {477, QRect(QPoint(8, 22), QPoint(116, 81))},  // three rows
        {478, QRect(QPoint(8, 22), QPoint(116, 81))},
        {409, QRect(QPoint(3, 116), QPoint(42, 148))},  // left read-out
        {409, QRect(QPoint(208, 116), QPoint(237, 148))},
        {424, QRect(QPoint(3, 116), QPoint(42, 148))},
        {424, QRect(QPoint(208, 116), QPoint(237, 148))},
    };
    for (const Area& a : dark) {
        EXPECT_LT(lumRange(skinBitmap(a.id), a.rect).second, 90) << a.id;
    }
    // The splash's loading text is black.
    EXPECT_GT(lumRange(skinBitmap(skin::kSplash), QRect(QPoint(10, 218), QPoint(129, 234))).first,
              180);
}

TEST(SkinBitmaps, ButtonsLampsAndSelectorsAreTellApart) {
    std::vector<QImage> normals;
    for (int id : {401, 403, 405, 407, 461, 463}) {
        const QImage normal = skinBitmap(id);
        EXPECT_NE(normal, skinBitmap(id + 1)) << id;  // pressed looks different
        for (const QImage& other : normals) {
            EXPECT_NE(normal, other) << id;
        }
        normals.push_back(normal);
    }
    EXPECT_NE(skinBitmap(skin::kSelectorOpen), skinBitmap(skin::kSelectorClosed));

    // Lamp colours by id: 453 dark, 454 red, 455 green, 456 yellow.
    const auto led = [](int id) { return QColor::fromRgb(skinBitmap(id).pixel(10, 10)); };
    EXPECT_LT(led(453).value(), 120);
    EXPECT_GT(led(454).red(), 2 * led(454).green());
    EXPECT_GT(led(455).green(), 2 * led(455).red());
    EXPECT_GT(led(456).red(), 180);
    EXPECT_GT(led(456).green(), 140);
    EXPECT_LT(led(456).blue(), 100);
}

TEST(SkinBitmaps, SelectorEdgesMeetTheItemBands) {
    // Item bands: ordinary items start (189,189,189) and end (39,39,39); the current
    // item starts (218,217,217) and ends (50,50,50). The edges continue those rows.
    const QImage edges = skinBitmap(skin::kSelectorEdges);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(edges.pixel(x, 0), qRgb(189, 189, 189)) << x;
        EXPECT_EQ(edges.pixel(x, 23), qRgb(218, 217, 217)) << x;
    }
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(edges.pixel(x, 22), qRgb(39, 39, 39)) << x;
        EXPECT_EQ(edges.pixel(x, 45), qRgb(50, 50, 50)) << x;
    }
    // Left edge lit, right edge shaded, in the middle of an item.
    EXPECT_GT(lum(edges.pixel(0, 11)), lum(edges.pixel(3, 11)) + 80);
    EXPECT_GT(lum(edges.pixel(0, 34)), lum(edges.pixel(3, 34)) + 80);
}

}  // namespace
}  // namespace wp2
