// The Qt message boxes: the answer of each button, Enter and Escape, the
// caption and line breaks, and a size that fits the screen.

#include "dialogs/message_box_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialog_screens.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/widget_message_boxes.h"

namespace wp2::test {
namespace {

class MessageBoxDialog : public ::testing::Test {
protected:
    MessageBoxDialog() { setMessageBoxes(&boxes_); }
    ~MessageBoxDialog() override { setMessageBoxes(nullptr); }

    MessageResult ask(MessageButtons buttons, std::function<void(wp2::MessageBoxDialog&)> steps,
                      const std::string& text = "Delete ALL waypoints?  ",
                      const std::string& caption = "Delete all waypoints.") {
        auto step = whenShown<wp2::MessageBoxDialog>(std::move(steps));
        const MessageResult r = showMessage(text, caption, MessageIcon::Exclamation, buttons);
        EXPECT_TRUE(step.ran());
        return r;
    }

    WidgetMessageBoxes boxes_;
};

TEST_F(MessageBoxDialog, EachButtonGivesItsAnswer) {
    EXPECT_EQ(ask(MessageButtons::OkCancel,
                  [](wp2::MessageBoxDialog& d) { click(d.button(MessageResult::Cancel)); }),
              MessageResult::Cancel);
    EXPECT_EQ(ask(MessageButtons::OkCancel,
                  [](wp2::MessageBoxDialog& d) { click(d.button(MessageResult::Ok)); }),
              MessageResult::Ok);
    EXPECT_EQ(ask(MessageButtons::YesNo,
                  [](wp2::MessageBoxDialog& d) {
                      EXPECT_EQ(d.button(MessageResult::Ok), nullptr);
                      click(d.button(MessageResult::No));
                  }),
              MessageResult::No);
    EXPECT_EQ(ask(MessageButtons::YesNoCancel,
                  [](wp2::MessageBoxDialog& d) { click(d.button(MessageResult::Yes)); }),
              MessageResult::Yes);
}

TEST_F(MessageBoxDialog, EnterTakesTheFirstButtonAndEscapeOnlyWhereTheBoxCanBeCancelled) {
    EXPECT_EQ(ask(MessageButtons::OkCancel,
                  [](wp2::MessageBoxDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }),
              MessageResult::Ok);
    EXPECT_EQ(ask(MessageButtons::OkCancel,
                  [](wp2::MessageBoxDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }),
              MessageResult::Cancel);
    EXPECT_EQ(ask(MessageButtons::Ok,
                  [](wp2::MessageBoxDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }),
              MessageResult::Ok);
    // A Yes / No question stays up through Escape.
    EXPECT_EQ(ask(MessageButtons::YesNo,
                  [](wp2::MessageBoxDialog& d) {
                      QTest::keyClick(&d, Qt::Key_Escape);
                      EXPECT_TRUE(d.isVisible());
                      click(d.button(MessageResult::Yes));
                  }),
              MessageResult::Yes);
}

TEST_F(MessageBoxDialog, CaptionTitlesTheBoxAndCarriageReturnsLeaveNoTrace) {
    ask(
        MessageButtons::Ok,
        [](wp2::MessageBoxDialog& d) {
            EXPECT_EQ(d.windowTitle(), "");
            EXPECT_EQ(d.textLabel()->text(),
                      "Can't find GPS.\nPossibly this GPS receiver is not supported");
            click(d.button(MessageResult::Ok));
        },
        "Can't find GPS.\r\nPossibly this GPS receiver is not supported", "");
    ask(
        MessageButtons::OkCancel,
        [](wp2::MessageBoxDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Delete selected waypoint");
            click(d.button(MessageResult::Ok));
        },
        "This waypoint is currently used for navigation.\r\nAre you sure you want to delete it?",
        "Delete selected waypoint");
}

TEST_F(MessageBoxDialog, LongTextsWrapWithinTheScreen) {
    const std::string longText =
        "File format error at line 12\nOnly 11 waypoints have been read\n\nExpected "
        "fields\nLat,Lon,*Name,*Alt,*Note\n(* are optional)";
    wp2::MessageBoxDialog a(longText, "Wayplot2", MessageIcon::Exclamation, MessageButtons::Ok);
    renderScreen(a, "message_box_format_error");
    wp2::MessageBoxDialog b(
        "This waypoint is currently used for navigation.\r\nAre you sure you want to delete it?",
        "Delete selected waypoint", MessageIcon::Exclamation, MessageButtons::OkCancel);
    renderScreen(b, "message_box_delete_target");
    EXPECT_EQ(b.width(), kDialogMaxWidth);  // too long for one line: wrapped at the screen edge
    wp2::MessageBoxDialog c("Invalid altitude value", "Wayplot2", MessageIcon::None,
                            MessageButtons::Ok);
    renderScreen(c, "message_box_short");
    EXPECT_LT(c.width(), kDialogMaxWidth);
}

}  // namespace
}  // namespace wp2::test
