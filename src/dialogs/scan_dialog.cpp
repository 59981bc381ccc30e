// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "core/gps/gps_link.h"
#include "core/gps/gps_scan.h"
#include "dialog_builder.h"
#include "dialog_layout.h"
#include "messages/message_box.h"

namespace wp2 {

// Shows the scan's running text in the progress field.
class ScanDialog::Progress final : public ScanProgressView {
public:
    explicit Progress(QLabel& label) : label_(label) {}
    void showText(const std::string& text) override { label_.setText(uiText(text)); }

private:
    QLabel& label_;
};

ScanDialog::ScanDialog(MessageBoxes& boxes, GpsLink* link, QWidget* parent)
    : QDialog(parent), boxes_(boxes), link_(link) {
    DialogBuilder b(*this, "Scan for GPS", 136, 143);
    b.label(kScanWarningText, 7, 7, 122, 25);
    progress_ = b.label("...", 7, 40, 122, 80);
    finish_ = b.button("Finish", 45, 122, 50, 14);
    finish_->setEnabled(false);
    b.finish();
    view_ = std::make_unique<Progress>(*progress_);
    connect(finish_, &QPushButton::clicked, this, &QDialog::accept);
}

ScanDialog::~ScanDialog() = default;

int ScanDialog::exec() {
    QTimer::singleShot(kScanStartDelayMs, this, &ScanDialog::runScan);
    return QDialog::exec();
}

void ScanDialog::runScan() {
    if (!isVisible()) {
        return;  // closed before the scan began
    }
    scanning_ = true;
    // Without a link (the program makes one before any dialog) there is
    // nothing to scan with: reported as nothing found.
    found_ = link_ && scan(*link_, view_.get(), kScanDialogPorts);
    scanning_ = false;
    if (found_) {
        saveDriverSetting(*link_);
    } else {
        showMessage(boxes_, kScanNotFoundText, "", MessageIcon::Stop);
    }
    finish_->setEnabled(true);
    finish_->setDefault(true);
    finish_->setFocus();
}

void ScanDialog::reject() {
    if (!scanning_) {
        QDialog::reject();
    }
}

bool runScanDialog(QWidget* parent, MessageBoxes& boxes, GpsLink* link) {
    ScanDialog dialog(boxes, link, parent);
    dialog.exec();
    return dialog.found();
}

}  // namespace wp2
