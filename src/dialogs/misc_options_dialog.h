// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Miscellaneous Options" dialog: the unit system ("U.S.", "Metric",
// "Nautical"), kept in the "UnitSystem" setting. One object lives as long as
// the dashboard and is shown again at every opening.

#include <QDialog>
#include <array>
#include <cstdint>

#include "core/settings/int_setting.h"

class QPushButton;
class QRadioButton;

namespace wp2 {

class UnitFormatter;

class MiscOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // Shows U.S. until load(); settings must outlive the dialog.
    explicit MiscOptionsDialog(const SettingsServices& settings, QWidget* parent = nullptr);
    // Reads "UnitSystem" (0 U.S. when absent).
    void load();

    // Shows the dialog; on OK gives the formatter the chosen system and
    // returns true (the caller then redraws).
    bool run(UnitFormatter& formatter);
    // Gives the formatter the stored system (done once when the dashboard is built).
    void applyTo(UnitFormatter& formatter) const;

    // 0 U.S., 1 Metric, 2 Nautical.
    std::int32_t unitSystemIndex() const { return index_; }

    QRadioButton* radio(int index) const { return radios_[static_cast<std::size_t>(index)]; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    int exec() override;
    void accept() override;

private:
    IntSetting unitSystem_;
    std::int32_t index_ = 0;
    std::array<QRadioButton*, 3> radios_{};
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace wp2
