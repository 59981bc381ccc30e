// The point selection dialog: the pushpins sorted by name without regard to
// case, the preselection, and the target index that OK or a double tap sets.

#include "dialogs/point_selection_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/waypoints/pushpin_test_util.h"
#include "dialog_test_env.h"

namespace wp2::test {
namespace {

class PointSelectionDialog : public DialogTest {
protected:
    // Names in index order: the first given is index 0.
    void make(const std::vector<std::string>& names) {
        for (auto it = names.rbegin(); it != names.rend(); ++it) {
            addPin(pins_, *it, 10.0, 20.0);
        }
    }
    static QStringList shown(const QListWidget& list) {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i) {
            texts << list.item(i)->text();
        }
        return texts;
    }
    int run(std::function<void(wp2::PointSelectionDialog&)> steps) {
        auto step = whenShown<wp2::PointSelectionDialog>(std::move(steps));
        const int result = runPointSelectionDialog(nullptr, pins_);
        EXPECT_TRUE(step.ran());
        return result;
    }
    static void clickRow(QListWidget& list, int row, bool twice = false) {
        const QRect r = list.visualItemRect(list.item(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        if (twice) {
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        }
    }

    CPushpins pins_;
};

TEST_F(PointSelectionDialog, NamesSortWithoutRegardToCaseAndChoosingOneSetsItsIndex) {
    make({"b", "A", "c", "alpha2", "Beta"});
    EXPECT_EQ(run([](wp2::PointSelectionDialog& d) {
                  EXPECT_EQ(d.caption()->text(), "Select point");
                  EXPECT_EQ(shown(*d.list()), (QStringList{"A", "alpha2", "b", "Beta", "c"}));
                  EXPECT_EQ(d.list()->currentRow(), 0);  // preselected: the first entry
                  clickRow(*d.list(), 4);
                  click(d.okButton());
              }),
              QDialog::Accepted);
    EXPECT_EQ(pins_.GetTargetIndex(), 2);  // "c"

    // OK on the preselected first entry targets the pushpin named A.
    run([](wp2::PointSelectionDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
    EXPECT_EQ(pins_.GetTargetIndex(), 1);
}

TEST_F(PointSelectionDialog, DoubleTapChoosesAndCancelChangesNothing) {
    make({"b", "A", "c"});
    pins_.SetTargetIndex(1);
    EXPECT_EQ(run([](wp2::PointSelectionDialog& d) {
                  clickRow(*d.list(), 2);
                  click(d.cancelButton());
              }),
              QDialog::Rejected);
    EXPECT_EQ(pins_.GetTargetIndex(), 1);

    EXPECT_EQ(run([](wp2::PointSelectionDialog& d) { clickRow(*d.list(), 1, true); }),
              QDialog::Accepted);
    EXPECT_EQ(pins_.GetTargetIndex(), 0);  // "b"
}

TEST_F(PointSelectionDialog, WithoutPushpinsOrSelectionOkChangesNothing) {
    pins_.SetTargetIndex(-1);
    EXPECT_EQ(run([](wp2::PointSelectionDialog& d) {
                  EXPECT_EQ(d.list()->count(), 0);
                  click(d.okButton());
              }),
              QDialog::Rejected);
    EXPECT_EQ(pins_.GetTargetIndex(), -1);

    make({"x", "y"});
    pins_.SetTargetIndex(1);
    run([](wp2::PointSelectionDialog& d) {
        d.list()->clearSelection();
        click(d.okButton());
    });
    EXPECT_EQ(pins_.GetTargetIndex(), 1);
}

TEST_F(PointSelectionDialog, PrefixSearchStartsAfterTheFirstEntryAndWraps) {
    QListWidget list;
    list.addItems({"Alpha", "beta", "Bravo", "charlie"});
    EXPECT_EQ(wp2::PointSelectionDialog::preselection(list, "b"), 1);
    EXPECT_EQ(wp2::PointSelectionDialog::preselection(list, "BR"), 2);
    EXPECT_EQ(wp2::PointSelectionDialog::preselection(list, "al"), 0);  // wrapped round
    EXPECT_EQ(wp2::PointSelectionDialog::preselection(list, "z"), 0);   // none: the first
    EXPECT_EQ(wp2::PointSelectionDialog::preselection(list, ""), 0);
    QListWidget empty;
    EXPECT_EQ(wp2::PointSelectionDialog::preselection(empty, "a"), -1);
}

TEST_F(PointSelectionDialog, FitsTheScreen) {
    make({"Home", "Trailhead car park", "GC12AB", "Summit", "WPoint_7"});
    wp2::PointSelectionDialog d(pins_);
    renderScreen(d, "point_selection");
}

}  // namespace
}  // namespace wp2::test
