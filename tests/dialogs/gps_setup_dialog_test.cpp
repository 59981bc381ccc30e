// SPDX-License-Identifier: GPL-3.0-or-later
// The GPS Setup dialog: the lists opened on the link's settings, OK storing
// "Driver" and restarting the link, gpsd and TCP with their address, the Test
// toggle with its raw sentences, Cancel restoring the link, Scan, the stored
// switches, a dialog without any link, and the receiver dialogs on the screen.

#include "dialogs/gps_setup_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <tuple>

#include "dialog_test_env.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/scan_dialog.h"
#include "support/fake_link.h"

namespace wp2::test {
namespace {

class GpsSetupDialog : public DialogTest {
protected:
    int run(GpsLink* link, std::function<void(wp2::GpsSetupDialog&)> steps) {
        return runShown<wp2::GpsSetupDialog>(
            [this, link] { return runGpsSetupDialog(nullptr, services_.ui, link); },
            std::move(steps));
    }
    std::string driver() { return storedText("Driver"); }
    static void choose(QComboBox* list, int index) {
        list->setFocus();
        list->setCurrentIndex(index);
    }
    // Port, baud, parity, data bits and stop bits as the dialog shows them.
    static std::string shown(wp2::GpsSetupDialog& d) {
        return (QStringList{d.portList()->currentText(), d.baudList()->currentText(),
                            d.parityList()->currentText(), d.dataBitsList()->currentText(),
                            d.oneStopBit()->isChecked() ? "1" : "",
                            d.twoStopBits()->isChecked() ? "2" : ""})
            .join(',')
            .toStdString();
    }

    FakeLink l_{services_.settings()};
    RecordingMessageBoxes& boxes_ = services_.boxes;
};

TEST_F(GpsSetupDialog, OpensOnTheLinkSettingsAndOkStoresThem) {
    l_.port->available.insert("com1");
    l_.link->setPortNumber(1);
    l_.link->setLineSettings(4800, 8, 1, 0);
    EXPECT_EQ(run(l_.link.get(),
                  [](wp2::GpsSetupDialog& d) {
                      EXPECT_EQ(shown(d), "COM1,4800,None,8,1,");
                      ASSERT_EQ(d.portList()->count(), 11);
                      EXPECT_FALSE(d.hostEdit()->isVisibleTo(&d));
                      // Each port names its device for the open list and as a tip.
                      EXPECT_EQ(d.portList()->itemData(2, Qt::ToolTipRole).toString(), "com3");
                      click(d.okButton());
                  }),
              QDialog::Accepted);
    EXPECT_EQ(driver(), "1,4800,8,1,0");
    EXPECT_TRUE(l_.linkOpen());
    EXPECT_EQ(l_.port->device(), "com1");

    l_.port->available.insert("com3");
    run(l_.link.get(), [](wp2::GpsSetupDialog& d) {
        choose(d.portList(), 2);
        choose(d.baudList(), 5);
        choose(d.parityList(), 2);
        choose(d.dataBitsList(), 0);
        click(d.twoStopBits());
        click(d.okButton());
    });
    EXPECT_EQ(driver(), "3,24400,7,2,2");
    EXPECT_EQ(l_.port->lastSettings, (SerialLineSettings{24400, 7, 2, 2}));

    // A rate outside the table selects nothing and is kept.
    l_.link->setLineSettings(28800, 8, 1, 0);
    run(l_.link.get(), [](wp2::GpsSetupDialog& d) {
        EXPECT_EQ(d.baudList()->currentIndex(), -1);
        click(d.okButton());
    });
    EXPECT_EQ(driver(), "3,28800,8,1,0");
}

TEST_F(GpsSetupDialog, TestTwiceLeavesStartAndTheLinkStoppedAndCancelRestartsIt) {
    l_.port->available.insert("com1");
    l_.port->available.insert("com3");
    l_.link->setLineSettings(4800, 8, 1, 0);
    l_.link->start(1);
    run(l_.link.get(), [&](wp2::GpsSetupDialog& d) {
        choose(d.portList(), 2);
        choose(d.baudList(), 3);
        click(d.testButton());
        EXPECT_EQ(d.testButton()->text(), "Stop");
        EXPECT_FALSE(d.scanButton()->isEnabled());
        EXPECT_EQ(l_.port->device(), "com3");
        EXPECT_EQ(l_.link->lineSettings().baudRate, 9600);
        click(d.testButton());
        EXPECT_EQ(d.testButton()->text(), "Start");
        EXPECT_TRUE(d.scanButton()->isEnabled());
        EXPECT_FALSE(l_.port->isOpen());
        EXPECT_FALSE(l_.linkOpen());
        click(d.cancelButton());
    });
    // Running again with the settings it had, on the port the test used.
    EXPECT_TRUE(l_.linkOpen());
    EXPECT_EQ(std::tuple(l_.link->lineSettings().baudRate, l_.link->portNumber()),
              std::tuple(4800, 3));
    EXPECT_EQ(driver(), "");
}

TEST_F(GpsSetupDialog, TestShowsRawSentencesAndEmptiesAFullView) {
    const std::string rmc =
        nmeaLine("GPRMC,120000.000,A,4807.1000,N,01131.0000,E,0.0,0.0,230324,,,A");
    l_.receiverOn("com2", rmc);
    run(l_.link.get(), [&](wp2::GpsSetupDialog& d) {
        choose(d.portList(), 1);
        click(d.testButton());
        l_.timers.runFor(1000);
        const QString first = d.rawSentences()->toPlainText();
        EXPECT_EQ(first.toStdString(), rmc.substr(0, rmc.size() - 2) + "\n");
        int sentences = 1;
        while (sentences * static_cast<int>(rmc.size() - 1) <= kRawSentenceLimit) {
            l_.port->receive(rmc);
            l_.timers.runFor(1000);
            ++sentences;
        }
        const QString text = d.rawSentences()->toPlainText();
        EXPECT_LE(text.size(), kRawSentenceLimit);
        EXPECT_LT(text.size(), static_cast<int>(rmc.size()) * 2);  // emptied, then the newest
        EXPECT_TRUE(text.startsWith("$GPRMC"));
        click(d.okButton());
    });
}

TEST_F(GpsSetupDialog, SwitchesAreStoredWhenTheControlsAreRead) {
    l_.port->available.insert("com1");
    for (const char* value : {kWarmStartValue, kAnyTalkerValue}) {
        SCOPED_TRACE(value);
        const auto box = [value](wp2::GpsSetupDialog& d) {
            return std::string(value) == kWarmStartValue ? d.warmStartBox() : d.anyTalkerBox();
        };
        registry_.setNumber(value, 1);
        run(l_.link.get(), [&](wp2::GpsSetupDialog& d) {
            EXPECT_TRUE(box(d)->isChecked());
            click(box(d));
            EXPECT_EQ(registry_.number(value), 1);  // not yet read back
            click(d.testButton());
            EXPECT_EQ(registry_.number(value), 0);
            click(box(d));
            click(d.okButton());  // read again
        });
        EXPECT_EQ(registry_.number(value), 1);
    }
    EXPECT_TRUE(l_.link->warmStart().enabled);
}

TEST_F(GpsSetupDialog, GpsdAndTcpTakeAHostAndPortInPlaceOfTheLineSettings) {
    l_.port->available = {"gpsd://gps.local:2950", "tcp://phone.local:10110"};
    run(l_.link.get(), [](wp2::GpsSetupDialog& d) {
        choose(d.portList(), 9);
        EXPECT_FALSE(d.baudList()->isVisibleTo(&d) || d.oneStopBit()->isVisibleTo(&d));
        EXPECT_EQ(d.hostEdit()->text() + ":" + d.tcpPortEdit()->text(), "localhost:2947");
        d.hostEdit()->setText("gps.local");
        d.tcpPortEdit()->setText("2950");
        click(d.okButton());
    });
    EXPECT_EQ(driver(), "10,4800,8,1,0");
    EXPECT_EQ(storedText("Port10"), "gpsd://gps.local:2950");
    EXPECT_EQ(l_.port->device(), "gpsd://gps.local:2950");
    EXPECT_TRUE(l_.linkOpen());
    run(l_.link.get(), [](wp2::GpsSetupDialog& d) {
        EXPECT_EQ(d.hostEdit()->text(), "gps.local");  // opens on the stored address
        choose(d.portList(), 10);
        EXPECT_EQ(d.tcpPortEdit()->text(), "10110");
        d.hostEdit()->setText("phone.local");
        d.tcpPortEdit()->setText("70000");  // refused: the last good port stays
        click(d.okButton());
    });
    EXPECT_EQ(driver(), "11,4800,8,1,0");
    EXPECT_EQ(l_.port->device(), "tcp://phone.local:10110");
}

TEST_F(GpsSetupDialog, ScanRunsAtTheStandardFramingAndClosesTheDialog) {
    l_.receiverOn("com4", nmeaLine("GPGSV,1,1,01,04,40,120,00"));
    l_.link->setLineSettings(19200, 7, 2, 1);
    EXPECT_EQ(run(l_.link.get(),
                  [&](wp2::GpsSetupDialog& d) {
                      whenShown<ScanDialog>([&](ScanDialog& s) {
                          EXPECT_FALSE(s.finishButton()->isEnabled());
                          ASSERT_TRUE(
                              QTest::qWaitFor([&] { return s.finishButton()->isEnabled(); }, 3000));
                          EXPECT_EQ(s.progress()->text(),
                                    "Scan for GPS...\nPort 5: Not found\n"
                                    "Port 2: Not found\nPort 4: GPS found!\n");
                          click(s.finishButton());
                      });
                      click(d.scanButton());
                  }),
              QDialog::Accepted);
    EXPECT_EQ(driver(), "4,4800,8,1,0");
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(GpsSetupDialog, WithoutALinkItOpensOnItsOwnValuesAndStoresNothing) {
    EXPECT_EQ(run(nullptr,
                  [](wp2::GpsSetupDialog& d) {
                      EXPECT_EQ(shown(d), "COM1,4800,None,8,1,");
                      click(d.testButton());
                      click(d.okButton());
                  }),
              QDialog::Accepted);
    EXPECT_EQ(driver(), "");
}

// The line settings' place holds the host and TCP port (the dialog in its
// serial form is drawn with every other dialog).
TEST_F(GpsSetupDialog, TheNetworkFormFitsTheScreen) {
    l_.link->setPortNumber(kGpsdPort);
    wp2::GpsSetupDialog d(services_.ui, l_.link.get());
    renderScreen(d, "gps_setup_gpsd");
}

}  // namespace
}  // namespace wp2::test
