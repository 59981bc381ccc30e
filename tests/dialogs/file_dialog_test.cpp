// The Qt file dialogs behind the FileChooser: filter texts, the folder and
// name they propose, the default extension, the overwrite and create
// questions, and the filter a save reports.

#include "dialogs/file_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "core/base/paths.h"
#include "core/track/track_log.h"
#include "dialog_test_env.h"
#include "dialogs/qt_file_chooser.h"

namespace wp2::test {
namespace {

constexpr const char* kImport =
    "Geocaching(*.loc)|*.loc|Text CSV (*.csv,*.txt)|*.csv; *.txt|Pushpins file (*.kpp)|*.kpp||";
constexpr const char* kExport = "ESRI Shape file (*.shp)|*.shp|Text file (*.txt)|*.txt||";

class FileDialog : public DialogTest {
protected:
    // Steps on the file dialog once it is up: its name box and file type list.
    using Steps = std::function<void(wp2::FileDialog&, QLineEdit& name, QComboBox& types)>;

    ModalStep onDialog(Steps steps) {
        return whenShown<wp2::FileDialog>([steps](wp2::FileDialog& d) {
            auto* name = d.findChild<QLineEdit*>("fileNameEdit");
            auto* types = d.findChild<QComboBox*>("fileTypeCombo");
            ASSERT_NE(name, nullptr);
            ASSERT_NE(types, nullptr);
            steps(d, *name, *types);
        });
    }
    static void enter(QLineEdit& name, const QString& text) {
        typeInto(&name, text);
        QTest::keyClick(&name, Qt::Key_Return);
    }
    std::string documents(const std::string& file) const {
        Paths::makeDirs(root_.path() + "/My Documents");
        return root_.path() + "/My Documents/" + file;
    }

    QtFileChooser chooser_;
    RecordingMessageBoxes boxes_;
};

TEST_F(FileDialog, FilterTextsBecomeQtFiltersThatShowTheDesignDescriptions) {
    EXPECT_EQ(wp2::FileDialog::nameFilters(kTrackFileFilter), QStringList{"Track (*.atk) (*.atk)"});
    EXPECT_EQ(wp2::FileDialog::nameFilters(kImport),
              (QStringList{"Geocaching(*.loc) (*.loc)", "Text CSV (*.csv,*.txt) (*.csv *.txt)",
                           "Pushpins file (*.kpp) (*.kpp)"}));

    auto step = onDialog([](wp2::FileDialog& d, QLineEdit&, QComboBox& types) {
        ASSERT_EQ(types.count(), 3);
        EXPECT_EQ(types.itemText(0), "Geocaching(*.loc)");
        EXPECT_EQ(types.itemText(1), "Text CSV (*.csv,*.txt)");
        EXPECT_EQ(types.itemText(2), "Pushpins file (*.kpp)");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(chooser_.openFile({kImport, "kpp", ""}));
    EXPECT_TRUE(step.ran());
}

TEST_F(FileDialog, SaveProposesTheNameInTheDocumentsFolderAndAddsTheExtension) {
    auto step = onDialog([](wp2::FileDialog& d, QLineEdit& name, QComboBox&) {
        EXPECT_EQ(d.windowTitle(), "Save As");
        EXPECT_EQ(name.text(), "Track");
        QTest::keyClick(&name, Qt::Key_Return);
    });
    FileDialogRequest request{kTrackFileFilter, "atk", "Track"};
    request.askBeforeCreating = true;
    EXPECT_EQ(chooser_.saveFile(request), documents("Track.atk"));
    EXPECT_TRUE(step.ran());
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(boxes_.shown[0].text,
              "Track.atk\nThis file does not exist.\nDo you want to create it?");
}

TEST_F(FileDialog, RefusingToCreateOrOverwriteKeepsTheDialogOpen) {
    writeFile(documents("old.atk"), "x");
    FileDialogRequest request{kTrackFileFilter, "atk", "Track"};
    request.askBeforeCreating = true;
    boxes_.answers = {MessageResult::No, MessageResult::No, MessageResult::Yes};
    auto step = onDialog([](wp2::FileDialog& d, QLineEdit& name, QComboBox&) {
        enter(name, "new");
        EXPECT_TRUE(d.isVisible());
        enter(name, "old");
        EXPECT_TRUE(d.isVisible());
        enter(name, "old.atk");
    });
    EXPECT_EQ(chooser_.saveFile(request), documents("old.atk"));
    EXPECT_TRUE(step.ran());
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[0].text,
              "new.atk\nThis file does not exist.\nDo you want to create it?");
    EXPECT_EQ(boxes_.shown[1].text, "old.atk already exists.\nDo you want to replace it?");
    EXPECT_EQ(boxes_.shown[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(boxes_.shown[2].text, boxes_.shown[1].text);
}

TEST_F(FileDialog, AProposedFullPathOpensItsFolder) {
    const std::string elsewhere = root_.path() + "/trips";
    Paths::makeDirs(elsewhere);
    writeFile(elsewhere + "/monday.atk", "x");
    auto step = onDialog([](wp2::FileDialog& d, QLineEdit& name, QComboBox&) {
        EXPECT_EQ(d.windowTitle(), "Open");
        EXPECT_EQ(name.text(), "monday.atk");
        QTest::keyClick(&name, Qt::Key_Return);
    });
    EXPECT_EQ(chooser_.openFile({kTrackFileFilter, "atk", elsewhere + "/monday.atk"}),
              elsewhere + "/monday.atk");
    EXPECT_TRUE(step.ran());
    EXPECT_TRUE(boxes_.shown.empty());  // opening never asks
}

TEST_F(FileDialog, ExportReportsTheSelectedFilterAndUsesItsExtension) {
    const FileDialogRequest request{kExport, "txt", "Pushpins_Export"};
    auto first = onDialog([](wp2::FileDialog&, QLineEdit& name, QComboBox& types) {
        EXPECT_EQ(name.text(), "Pushpins_Export");
        EXPECT_EQ(types.currentIndex(), 0);
        QTest::keyClick(&name, Qt::Key_Return);
    });
    auto shp = chooser_.saveFileChoice(request);
    ASSERT_TRUE(shp);
    EXPECT_EQ(shp->path, documents("Pushpins_Export.shp"));
    EXPECT_EQ(shp->filterIndex, 1);

    auto second = onDialog([](wp2::FileDialog&, QLineEdit& name, QComboBox& types) {
        types.setFocus();
        QTest::keyClick(&types, Qt::Key_Down);
        enter(name, "points");
    });
    auto txt = chooser_.saveFileChoice(request);
    ASSERT_TRUE(txt);
    EXPECT_EQ(txt->path, documents("points.txt"));
    EXPECT_EQ(txt->filterIndex, 2);
    EXPECT_TRUE(first.ran() && second.ran());
    EXPECT_TRUE(boxes_.shown.empty());  // no question for a new export file
}

TEST_F(FileDialog, FitsTheScreen) {
    wp2::FileDialog d({kImport, "kpp", ""}, wp2::FileDialog::Kind::Open);
    renderScreen(d, "file_open");
    wp2::FileDialog s({kExport, "txt", "Pushpins_Export"}, wp2::FileDialog::Kind::Save);
    renderScreen(s, "file_save");
}

}  // namespace
}  // namespace wp2::test
