#include <gtest/gtest.h>

#include <memory>

#include "core/gps/gps_status_flags.h"
#include "core/settings/creg_double.h"
#include "core/settings/creg_int.h"
#include "core/settings/creg_store.h"
#include "gps_test_support.h"
#include "support/trace_recorder.h"

namespace wp2 {
namespace {

using namespace GpsStatusFlags;
using test::fixEpoch;
using test::nmeaLine;
using test::noFixEpoch;

constexpr std::time_t kStart = 1200000000;

// Port n maps to "rxn"; only "rx1" and "rx3" exist.
class LinkTest : public test::FakePortLinkTest {
protected:
    LinkTest() : FakePortLinkTest("rx") { port->available = {"rx1", "rx3"}; }

    // One link tick after the receiver sent `bytes`.
    void second(const std::string& bytes = "") {
        port->receive(bytes);
        timers.runFor(1000);
    }
    // `n` ticks of a receiver that sees satellites but has no fix.
    void noFixSeconds(int n) {
        for (int s = 0; s < n; ++s) {
            second(noFixEpoch());
        }
    }
    const char* conditionNow() const { return conditionText(link->condition()); }

    test::TraceRecorder traces;
};

TEST_F(LinkTest, StartOpensTheMappedDeviceAndRunsTheRefreshTimer) {
    link->setLineSettings(9600, 7, 2, 1);
    ASSERT_TRUE(link->start(3));
    EXPECT_EQ(port->opened, std::vector<std::string>{"rx3"});
    EXPECT_EQ(port->lastSettings, (SerialLineSettings{9600, 7, 2, 1}));
    EXPECT_EQ(link->portNumber(), 3);
    EXPECT_TRUE(link->state().has(LinkOpen) && link->running());
    EXPECT_EQ(link->state().lastDataTime, kStart);
    EXPECT_EQ(timers.activeCount(), 1u);
    EXPECT_STREQ(conditionNow(), "BLINKING RED");  // open, but no valid sentence yet

    // A port that does not open leaves the link closed, and is remembered.
    EXPECT_FALSE(link->start(4));
    EXPECT_EQ(link->portNumber(), 4);
    EXPECT_EQ(link->state().flags, 0u);
    EXPECT_FALSE(link->running());
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_FALSE(link->start(-1));
    EXPECT_EQ(port->openAttempts, 3);
    EXPECT_TRUE(boxes.shown.empty());  // the caller decides what to show
}

TEST_F(LinkTest, RefreshIntervalIsCheckedAndAppliesFromTheNextStart) {
    EXPECT_FALSE(link->setRefreshInterval(99));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Data refresh interval\r\n is too short\r\n The minimum is 100 msec.");
    EXPECT_EQ(boxes.shown[0].caption, "NMEA Driver");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(link->refreshIntervalText(), "1000");
    ASSERT_TRUE(link->start(1));
    EXPECT_TRUE(link->setRefreshInterval(100));
    EXPECT_EQ(link->refreshIntervalText(), "100");
    timers.runFor(1000);
    EXPECT_EQ(link->statistics().totalRefreshes, 1);  // still the old period
    ASSERT_TRUE(link->start(1));
    timers.runFor(1000);
    EXPECT_EQ(link->statistics().totalRefreshes, 11);
}

TEST_F(LinkTest, SilenceDropsFixThenDataThenReconnects) {
    ASSERT_TRUE(link->start(1));
    for (int s = 0; s < 3; ++s) {
        second(fixEpoch(s));
    }
    EXPECT_EQ(link->state().flags & (DataValid | PositionValid | Fix3D | LinkOpen),
              DataValid | PositionValid | Fix3D | LinkOpen);
    EXPECT_STREQ(conditionNow(), "GREEN");
    EXPECT_GE(link->trackLog().count(), 2);  // the straight-line filter may merge some
    // The receiver goes quiet; the last valid sentence arrived at kStart + 2.
    std::vector<std::string> conditions;
    for (int quiet = 1; quiet <= 6; ++quiet) {
        second();
        conditions.push_back(conditionNow());
    }
    // Fix dropped after more than 3 s, data invalid after more than 4 s.
    EXPECT_EQ(conditions, (std::vector<std::string>{"GREEN", "GREEN", "GREEN", "RED",
                                                    "BLINKING RED", "BLINKING RED"}));
    EXPECT_EQ(link->state().satellitesUsed, 0);
    EXPECT_TRUE(link->state().has(LinkOpen));
    EXPECT_EQ(port->closes, 0);
    second();  // 7 s: more than 6 s of silence
    EXPECT_EQ(port->closes, 1);
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(link->state().flags, 0u);
    EXPECT_TRUE(link->reconnecting());
    EXPECT_STREQ(conditionNow(), "BLINKING RED");
    timers.runFor(500);  // the first retry, 500 ms later
    EXPECT_EQ(port->opened.size(), 2u);
    EXPECT_FALSE(link->reconnecting());
    EXPECT_TRUE(link->state().has(LinkOpen) && link->running());
    second(fixEpoch(20));
    second(fixEpoch(21));
    EXPECT_STREQ(conditionNow(), "GREEN");
}

TEST_F(LinkTest, ReconnectRetriesEvery500msWithoutBlockingOtherTimers) {
    ASSERT_TRUE(link->start(1));
    port->available.clear();  // unplugged
    int otherTicks = 0;
    timers.start(100, [&] { ++otherTicks; });
    timers.runFor(7000);
    ASSERT_TRUE(link->reconnecting());
    int attempts = port->openAttempts;
    timers.runFor(2000);
    EXPECT_EQ(port->openAttempts - attempts, 4);
    EXPECT_EQ(otherTicks, 90);
    EXPECT_FALSE(link->state().has(LinkOpen));
    port->available.insert("rx1");  // plugged in again
    timers.runFor(500);
    EXPECT_TRUE(link->state().has(LinkOpen));
    attempts = port->openAttempts;
    timers.runFor(3000);
    EXPECT_EQ(port->openAttempts, attempts);
}

TEST_F(LinkTest, EndNoticeOrStopEndsReconnecting) {
    for (bool byNotice : {true, false}) {
        SCOPED_TRACE(byNotice ? "end notice" : "stop");
        ASSERT_TRUE(link->start(1));
        port->available.clear();
        timers.runFor(7500);
        ASSERT_TRUE(link->reconnecting());
        if (byNotice) {
            GpsLink other(clock);  // its destruction posts the notice
        } else {
            link->stop();
        }
        EXPECT_FALSE(link->reconnecting());
        port->available.insert("rx1");
        const int attempts = port->openAttempts;
        timers.runFor(5000);
        EXPECT_EQ(port->openAttempts, attempts);
        EXPECT_FALSE(link->state().has(LinkOpen));
    }
    EXPECT_EQ(timers.activeCount(), 0u);
    // The dashboard's periodic check opens it again.
    EXPECT_TRUE(link->ensureLinkOpen(-1));
    EXPECT_TRUE(link->ensureLinkOpen(5));  // already open: nothing changes
    EXPECT_EQ(link->portNumber(), 1);
}

TEST_F(LinkTest, ReceiverWithOnlySatellitesInViewKeepsDataValidWithoutFix) {
    ASSERT_TRUE(link->start(1));
    noFixSeconds(12);
    EXPECT_TRUE(link->state().has(DataValid | LinkOpen));
    EXPECT_FALSE(link->state().has(FixBits));
    EXPECT_STREQ(conditionNow(), "RED");
    EXPECT_EQ(port->opened.size(), 1u);  // never reconnected
    EXPECT_NE(link->statusReport().find("Fix: No\r\n"), std::string::npos);
}

class RecordingTestView : public TestView {
public:
    std::function<void()> onAppend;
    std::vector<std::u16string> texts;
    int scrolls = 0;
    int depth = 0;
    int maxDepth = 0;

    void appendAtEnd(const std::u16string& text) override {
        maxDepth = std::max(maxDepth, ++depth);
        texts.push_back(text);
        if (onAppend) {
            onAppend();
        }
        --depth;
    }
    void scrollLineDown() override { ++scrolls; }
};

TEST_F(LinkTest, TestModeShowsRawSentencesAndIsNotReentered) {
    RecordingTestView view;
    ASSERT_TRUE(link->startTest(1, &view));
    EXPECT_TRUE(link->state().has(LinkOpen));
    EXPECT_FALSE(link->running());
    const std::string gsv = nmeaLine("GPGSV,1,1,01,04,40,120,00");
    // The view pumps events while it updates, as an edit control may.
    view.onAppend = [&] {
        clock.advanceMs(1000);
        timers.processPending();
    };
    second(gsv + "$GPGSA,A,3,04*00\r\n" + gsv);
    std::u16string shown(gsv.begin(), gsv.end());
    EXPECT_EQ(view.texts, (std::vector<std::u16string>{shown, u"", shown}));
    EXPECT_EQ(view.scrolls, 3);
    EXPECT_EQ(view.maxDepth, 1);
    // Test mode only checks the sentences; it decodes nothing.
    EXPECT_EQ(link->statistics().validSentences, 2);
    EXPECT_EQ(link->statistics().totalRefreshes, 0);
    EXPECT_EQ(link->state().satellites.count, 0);
}

TEST_F(LinkTest, InstallTakesOverFromTheCurrentLink) {
    ManualClock otherClock{kStart};
    auto first = std::make_unique<GpsLink>(otherClock);
    auto firstPort = std::make_unique<test::FakeSerialPort>();
    test::FakeSerialPort* firstFake = firstPort.get();
    firstFake->available = {PortMap::defaultDevice(1)};
    first->setSerialPort(std::move(firstPort));
    first->setTimers(&timers);
    first->setPortMap(PortMap{PortMap::StoredText{}});
    first->install(true);
    EXPECT_EQ(currentLink(), first.get());
    EXPECT_TRUE(first->state().has(LinkOpen));
    EXPECT_TRUE(boxes.shown.empty());

    link->install(true);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Driver is already installed");
    EXPECT_EQ(boxes.shown[0].caption, "NMEA Driver");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(currentLink(), link.get());
    EXPECT_FALSE(first->state().has(LinkOpen));
    EXPECT_FALSE(firstFake->isOpen());
    EXPECT_EQ(port->opened, std::vector<std::string>{"rx1"});
    first.reset();  // its owner still deletes it; the current link stays
    EXPECT_EQ(currentLink(), link.get());
    link.reset();
    EXPECT_EQ(currentLink(), nullptr);
}

class WarmStartLinkTest : public LinkTest {
protected:
    // Device clock one hour ahead of UTC when the fix was stored.
    static constexpr long kOffset = 3600;
    static constexpr std::time_t kStoredUtc = kGpsWeek1215Start - 86400;

    void arm() {
        link->setWarmStartData(0.5, 0.5, kStoredUtc + kOffset, kStoredUtc);
        link->warmStart().enabled = true;
    }
    long sent() const { return std::count(port->written.begin(), port->written.end(), '$'); }
};

TEST_F(WarmStartLinkTest, FifteenthTickWithoutFixSendsTheSentenceOncePerStart) {
    arm();
    EXPECT_EQ(link->warmStart().state, WarmStartState::kArmed);
    // Start so that the 15th tick comes exactly at 2003-04-20 00:00:00 UTC.
    clock.setNow(kGpsWeek1215Start + kOffset - 15);
    ASSERT_TRUE(link->start(1));
    noFixSeconds(14);
    EXPECT_EQ(port->written, "");
    int purges = port->purges;
    second(noFixEpoch());
    EXPECT_EQ(port->written, "$PSRF104,28.6479,28.6479,0,0,0,1215,12,3*25\r\n");
    EXPECT_EQ(port->purges, purges + 1);
    EXPECT_EQ(link->warmStart().state, WarmStartState::kSent);
    noFixSeconds(30);
    EXPECT_EQ(sent(), 1);
    // The next start re-arms: 15 ticks later the sentence goes out again.
    port->written.clear();
    ASSERT_TRUE(link->start(1));
    noFixSeconds(15);
    EXPECT_EQ(port->written, "$PSRF104,28.6479,28.6479,0,0,45,1215,12,3*14\r\n");
    // So does a link reopened after silence.
    const std::size_t opens = port->opened.size();
    timers.runFor(7500);
    ASSERT_EQ(port->opened.size(), opens + 1);
    noFixSeconds(15);
    EXPECT_EQ(sent(), 2);
}

TEST_F(WarmStartLinkTest, NothingIsSentWithAFixOrWhenNotWanted) {
    // No stored data: state 0.
    ASSERT_TRUE(link->start(1));
    noFixSeconds(20);
    EXPECT_EQ(link->warmStart().state, WarmStartState::kNoData);
    // Disabled.
    arm();
    link->warmStart().enabled = false;
    link->warmStart().ticks = 0;
    noFixSeconds(20);
    // Test mode.
    link->warmStart().enabled = true;
    link->warmStart().ticks = 0;
    RecordingTestView view;
    ASSERT_TRUE(link->startTest(1, &view));
    noFixSeconds(20);
    // A fix at the 15th tick: no send for the rest of the run.
    ASSERT_TRUE(link->start(1));
    for (int s = 0; s < 40; ++s) {
        second(fixEpoch(s));
    }
    EXPECT_EQ(port->written, "");
    EXPECT_EQ(link->warmStart().state, WarmStartState::kArmed);
    // The fix was captured for the next run.
    EXPECT_EQ(link->warmStart().fixLocalTime, clock.now());
    EXPECT_DOUBLE_EQ(link->warmStart().latitude, link->state().latitude);
}

TEST_F(WarmStartLinkTest, LoadAndSaveThroughTheSettings) {
    CRegDouble lat("LastLat", false, 10.0);
    CRegDouble lon("LastLong", false, 10.0);
    CRegInt enabled("WarmStart", true, 1);
    // Nothing stored: nothing loaded, and nothing saved without data.
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_EQ(link->warmStart().state, WarmStartState::kNoData);
    link->saveWarmStart(lat, lon);
    std::string text;
    CRegStore().ReadLongText("LastLTM", text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(lat.Get(), 10.0);
    // Times stored but no position: still nothing.
    CRegStore().WriteLongText("LastLTM", "2003,4,20,1,0,0");
    CRegStore().WriteLongText("LastUTC", "2003,4,20,0,0,0");
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_FALSE(link->warmStart().hasData);
    lat = 0.5;
    lon = -0.25;
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_TRUE(link->warmStart().hasData && link->warmStart().enabled);
    EXPECT_EQ(link->warmStart().state, WarmStartState::kArmed);
    EXPECT_EQ(link->warmStart().fixLocalTime, kGpsWeek1215Start + 3600);
    EXPECT_EQ(link->state().lastUtc.year, 3);
    EXPECT_EQ(link->state().lastUtc.day, 20);
    double la = 0, lo = 0;
    std::time_t local = 0, utc = 0;
    ASSERT_TRUE(link->getWarmStartData(la, lo, local, utc));
    EXPECT_EQ(la, 0.5);
    EXPECT_EQ(lo, -0.25);
    EXPECT_EQ(utc, kGpsWeek1215Start);
    enabled = 0;
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_FALSE(link->warmStart().enabled);

    // A fix during the run is saved at exit.
    ASSERT_TRUE(link->start(1));
    second(fixEpoch(5));
    second(fixEpoch(6));
    link->saveWarmStart(lat, lon);
    ASSERT_TRUE(CRegStore().ReadLongText("LastLTM", text));
    EXPECT_EQ(text, formatStoredTime(clock.now()));
    ASSERT_TRUE(CRegStore().ReadLongText("LastUTC", text));
    EXPECT_EQ(text, "2024,3,23,12,0,6");  // the RMC date and time of the last fix
    EXPECT_DOUBLE_EQ(CRegDouble("LastLat", false, 10.0).Get(), link->state().latitude);
}

}  // namespace
}  // namespace wp2
