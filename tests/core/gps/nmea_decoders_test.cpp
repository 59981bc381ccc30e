#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "core/gps/gga_decoder.h"
#include "core/gps/gsa_decoder.h"
#include "core/gps/gsv_table.h"
#include "core/gps/nmea_checksum.h"
#include "core/gps/nmea_field.h"
#include "core/gps/rmc_decoder.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

using test::nmea16;
using test::u16;

std::u16string rmc(const std::string& time, const std::string& lat, const std::string& lon,
                   const std::string& rest = "022.4,084.4,230394,003.1,W") {
    return nmea16("GPRMC," + time + ",A," + lat + "," + lon + "," + rest);
}

std::u16string gga(const std::string& time, const std::string& lat, const std::string& lon,
                   const std::string& rest = "1,08,0.9,545.4,M,46.9,M,,") {
    return nmea16("GPGGA," + time + "," + lat + "," + lon + "," + rest);
}

// Bit for bit, with any NaN equal to any other.
bool sameDouble(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(NmeaChecksumTest, AcceptsEitherCaseAndRejectsAnythingElse) {
    EXPECT_TRUE(nmeaChecksumValid(u"$GPGSV,1,1,00*79"));
    EXPECT_TRUE(nmeaChecksumValid(u"$GPTXT,01,01,02,ANTSTATUS=OK*3B"));
    EXPECT_TRUE(nmeaChecksumValid(u"$GPTXT,01,01,02,ANTSTATUS=OK*3b"));
    EXPECT_FALSE(nmeaChecksumValid(u"$GPGSV,1,1,00*78"));
    EXPECT_FALSE(nmeaChecksumValid(u"$GPGSV,1,1,00"));     // no checksum
    EXPECT_FALSE(nmeaChecksumValid(u"$GPGSV,1,1,00*7"));   // one digit
    EXPECT_FALSE(nmeaChecksumValid(u"GPGSV,1,1,00*79"));   // no "$"
    EXPECT_FALSE(nmeaChecksumValid(u"$GPGSV,1,1,00*7G"));  // not hexadecimal
    EXPECT_FALSE(nmeaChecksumValid(u"$*00"));              // too short
    EXPECT_FALSE(nmeaChecksumValid(u"$A*41"));             // five characters
    EXPECT_TRUE(nmeaChecksumValid(u"$AB*03"));
}

TEST(NmeaChecksumTest, WideCharactersTakePartWithTheirHighBits) {
    // One sign-extended byte leaves 0xFF in the high bits: no two digits match.
    std::u16string one = u"$GP" + std::u16string(1, char16_t(0xFFC3)) + u"*";
    unsigned low = (u'G' ^ u'P' ^ 0xC3) & 0xFF;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", low);
    EXPECT_FALSE(nmeaChecksumValid(one + u16(hex)));
    // Two of them cancel their high bits again.
    std::u16string two = u"$GP" + std::u16string{char16_t(0xFFC3), char16_t(0xFF80)} + u"*";
    std::snprintf(hex, sizeof hex, "%02X", (u'G' ^ u'P' ^ 0xC3 ^ 0x80) & 0xFF);
    EXPECT_TRUE(nmeaChecksumValid(two + u16(hex)));
}

TEST(NmeaFieldTest, IntegersReadLikeAtoi) {
    for (const char* text : {"", "0", "17", "-5", "+8", "  42", "12ab", "x12", "0012", "999999999",
                             "1234567890", "-2147483648", " -0", "07.5"}) {
        EXPECT_EQ(nmeaInt(u16(text)), std::atoi(text)) << text;
    }
    EXPECT_EQ(nmeaInt(u"99999999999999"), 2147483647);
    EXPECT_EQ(nmeaInt(u"-99999999999999"), -2147483647 - 1);
    EXPECT_EQ(nmeaInt(u"1\u0661"), 1);  // only ASCII digits count
}

TEST(NmeaFieldTest, DoublesReadExactlyLikeStrtod) {
    const std::string texts =
        "|0|4807.038|-0.5|.5|5.|.|-|1e3|1.5e|0x1A|inf|nan| 12.25|+3.75|12.5*6A|000012.500|0.1|0.3|"
        "123456789012345|1234567890123456.5|0.000000000000000000001|4.9406564584124654e-324";
    for (std::size_t at = 0, bar = 0; bar != std::string::npos; at = bar + 1) {
        bar = texts.find('|', at);
        const std::string text = texts.substr(at, bar - at);
        EXPECT_TRUE(sameDouble(nmeaDouble(u16(text)), std::strtod(text.c_str(), nullptr))) << text;
    }
    // Random decimal texts of the shapes receivers send, bit for bit.
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        std::string text = (rng() % 4 == 0 ? "-" : "") + std::to_string(rng() % 100000);
        if (rng() % 5) {
            text += "." + std::to_string(rng() % 10000000);
        }
        ASSERT_TRUE(sameDouble(nmeaDouble(u16(text)), std::strtod(text.c_str(), nullptr))) << text;
    }
}

TEST(RmcDecoderTest, ConvertsTimePositionSpeedCourseAndDate) {
    RmcDecoder d;
    ASSERT_TRUE(d.decode(rmc("123519.75", "4807.038,N", "01131.000,E")));
    EXPECT_EQ(test::dateTimeText(d.utc), "94-03-23 12:35:19.000");  // whole seconds only
    EXPECT_DOUBLE_EQ(d.latitude, 48 + 7.038 * 0.016666666666666666);
    EXPECT_DOUBLE_EQ(d.longitude, 11 + 31.0 * 0.016666666666666666);
    EXPECT_DOUBLE_EQ(d.speed, 22.4);
    EXPECT_DOUBLE_EQ(d.course, 84.4);

    // Anything but "N" / "E" counts as south / west.
    ASSERT_TRUE(d.decode(rmc("000000", "4807.038,S", "01131.000,W")));
    EXPECT_TRUE(d.latitude < 0 && d.longitude < 0);
    ASSERT_TRUE(d.decode(rmc("000000", "4807.038,n", "01131.000,")));
    EXPECT_TRUE(d.latitude < 0 && d.longitude < 0);
}

TEST(RmcDecoderTest, RejectsOutOfRangeTimesAndKeepsThePreviousValues) {
    RmcDecoder d;
    ASSERT_TRUE(d.decode(rmc("235959", "4807.038,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("235960", "5000.000,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("240000", "5000.000,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("126000", "5000.000,N", "01131.000,E")));
    EXPECT_EQ(test::dateTimeText(d.utc).substr(9), "23:59:59.000");
    EXPECT_NEAR(d.latitude, 48.1173, 1e-9);
}

TEST(RmcDecoderTest, MinutesUpToSixtyAndDegreesUpToNinety) {
    RmcDecoder d;
    EXPECT_TRUE(d.decode(rmc("120000", "4860.000,N", "01160.0,E")));
    EXPECT_DOUBLE_EQ(d.latitude, 49.0);
    EXPECT_FALSE(d.decode(rmc("120000", "4860.001,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("120000", "4807.038,N", "01160.001,E")));
    EXPECT_TRUE(d.decode(rmc("120000", "9000.000,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("120000", "9100.000,N", "01131.000,E")));
    // Longitude degrees are not checked.
    EXPECT_TRUE(d.decode(rmc("120000", "4807.038,N", "99931.000,E")));
    EXPECT_DOUBLE_EQ(d.longitude, 999 + 31.0 * 0.016666666666666666);
    // No "." in the field: invalid.
    EXPECT_FALSE(d.decode(rmc("120000", "4807,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("120000", ",N", "01131.000,E")));
}

TEST(RmcDecoderTest, FieldLengthLimits) {
    RmcDecoder d;
    // Fractions of the second: at most 18 characters before the ",".
    EXPECT_TRUE(d.decode(rmc("123519." + std::string(17, '0'), "4807.038,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("123519." + std::string(18, '0'), "4807.038,N", "01131.000,E")));
    // Latitude and longitude fields of 20 characters or more.
    EXPECT_TRUE(d.decode(rmc("123519", "4807.03800000000000,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("123519", "4807.038000000000000,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(rmc("123519", "4807.038,N", "01131.0000000000000000,E")));
    // Speed, course and date fields have no limit.
    EXPECT_TRUE(d.decode(
        rmc("123519", "4807.038,N", "01131.000,E", "0000000000000000000000022.5,084.4,230394,,")));
    EXPECT_DOUBLE_EQ(d.speed, 22.5);
}

TEST(RmcDecoderTest, StatusMustBeOneCharacterAndTheTypeMustBeRmc) {
    RmcDecoder d;
    EXPECT_FALSE(d.decode(nmea16("GPRMC,123519,,4807.038,N,01131.000,E,1,2,230394,,")));
    EXPECT_FALSE(d.decode(nmea16("GPRMC,123519,AV,4807.038,N,01131.000,E,1,2,230394,,")));
    EXPECT_TRUE(d.decode(nmea16("GPRMC,123519,V,4807.038,N,01131.000,E,1,2,230394,,")));
    EXPECT_FALSE(d.decode(nmea16("GPRMB,123519,A,4807.038,N,01131.000,E,1,2,230394,,")));
    EXPECT_TRUE(d.decode(nmea16("GNRMC,123519,A,4807.038,N,01131.000,E,1,2,230394,,")));
}

TEST(GgaDecoderTest, ConvertsEveryField) {
    GgaDecoder d;
    ASSERT_TRUE(d.decode(gga("123519.25", "4807.038,N", "01131.000,E")));
    EXPECT_DOUBLE_EQ(d.hour * 3600 + d.minute * 60 + d.seconds, 12 * 3600 + 35 * 60 + 19.25);
    EXPECT_DOUBLE_EQ(d.latitude, 48 + 7.038 * 0.016666666666666666);
    EXPECT_DOUBLE_EQ(d.longitude, 11 + 31.0 * 0.016666666666666666);
    EXPECT_EQ(d.quality, 1);
    EXPECT_EQ(d.satellites, 8);
    EXPECT_DOUBLE_EQ(d.hdop, 0.9);
    EXPECT_DOUBLE_EQ(d.altitude, 545.4);
    EXPECT_DOUBLE_EQ(d.geoidSeparation, 46.9);

    ASSERT_TRUE(d.decode(gga("123519", "4807.038,S", "01131.000,W", "3,04,1.5,1000,F,100,f,,")));
    EXPECT_TRUE(d.latitude < 0 && d.longitude < 0);
    EXPECT_EQ(d.quality, 4);
    EXPECT_DOUBLE_EQ(d.altitude, 305.0);
    EXPECT_DOUBLE_EQ(d.geoidSeparation, 30.5);
    // GGA negates only for "S" and "W".
    ASSERT_TRUE(d.decode(gga("123519", "4807.038,x", "01131.000,", "2,04,1.5,1,M,1,M,,")));
    EXPECT_TRUE(d.latitude > 0 && d.longitude > 0);
    EXPECT_EQ(d.quality, 2);
}

TEST(GgaDecoderTest, Rejections) {
    GgaDecoder d;
    ASSERT_TRUE(d.decode(gga("235959.99", "4807.038,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(gga("120060.0", "4807.038,N", "01131.000,E")));  // 60.0 s
    EXPECT_FALSE(d.decode(gga("240000", "4807.038,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(gga("126000", "4807.038,N", "01131.000,E")));
    EXPECT_FALSE(d.decode(gga("120000", "9000.001,N", "01131.000,E")));
    EXPECT_TRUE(d.decode(gga("120000", "9000.000,N", "18000.000,E")));
    EXPECT_FALSE(d.decode(gga("120000", "4807.038,N", "18000.001,E")));
    EXPECT_FALSE(d.decode(gga("120000", "4807.038,N", "01131.000,E", "6,08,0.9,545.4,M,46.9,M,,")));
    EXPECT_FALSE(d.decode(gga("120000", "4807.038,N", "01131.000,E", ",08,0.9,545.4,M,46.9,M,,")));
    // Every field up to the geoid separation is limited to 19 characters.
    EXPECT_FALSE(d.decode(
        gga("120000", "4807.038,N", "01131.000,E", "1,08,0.9,545.4000000000000000,M,46.9,M,,")));
    EXPECT_FALSE(d.decode(
        gga("120000", "4807.038,N", "01131.000,E", "1,08,0.9,545.4,M,46.90000000000000000,M,,")));
    EXPECT_TRUE(d.decode(gga("120000", "4807.038,N", "01131.000,E",
                             "1,08,0.9,545.4,M,46.9,MMMMMMMMMMMMMMMMMMMMMM,,")));
    EXPECT_EQ(d.hour, 12);
    EXPECT_EQ(d.seconds, 0.0);
}

TEST(GsaDecoderTest, FixTypeSatellitesAndDops) {
    GsaDecoder d;
    ASSERT_TRUE(d.decode(nmea16("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1")));
    EXPECT_EQ(d.fixType, 3);
    EXPECT_EQ(d.usedCount(), 5);
    EXPECT_EQ(d.satellites[3], 9);
    EXPECT_DOUBLE_EQ(d.pdop, 2.5);
    EXPECT_DOUBLE_EQ(d.hdop, 1.3);
    EXPECT_DOUBLE_EQ(d.vdop, 2.1);
    ASSERT_TRUE(d.decode(nmea16("GPGSA,M,2,,,,,,,,,,,,,22.75,13.125,9")));
    EXPECT_EQ(d.fixType, 2);
    EXPECT_EQ(d.usedCount(), 0);
    // A VDOP shorter than the HDOP before it is read from its own characters.
    EXPECT_DOUBLE_EQ(d.vdop, 9.0);
    ASSERT_TRUE(d.decode(nmea16("GPGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99,1")));
    EXPECT_EQ(d.fixType, 0);
    EXPECT_DOUBLE_EQ(d.vdop, 99.99);  // a trailing system id does not spoil it
    EXPECT_FALSE(d.decode(nmea16("GPGSA,A,4,04,05,09,,,,,,,,,,2.5,1.3,2.1")));
    EXPECT_FALSE(d.decode(nmea16("GPGSA,,3,04,05,09,,,,,,,,,,2.5,1.3,2.1")));
    EXPECT_EQ(d.fixType, 0);
}

TEST(GsvTableTest, AGroupIsPublishedWhenItsLastMessageArrives) {
    GsvTable t;
    EXPECT_TRUE(t.decode(nmea16("GPGSV,2,1,07,26,34,052,33,19,,,36,32,45,237,42,06,,,34")));
    EXPECT_EQ(t.publishedCount(), 0);
    EXPECT_FALSE(t.satellite(0).has_value());
    EXPECT_TRUE(t.decode(nmea16("GLGSV,2,2,07,22,,,40,11,57,277,40,14,51,083,")));
    EXPECT_EQ(t.publishedCount(), 7);
    EXPECT_EQ(t.inView(), 7);
    auto first = t.satellite(0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->prn, 26);
    EXPECT_EQ(first->elevation, 34);
    EXPECT_EQ(first->azimuth, 52);
    EXPECT_EQ(first->snr, 33);
    auto last = t.satellite(6);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->prn, 14);
    EXPECT_EQ(last->snr, 0);  // empty SNR
    EXPECT_FALSE(t.satellite(7).has_value());

    // A new group builds in the other half; the published one stays readable.
    EXPECT_TRUE(
        t.decode(nmea16("GPGSV,2,1,05,01,10,100,20,02,20,200,30,03,30,300,40,04,40,040,41")));
    EXPECT_EQ(t.publishedCount(), 7);
    EXPECT_EQ(t.satellite(0)->prn, 26);
    EXPECT_TRUE(t.decode(nmea16("GPGSV,2,2,05,05,50,050,45")));
    EXPECT_EQ(t.publishedCount(), 5);
    EXPECT_EQ(t.satellite(4)->prn, 5);
    EXPECT_FALSE(t.satellite(5).has_value());
}

TEST(GsvTableTest, ZeroInViewPublishesAnEmptySetAndOddLinesChangeNothing) {
    GsvTable t;
    ASSERT_TRUE(t.decode(nmea16("GPGSV,1,1,02,26,34,052,33,19,10,020,36")));
    EXPECT_EQ(t.publishedCount(), 2);
    EXPECT_FALSE(t.decode(u"$GPGSV,1,1"));  // shorter than 12
    EXPECT_FALSE(t.decode(nmea16("GPGSA,1,1,02,26,34,052,33")));
    EXPECT_EQ(t.publishedCount(), 2);
    // No message count: the half being built is cleared, nothing is published.
    EXPECT_FALSE(t.decode(nmea16("GPGSV,,1,02,26,34,052,33")));
    EXPECT_EQ(t.publishedCount(), 2);
    EXPECT_TRUE(t.decode(nmea16("GPGSV,1,1,00")));
    EXPECT_EQ(t.publishedCount(), 0);
    EXPECT_FALSE(t.satellite(0).has_value());
}

TEST(GsvTableTest, AtMostTwelveRecordsAndStopAtTheInViewCount) {
    GsvTable t;
    std::string body = "GPGSV,4,1,16";
    for (int i = 1; i <= 16; ++i) {
        body += "," + std::to_string(i) + ",10,100,20";
    }
    // One long message: reading stops after 12 records, which publishes them.
    ASSERT_TRUE(t.decode(nmea16(body)));
    EXPECT_EQ(t.publishedCount(), 12);
    EXPECT_EQ(t.satellite(11)->prn, 12);
    // Three records announced, four sent: the fourth is not read.
    ASSERT_TRUE(t.decode(nmea16("GPGSV,1,1,03,1,1,1,1,2,2,2,2,3,3,3,3,4,4,4,4")));
    EXPECT_EQ(t.publishedCount(), 3);
    EXPECT_FALSE(t.satellite(3).has_value());
}

}  // namespace
}  // namespace wp2
