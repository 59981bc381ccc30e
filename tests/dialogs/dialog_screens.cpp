// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_screens.h"

#include <QApplication>
#include <QDir>

#include "dialogs/dialog_layout.h"

namespace wp2::test {

namespace {

// One QApplication for the test program, made before the first test runs.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_dialogs";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        ::testing::UnitTest::GetInstance()->listeners().Append(new DialogWatchdog);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void renderScreen(QWidget& dialog, const std::string& name) {
    const bool wasVisible = dialog.isVisible();
    dialog.show();
    QApplication::processEvents();
    const QPixmap picture = dialog.grab();

    EXPECT_LE(dialog.width(), scaled(kDialogMaxWidth)) << name;
    EXPECT_LE(dialog.height(), scaled(kDialogMaxHeight)) << name;
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&dialog) || child->isWindow()) {
            continue;
        }
        const std::string what = name + ": " + child->metaObject()->className() + " \"" +
                                 child->property("text").toString().toStdString() + "\"";
        EXPECT_TRUE(
            dialog.rect().contains(QRect(child->mapTo(&dialog, QPoint(0, 0)), child->size())))
            << what << " lies outside the dialog";
        EXPECT_TRUE(textFits(child)) << what << " is clipped";
    }

    const QString dir = QStringLiteral(DIALOG_SCREENS_DIR);
    QDir().mkpath(dir);
    EXPECT_TRUE(picture.save(dir + "/" + QString::fromStdString(name) + ".png"));
    if (!wasVisible) {
        dialog.hide();
    }
}

}  // namespace wp2::test
