// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Export format" dialog: which columns the text export writes.

#include <QDialog>
#include <optional>

#include "core/waypoints/pushpin_export.h"

class QCheckBox;
class QPushButton;

namespace wp2 {

class ExportFormatDialog : public QDialog {
    Q_OBJECT

public:
    // Opens with the export's defaults: name, latitude and longitude on, note off.
    explicit ExportFormatDialog(QWidget* parent = nullptr);

    // The switches as "Ok" took them.
    const ExportFields& fields() const { return fields_; }

    QCheckBox* nameBox() const { return name_; }
    QCheckBox* latitudeBox() const { return latitude_; }
    QCheckBox* longitudeBox() const { return longitude_; }
    QCheckBox* noteBox() const { return note_; }
    QPushButton* okButton() const { return ok_; }

    void accept() override;

private:
    ExportFields fields_;
    QCheckBox* name_;
    QCheckBox* latitude_;
    QCheckBox* longitude_;
    QCheckBox* note_;
    QPushButton* ok_;
};

// Runs the dialog; the switches when it ended with "Ok", nothing otherwise.
std::optional<ExportFields> runExportFormatDialog(QWidget* parent);

}  // namespace wp2
