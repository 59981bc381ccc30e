#include "dialog_screens.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

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
    if (!wasVisible) {
        dialog.show();
    }
    QApplication::processEvents();
    const QPixmap picture = dialog.grab();

    EXPECT_LE(dialog.width(), kDialogMaxWidth) << name;
    EXPECT_LE(dialog.height(), kDialogMaxHeight) << name;
    const QRect inside = dialog.rect();
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&dialog) || child->isWindow()) {
            continue;
        }
        const QRect r(child->mapTo(&dialog, QPoint(0, 0)), child->size());
        EXPECT_TRUE(inside.contains(r))
            << name << ": " << child->metaObject()->className() << " \""
            << child->property("text").toString().toStdString() << "\" lies outside the dialog";
        EXPECT_TRUE(textFits(child))
            << name << ": text of " << child->metaObject()->className() << " \""
            << child->property("text").toString().toStdString() << "\" is clipped";
    }

    QImage screen(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    screen.fill(QColor(0xd4, 0xd0, 0xc8));
    QPainter p(&screen);
    p.fillRect(0, 0, kScreenWidth, kTitleBarHeight, QColor(0x08, 0x24, 0x6b));
    QFont titleFont = dialogFont();
    titleFont.setBold(true);
    titleFont.setPixelSize(13);
    p.setFont(titleFont);
    p.setPen(Qt::white);
    p.drawText(QRect(6, 0, kScreenWidth - 12, kTitleBarHeight), Qt::AlignVCenter | Qt::AlignLeft,
               dialog.windowTitle());
    p.drawPixmap((kScreenWidth - picture.width()) / 2, kTitleBarHeight, picture);
    p.end();

    const QString dir = QStringLiteral(DIALOG_SCREENS_DIR);
    QDir().mkpath(dir);
    EXPECT_TRUE(screen.save(dir + "/" + QString::fromStdString(name) + ".png"));
    if (!wasVisible) {
        dialog.hide();
    }
}

}  // namespace wp2::test
