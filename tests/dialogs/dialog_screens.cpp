// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_screens.h"

#include <QApplication>
#include <QDir>

#include "dialogs/dialog_layout.h"
#include "dialogs/dialog_palette.h"

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

int lightOrBluishPixels(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            n += qBlue(p) > qRed(p) || qGray(p) > 160 ? 1 : 0;
        }
    }
    return n;
}

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

    // The same at night: dark, with warm text and frames (by day most of a
    // dialog is light grey).
    applyDialogPalette(Palette::Night);
    QApplication::processEvents();
    const QImage night = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    applyDialogPalette(Palette::Day);
    QApplication::processEvents();
    // Pictures (the style's icons, pushpin pictures drawn by day) keep their colours.
    EXPECT_LT(lightOrBluishPixels(night), night.width() * night.height() / 30)
        << name << " at night";

    const QString dir = QStringLiteral(DIALOG_SCREENS_DIR);
    QDir().mkpath(dir);
    EXPECT_TRUE(picture.save(dir + "/" + QString::fromStdString(name) + ".png"));
    EXPECT_TRUE(night.save(dir + "/" + QString::fromStdString(name) + "-night.png"));
    if (!wasVisible) {
        dialog.hide();
    }
}

}  // namespace wp2::test
