// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc_options_dialog.h"

#include <QPushButton>
#include <QRadioButton>

#include "core/nav/unit_formatter.h"
#include "core/nav/unit_system_setting.h"
#include "dialog_builder.h"

namespace wp2 {

MiscOptionsDialog::MiscOptionsDialog(const SettingsServices& settings, QWidget* parent)
    : QDialog(parent), unitSystem_(settings, kUnitSystemValueName, true, 0) {
    DialogBuilder b(*this, "Miscellaneous Options", 136, 95);
    b.group("Unit System", 8, 9, 119, 56);
    radios_[0] = b.radio("U.S.", 12, 20, 50, 11);
    radios_[1] = b.radio("Metric", 12, 34, 50, 11);
    radios_[2] = b.radio("Nautical", 12, 48, 50, 11);
    ok_ = b.button("OK", 8, 78, 37, 14);
    cancel_ = b.button("Cancel", 90, 78, 37, 14);
    ok_->setDefault(true);
    b.finish();
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void MiscOptionsDialog::load() {
    unitSystem_.load();
    index_ = unitSystem_.get();
}

int MiscOptionsDialog::exec() {
    // A stored value outside the three systems checks no radio.
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        radios_[i]->setAutoExclusive(false);
        radios_[i]->setChecked(static_cast<std::int32_t>(i) == index_);
        radios_[i]->setAutoExclusive(true);
    }
    return QDialog::exec();
}

void MiscOptionsDialog::accept() {
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        if (radios_[i]->isChecked()) {
            index_ = static_cast<std::int32_t>(i);
        }
    }
    unitSystem_ = index_;
    QDialog::accept();
}

bool MiscOptionsDialog::run(UnitFormatter& formatter) {
    if (exec() != QDialog::Accepted) {
        return false;
    }
    applyTo(formatter);
    return true;
}

void MiscOptionsDialog::applyTo(UnitFormatter& formatter) const {
    formatter.setSystem(index_);
}

}  // namespace wp2
