// The Scan for GPS dialog: the scan after the dialog is drawn, its progress,
// "Driver" written only when a receiver is found, the message when none is,
// and "Finish" enabled at the end.

#include "dialogs/scan_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/settings/creg_store.h"
#include "dialog_link.h"
#include "dialog_test_env.h"

namespace wp2::test {
namespace {

class ScanDialog : public DialogTest {
protected:
    void SetUp() override { setCurrentLink(nullptr); }

    // Runs the dialog; `atStart` sees it before the scan, `atEnd` after it.
    bool run(GpsLink* link, std::function<void(wp2::ScanDialog&)> atStart,
             std::function<void(wp2::ScanDialog&)> atEnd) {
        auto step = whenShown<wp2::ScanDialog>([&](wp2::ScanDialog& d) {
            atStart(d);
            ASSERT_TRUE(QTest::qWaitFor([&] { return d.finishButton()->isEnabled(); }, 5000));
            atEnd(d);
            click(d.finishButton());
        });
        const bool found = runScanDialog(nullptr, link);
        EXPECT_TRUE(step.ran());
        return found;
    }
    std::string driver() {
        std::string text;
        CRegStore().ReadText("Driver", text);
        return text;
    }

    DialogLink l_;
    RecordingMessageBoxes boxes_;
};

TEST_F(ScanDialog, FindsTheReceiverAndStoresItsPort) {
    l_.receiverOn(1, nmeaLine("GPGSV,1,1,01,04,40,120,00"));
    l_.link->setLineSettings(9600, 8, 1, 0);
    EXPECT_TRUE(run(
        l_.link.get(),
        [](wp2::ScanDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Scan for GPS");
            EXPECT_EQ(d.progress()->text(), "...");
            EXPECT_FALSE(d.finishButton()->isEnabled());
        },
        [](wp2::ScanDialog& d) {
            const QString text = d.progress()->text();
            EXPECT_TRUE(text.startsWith("Scan for GPS...\nPort 5: Not found\nPort 2: Not found\n"))
                << text.toStdString();
            EXPECT_TRUE(text.endsWith("Port 8: Not found\nPort 1: GPS found!\n"))
                << text.toStdString();
        }));
    EXPECT_EQ(driver(), "1,9600,8,1,0");
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_FALSE(l_.port->isOpen());
}

TEST_F(ScanDialog, NoReceiverIsReportedAndNothingStored) {
    l_.port->available.insert("com2");  // a port that opens but stays silent
    EXPECT_FALSE(run(
        l_.link.get(), [](wp2::ScanDialog&) {},
        [](wp2::ScanDialog& d) {
            EXPECT_TRUE(d.progress()->text().contains("Port 2: No signal\nPort 4"));
            EXPECT_TRUE(d.progress()->text().endsWith("Port 3: Not found\n"));
        }));
    EXPECT_EQ(driver(), "");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text,
              "Can't find GPS.\r\nPossibly this GPS receiver is not supported");
    EXPECT_EQ(boxes_.shown[0].caption, "");
    EXPECT_EQ(boxes_.shown[0].icon, MessageIcon::Stop);
}

}  // namespace
}  // namespace wp2::test
