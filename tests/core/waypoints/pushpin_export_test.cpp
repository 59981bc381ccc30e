#include "core/waypoints/pushpin_export.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <string>

#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::addPin;
using test::readFile;
using test::RecordingMessageBoxes;
using test::TempDir;

TEST(ExportText, DefaultColumnsAreNameLatitudeLongitude) {
    TempDir dir;
    CPushpins pins;
    ASSERT_TRUE(ExportText(pins, dir.file("e.txt"), ExportFields{}));
    EXPECT_EQ(readFile(dir.file("e.txt")), "Name;Latitude;Longitude\r\n");
    CPushpin* a = addPin(pins, "A", 51.5, -0.12);
    a->note = u"not written";
    addPin(pins, "B", -33.5, 151.25);
    ASSERT_TRUE(ExportText(pins, dir.file("out.txt"), ExportFields{}));
    EXPECT_EQ(readFile(dir.file("out.txt")),
              "Name;Latitude;Longitude\r\n"
              "B;-33.500000;151.250000\r\n"
              "A;51.500000;-0.120000\r\n");
}

// Read back with shapelib's own reader.
class ExportShape : public ::testing::Test {
protected:
    void TearDown() override {
        if (dbf) {
            DBFClose(dbf);
        }
        if (shp) {
            SHPClose(shp);
        }
    }
    void open() {
        shp = SHPOpen(dir.file("out.shp").c_str(), "rb");
        dbf = DBFOpen(dir.file("out.dbf").c_str(), "rb");
        ASSERT_NE(shp, nullptr);
        ASSERT_NE(dbf, nullptr);
    }
    TempDir dir;
    CPushpins pins;
    SHPHandle shp = nullptr;
    DBFHandle dbf = nullptr;
};

TEST_F(ExportShape, RecordAndShapeIDescribePushpinI) {
    CPushpin* a = addPin(pins, "a name longer than twenty", 51.5, -0.12);
    a->note = std::u16string(150, u'x');
    addPin(pins, "Z\u00fcrich", 47.376887, 8.541694);
    ASSERT_TRUE(ExportShapefile(pins, dir.file("out.shp")));
    open();
    ASSERT_EQ(DBFGetRecordCount(dbf), 2);
    int index = 0;
    for (const CPushpin& p : pins) {
        SHPObject* s = SHPReadObject(shp, index);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->nSHPType, SHPT_POINT);
        ASSERT_EQ(s->nVertices, 1);
        EXPECT_EQ(s->padfX[0], p.longitude * kRadToDeg);
        EXPECT_EQ(s->padfY[0], p.latitude * kRadToDeg);
        EXPECT_NEAR(DBFReadDoubleAttribute(dbf, index, 1), s->padfX[0], 1e-8);
        EXPECT_NEAR(DBFReadDoubleAttribute(dbf, index, 2), s->padfY[0], 1e-8);
        SHPDestroyObject(s);
        ++index;
    }
    EXPECT_STREQ(DBFReadStringAttribute(dbf, 0, 0), "Z\xFCrich");
    EXPECT_STREQ(DBFReadStringAttribute(dbf, 1, 0), "a name longer than t");
    EXPECT_EQ(std::string(DBFReadStringAttribute(dbf, 1, 3)), std::string(100, 'x'));
}

}  // namespace
}  // namespace wp2
