// SPDX-License-Identifier: GPL-3.0-or-later
// The program's quit signals, as a user's session ends it: SIGTERM or SIGINT
// (sent by timeout(1)) in each state of the start-up 8 s in: running in
// emulation, waiting for "The GPS receiver could not be started." to be answered (the receiver
// is a device that does not exist), and in the first-run set-up (no receiver
// set up yet). The program ends in order each time, with what the next start
// needs saved.

#include "app/quit_signals.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <csignal>
#include <filesystem>

#include "app/qt_dialogs.h"
#include "app_test_support.h"
#include "dialogs/widget_message_boxes.h"
#include "platform/file_registry.h"
#include "support/env_override.h"
#include "support/test_services.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

// What the program does on a quit signal with a message box up (a save that
// failed): the box closes, and its text and that of every later box go to
// standard error, answered as no one is there to answer.
TEST(QuitSignals, AnOpenBoxClosesAndWhatBoxesSayGoesToStandardError) {
    test::ensureApplication();
    // Loops run again after the quits of earlier tests, as after a start-up.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    WidgetMessageBoxes boxes;
    test::RecordingSoundPlayer player;
    test::TestServices services;
    QtDialogs dialogs(player, services.ui);
    QTimer::singleShot(100, [&] {
        boxes.quit();
        dialogs.quit();
    });
    testing::internal::CaptureStderr();
    const MessageResult open = boxes.show("open", "A", MessageIcon::Stop, MessageButtons::YesNo);
    const MessageResult later = boxes.show("later", "B", MessageIcon::Stop, MessageButtons::Ok);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "A: open\nB: later\n");
    EXPECT_EQ(open, MessageResult::Yes);
    EXPECT_EQ(later, MessageResult::Ok);
}

// A repeat of a quit signal that arrives after the orderly end let go of the
// signals does not kill the program on its way out.
TEST(QuitSignals, ARepeatArrivingLateDoesNotEndTheOrderlyEnd) {
    const auto statuses = test::exitStatusesOf(1, [](int) {
        {
            QuitSignals quit([](int) {});
            ::raise(SIGTERM);
        }
        ::raise(SIGTERM);
        return 7;
    });
    EXPECT_EQ(statuses, std::vector<int>{7});
}

#ifdef WAYPLOT2_APP
TEST(QuitSignals, TheProgramEndsInOrderWhateverItIsDoing) {
    test::ensureApplication();  // the offscreen platform, for the program too
    for (const char* start : {"--emulate", "1,4800,8,1,0", ""}) {
        SCOPED_TRACE(start);
        test::TempDir root;
        Diagnostics diagnostics;
        StderrMessageBoxes boxes;
        const char* signal = start[0] ? "TERM" : "INT";
        std::vector<std::string> args = {
            "/usr/bin/timeout", "--preserve-status", "-k", "10", "-s", signal, "8", WAYPLOT2_APP,
            "--root",           root.path()};
        if (start[0] == '-') {
            args.push_back(start);
        } else if (start[0]) {
            FileRegistry settings(diagnostics, boxes, root.path());
            ASSERT_TRUE(SettingsStore(settings).writeText("Driver", start));
        }
        test::EnvOverride port("WAYPLOT2_COM1", root.file("no-such-device").c_str());
        const test::RunResult r = test::runProgram(args);
        EXPECT_EQ(r.status, 0) << r.err;

        FileRegistry stored(diagnostics, boxes, root.path());
        EXPECT_EQ(test::storedText(stored, "IOpt"), test::kFirstChoices);
        EXPECT_TRUE(std::filesystem::exists(root.path() + "/My Documents/Pushpins.kpp"));
    }
}
#endif

}  // namespace
}  // namespace wp2
