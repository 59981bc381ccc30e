// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt message boxes (the answer of each button, Enter and Escape, caption
// and line breaks) and the file dialogs behind the FileChooser (filter texts,
// the kind of file they start on, the folder and name they propose, the
// extension, the overwrite and create questions).

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "core/base/paths.h"
#include "core/gpx/track_gpx.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpin_export.h"
#include "core/waypoints/pushpin_import.h"
#include "dialog_test_env.h"
#include "dialogs/dialog_palette.h"
#include "dialogs/file_dialog.h"
#include "dialogs/message_box_dialog.h"
#include "dialogs/qt_file_chooser.h"
#include "dialogs/widget_message_boxes.h"

namespace wp2::test {
namespace {

// A message box made at night shows its sign in night colours: nothing bluish
// or light, as by day.
TEST(MessageBoxDialog, TheStylesSignsAreInNightColoursAtNight) {
    const auto lightOrBluish = [] {
        const QIcon sign = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return lightOrBluishPixels(sign.pixmap(32).toImage());
    };
    const int day = lightOrBluish();
    applyDialogPalette(Palette::Night);
    const int night = lightOrBluish();
    applyDialogPalette(Palette::Day);
    EXPECT_GT(day, 20);
    EXPECT_EQ(night, 0);
    EXPECT_EQ(lightOrBluish(), day);
}

TEST(MessageBoxDialog, EachButtonEnterAndEscapeGiveTheirAnswer) {
    WidgetMessageBoxes boxes;
    using R = MessageResult;
    using B = MessageButtons;
    const struct {
        B buttons;
        Qt::Key key;              // Key_unknown: a click on the first button
        std::optional<R> answer;  // none: the box stays up
    } cases[] = {
        {B::YesNoCancel, Qt::Key_unknown, R::Yes},
        {B::OkCancel, Qt::Key_Return, R::Ok},
        {B::OkCancel, Qt::Key_Escape, R::Cancel},
        {B::Ok, Qt::Key_Escape, R::Ok},
        {B::YesNo, Qt::Key_Escape, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        auto step = whenShown<MessageBoxDialog>([&](MessageBoxDialog& d) {
            if (c.key == Qt::Key_unknown) {
                click(d.button(R::Yes));
                return;
            }
            QTest::keyClick(&d, c.key);
            EXPECT_EQ(d.isVisible(), !c.answer);
            d.done(0);
        });
        const R r = showMessage(boxes, "Delete ALL waypoints?\r\n", "", MessageIcon::Exclamation,
                                c.buttons);
        EXPECT_TRUE(step.ran());
        EXPECT_TRUE(!c.answer || r == *c.answer);
    }
}

class FileDialogs : public DialogTest {
protected:
    // Steps on the file dialog once it is up, with its name box and file type list.
    ModalStep onDialog(std::function<void(FileDialog&, QLineEdit&, QComboBox&)> steps) {
        return whenShown<FileDialog>([steps](FileDialog& d) {
            steps(d, *d.findChild<QLineEdit*>("fileNameEdit"),
                  *d.findChild<QComboBox*>("fileTypeCombo"));
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

    RecordingMessageBoxes& boxes_ = services_.boxes;
    QtFileChooser chooser_{registry_, boxes_};
};

TEST_F(FileDialogs, SaveProposesTheNameAddsTheExtensionAndAsksBeforeCreatingOrReplacing) {
    writeFile(documents("old.atk"), "x");
    FileDialogRequest request{kTrackFileFilter, "atk", "Track"};
    request.askBeforeCreating = true;
    boxes_.answers = {MessageResult::No, MessageResult::No, MessageResult::Yes};
    auto step = onDialog([](FileDialog& d, QLineEdit& name, QComboBox& types) {
        EXPECT_EQ(d.windowTitle(), "Save As");
        EXPECT_EQ(types.itemText(0), "Track (*.atk)");
        EXPECT_EQ(name.text(), "Track");
        QTest::keyClick(&name, Qt::Key_Return);
        enter(name, "old");
        EXPECT_TRUE(d.isVisible());
        enter(name, "old.atk");
    });
    EXPECT_EQ(chooser_.saveFile(request), documents("old.atk"));
    EXPECT_TRUE(step.ran());
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_EQ(boxes_.shown[0].text,
              "Track.atk\nThis file does not exist.\nDo you want to create it?");
    EXPECT_EQ(boxes_.shown[1].text, "old.atk already exists.\nDo you want to replace it?");
    EXPECT_EQ(boxes_.shown[2].text, boxes_.shown[1].text);
}

TEST_F(FileDialogs, OpenOffersAllSupportedFilesSaveStartsOnGpxAndTheLastKindUsedComesBack) {
    writeFile(documents("a.gpx"), "x");
    writeFile(documents("t.atk"), "x");
    const struct {
        bool save;
        const char* filter;
        const char* proposed;
        const char* shown;  // the kind selected at opening
        int down;           // the user moves down the kinds (up when negative)
        const char* name;   // accepted as shown, or typed when given
        const char* chosen;
        int index;  // the request's kind chosen in a save dialog
    } steps[] = {
        {false, kImportFilter, "", "All supported files", 0, "a.gpx", "a.gpx", 0},
        {true, kExportFilter, "Pushpins_Export", "GPX 1.1", 0, nullptr, "Pushpins_Export.gpx", 3},
        {false, kTrackFileFilterWithGpx, "", "GPX 1.1", -1, "t.atk", "t.atk", 1},
        {true, kTrackFileFilterWithGpx, "walk.gpx", "Track", 1, nullptr, "walk.gpx", 2},
        {true, kTrackFileFilterWithGpx, "walk.atk", "GPX 1.1", 0, nullptr, "walk.gpx", 2},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(&s - steps);
        auto step = onDialog([&](FileDialog&, QLineEdit& name, QComboBox& types) {
            EXPECT_TRUE(types.currentText().startsWith(s.shown))
                << types.currentText().toStdString();
            EXPECT_EQ(types.itemText(0).startsWith(kAllSupportedFiles), !s.save);
            types.setFocus();
            for (int i = 0; i < std::abs(s.down); ++i) {
                QTest::keyClick(&types, s.down > 0 ? Qt::Key_Down : Qt::Key_Up);
            }
            s.name ? enter(name, s.name) : QTest::keyClick(&name, Qt::Key_Return);
        });
        const FileDialogRequest request{s.filter, "x", s.proposed};
        const std::optional<FileChoice> choice =
            s.save ? chooser_.saveFileChoice(request)
                   : std::optional<FileChoice>({chooser_.openFile(request).value_or(""), 0});
        EXPECT_TRUE(step.ran());
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->path, documents(s.chosen));
        if (s.save) {
            EXPECT_EQ(choice->filterIndex, s.index);
        }
    }
}

}  // namespace
}  // namespace wp2::test
