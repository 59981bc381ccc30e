// The Export format dialog: its defaults and the switches "Ok" takes.

#include "dialogs/export_format_dialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "dialog_test_env.h"

namespace wp2::test {
namespace {

class ExportFormatDialog : public DialogTest {
protected:
    std::optional<ExportFields> run(std::function<void(wp2::ExportFormatDialog&)> steps) {
        auto step = whenShown<wp2::ExportFormatDialog>(std::move(steps));
        auto fields = runExportFormatDialog(nullptr);
        EXPECT_TRUE(step.ran());
        return fields;
    }
};

TEST_F(ExportFormatDialog, OpensOnTheDefaultsAndOkTakesTheBoxes) {
    auto fields = run([](wp2::ExportFormatDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Export format");
        EXPECT_TRUE(d.nameBox()->isChecked());
        EXPECT_TRUE(d.latitudeBox()->isChecked());
        EXPECT_TRUE(d.longitudeBox()->isChecked());
        EXPECT_FALSE(d.noteBox()->isChecked());
        click(d.noteBox());
        click(d.latitudeBox());
        click(d.okButton());
    });
    ASSERT_TRUE(fields);
    EXPECT_TRUE(fields->name);
    EXPECT_FALSE(fields->latitude);
    EXPECT_TRUE(fields->longitude);
    EXPECT_TRUE(fields->note);
}

TEST_F(ExportFormatDialog, ClosingWithoutOkGivesNothing) {
    EXPECT_FALSE(run([](wp2::ExportFormatDialog& d) {
        click(d.noteBox());
        QTest::keyClick(&d, Qt::Key_Escape);
    }));
    // Not remembered: the next opening shows the defaults again.
    run([](wp2::ExportFormatDialog& d) {
        EXPECT_FALSE(d.noteBox()->isChecked());
        click(d.okButton());
    });
}

TEST_F(ExportFormatDialog, FitsTheScreen) {
    wp2::ExportFormatDialog d;
    renderScreen(d, "export_format");
}

}  // namespace
}  // namespace wp2::test
