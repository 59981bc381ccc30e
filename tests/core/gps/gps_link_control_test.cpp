// The link on simulated time with a fake port: start, refresh timer, silence
// rules and reconnection, the raw-sentence test mode and the warm start.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/gps/gps_status_flags.h"
#include "core/settings/creg_double.h"
#include "core/settings/creg_int.h"
#include "core/settings/creg_store.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

using namespace GpsStatusFlags;
using test::fixEpoch;
using test::nmeaLine;
using test::noFixEpoch;

// Port n maps to "rxn"; only "rx1" and "rx3" exist.
class LinkTest : public test::FakePortLinkTest {
protected:
    LinkTest() : FakePortLinkTest("rx") { port->available = {"rx1", "rx3"}; }

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
    std::string conditionNow() const { return conditionText(link->condition()); }
};

TEST_F(LinkTest, StartOpensTheMappedDeviceAndRefreshesAtTheInterval) {
    link->setLineSettings(9600, 7, 2, 1);
    EXPECT_FALSE(link->setRefreshInterval(99));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Data refresh interval\r\n is too short\r\n The minimum is 100 msec.");
    ASSERT_TRUE(link->start(3));
    EXPECT_EQ(port->opened, std::vector<std::string>{"rx3"});
    EXPECT_EQ(port->lastSettings, (SerialLineSettings{9600, 7, 2, 1}));
    EXPECT_EQ(conditionNow(), "BLINKING RED");  // open, but no valid sentence yet
    EXPECT_TRUE(link->setRefreshInterval(100));
    port->receive("$GPGSV,1,1,01");  // a line cut short by the restart below
    timers.runFor(1000);
    EXPECT_EQ(link->statistics().totalRefreshes, 1);  // the new period from the next start
    ASSERT_TRUE(link->start(3));
    EXPECT_EQ(link->decoder().receiveBuffer().count(), 0);  // a new reader starts empty
    timers.runFor(1000);
    EXPECT_EQ(link->statistics().totalRefreshes, 11);
    // A port that does not open leaves the link closed, and is remembered.
    EXPECT_FALSE(link->start(4));
    EXPECT_EQ(link->portNumber(), 4);
    EXPECT_EQ(link->state().flags + timers.activeCount(), 0u);
    EXPECT_EQ(boxes.shown.size(), 1u);  // the caller decides what to show
}

TEST_F(LinkTest, SilenceDropsFixThenDataThenReconnects) {
    ASSERT_TRUE(link->start(1));
    for (int s = 0; s < 3; ++s) {
        second(fixEpoch(s));
    }
    // The receiver goes quiet; the last valid sentence arrived at the start + 2 s.
    std::vector<std::string> conditions{conditionNow()};
    for (int quiet = 1; quiet <= 6; ++quiet) {
        second();
        conditions.push_back(conditionNow());
    }
    // Fix dropped after more than 3 s, data invalid after more than 4 s.
    EXPECT_EQ(conditions, (std::vector<std::string>{"GREEN", "GREEN", "GREEN", "GREEN", "RED",
                                                    "BLINKING RED", "BLINKING RED"}));
    EXPECT_EQ(link->state().satellitesUsed + port->closes, 0);
    second();  // more than 6 s of silence: closed, then retried every 500 ms
    EXPECT_EQ(port->closes, 1);
    EXPECT_TRUE(link->state().flags == 0u && link->reconnecting());
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
    EXPECT_EQ(conditionNow(), "GREEN");
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
        port->available.insert("rx1");
        const int attempts = port->openAttempts;
        timers.runFor(5000);
        EXPECT_EQ(port->openAttempts, attempts);
        EXPECT_FALSE(link->reconnecting() || link->state().has(LinkOpen));
    }
    // The dashboard's periodic check opens it again.
    EXPECT_TRUE(link->ensureLinkOpen(-1));
    EXPECT_TRUE(link->ensureLinkOpen(5));  // already open: nothing changes
    EXPECT_EQ(link->portNumber(), 1);
}

TEST_F(LinkTest, TestModeShowsRawSentencesAndIsNotReentered) {
    // The view pumps events while it updates, as an edit control may.
    struct View : TestView {
        std::function<void()> pump;
        std::vector<std::u16string> texts;
        int scrolls = 0, depth = 0, maxDepth = 0;
        void appendAtEnd(const std::u16string& text) override {
            maxDepth = std::max(maxDepth, ++depth);
            texts.push_back(text);
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
    EXPECT_TRUE(link->state().has(LinkOpen) && !link->running());
    const std::string gsv = nmeaLine("GPGSV,1,1,01,04,40,120,00");
    second(gsv + "$GPGSA,A,3,04*00\r\n" + gsv);
    std::u16string shown(gsv.begin(), gsv.end());
    EXPECT_EQ(view.texts, (std::vector<std::u16string>{shown, u"", shown}));
    EXPECT_EQ(view.scrolls * 10 + view.maxDepth, 31);
    // Test mode only checks the sentences; it decodes nothing.
    EXPECT_EQ(link->statistics().validSentences, 2);
    EXPECT_EQ(link->statistics().totalRefreshes + link->state().satellites.count, 0);
}

TEST_F(LinkTest, InstallTakesOverAndTheTalkersComeFromTheSetting) {
    link->install(true);
    EXPECT_TRUE(currentLink() == link.get() && link->state().has(LinkOpen));
    auto second = std::make_unique<GpsLink>(clock);
    second->install(false);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Driver is already installed");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(currentLink() == second.get() && !link->state().has(LinkOpen));
    link.reset();  // its owner still deletes it; the current link stays
    EXPECT_EQ(currentLink(), second.get());
    // "AnyTalker": absent means any talker (and is stored so), 0 the GPS talker only.
    second->loadTalkerSetting();
    EXPECT_EQ(second->decoder().talkers(), Talkers::Any);
    EXPECT_EQ(CRegInt(kAnyTalkerSetting, true, 7).Get(), 1);
    CRegStore().WriteNumber(kAnyTalkerSetting, 0);
    second->loadTalkerSetting();
    EXPECT_EQ(second->decoder().talkers(), Talkers::GpsOnly);
    second.reset();
    EXPECT_EQ(currentLink(), nullptr);
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
    CRegDouble lat("LastLat", false, 10.0);
    CRegDouble lon("LastLong", false, 10.0);
    CRegInt enabled("WarmStart", true, 1);
    // Times without a position: nothing loaded, nothing saved.
    CRegStore().WriteLongText("LastLTM", "2003,4,20,1,0,0");
    CRegStore().WriteLongText("LastUTC", "2003,4,20,0,0,0");
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_EQ(link->warmStart().state, WarmStartState::kNoData);
    link->saveWarmStart(lat, lon);
    EXPECT_EQ(lat.Get(), 10.0);
    lat = 0.5;
    lon = -0.25;
    link->loadWarmStart(lat, lon, enabled);
    EXPECT_TRUE(link->warmStart().state == WarmStartState::kArmed && link->warmStart().enabled);
    double la = 0, lo = 0;
    std::time_t local = 0, utc = 0;
    ASSERT_TRUE(link->getWarmStartData(la, lo, local, utc));
    EXPECT_EQ(la + lo, 0.25);
    EXPECT_EQ((std::vector<std::time_t>{local, utc}),
              (std::vector<std::time_t>{kGpsWeek1215Start + 3600, kGpsWeek1215Start}));
    // With a fix nothing is sent; the last fix of the run is saved at exit.
    ASSERT_TRUE(link->start(1));
    for (int s = 0; s <= 20; ++s) {
        second(fixEpoch(s));
    }
    EXPECT_EQ(port->written, "");
    link->saveWarmStart(lat, lon);
    std::string text;
    ASSERT_TRUE(CRegStore().ReadLongText("LastLTM", text));
    EXPECT_EQ(text, "2008,1,10,21,20,21");  // the device clock at the last fix
    ASSERT_TRUE(CRegStore().ReadLongText("LastUTC", text));
    EXPECT_EQ(text, "2024,3,23,12,0,20");  // the RMC date and time of the last fix
    EXPECT_DOUBLE_EQ(CRegDouble("LastLat", false, 10.0).Get(), link->state().latitude);
}

}  // namespace
}  // namespace wp2
