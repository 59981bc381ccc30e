// SPDX-License-Identifier: GPL-3.0-or-later
// The skin and the dashboard built from its layout: every bitmap named is
// there at its size, the pushpin icon table holds the 16 x 16 pictures of the
// icon list in order, and every drop-down list, opened in place, draws its
// labels inside its bands and nothing beyond them.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/unit_formatter.h"
#include "core/waypoints/pushpin_icon_names.h"
#include "ui/bitmap_source.h"
#include "ui/compass_needle.h"
#include "ui/dashboard_ids.h"
#include "ui/dashboard_layout.h"
#include "ui/panel_selector.h"
#include "ui/skin_bitmaps.h"
#include "ui/skin_screen.h"
#include "ui/track_view.h"
#include "ui_test_support.h"

namespace wp2::test {
namespace {

TEST(SkinBitmaps, EveryNamedIdLoadsAtItsSizeAndNoOther) {
    const int ranges[][4] = {
        {151, 151, 15, 15},   {409, 409, 240, 150}, {424, 424, 240, 150}, {422, 423, 9, 9},
        {425, 434, 10, 16},   {435, 435, 5, 16},    {436, 436, 8, 16},    {437, 438, 11, 12},
        {465, 465, 16, 14},   {467, 471, 120, 114}, {477, 478, 120, 114}, {472, 472, 4, 46},
        {473, 473, 180, 240}, {401, 408, 60, 56},   {461, 464, 60, 56},   {453, 456, 19, 17}};
    std::set<int> named;
    for (const auto& [first, last, w, h] : ranges) {
        for (int id = first; id <= last; ++id) {
            EXPECT_EQ(skinBitmap(id).size(), QSize(w, h)) << id;
            named.insert(id);
        }
    }
    const std::vector<int> ids = skinBitmapIds();
    EXPECT_EQ(std::set<int>(ids.begin(), std::lower_bound(ids.begin(), ids.end(), 1000)), named);
    // The minus: ink only in the middle rows, unlike the point on the baseline.
    const QImage minus = skinBitmap(skin::kMinusGlyph);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(minus.pixel(4, y) != skin::kGlyphKey, y >= 6 && y <= 9) << y;
    }
}

TEST(SkinBitmaps, NightBitmapsAreDarkAndWarmAndKeepTheirKeyColours) {
    for (const int id : skinBitmapIds()) {
        SCOPED_TRACE(id);
        const QImage day = skinBitmap(id, Palette::Day);
        const QImage night = skinBitmap(id, Palette::Night);
        ASSERT_EQ(night.size(), day.size());
        EXPECT_NE(night, day);
        const std::optional<QRgb> key = skin::keyColour(id);
        EXPECT_EQ(dayPixels(night, key), 0);
        // Transparent where the day bitmap is.
        for (int y = 0; key && y < day.height(); ++y) {
            for (int x = 0; x < day.width(); ++x) {
                ASSERT_EQ(day.pixel(x, y) == *key, night.pixel(x, y) == *key) << x << "," << y;
            }
        }
    }
}

TEST(SkinBitmaps, TheIconTableHoldsThe59SquarePicturesOfTheListInOrder) {
    setBitmapSource(nullptr);
    std::vector<QImage> square;
    for (int i = 0; i < pushpinIconCount(); ++i) {
        if (pushpinIcon(i).size() == QSize(16, 16)) {
            square.push_back(pushpinIcon(i));
        }
    }
    ASSERT_EQ(pushpinIconTableSize(), kPushpinIconCount);  // a picture for every GPX name
    for (std::size_t i = 0; i < square.size(); ++i) {
        EXPECT_EQ(pushpinIconPicture(static_cast<int>(i)), square[i]) << i;
        EXPECT_EQ(std::count(square.begin(), square.end(), square[i]), 1) << i;
    }
    EXPECT_TRUE(pushpinIconPicture(kPushpinIconCount).isNull());
}

// The dashboard's layout built on a snapshot of its own.
class LayoutTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        DashboardLayout(
            screen,
            {&snap, &units, nullptr, nullptr, nullptr, nullptr, {}, {}, &settings_.services})
            .build();
    }
    NavSnapshot snap;
    UnitFormatter units;
    SkinScreen screen{surfaces_, boxes_};
};

TEST_F(LayoutTest, OpenListsOfTheLayoutKeepTheirLabelsInsideTheirBands) {
    for (int id : {101, 102, 103, 104, 105}) {  // the two value and three panel lists
        auto& selector = dynamic_cast<PanelSelector&>(*screen.byId(id, 1));
        screen.markAllDirty();
        screen.compose();
        const QImage closed = frame().image().copy();
        selector.onRelease(selector.rect.left + 2, selector.rect.top + 2);
        screen.compose();
        const Rect list = selector.listRect();
        for (int i = 0; i < 240 * 320; ++i) {
            const int x = i % 240, y = i / 240;
            ASSERT_TRUE(frame().pixel(x, y) == closed.pixel(x, y) || list.contains(x, y) ||
                        selector.rect.contains(x, y))
                << selector.name << " drew at " << x << "," << y;
        }
        for (int top = list.top; top < list.bottom; top += selector.itemHeight) {
            const Rect label{list.left + 12, top + 3, list.right - 2, top + 23};
            EXPECT_GT(countPixels(frame(), label, [](QRgb c) { return qGray(c) % 255 == 0; }),
                      10);  // black or white text in every band
        }
        selector.onRelease(0, 319);
    }
}

TEST_F(LayoutTest, TheMapsCompassShowsNorthWhereTheMapHasIt) {
    auto& map = dynamic_cast<TrackView&>(*screen.byId(DashboardId::TrackView, 1));
    auto& compass = dynamic_cast<BoundCompassNeedle&>(*screen.byId(DashboardId::TrackCompass, 1));
    snap.course = 90 * kDegToRad;  // heading east
    // Whether the map turns, the fix status, and where the blue triangle then
    // points (pi/2 up, pi left); without a fix the map is drawn north-up.
    const std::tuple<bool, std::uint32_t, double> cases[] = {
        {false, NavSnapshot::kFixStatus, kHalfPi},
        {true, NavSnapshot::kFixStatus, kPi},
        {true, 0, kHalfPi}};
    std::uint32_t frame = 0;
    for (const auto& [rotate, status, north] : cases) {
        map.applyOptions(true, rotate);
        snap.status = status;
        for (const std::uint32_t end = frame + 120; frame < end; ++frame) {
            compass.tick(frame);  // the turn is animated
        }
        EXPECT_NEAR(compass.drawnAngle, north, 1e-6) << rotate << status;
    }
}

}  // namespace
}  // namespace wp2::test
