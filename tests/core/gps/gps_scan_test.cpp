#include "core/gps/gps_scan.h"

#include <gtest/gtest.h>

#include "core/gps/gps_status_flags.h"
#include "core/settings/creg_store.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

using test::nmeaLine;

class RecordingProgress : public ScanProgressView {
public:
    std::vector<std::string> shown;
    void showText(const std::string& text) override { shown.push_back(text); }
};

class ScanTest : public test::FakePortLinkTest {
protected:
    ScanTest() : FakePortLinkTest("com") {}

    // A receiver on `device` that sends `bytes` as soon as it is opened.
    void receiverOn(const std::string& device, const std::string& bytes) {
        port->available.insert(device);
        port->greeting = [device, bytes](const std::string& d) {
            return d == device ? bytes : std::string();
        };
    }

    RecordingProgress progress;
};

TEST_F(ScanTest, ReceiverOnPortOneIsFoundAfterSixPortsTriedThreeTimes) {
    receiverOn("com1", nmeaLine("GPGSV,1,1,01,04,40,120,00"));
    link->setLineSettings(9600, 8, 1, 0);
    ASSERT_TRUE(scan(*link, &progress, 8));
    EXPECT_EQ(link->portNumber(), 1);
    EXPECT_EQ(port->openAttempts, 6 * 3 + 1);
    EXPECT_FALSE(port->isOpen() || link->state().has(GpsStatusFlags::LinkOpen));
    EXPECT_FALSE(link->scanning());
    EXPECT_EQ(link->lineSettings().baudRate, 9600);  // the scan keeps the framing
    // Each failed attempt of port 5 is shown, then replaced by the next.
    ASSERT_GE(progress.shown.size(), 3u);
    EXPECT_EQ(progress.shown[0] + progress.shown[1],
              "Scan for GPS...\r\nPort 5: Scan for GPS...\r\nPort 5: Not found\r\n");
    EXPECT_TRUE(progress.shown.back().ends_with("Port 8: Not found\r\nPort 1: GPS found!\r\n"))
        << progress.shown.back();
    EXPECT_EQ(clock.tickCount(), 500u);  // found in the first 500 ms wait round
}

TEST_F(ScanTest, LinesWithoutChecksumsNeverCountAndFewerPortsWhenAsked) {
    receiverOn("com5", "$GPGSV,1,1,01,04,40,120,00\r\n$GPGGA,,,,,,0,00,,,M,,M,,\r\n");
    EXPECT_FALSE(scan(*link, &progress, 2));
    EXPECT_EQ(port->opened, std::vector<std::string>(3, "com5"));
    EXPECT_EQ(progress.shown.back(),
              "Scan for GPS...\r\nPort 5: No signal\r\nPort 2: Not found\r\n");
    // Three attempts of ten 500 ms rounds and a 200 ms pause each.
    EXPECT_EQ(clock.tickCount(), 3u * (5000 + 200));
    EXPECT_FALSE(link->scanning() || port->isOpen());
    EXPECT_FALSE(scan(*link, nullptr, 0));
    EXPECT_EQ(port->openAttempts, 6);
}

TEST_F(ScanTest, TheLocalGpsdIsTriedFirstOnceAndStoredAsItsPort) {
    PortMap map = link->portMap();
    map.setDevice(kGpsdPort, "gpsd://localhost:2947");
    link->setPortMap(map);
    EXPECT_FALSE(scan(*link, &progress, 1));  // no gpsd answers
    EXPECT_EQ(progress.shown.back(), "Scan for GPS...\r\ngpsd: Not found\r\nPort 5: Not found\r\n");
    EXPECT_EQ(port->openAttempts, 1 + 3);
    receiverOn("gpsd://localhost:2947", nmeaLine("GPGSV,1,1,01,04,40,120,00"));
    ASSERT_TRUE(scan(*link, &progress, 8));
    EXPECT_EQ(progress.shown.back(), "Scan for GPS...\r\ngpsd: GPS found!\r\n");
    EXPECT_EQ(driverText(*link), "10,4800,8,1,0");
}

TEST_F(ScanTest, NoWarmStartGoesToAPortUnderTest) {
    // A device that answers without checksums keeps the link open through
    // three attempts: 15 link ticks while an armed warm start waits.
    receiverOn("com5", "$GPGSV,1,1,01,04,40,120,00\r\n");
    link->setWarmStartData(0.5, 0.5, kGpsWeek1215Start, kGpsWeek1215Start);
    link->warmStart().enabled = true;
    EXPECT_FALSE(scan(*link, nullptr, 1));
    EXPECT_GE(link->warmStart().ticks, 15);
    EXPECT_EQ(port->written, "");
}

TEST_F(ScanTest, DriverSettingIsReadWholeOrNotAtAll) {
    CRegStore().WriteText("Driver", "7,38400,7,2,1");
    ASSERT_TRUE(loadDriverSetting(*link));
    EXPECT_EQ(link->lineSettings(), (LineSettings{7, 38400, 7, 2, 1}));
    EXPECT_EQ(driverText(*link), "7,38400,7,2,1");
    CRegStore().WriteText("Driver", "3,4800");
    EXPECT_FALSE(loadDriverSetting(*link));  // incomplete: left as it was
    EXPECT_EQ(link->portNumber(), 7);
}

}  // namespace
}  // namespace wp2
