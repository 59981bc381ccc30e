#pragma once
// Driving the dialogs as a user would: a QApplication on the offscreen
// platform for the whole test program, steps that act on a modal window once
// it is up (exec() blocks the test, so the steps run from timers), and the
// review picture of a dialog on the 240 x 320 screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

namespace wp2::test {

// Fails the test and closes every modal window when a step waited this long.
inline constexpr int kStepTimeoutMs = 5000;

// Watches for the next visible window of type T (and, when title is given,
// with that title) and runs the step on it once. ran() tells whether it did.
class ModalStep {
public:
    bool ran() const { return *ran_; }

    // Implementation detail of whenShown().
    ModalStep(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> step,
              std::string what);

private:
    std::shared_ptr<bool> ran_ = std::make_shared<bool>(false);
};

template <typename T>
ModalStep whenShown(std::function<void(T&)> step, const QString& title = {}) {
    return ModalStep(
        [title](QWidget* w) {
            auto* t = qobject_cast<T*>(w);
            return t != nullptr && (title.isNull() || w->windowTitle() == title);
        },
        [step](QWidget* w) { step(*qobject_cast<T*>(w)); }, T::staticMetaObject.className());
}

// Left click in the middle of a widget.
void click(QWidget* widget);
// Replaces the text of a line edit by typing.
void typeInto(QLineEdit* edit, const QString& text);

// Draws the dialog as the handheld shows it (title bar across the top, the
// dialog below) into <build>/dialog_screens/<name>.png, and checks that the
// dialog and every control fit the 240 x 320 screen with their text whole.
void renderScreen(QWidget& dialog, const std::string& name);

}  // namespace wp2::test
