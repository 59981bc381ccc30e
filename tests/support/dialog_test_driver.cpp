// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/dialog_test_driver.h"

#include <QDialog>
#include <QTest>

namespace wp2::test {

void closeModals() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) {
            dialog->done(QDialog::Rejected);
        }
    }
}

void DialogWatchdog::OnTestStart(const ::testing::TestInfo&) {
    timer_ = std::make_unique<QTimer>();
    timer_->setSingleShot(true);
    QObject::connect(timer_.get(), &QTimer::timeout, [] {
        ADD_FAILURE() << "the test's dialogs were still open after " << kTestTimeoutMs << " ms";
        closeModals();
    });
    timer_->start(kTestTimeoutMs);
}

void DialogWatchdog::OnTestEnd(const ::testing::TestInfo&) {
    timer_.reset();
}

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

}  // namespace wp2::test
