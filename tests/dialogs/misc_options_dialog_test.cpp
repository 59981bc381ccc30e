// The Miscellaneous Options dialog: the unit system radios, the "UnitSystem"
// setting and the formatter the caller applies it to.

#include "dialogs/misc_options_dialog.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/nav/unit_formatter.h"
#include "core/nav/unit_system_setting.h"
#include "dialog_test_env.h"

namespace wp2::test {
namespace {

class MiscOptionsDialog : public DialogTest {
protected:
    static int checkedRadio(const wp2::MiscOptionsDialog& d) {
        for (int i = 0; i < 3; ++i) {
            if (d.radio(i)->isChecked()) {
                return i;
            }
        }
        return -1;
    }

    bool run(wp2::MiscOptionsDialog& dialog, std::function<void(wp2::MiscOptionsDialog&)> steps) {
        auto step = whenShown<wp2::MiscOptionsDialog>(std::move(steps));
        const bool ok = dialog.run(formatter_);
        EXPECT_TRUE(step.ran());
        return ok;
    }

    UnitFormatter formatter_;
};

TEST_F(MiscOptionsDialog, OkStoresAndAppliesTheChosenSystem) {
    registry_.setNumber(kUnitSystemValueName, 1);
    wp2::MiscOptionsDialog dialog;
    EXPECT_TRUE(run(dialog, [](wp2::MiscOptionsDialog& d) {
        EXPECT_EQ(checkedRadio(d), 1);
        click(d.radio(2));
        click(d.okButton());
    }));
    EXPECT_EQ(storedInt(kUnitSystemValueName), 2);
    EXPECT_EQ(dialog.unitSystemIndex(), 2);
    EXPECT_EQ(formatter_.code(), UnitFormatter::kNautical);

    // The same object opens on its last choice; U.S. through the keyboard.
    EXPECT_TRUE(run(dialog, [](wp2::MiscOptionsDialog& d) {
        EXPECT_EQ(checkedRadio(d), 2);
        click(d.radio(0));
        QTest::keyClick(&d, Qt::Key_Return);
    }));
    EXPECT_EQ(storedInt(kUnitSystemValueName), 0);
    EXPECT_EQ(formatter_.code(), UnitFormatter::kUs);
}

TEST_F(MiscOptionsDialog, CancelForgetsTheRadioPickedMeanwhile) {
    registry_.setNumber(kUnitSystemValueName, 1);
    wp2::MiscOptionsDialog dialog;
    formatter_.setSystem(1);
    EXPECT_FALSE(run(dialog, [](wp2::MiscOptionsDialog& d) {
        click(d.radio(0));
        QTest::keyClick(&d, Qt::Key_Escape);
    }));
    EXPECT_EQ(storedInt(kUnitSystemValueName), 1);
    EXPECT_EQ(formatter_.code(), UnitFormatter::kMetric);
    run(dialog, [](wp2::MiscOptionsDialog& d) {
        EXPECT_EQ(checkedRadio(d), 1);
        click(d.cancelButton());
    });
}

TEST_F(MiscOptionsDialog, OpensOnUsWithoutAStoredSystemAndOnNoneForAnUnknownOne) {
    wp2::MiscOptionsDialog fresh;
    EXPECT_EQ(storedInt(kUnitSystemValueName), 0);
    EXPECT_FALSE(run(fresh, [](wp2::MiscOptionsDialog& d) {
        EXPECT_EQ(checkedRadio(d), 0);
        click(d.cancelButton());
    }));
    EXPECT_EQ(formatter_.code(), UnitFormatter::kMetric);  // untouched by Cancel

    registry_.setNumber(kUnitSystemValueName, 7);
    wp2::MiscOptionsDialog dialog;
    formatter_.setSystem(2);
    EXPECT_TRUE(run(dialog, [](wp2::MiscOptionsDialog& d) {
        EXPECT_EQ(checkedRadio(d), -1);
        click(d.okButton());
    }));
    EXPECT_EQ(formatter_.code(), UnitFormatter::kNautical);
}

TEST_F(MiscOptionsDialog, FitsTheScreen) {
    wp2::MiscOptionsDialog d;
    renderScreen(d, "misc_options");
}

}  // namespace
}  // namespace wp2::test
