// The program's real dialogs opened from the running dashboard the way a user
// opens them: mouse clicks on the main window at the elements' places, the
// modal dialogs answered from timers through their own buttons. Each opens
// while the dashboard is suspended, and what the dialog did reaches the
// program: the receiver link, the pushpin file, the target, the event sounds,
// the start mode.

#include <termios.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <vector>

#include "app/application.h"
#include "app/qt_dialogs.h"
#include "app_test_support.h"
#include "core/base/timer_queue.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
#include "core/settings/creg_double.h"
#include "core/sound/event_sounds.h"
#include "core/sound/sound_event.h"
#include "dialogs/export_format_dialog.h"
#include "dialogs/file_dialog.h"
#include "dialogs/first_run_wizard.h"
#include "dialogs/gps_setup_dialog.h"
#include "dialogs/misc_options_dialog.h"
#include "dialogs/point_dialog.h"
#include "dialogs/point_selection_dialog.h"
#include "dialogs/pushpins_dialog.h"
#include "dialogs/qt_file_chooser.h"
#include "dialogs/sound_options_dialog.h"
#include "dialogs/track_options_dialog.h"
#include "dialogs/warning_dialog.h"
#include "support/dialog_test_driver.h"
#include "support/env_override.h"
#include "support/nmea_lines.h"
#include "support/pseudo_terminal.h"
#include "ui/dashboard_ids.h"
#include "ui/destination_panel.h"

namespace wp2 {
namespace {

using test::click;
using test::ModalStep;
using test::typeInto;
using test::whenShown;
namespace Id = DashboardId;

// Dialogs a test forgot are closed, and the test fails, instead of the test
// program hanging.
class WatchdogEnvironment : public ::testing::Environment {
    void SetUp() override {
        test::ensureApplication();  // the watchdog's timers need it
        ::testing::UnitTest::GetInstance()->listeners().Append(new test::DialogWatchdog);
    }
};
[[maybe_unused]] ::testing::Environment* const watchdog =
    ::testing::AddGlobalTestEnvironment(new WatchdogEnvironment);

// Places on the 240 x 320 screen (the window shows it at scale 1).
constexpr QPoint kMapButton(30, 292);
constexpr QPoint kMarkButton(90, 292);
constexpr QPoint kTargetButton(150, 292);
constexpr QPoint kMenuButton(210, 292);
// The Options menu's items, top to bottom.
enum MenuItem { kGps = 0, kSound = 1, kWayPoints = 2, kMisc = 3 };

class DashboardDialogsTest : public test::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        // No serial port of the machine is ever opened: each port number
        // names a device that does not exist unless a test gives it one.
        for (int n = 1; n <= 9; ++n) {
            ports_.push_back(std::make_unique<test::EnvOverride>(
                "WAYPLOT2_COM" + std::to_string(n),
                root_.file("no-device-" + std::to_string(n)).c_str()));
        }
    }
    void TearDown() override {
        app_.reset();
        AppTest::TearDown();
    }

    // The program's start-up on the real dialogs; forcedMode -1 decides from
    // the settings as a normal start does.
    void start(int forcedMode = ScreenMode::Skipped) {
        StartOptions options;
        options.forcedMode = forcedMode;
        options.splash = false;
        app_ = std::make_unique<Application>(clock_, timers_, qtDialogs_, player_, options);
        app_->setWait({});
        ASSERT_TRUE(app_->startUp());
    }
    MainWindow& window() { return *app_->mainWindow(); }
    DashboardScreen& screen() { return window().screen(); }

    void tap(QPoint at) { QTest::mouseClick(&window(), Qt::LeftButton, Qt::NoModifier, at); }
    void chooseMenuItem(MenuItem item) {
        tap(kMenuButton);
        tap(QPoint(190, 148 + 10 + 23 * item));
    }

    // Inside a dialog: the dashboard is hidden, its timer stopped and its
    // frame standing still.
    void expectSuspended() {
        EXPECT_FALSE(window().isVisible());
        EXPECT_FALSE(window().timerRunning());
        const std::uint32_t frame = window().frame();
        QTest::qWait(100);
        EXPECT_EQ(window().frame(), frame);
    }
    // After it: shown again, and the frame advances on the window's timer.
    void expectResumed(const char* what) {
        EXPECT_TRUE(window().isVisible()) << what;
        EXPECT_TRUE(window().timerRunning()) << what;
        EXPECT_TRUE(framesAdvance()) << what;
    }
    bool framesAdvance() {
        const std::uint32_t frame = window().frame();
        for (int waited = 0; waited < 3000; waited += 10) {
            QTest::qWait(10);
            if (window().frame() > frame + 2) {
                return true;
            }
        }
        return false;
    }

    // Opens a dialog of type Dialog through `open`, checks the dashboard is
    // suspended meanwhile, closes it with `button` and checks the dashboard
    // runs again.
    template <typename Dialog>
    void openAndClose(const std::function<void()>& open,
                      const std::function<QPushButton*(Dialog&)>& button) {
        const char* what = Dialog::staticMetaObject.className();
        auto step = whenShown<Dialog>([&](Dialog& d) {
            expectSuspended();
            click(button(d));
        });
        open();
        EXPECT_TRUE(step.ran()) << what;
        expectResumed(what);
    }

    std::string stored(const char* name) {
        std::string text;
        CRegStore().ReadText(name, text);
        return text;
    }
    static void savePushpins(const std::vector<std::u16string>& names) {
        CPushpins pushpins;
        // AddNew puts the newest first: add from the last name.
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            CPushpin* p = pushpins.AddNew();
            p->name = *it;
            p->latitude = 0.8;
            p->longitude = 0.2;
        }
        ASSERT_TRUE(pushpins.Save());
    }
    std::string destinationShown() {
        auto* panel = dynamic_cast<DestinationPanel*>(screen().byId(Id::DestinationLeft));
        return panel ? panel->targetName : "(no panel)";
    }

    std::vector<std::unique_ptr<test::EnvOverride>> ports_;
    TimerQueue timers_{clock_};
    QtDialogs qtDialogs_{&player_};
    std::unique_ptr<Application> app_;
};

TEST_F(DashboardDialogsTest, EveryButtonAndMenuItemOpensItsDialogWhileTheDashboardIsSuspended) {
    start();
    ASSERT_TRUE(framesAdvance());
    openAndClose<PointDialog>([&] { tap(kMarkButton); },
                              [](PointDialog& d) { return d.cancelButton(); });
    openAndClose<PointSelectionDialog>([&] { tap(kTargetButton); },
                                       [](PointSelectionDialog& d) { return d.cancelButton(); });
    openAndClose<GpsSetupDialog>([&] { chooseMenuItem(kGps); },
                                 [](GpsSetupDialog& d) { return d.cancelButton(); });
    openAndClose<SoundOptionsDialog>([&] { chooseMenuItem(kSound); },
                                     [](SoundOptionsDialog& d) { return d.okButton(); });
    openAndClose<PushpinsDialog>([&] { chooseMenuItem(kWayPoints); },
                                 [](PushpinsDialog& d) { return d.okButton(); });
    openAndClose<MiscOptionsDialog>([&] { chooseMenuItem(kMisc); },
                                    [](MiscOptionsDialog& d) { return d.cancelButton(); });
    tap(kMapButton);
    ASSERT_EQ(screen().mapMode, 1);
    openAndClose<TrackOptionsDialog>([&] { tap(kMenuButton); },
                                     [](TrackOptionsDialog& d) { return d.cancelButton(); });
    EXPECT_EQ(screen().mapMode, 1);
    // Cancelled and closed dialogs changed nothing and said nothing.
    EXPECT_EQ(app_->pushpins()->GetCount(), 0);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(DashboardDialogsTest, GpsSetupOkReopensTheLinkOnTheChosenPortAndLineSettings) {
    test::PseudoTerminal com1;
    test::PseudoTerminal com3;
    ASSERT_TRUE(com1.valid() && com3.valid());
    ports_[0]->set(com1.slavePath().c_str());
    ports_[2]->set(com3.slavePath().c_str());
    CRegStore().WriteText("Driver", "1,4800,8,1,0");
    start(-1);  // live: "Driver" is there and "Emu" is 0
    ASSERT_EQ(app_->startMode(), ScreenMode::Live);
    ASSERT_TRUE(app_->link()->running());

    auto step = whenShown<GpsSetupDialog>([](GpsSetupDialog& d) {
        EXPECT_EQ(d.portList()->currentText(), "COM1");
        EXPECT_EQ(d.baudList()->currentText(), "4800");
        d.portList()->setFocus();
        QTest::keyClick(d.portList(), Qt::Key_Down);
        QTest::keyClick(d.portList(), Qt::Key_Down);
        d.baudList()->setFocus();
        QTest::keyClick(d.baudList(), Qt::Key_Down);
        click(d.twoStopBits());
        click(d.okButton());
    });
    chooseMenuItem(kGps);
    ASSERT_TRUE(step.ran());

    EXPECT_EQ(stored("Driver"), "3,9600,8,2,0");
    EXPECT_TRUE(app_->link()->state().has(GpsStatusFlags::LinkOpen));
    // The device of COM3 is the one open now, at the chosen line settings.
    termios line{};
    ASSERT_EQ(tcgetattr(com3.master(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B9600));
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    const std::string epoch = test::fixEpoch(0);
    ASSERT_TRUE(com3.send(epoch));
    for (int i = 0; i < 300 && app_->link()->receiveBuffer().count() == 0; ++i) {
        QTest::qWait(10);
    }
    EXPECT_GT(app_->link()->receiveBuffer().count(), 0);
    expectResumed("after GPS Setup");
}

TEST_F(DashboardDialogsTest, ANewPointLandsInThePushpinFileAndTheTargetMovesWithIt) {
    savePushpins({u"Lake", u"Hill"});
    CRegInt("LastTarg", true, -1) = 1;
    CRegDouble("LastLat", true, 10.0) = 0.75;
    CRegDouble("LastLong", true, 10.0) = -0.25;
    start();
    ASSERT_EQ(app_->pushpins()->GetTargetIndex(), 1);
    ASSERT_EQ(destinationShown(), "Hill");

    auto step = whenShown<PointDialog>([](PointDialog& d) {
        typeInto(d.nameEdit(), "Camp");
        click(d.okButton());
    });
    tap(kMarkButton);
    ASSERT_TRUE(step.ran());

    // The new pushpin is first; the target is still "Hill", one place further.
    CPushpins& pushpins = *app_->pushpins();
    ASSERT_EQ(pushpins.GetCount(), 3);
    EXPECT_EQ(pushpins.GetAt(0)->name, u"Camp");
    EXPECT_EQ(pushpins.GetTargetIndex(), 2);
    EXPECT_EQ(destinationShown(), "Hill");
    // Saved at once, at the dashboard's position.
    CPushpins reread;
    ASSERT_EQ(reread.Load().added, 3);
    EXPECT_NEAR(reread.GetAt(0)->latitude, 0.75, 1e-9);
    EXPECT_NEAR(reread.GetAt(0)->longitude, -0.25, 1e-9);
    expectResumed("after the new point");
}

TEST_F(DashboardDialogsTest, ChoosingAPointHandsTheTargetToTheDestinationPanels) {
    savePushpins({u"b", u"A", u"c"});
    start();
    ASSERT_EQ(app_->pushpins()->GetTargetIndex(), -1);
    ASSERT_EQ(screen().snapshot().targetSet, 0);

    auto step = whenShown<PointSelectionDialog>([](PointSelectionDialog& d) {
        QListWidget& list = *d.list();
        ASSERT_EQ(list.count(), 3);
        ASSERT_EQ(list.item(2)->text(), "c");  // sorted: A, b, c
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                          list.visualItemRect(list.item(2)).center());
        click(d.okButton());
    });
    tap(kTargetButton);
    ASSERT_TRUE(step.ran());

    EXPECT_EQ(app_->pushpins()->GetTargetIndex(), 2);
    EXPECT_EQ(destinationShown(), "c");
    expectResumed("after the point selection");
}

TEST_F(DashboardDialogsTest, TheSoundChosenInSoundOptionsIsWhatTheEventSoundsPlay) {
    Paths::makeDirs(root_.file("Windows"));
    for (const char* f : {"Chimes.wav", "Ding.wav"}) {
        test::writeFile(root_.file(std::string("Windows/") + f), "RIFF");
    }
    start();
    auto step = whenShown<SoundOptionsDialog>([](SoundOptionsDialog& d) {
        ASSERT_EQ(d.eventList()->currentRow(), 0);  // "GPS Receiver On"
        QComboBox& sounds = *d.soundList();
        sounds.setFocus();
        while (sounds.currentText() != "Chimes.wav" && sounds.currentIndex() + 1 < sounds.count()) {
            QTest::keyClick(&sounds, Qt::Key_Down);
        }
        click(d.okButton());
    });
    chooseMenuItem(kSound);
    ASSERT_TRUE(step.ran());
    EXPECT_EQ(screen().eventSounds().settings().name(SoundEvent::GpsOn), "Chimes.wav");
    EXPECT_EQ(stored("SndGpsOn"), "Chimes.wav");

    // The receiver comes on: at its next refresh the dashboard plays the sound.
    EXPECT_TRUE(player_.played.empty());
    app_->link()->state().flags |= GpsStatusFlags::LinkOpen;
    for (int waited = 0; waited < 3000 && player_.played.empty(); waited += 10) {
        QTest::qWait(10);
    }
    ASSERT_EQ(player_.played.size(), 1u);
    EXPECT_EQ(player_.played[0], root_.file("Windows/Chimes.wav"));
}

TEST_F(DashboardDialogsTest, ThePushpinListExportsThroughTheFileDialogAndTheExportFormat) {
    QtFileChooser chooser;
    setFileChooser(&chooser);
    savePushpins({u"Lake", u"Hill"});
    Paths::makeDirs(root_.file("My Documents"));
    start();

    auto list = whenShown<PushpinsDialog>([](PushpinsDialog& d) {
        click(d.exportButton());
        click(d.okButton());
    });
    auto file = whenShown<FileDialog>([](FileDialog& d) {
        auto* name = d.findChild<QLineEdit*>("fileNameEdit");
        auto* types = d.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_TRUE(name && types);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);  // "Text file"
        typeInto(name, "points");
        QTest::keyClick(name, Qt::Key_Return);
    });
    auto format = whenShown<ExportFormatDialog>([](ExportFormatDialog& d) {
        click(d.latitudeBox());
        click(d.longitudeBox());
        click(d.okButton());
    });
    chooseMenuItem(kWayPoints);
    EXPECT_TRUE(list.ran() && file.ran() && format.ran());
    setFileChooser(nullptr);
    // Only the names were left switched on.
    EXPECT_EQ(test::readFile(root_.file("My Documents/points.txt")), "Name\r\nLake\r\nHill\r\n");
    expectResumed("after the pushpin list");
}

TEST_F(DashboardDialogsTest, FirstStartWithEmu1ChoosingEmulationRunsTheEmulation) {
    test::installEmulationFile();
    CRegInt("Emu", true, 0) = 1;
    auto step = whenShown<FirstRunWizard>([](FirstRunWizard& w) {
        EXPECT_TRUE(w.radio(FirstRunWizard::Emulate)->isVisible());
        click(w.radio(FirstRunWizard::Emulate));
        click(w.nextButton());
    });
    start(-1);
    ASSERT_TRUE(step.ran());
    EXPECT_EQ(app_->startMode(), ScreenMode::Emulation);
    EXPECT_EQ(screen().mode(), ScreenMode::Emulation);
    ASSERT_NE(screen().emulation(), nullptr);
    EXPECT_TRUE(screen().emulation()->isOpen());
    EXPECT_FALSE(app_->link()->running());
    // The drive moves the dashboard's position.
    const double latitude = screen().snapshot().latitude;
    for (int waited = 0; waited < 5000 && screen().snapshot().latitude == latitude; waited += 10) {
        QTest::qWait(10);
    }
    EXPECT_NE(screen().snapshot().latitude, latitude);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(DashboardDialogsTest, FirstStartWithoutDriverSkippedAfterTheWarningOpensNoPort) {
    auto wizard = whenShown<FirstRunWizard>([](FirstRunWizard& w) {
        EXPECT_FALSE(w.radio(FirstRunWizard::Emulate)->isVisible());
        EXPECT_TRUE(w.radio(FirstRunWizard::Autodetect)->isChecked());
        click(w.radio(FirstRunWizard::Skip));
        click(w.nextButton());
    });
    auto warning = whenShown<WarningDialog>([](WarningDialog& w) { click(w.okButton()); });
    start(-1);
    ASSERT_TRUE(wizard.ran() && warning.ran());
    EXPECT_EQ(app_->startMode(), ScreenMode::Skipped);
    EXPECT_EQ(screen().emulation(), nullptr);
    EXPECT_FALSE(app_->link()->running());
    EXPECT_TRUE(boxes_.shown.empty());  // not "GPS is not started !"
    EXPECT_TRUE(framesAdvance());
}

TEST_F(DashboardDialogsTest, AQuitDuringTheFirstRunSetUpEndsItAndTheProgramInOrder) {
    auto wizard = whenShown<FirstRunWizard>([](FirstRunWizard& w) {
        click(w.radio(FirstRunWizard::Manual));
        click(w.nextButton());
    });
    // The signal arrives while the GPS Setup dialog is up: what the program's
    // signal handler does before the dashboard exists.
    auto setup = whenShown<GpsSetupDialog>([this](GpsSetupDialog&) { qtDialogs_.quit(); });
    start(-1);
    ASSERT_TRUE(wizard.ran() && setup.ran());
    EXPECT_EQ(app_->startMode(), ScreenMode::Skipped);
    EXPECT_FALSE(app_->link()->running());
    EXPECT_EQ(stored("Driver"), "");

    // The program then ends the dashboard the orderly way, and its message
    // loop returns at once.
    screen().quit();
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(window().messageLoopEnded());
    EXPECT_FALSE(window().isVisible());
}

}  // namespace
}  // namespace wp2
