#include "dialog_test_driver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "dialogs/dialog_layout.h"

namespace wp2::test {

namespace {

// Ends every open dialog, whatever its buttons allow.
void closeModals() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
            dialog->done(QDialog::Rejected);
        }
    }
}

// A test whose dialogs stay up this long has lost its way (a step that did
// not close what it opened, or a window no step expected): it fails, and its
// dialogs are closed so that the test program goes on.
constexpr int kTestTimeoutMs = 30000;

class Watchdog : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        timer_ = std::make_unique<QTimer>();
        timer_->setSingleShot(true);
        QObject::connect(timer_.get(), &QTimer::timeout, [] {
            ADD_FAILURE() << "the test's dialogs were still open after " << kTestTimeoutMs << " ms";
            closeModals();
        });
        timer_->start(kTestTimeoutMs);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { timer_.reset(); }

    std::unique_ptr<QTimer> timer_;
};

// One QApplication for the test program, made before the first test runs.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_dialogs";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

ModalStep::ModalStep(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> step,
                     std::string what) {
    auto* timer = new QTimer;
    auto ran = ran_;
    auto waited = std::make_shared<int>(0);
    constexpr int kPollMs = 10;
    QObject::connect(timer, &QTimer::timeout, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && match(w)) {
                timer->stop();
                timer->deleteLater();
                *ran = true;
                step(w);
                return;
            }
        }
        *waited += kPollMs;
        if (*waited >= kStepTimeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no " << what << " window came up";
            closeModals();
        }
    });
    timer->start(kPollMs);
}

void click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isEnabled()) << "clicking a disabled control";
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void typeInto(QLineEdit* edit, const QString& text) {
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

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
