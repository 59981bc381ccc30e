// SPDX-License-Identifier: GPL-3.0-or-later
#include "first_run_wizard.h"

#include <QPushButton>
#include <QRadioButton>

#include "dialog_builder.h"
#include "gps_setup_dialog.h"
#include "scan_dialog.h"
#include "warning_dialog.h"

namespace wp2 {

FirstRunWizard::FirstRunWizard(int emu, QWidget* parent) : QDialog(parent) {
    DialogBuilder b(*this, "Wayplot2", 130, 142);
    b.centredLabel("Thank you for your interest in\r\nWayplot2!", 5, 3, 120, 26);
    b.centredLabel("Set up the GPS receiver:", 5, 34, 120, 10);
    radios_[Autodetect] = b.radio("Autodetect", 9, 53, 108, 9);
    radios_[Manual] = b.radio("Enter the settings by hand", 9, 67, 108, 9);
    radios_[Skip] = b.radio("Skip the set-up", 9, 81, 108, 9);
    radios_[Emulate] = b.radio("Emulation", 9, 95, 108, 9);
    next_ = b.button("Next >>", 40, 121, 50, 14);
    next_->setDefault(true);
    b.finish();

    radios_[Emulate]->setVisible(emu != 0);
    radios_[emu != 0 ? Emulate : Autodetect]->setChecked(true);
    connect(next_, &QPushButton::clicked, this, &QDialog::accept);
}

FirstRunWizard::Choice FirstRunWizard::choice() const {
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        if (radios_[i]->isChecked()) {
            return static_cast<Choice>(i);
        }
    }
    return Autodetect;
}

StartMode runFirstRunSetup(QWidget* parent, const UiServices& services, int emu, GpsLink* link,
                           const std::function<bool()>& stopped) {
    const auto ending = [&stopped] { return stopped && stopped(); };
    FirstRunWizard wizard(emu, parent);
    while (true) {
        // However the wizard closes, the selected choice is acted on, unless
        // the program is ending.
        wizard.exec();
        if (ending()) {
            return StartMode::Skipped;
        }
        switch (wizard.choice()) {
            case FirstRunWizard::Autodetect:
                runScanDialog(parent, services.boxes, link);
                return StartMode::SetUp;
            case FirstRunWizard::Manual:
                if (runGpsSetupDialog(parent, services, link) == QDialog::Accepted) {
                    return StartMode::SetUp;
                }
                if (ending()) {
                    return StartMode::Skipped;
                }
                break;
            case FirstRunWizard::Skip: {
                WarningDialog warning(parent);
                if (warning.exec() != kWarningBackResult || ending()) {
                    return StartMode::Skipped;
                }
                break;
            }
            case FirstRunWizard::Emulate:
                return StartMode::Emulation;
        }
    }
}

}  // namespace wp2
