// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Driving modal windows as a user would: exec() blocks the test, so the steps
// that act on a window once it is up run from timers, and they press its
// buttons and type into its boxes with mouse and key events.

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

// Ends every open dialog, whatever its buttons allow.
void closeModals();

// A test whose dialogs stay up this long has lost its way (a step that did
// not close what it opened, or a window no step expected): it fails, and its
// dialogs are closed so that the test program goes on. A test program that
// opens dialogs appends one to its listeners.
class DialogWatchdog : public ::testing::EmptyTestEventListener {
public:
    static constexpr int kTestTimeoutMs = 30000;

    void OnTestStart(const ::testing::TestInfo&) override;
    void OnTestEnd(const ::testing::TestInfo&) override;

private:
    std::unique_ptr<QTimer> timer_;
};

}  // namespace wp2::test
