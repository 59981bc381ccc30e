// SPDX-License-Identifier: GPL-3.0-or-later
#include "export_format_dialog.h"

#include <QCheckBox>
#include <QPushButton>

#include "dialog_builder.h"

namespace wp2 {

ExportFormatDialog::ExportFormatDialog(QWidget* parent) : QDialog(parent) {
    DialogBuilder b(*this, "Export format", 100, 92);
    name_ = b.checkBox("Name", 12, 8, 76, 10);
    latitude_ = b.checkBox("Latitude", 12, 22, 76, 10);
    longitude_ = b.checkBox("Longitude", 12, 36, 76, 10);
    note_ = b.checkBox("Note", 12, 50, 76, 10);
    ok_ = b.button("Ok", 30, 70, 40, 14);
    ok_->setDefault(true);
    b.finish();

    name_->setChecked(fields_.name);
    latitude_->setChecked(fields_.latitude);
    longitude_->setChecked(fields_.longitude);
    note_->setChecked(fields_.note);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void ExportFormatDialog::accept() {
    fields_.name = name_->isChecked();
    fields_.latitude = latitude_->isChecked();
    fields_.longitude = longitude_->isChecked();
    fields_.note = note_->isChecked();
    QDialog::accept();
}

std::optional<ExportFields> runExportFormatDialog(QWidget* parent) {
    ExportFormatDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.fields();
}

}  // namespace wp2
