// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Scan for GPS" dialog: runs the receiver autodetection on the link,
// shows its progress line by line, stores the "Driver" setting when a
// receiver is found, and waits for "Finish".

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;

namespace wp2 {

class MessageBoxes;

class GpsLink;

inline constexpr const char* kScanWarningText =
    "If the scan hangs, check the\r\nreceiver's cable and power and\r\nstart Wayplot2 again.";
inline constexpr const char* kScanNotFoundText =
    "No GPS receiver was found.\r\nPerhaps this receiver is not supported.";
// Ports the dialog's scan tries.
inline constexpr int kScanDialogPorts = 8;
// The scan starts this long after the dialog opens, so that it is drawn first.
inline constexpr int kScanStartDelayMs = 200;

class ScanDialog : public QDialog {
    Q_OBJECT

public:
    // Scans `link` (the program's link, with its port, timers and clock);
    // without one it finds nothing.
    // Finding no receiver is told in boxes.
    explicit ScanDialog(MessageBoxes& boxes, GpsLink* link = nullptr, QWidget* parent = nullptr);
    ~ScanDialog() override;

    bool scanning() const { return scanning_; }
    bool found() const { return found_; }

    QLabel* progress() const { return progress_; }
    QPushButton* finishButton() const { return finish_; }

    int exec() override;
    // Closing is refused while the scan runs.
    void reject() override;

private:
    class Progress;

    void runScan();

    MessageBoxes& boxes_;
    GpsLink* link_;
    std::unique_ptr<Progress> view_;
    bool scanning_ = false;
    bool found_ = false;
    QLabel* progress_;
    QPushButton* finish_;
};

// Runs the dialog; true when a receiver was found (and "Driver" written).
bool runScanDialog(QWidget* parent, MessageBoxes& boxes, GpsLink* link = nullptr);

}  // namespace wp2
