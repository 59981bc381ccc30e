// SPDX-License-Identifier: GPL-3.0-or-later
#include "warning_dialog.h"

#include <QPushButton>

#include "dialog_builder.h"

namespace wp2 {

WarningDialog::WarningDialog(QWidget* parent) : QDialog(parent) {
    DialogBuilder b(*this, "Warning", 131, 117);
    b.label(kSkipWarningText, 6, 6, 120, 75);
    back_ = b.button("<< Back", 14, 98, 38, 14);
    ok_ = b.button("OK", 78, 98, 38, 14);
    ok_->setDefault(true);
    b.finish();
    connect(back_, &QPushButton::clicked, this, [this] { done(kWarningBackResult); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace wp2
