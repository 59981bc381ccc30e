// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first-run set-up: the "Wayplot2" wizard offers autodetection of the
// receiver, the GPS Setup dialog, skipping the set-up, and (when emulation was
// asked for) the emulation source, and gives the start mode.

#include <QDialog>
#include <array>
#include <functional>

#include "messages/ui_services.h"

class QPushButton;
class QRadioButton;

namespace wp2 {

class GpsLink;

// Start modes: open the receiver link, run the emulation source, or start
// without either.
enum class StartMode { SetUp = 0, Emulation = 1, Skipped = 2 };

class FirstRunWizard : public QDialog {
    Q_OBJECT

public:
    enum Choice { Autodetect = 0, Manual = 1, Skip = 2, Emulate = 3 };

    // "Emulation" is offered, and chosen at first, only when emu is not 0.
    explicit FirstRunWizard(int emu, QWidget* parent = nullptr);

    Choice choice() const;

    QRadioButton* radio(Choice c) const { return radios_[static_cast<std::size_t>(c)]; }
    QPushButton* nextButton() const { return next_; }

private:
    std::array<QRadioButton*, 4> radios_{};
    QPushButton* next_;
};

// Runs the wizard (again after a cancelled manual set-up or "<< Back ") and
// what the choice leads to; the start mode. `stopped` is asked after every
// dialog: once it says the program is ending, the set-up goes no further and
// the start mode is Skipped.
StartMode runFirstRunSetup(QWidget* parent, const UiServices& services, int emu,
                           GpsLink* link = nullptr, const std::function<bool()>& stopped = {});

}  // namespace wp2
