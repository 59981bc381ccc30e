// SPDX-License-Identifier: GPL-3.0-or-later
// The first-run set-up: the wizard's choices, the Warning dialog, and the
// start mode each way through them gives.

#include "dialogs/first_run_wizard.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialog_test_env.h"
#include "dialogs/gps_setup_dialog.h"
#include "dialogs/scan_dialog.h"
#include "dialogs/warning_dialog.h"
#include "support/fake_link.h"

namespace wp2::test {
namespace {

using Choice = wp2::FirstRunWizard::Choice;

class FirstRunWizard : public DialogTest {
protected:
    // Picks a choice in the next wizard that comes up and presses "Next >>".
    static void pick(Choice choice, std::function<void(wp2::FirstRunWizard&)> check = {}) {
        whenShown<wp2::FirstRunWizard>([=](wp2::FirstRunWizard& w) {
            if (check) {
                check(w);
            }
            click(w.radio(choice));
            click(w.nextButton());
        });
    }
    FakeLink l_{services_.settings()};
    RecordingMessageBoxes& boxes_ = services_.boxes;
};

TEST_F(FirstRunWizard, EmulationIsOfferedAndChosenOnlyWhenAskedFor) {
    pick(Choice::Emulate, [](wp2::FirstRunWizard& w) {
        EXPECT_EQ(w.windowTitle(), "Wayplot2");
        EXPECT_TRUE(w.radio(Choice::Emulate)->isVisibleTo(&w));
        EXPECT_TRUE(w.radio(Choice::Emulate)->isChecked());
    });
    EXPECT_EQ(runFirstRunSetup(nullptr, services_.ui, 1, l_.link.get()), StartMode::Emulation);

    wp2::FirstRunWizard plain(0);
    EXPECT_FALSE(plain.radio(Choice::Emulate)->isVisibleTo(&plain));
    EXPECT_TRUE(plain.radio(Choice::Autodetect)->isChecked());
}

TEST_F(FirstRunWizard, SkipThenBackReturnsAndSkipThenOkStartsWithoutTheReceiver) {
    bool backSeen = false;
    pick(Choice::Skip, [&](wp2::FirstRunWizard&) {
        whenShown<WarningDialog>([&](WarningDialog& w) {
            EXPECT_EQ(w.windowTitle(), "Warning");
            EXPECT_EQ(w.backButton()->text(), "<< Back");
            click(w.backButton());
            // The wizard again, on the choice it had.
            pick(Choice::Skip, [&](wp2::FirstRunWizard& again) {
                backSeen = true;
                EXPECT_TRUE(again.radio(Choice::Skip)->isChecked());
                whenShown<WarningDialog>([](WarningDialog& w2) { click(w2.okButton()); });
            });
        });
    });
    EXPECT_EQ(runFirstRunSetup(nullptr, services_.ui, 0, l_.link.get()), StartMode::Skipped);
    EXPECT_TRUE(backSeen);
    EXPECT_FALSE(l_.port->isOpen());
}

TEST_F(FirstRunWizard, CancelledManualSetUpBringsTheWizardBack) {
    l_.port->available.insert("com1");
    l_.link->setPortNumber(1);
    bool secondRound = false;
    pick(Choice::Manual, [&](wp2::FirstRunWizard&) {
        whenShown<GpsSetupDialog>([&](GpsSetupDialog& g) {
            click(g.cancelButton());
            pick(Choice::Manual, [&](wp2::FirstRunWizard&) {
                secondRound = true;
                whenShown<GpsSetupDialog>([](GpsSetupDialog& g2) { click(g2.okButton()); });
            });
        });
    });
    EXPECT_EQ(runFirstRunSetup(nullptr, services_.ui, 0, l_.link.get()), StartMode::SetUp);
    EXPECT_TRUE(secondRound);
}

TEST_F(FirstRunWizard, AutodetectGivesModeZeroWhateverTheScanFound) {
    pick(Choice::Autodetect, [](wp2::FirstRunWizard&) {
        whenShown<ScanDialog>([](ScanDialog& s) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return s.finishButton()->isEnabled(); }, 5000));
            click(s.finishButton());
        });
    });
    EXPECT_EQ(runFirstRunSetup(nullptr, services_.ui, 0, l_.link.get()), StartMode::SetUp);
    ASSERT_EQ(boxes_.shown.size(), 1u);  // nothing found
    EXPECT_EQ(boxes_.shown[0].text,
              "No GPS receiver was found.\r\nPerhaps this receiver is not supported.");
    EXPECT_EQ(boxes_.shown[0].icon, MessageIcon::Stop);
}

}  // namespace
}  // namespace wp2::test
