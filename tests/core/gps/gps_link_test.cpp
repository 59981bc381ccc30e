// SPDX-License-Identifier: GPL-3.0-or-later
// The link on simulated time with a fake port: start, refresh timer, silence
// rules and reconnection, the raw-sentence test mode, the warm start, the port
// scan and the emulation source that stands in for the link.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>

#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/base/timer_queue.h"
#include "core/gps/emulation_source.h"
#include "core/gps/gps_scan.h"
#include "core/gps/gps_status_flags.h"
#include "core/gps/port_map.h"
#include "core/gps/warm_start.h"
#include "core/nav/angles.h"
#include "core/settings/double_setting.h"
#include "core/settings/int_setting.h"
#include "core/settings/settings_store.h"
#include "gps_test_support.h"
#include "support/fake_link.h"

namespace wp2 {
namespace {

using namespace GpsStatusFlags;
using test::fixEpoch;
using test::nmeaLine;
using test::noFixEpoch;

// A link on simulated time with a fake port and its own settings; port n
// maps to device "rxn", and only "rx1" and "rx3" exist.
class LinkTest : public ::testing::Test {
protected:
    LinkTest() { port->available = {"rx1", "rx3"}; }
    ~LinkTest() override { link.reset(); }

    // One link tick after the receiver sent `bytes`.
    void second(const std::string& bytes = "") {
        port->receive(bytes);
        timers.runFor(1000);
    }
    void noFixSeconds(int n) {
        for (int s = 0; s < n; ++s) {
            second(noFixEpoch());
        }
    }
    std::string conditionNow() const { return conditionText(link->decoder().condition()); }

    test::TempDir root{true};  // the track log's autosave file lands here
    test::TestSettings<> settings_;
    test::FakeLink fake{settings_.services, "rx", 1200000000};
    ManualClock& clock = fake.clock;
    TimerQueue& timers = fake.timers;
    test::FakeSerialPort*& port = fake.port;
    std::unique_ptr<GpsLink>& link = fake.link;
};

TEST_F(LinkTest, StartOpensTheMappedDeviceAndRefreshesAtTheInterval) {
    link->setLineSettings(9600, 7, 2, 1);
    const Result<> refused = link->setRefreshInterval(99);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().reason,
              "Data refresh interval\r\n is too short\r\n The minimum is 100 msec.");
    ASSERT_TRUE(link->start(3));
    EXPECT_EQ(port->opened, std::vector<std::string>{"rx3"});
    EXPECT_EQ(port->lastSettings, (SerialLineSettings{9600, 7, 2, 1}));
    EXPECT_EQ(conditionNow(), "BLINKING RED");  // open, but no valid sentence yet
    EXPECT_TRUE(link->setRefreshInterval(100).has_value());
    port->receive("$GPGSV,1,1,01");  // a line cut short by the restart below
    timers.runFor(1000);
    // The new period applies from the next start.
    EXPECT_EQ(link->decoder().statistics().totalRefreshes, 1);
    ASSERT_TRUE(link->start(3));
    EXPECT_EQ(link->decoder().receiveBuffer().count(), 0);  // a new reader starts empty
    timers.runFor(1000);
    EXPECT_EQ(link->decoder().statistics().totalRefreshes, 11);
    // A flood of bytes overflows the buffer, traced where the link's settings report.
    std::vector<std::string> traced;
    settings_.diagnostics.setTraceSink([&](const std::string& text) { traced.push_back(text); });
    port->receive(std::string(ReceiveBuffer::kCapacity, 'A'));
    EXPECT_EQ(traced, std::vector<std::string>{"Buffer overflow!"});
    // A port that does not open leaves the link closed, and is remembered.
    EXPECT_FALSE(link->start(4));
    EXPECT_EQ(link->portNumber(), 4);
    EXPECT_EQ(std::tuple(link->state().flags, timers.activeCount()), std::tuple(0u, 0u));
}

TEST_F(LinkTest, SilenceDropsFixThenDataThenReconnectsUntilAnEndNoticeOrStop) {
    ASSERT_TRUE(link->start(1));
    for (int s = 0; s < 3; ++s) {
        second(fixEpoch(s));
    }
    // The receiver goes quiet; the last valid sentence arrived at the start + 2 s.
    NavSnapshot snap;  // and what the dashboard makes of it: the fix's values old
    const auto now = [&] {
        snap.refreshFromLink(*link);
        return conditionNow() + (snap.fixIsOld() ? " old" : "");
    };
    std::vector<std::string> conditions{now()};
    for (int quiet = 1; quiet <= 6; ++quiet) {
        second();
        conditions.push_back(now());
    }
    // Fix dropped after more than 3 s, data invalid after more than 4 s.
    EXPECT_EQ(conditions, (std::vector<std::string>{"GREEN", "GREEN", "GREEN", "GREEN", "RED old",
                                                    "BLINKING RED old", "BLINKING RED old"}));
    EXPECT_EQ(std::tuple(link->state().satellitesUsed, port->closes), std::tuple(0, 0));
    second();  // more than 6 s of silence: closed, then retried every 500 ms
    EXPECT_TRUE(port->closes == 1 && link->state().flags == 0u && link->reconnecting());
    port->available.clear();  // unplugged
    int otherTicks = 0;
    timers.start(100, [&] { ++otherTicks; });
    timers.runFor(2000);
    EXPECT_EQ(port->openAttempts, 1 + 4);
    EXPECT_EQ(otherTicks, 20);  // the rest of the program keeps running
    port->available.insert("rx1");
    timers.runFor(500);
    EXPECT_TRUE(!link->reconnecting() && link->state().has(LinkOpen) && link->running());
    second(fixEpoch(20));
    second(fixEpoch(21));
    EXPECT_EQ(now(), "GREEN");
    // Another link's end notice, or a stop, ends reconnecting.
    for (bool byNotice : {true, false}) {
        ASSERT_TRUE(link->start(1));
        port->available.clear();
        timers.runFor(7500);
        ASSERT_TRUE(link->reconnecting());
        if (byNotice) {
            GpsLink other(clock, settings_.services);  // its destruction posts the notice
        } else {
            link->stop();
        }
        port->available.insert("rx1");
        const int attempts = port->openAttempts;
        timers.runFor(5000);
        EXPECT_EQ(port->openAttempts, attempts) << byNotice;
        EXPECT_FALSE(link->reconnecting() || link->state().has(LinkOpen));
    }
    // The dashboard's periodic check opens it again; open, nothing changes.
    EXPECT_TRUE(link->ensureLinkOpen(-1) && link->ensureLinkOpen(5));
    EXPECT_EQ(link->portNumber(), 1);
}

TEST_F(LinkTest, TestModeShowsRawSentencesAndIsNotReentered) {
    // The view pumps events while it updates, as an edit control may.
    struct View : TestView {
        std::function<void()> pump;
        std::vector<std::string> texts;
        int scrolls = 0, depth = 0, maxDepth = 0;
        void appendAtEnd(std::string_view text) override {
            maxDepth = std::max(maxDepth, ++depth);
            texts.emplace_back(text);
            pump();
            --depth;
        }
        void scrollLineDown() override { ++scrolls; }
    } view;
    view.pump = [&] {
        clock.advanceMs(1000);
        timers.processPending();
    };
    ASSERT_TRUE(link->startTest(1, &view));
    const std::string gsv = nmeaLine("GPGSV,1,1,01,04,40,120,00");
    second(gsv + "$GPGSA,A,3,04*00\r\n" + gsv);
    EXPECT_EQ(view.texts, (std::vector<std::string>{gsv, "", gsv}));
    EXPECT_EQ(std::tuple(view.scrolls, view.maxDepth), std::tuple(3, 1));
    // Test mode only checks the sentences; it decodes nothing.
    EXPECT_EQ(link->decoder().statistics().validSentences, 2);
    EXPECT_EQ(
        std::tuple(link->decoder().statistics().totalRefreshes, link->state().satellites.count),
        std::tuple(0, 0));
}

TEST_F(LinkTest, InstallTakesOverAndTheTalkersComeFromTheSetting) {
    LinkSlot slot;
    EXPECT_FALSE(link->install(slot, true));
    EXPECT_TRUE(slot.link == link.get() && link->state().has(LinkOpen));
    auto second = std::make_unique<GpsLink>(clock, settings_.services);
    EXPECT_TRUE(second->install(slot, false)) << "took over the first link";
    EXPECT_TRUE(slot.link == second.get() && !link->state().has(LinkOpen));
    link.reset();  // its owner still deletes it; the slot keeps the second
    EXPECT_EQ(slot.link, second.get());
    // "AnyTalker": absent means any talker (and is stored so), 0 the GPS talker only.
    second->loadTalkerSetting();
    EXPECT_EQ(second->decoder().talkers(), Talkers::Any);
    EXPECT_EQ(test::loadedSetting<IntSetting>(settings_.services, kAnyTalkerSetting, 7), 1);
    ASSERT_TRUE(SettingsStore(settings_.registry).writeNumber(kAnyTalkerSetting, 0));
    second->loadTalkerSetting();
    EXPECT_EQ(second->decoder().talkers(), Talkers::GpsOnly);
    second.reset();
    EXPECT_EQ(slot.link, nullptr);
}

class WarmStartLinkTest : public LinkTest {
protected:
    // Device clock one hour ahead of UTC when the fix was stored.
    static constexpr long kOffset = 3600;

    void arm() {
        link->setWarmStartData(0.5, 0.5, kGpsWeek1215Start - 86400 + kOffset,
                               kGpsWeek1215Start - 86400);
        link->warmStart().enabled = true;
    }
    long sent() const { return std::count(port->written.begin(), port->written.end(), '$'); }
};

TEST_F(WarmStartLinkTest, FifteenthTickWithoutFixSendsTheSentenceOncePerStart) {
    arm();
    // Start so that the 15th tick comes exactly at 2003-04-20 00:00:00 UTC.
    clock.setNow(kGpsWeek1215Start + kOffset - 15);
    ASSERT_TRUE(link->start(1));
    noFixSeconds(14);
    EXPECT_EQ(port->written, "");
    second(noFixEpoch());
    EXPECT_EQ(port->written, "$PSRF104,28.6479,28.6479,0,0,0,1215,12,3*25\r\n");
    EXPECT_EQ(port->purges, 1);
    noFixSeconds(30);
    EXPECT_EQ(sent(), 1);
    // The next start re-arms: 15 ticks later the sentence goes out again.
    port->written.clear();
    ASSERT_TRUE(link->start(1));
    noFixSeconds(15);
    EXPECT_EQ(port->written, "$PSRF104,28.6479,28.6479,0,0,45,1215,12,3*14\r\n");
    // So does a link reopened after silence.
    timers.runFor(7500);
    noFixSeconds(15);
    EXPECT_EQ(sent(), 2);
}

TEST_F(WarmStartLinkTest, LoadAndSaveThroughTheSettings) {
    DoubleSetting lat(settings_.services, "LastLat", false, 10.0);
    DoubleSetting lon(settings_.services, "LastLong", false, 10.0);
    IntSetting enabled(settings_.services, "WarmStart", true, 1);
    lat.load();
    lon.load();
    enabled.load();
    // Times without a position: nothing loaded, nothing saved.
    ASSERT_TRUE(SettingsStore(settings_.registry).writeLongText("LastLTM", "2003,4,20,1,0,0"));
    ASSERT_TRUE(SettingsStore(settings_.registry).writeLongText("LastUTC", "2003,4,20,0,0,0"));
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_EQ(link->warmStart().state, WarmStartState::kNoData);
    link->saveWarmStart(lat, lon);
    EXPECT_EQ(lat.get(), 10.0);
    lat = 0.5;
    lon = -0.25;
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_TRUE(link->warmStart().state == WarmStartState::kArmed && link->warmStart().enabled);
    double la = 0, lo = 0;
    std::time_t local = 0, utc = 0;
    ASSERT_TRUE(link->getWarmStartData(la, lo, local, utc));
    EXPECT_EQ(std::tuple(la, lo, local - 3600, utc),
              std::tuple(0.5, -0.25, kGpsWeek1215Start, kGpsWeek1215Start));
    // With a fix nothing is sent; the last fix of the run is saved at exit.
    ASSERT_TRUE(link->start(1));
    for (int s = 0; s <= 20; ++s) {
        second(fixEpoch(s));
    }
    EXPECT_EQ(port->written, "");
    link->saveWarmStart(lat, lon);
    EXPECT_EQ(SettingsStore(settings_.registry).readLongText("LastLTM").value_or(""),
              "2008,1,10,21,20,21");  // the device clock at the last fix
    EXPECT_EQ(SettingsStore(settings_.registry).readLongText("LastUTC").value_or(""),
              "2024,3,23,12,0,20");  // the RMC date and time of the last fix
    EXPECT_DOUBLE_EQ(test::loadedSetting<DoubleSetting>(settings_.services, "LastLat", 10.0),
                     link->state().latitude);
}

class RecordingProgress : public ScanProgressView {
public:
    std::vector<std::string> shown;
    void showText(const std::string& text) override { shown.push_back(text); }
};

class ScanTest : public LinkTest {
protected:
    RecordingProgress progress;
};

TEST_F(ScanTest, ReceiverOnPortOneIsFoundAfterSixPortsTriedThreeTimes) {
    fake.receiverOn("rx1", nmeaLine("GPGSV,1,1,01,04,40,120,00"));
    link->setLineSettings(9600, 8, 1, 0);
    ASSERT_TRUE(scan(*link, &progress, 8));
    EXPECT_EQ(link->portNumber(), 1);
    EXPECT_EQ(port->openAttempts, 6 * 3 + 1);
    EXPECT_FALSE(port->isOpen() || link->state().has(LinkOpen) || link->scanning());
    EXPECT_EQ(link->lineSettings().baudRate, 9600);  // the scan keeps the framing
    // Each failed attempt of port 5 is shown, then replaced by the next.
    ASSERT_GE(progress.shown.size(), 3u);
    EXPECT_EQ(progress.shown[0] + progress.shown[1],
              "Scan for GPS...\r\nPort 5: Scan for GPS...\r\nPort 5: Not found\r\n");
    EXPECT_EQ(clock.tickCount(), 500u);  // found in the first 500 ms wait round
}

TEST_F(ScanTest, LinesWithoutChecksumsNeverCountAndNoWarmStartGoesToAPortUnderTest) {
    fake.receiverOn("rx5", "$GPGSV,1,1,01,04,40,120,00\r\n$GPGGA,,,,,,0,00,,,M,,M,,\r\n");
    link->setWarmStartData(0.5, 0.5, kGpsWeek1215Start, kGpsWeek1215Start);
    link->warmStart().enabled = true;
    EXPECT_FALSE(scan(*link, &progress, 2));
    EXPECT_EQ(port->opened, std::vector<std::string>(3, "rx5"));
    EXPECT_EQ(progress.shown.back(),
              "Scan for GPS...\r\nPort 5: No signal\r\nPort 2: Not found\r\n");
    // Three attempts of ten 500 ms rounds and a 200 ms pause each: 15 link
    // ticks on an open port while an armed warm start waits.
    EXPECT_EQ(clock.tickCount(), 3u * (5000 + 200));
    EXPECT_GE(link->warmStart().ticks, 15);
    EXPECT_EQ(port->written, "");
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
    fake.receiverOn("gpsd://localhost:2947", nmeaLine("GPGSV,1,1,01,04,40,120,00"));
    ASSERT_TRUE(scan(*link, &progress, 8));
    EXPECT_EQ(progress.shown.back(), "Scan for GPS...\r\ngpsd: GPS found!\r\n");
    EXPECT_EQ(driverText(*link), "10,4800,8,1,0");
    // The stored setting is read whole or not at all.
    ASSERT_TRUE(SettingsStore(settings_.registry).writeText("Driver", "3,4800"));
    EXPECT_FALSE(loadDriverSetting(*link));
    EXPECT_EQ(link->portNumber(), 10);
}

std::string command(double lat, double lon, std::time_t now, long offset) {
    char buffer[kWarmStartBufferSize];
    std::size_t n = buildCommand(lat, lon, now, offset, buffer, sizeof buffer);
    EXPECT_EQ(n, n ? std::strlen(buffer) : 0);
    return std::string(buffer, n);
}

TEST(WarmStartTest, CommandWeeksTimeOfWeekAndChecksum) {
    // Device clock one hour ahead of UTC; two weeks, one day and 61 s after
    // the start of week 1215. South and west are negative.
    const std::time_t utc = kGpsWeek1215Start + 2 * 604800 + 86400 + 61;
    EXPECT_EQ(command(-0.75, -2.0, utc + 3600, 3600),
              "$PSRF104,-42.9718,-114.5916,0,0,86461,1217,12,3*14\r\n");
    EXPECT_NE(command(0, 0, kGpsWeek1215Start + 604799, 0).find(",0,0,604799,1215,"),
              std::string::npos);
    EXPECT_NE(command(0, 0, kGpsWeek1215Start + 604800, 0).find(",0,0,0,1216,"), std::string::npos);
}

// "lat,lon,alt,speed,course" and twelve satellite groups.
std::string line(double latDeg, double lonDeg, double course = 0.5) {
    std::string s = cformat("%.6f,%.6f,12.5,99.0,%.3f", latDeg, lonDeg, course);
    for (int i = 1; i <= 12; ++i) {
        s += cformat("*%d,0.%d,1.%d", i % 3 == 0 ? 0 : 30 + i, i, i);
    }
    return s + "\n";
}

// The emulation source next to the link, with its file written by the test.
class EmulationTest : public LinkTest {
protected:
    ~EmulationTest() override { source_.reset(); }
    EmulationSource* openWith(const std::string& contents) {
        Paths::makeDirs(root.file("Windows"));
        test::writeFile(root.file("Windows/move4.txt"), contents);
        source_ = std::make_unique<EmulationSource>(snapshot_);
        EXPECT_TRUE(source_->open(EmulationSource::kDefaultFile).has_value());
        return source_.get();
    }
    double latitudeDeg() const { return snapshot_.latitude * kRadToDeg; }

    NavSnapshot snapshot_;
    std::unique_ptr<EmulationSource> source_;
};

TEST_F(EmulationTest, ReplaysTheFileEndlesslyAndDamagedLinesChangeOnlyWhatTheyHold) {
    EmulationSource& e = *openWith(line(1, 10, 1.0) + line(2, 20, 2.0) + line(3, 30, 3.0));
    std::vector<double> lats, courses;
    for (std::uint32_t tick = 0; tick <= 1500; tick += 150) {
        EXPECT_TRUE(e.refresh(tick).has_value());
        lats.push_back(std::round(latitudeDeg() * 1000) / 1000);
        courses.push_back(snapshot_.course);
        EXPECT_EQ(snapshot_.status & 0x120u, 0x120u) << tick;
    }
    EXPECT_EQ(lats, (std::vector<double>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2}));
    // The course holds while the speed table gives no speed (ticks 300 to 899).
    EXPECT_EQ(courses, (std::vector<double>{1, 2, 2, 2, 2, 2, 1, 2, 3, 1, 2}));
    EXPECT_EQ(std::tuple(snapshot_.speed, snapshot_.pdop, snapshot_.fixLevel),
              std::tuple(1.0, 50.0, 4));
    // Twelve satellite groups are read, but only two count as in view.
    EXPECT_EQ(std::tuple(snapshot_.satellitesInView, snapshot_.satellitesWithSignal),
              std::tuple(2, 8));
    EXPECT_EQ(snapshot_.satellites[11].prn, 12);
    EXPECT_EQ(std::tuple(snapshot_.satellites[11].elevation, snapshot_.satellites[11].azimuth),
              std::tuple(0.12, 1.12));
    // Damaged lines change only what they hold.
    std::string bad = "1,2,3,4,5";
    for (int i = 0; i < 12; ++i) {
        bad += i % 2 ? "*1e300,0,0" : "*nan,0,0";
    }
    const std::string head = line(1, 10);
    openWith(head + "2.0" + head.substr(head.find('*')) + bad + "\n" +
             "5.0,6.0,7.0,0,0.5*40,0.1,0.2*41,0.3,0.4*0,0,0\n");
    EXPECT_TRUE(source_->refresh(0).has_value());
    EXPECT_TRUE(source_->refresh(30).has_value());
    // A head that ends early: the longitude is kept, not converted twice.
    EXPECT_NEAR(latitudeDeg(), 2.0, 1e-9);
    EXPECT_NEAR(snapshot_.longitude, 10 * kDegToRad, 1e-12);
    EXPECT_TRUE(source_->refresh(60).has_value());
    EXPECT_EQ(snapshot_.satellites[0].snr, 0);
    EXPECT_EQ(snapshot_.satellites[1].snr, 2147483647);
    // Short of satellite groups: "Bad format" each time, what was read is kept.
    const int points = source_->track()->count();
    const Result<> refreshed = refreshSnapshot(snapshot_, source_.get(), 90);
    ASSERT_FALSE(refreshed);
    EXPECT_EQ(refreshed.error().reason, "Bad format");
    EXPECT_NEAR(latitudeDeg(), 5.0, 1e-9);
    EXPECT_EQ(snapshot_.satellitesInView, 3);  // the groups read; not cut to 2
    EXPECT_EQ(snapshot_.satellites[1].snr, 41);
    EXPECT_EQ(source_->track()->count(), points) << "the refresh stopped before recording";
    // Its own track log, autosaved apart from the link's.
    EXPECT_TRUE(trackLog(snapshot_) == source_->track() && points > 0);
    ASSERT_TRUE(source_->track()->finish(settings_.registry));
    EXPECT_TRUE(test::fileExists(root.file("My Documents/KWAutosave2.atk")));
    EXPECT_FALSE(test::fileExists(root.file("My Documents/KWAutosave.atk")));
}

TEST_F(EmulationTest, AMissingFileSaysSoAndTheSnapshotFollowsTheLink) {
    source_ = std::make_unique<EmulationSource>(snapshot_);
    const Result<> opened = source_->open("Windows\\absent.txt");
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().error, ENOENT);
    snapshot_.link = link.get();
    snapshot_.fixLevel = 4;
    EXPECT_TRUE(refreshSnapshot(snapshot_, source_.get(), 0).has_value());
    EXPECT_EQ(snapshot_.fixLevel, 1) << "the link is not open";
    EXPECT_EQ(trackLog(snapshot_), link->decoder().trackLog());
}

}  // namespace
}  // namespace wp2
