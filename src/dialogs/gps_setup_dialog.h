// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "GPS Setup" dialog: port and line settings of the receiver, the raw
// sentences arriving with them (Test), autodetection (Scan), the warm start
// and any-talker switches. Besides the serial ports, the port list offers
// gpsd and a TCP stream, whose host and TCP port take the place of the line
// settings. OK stores the choice in "Driver" (and the network address in the
// port's "Port<n>" value) and restarts the link on it; Cancel restarts the
// link on the settings it had.

#include <QDialog>
#include <array>
#include <memory>

#include "core/gps/serial_port.h"
#include "core/settings/int_setting.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace wp2 {

class GpsLink;
class MessageBoxes;
class Registry;
struct UiServices;

// The entries of the baud rate list (the sixth is 24400).
inline constexpr std::array<int, 9> kBaudRates = {1200,  2400,  4800,  9600, 19200,
                                                  24400, 33600, 38400, 57600};
inline constexpr std::array<int, 2> kDataBits = {7, 8};
inline constexpr std::array<const char*, 3> kParityNames = {"None", "Odd", "Even"};
// COM1 .. COM9, gpsd and TCP.
inline constexpr int kPortListSize = 11;
// The raw-sentence view holds at most this many characters; when full it is emptied.
inline constexpr int kRawSentenceLimit = 10000;
inline constexpr const char* kWarmStartValue = "WarmStart";
// 1: RMC, GGA and GSA of any talker are decoded; 0: those of GPS (GP) only.
inline constexpr const char* kAnyTalkerValue = "AnyTalker";

class GpsSetupDialog : public QDialog {
    Q_OBJECT

public:
    // Works on `link` (without one it opens with its initial values and
    // changes nothing) with the settings and message boxes of services
    // (which must outlive the dialog). The switches stay clear until load().
    explicit GpsSetupDialog(const UiServices& services, GpsLink* link = nullptr,
                            QWidget* parent = nullptr);
    ~GpsSetupDialog() override;

    // Reads "WarmStart" and "AnyTalker" (1 when absent) into the switches.
    void load();

    bool testing() const { return testing_; }

    QComboBox* portList() const { return port_; }
    QComboBox* baudList() const { return baud_; }
    QComboBox* parityList() const { return parity_; }
    QComboBox* dataBitsList() const { return dataBits_; }
    QRadioButton* oneStopBit() const { return stop1_; }
    QRadioButton* twoStopBits() const { return stop2_; }
    QPushButton* scanButton() const { return scan_; }
    QCheckBox* warmStartBox() const { return warmStart_; }
    QCheckBox* anyTalkerBox() const { return anyTalker_; }
    QLineEdit* hostEdit() const { return host_; }
    QLineEdit* tcpPortEdit() const { return tcpPort_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* testButton() const { return test_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPlainTextEdit* rawSentences() const { return raw_; }

    void accept() override;
    void reject() override;

private:
    class RawView;

    void fill();
    void fillPorts();
    // Shows the host and TCP port for gpsd and TCP, the line settings otherwise.
    void showPortKind(int index);
    void readControls();
    // Stores the network address of the chosen gpsd or TCP port.
    void storeNetworkAddress();
    // Says in the raw-sentence box what the link reads, or why it cannot.
    void showSource(bool opened);
    void toggleTest();
    void runScan();

    GpsLink* link_;
    Registry& registry_;
    MessageBoxes& boxes_;
    std::unique_ptr<RawView> rawView_;
    IntSetting warmStartSetting_;
    IntSetting anyTalkerSetting_;
    // The dialog's fields: list positions, stop bits and the test state.
    int portIndex_ = 1;
    int baudIndex_ = 2;
    int parityIndex_ = 0;
    int dataBitsIndex_ = 1;
    int stopBits_ = 1;
    bool testing_ = false;
    int initialPort_ = 1;
    LineSettings initial_;
    // The chosen values as last read from the controls.
    LineSettings chosen_;

    QComboBox* port_;
    QComboBox* baud_;
    QComboBox* parity_;
    QComboBox* dataBits_;
    QRadioButton* stop1_;
    QRadioButton* stop2_;
    QPushButton* scan_;
    QCheckBox* warmStart_;
    QCheckBox* anyTalker_;
    std::array<QWidget*, 9> lineControls_{};
    QLabel* hostLabel_;
    QLineEdit* host_;
    QLabel* tcpPortLabel_;
    QLineEdit* tcpPort_;
    QPushButton* ok_;
    QPushButton* test_;
    QPushButton* cancel_;
    QPlainTextEdit* raw_;
};

// Runs the dialog; QDialog::Accepted after OK or a finished scan.
int runGpsSetupDialog(QWidget* parent, const UiServices& services, GpsLink* link = nullptr);

}  // namespace wp2
