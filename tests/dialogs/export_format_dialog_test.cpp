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

TEST_F(ExportFormatDialog, OpensOnTheDefaultsEveryTimeAndOnlyOkTakesTheBoxes) {
    const auto expectDefaults = [](wp2::ExportFormatDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Export format");
        EXPECT_TRUE(d.nameBox()->isChecked());
        EXPECT_TRUE(d.latitudeBox()->isChecked());
        EXPECT_TRUE(d.longitudeBox()->isChecked());
        EXPECT_FALSE(d.noteBox()->isChecked());
    };
    EXPECT_FALSE(run([&](wp2::ExportFormatDialog& d) {
        expectDefaults(d);
        click(d.noteBox());
        QTest::keyClick(&d, Qt::Key_Escape);
    }));
    auto fields = run([&](wp2::ExportFormatDialog& d) {
        expectDefaults(d);
        click(d.noteBox());
        click(d.latitudeBox());
        click(d.okButton());
    });
    ASSERT_TRUE(fields);
    EXPECT_EQ((std::vector<bool>{fields->name, fields->latitude, fields->longitude, fields->note}),
              (std::vector<bool>{true, false, true, true}));
}

TEST_F(ExportFormatDialog, FitsTheScreen) {
    wp2::ExportFormatDialog d;
    renderScreen(d, "export_format");
}

}  // namespace
}  // namespace wp2::test
