// SPDX-License-Identifier: GPL-3.0-or-later
#include "gps_setup_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <initializer_list>

#include "core/base/cformat.h"
#include "core/gps/gps_link.h"
#include "core/gps/port_map.h"
#include "core/gps/source_url.h"
#include "core/settings/settings_store.h"
#include "dialog_builder.h"
#include "dialog_layout.h"
#include "messages/ui_services.h"
#include "scan_dialog.h"

namespace wp2 {

namespace {

constexpr int kDeviceRole = Qt::UserRole + 1;

// The open port list names each port's device beside it ("COM1
// (/dev/ttyUSB0)"), so that users know what they pick; the closed list shows
// the port alone.
class PortItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static QString entryText(const QModelIndex& index) {
        const QString device = index.data(kDeviceRole).toString();
        const QString name = index.data(Qt::DisplayRole).toString();
        return device.isEmpty() ? name : name + " (" + device + ")";
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = entryText(index);
    }
};

bool isNetworkPort(int port) {
    return port == kGpsdPort || port == kTcpPort;
}

// The host and TCP port a network port number names, or the usual ones.
SourceAddress networkAddress(const PortMap& map, int port) {
    SourceAddress address;
    if (!parseSource(map.device(port), address) || address.kind == SourceAddress::Kind::Serial) {
        address.kind = port == kGpsdPort ? SourceAddress::Kind::Gpsd : SourceAddress::Kind::Tcp;
        address.host = kGpsdDefaultHost;
        address.port = port == kGpsdPort ? kGpsdDefaultPort : kNmeaTcpDefaultPort;
    }
    return address;
}

template <std::size_t N>
int indexOf(const std::array<int, N>& table, int value) {
    const auto it = std::find(table.begin(), table.end(), value);
    return it == table.end() ? -1 : static_cast<int>(it - table.begin());
}

// Selects an entry, or none for a position outside the list.
void selectEntry(QComboBox* list, int index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void checkOnly(QRadioButton* on, QRadioButton* off) {
    for (QRadioButton* r : {on, off}) {
        if (r) {
            r->setAutoExclusive(false);
            r->setChecked(r == on);
            r->setAutoExclusive(true);
        }
    }
}

}  // namespace

// The test mode's view: raw sentences at the end of the text box, emptied
// when the next one would pass the limit.
class GpsSetupDialog::RawView final : public TestView {
public:
    explicit RawView(QPlainTextEdit& box) : box_(box) {}

    void appendAtEnd(std::string_view text) override {
        // One character per received byte: the limit counts bytes as they came.
        QString t = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (box_.document()->characterCount() - 1 + t.size() > kRawSentenceLimit) {
            box_.clear();
        }
        box_.moveCursor(QTextCursor::End);
        box_.insertPlainText(t);
    }
    void scrollLineDown() override {
        QScrollBar* bar = box_.verticalScrollBar();
        bar->setValue(bar->value() + bar->singleStep());
    }

private:
    QPlainTextEdit& box_;
};

GpsSetupDialog::GpsSetupDialog(const UiServices& services, GpsLink* link, QWidget* parent)
    : QDialog(parent),
      link_(link),
      registry_(services.registry),
      boxes_(services.boxes),
      warmStartSetting_(services.settings(), kWarmStartValue, true, 1),
      anyTalkerSetting_(services.settings(), kAnyTalkerValue, true, 1) {
    DialogBuilder b(*this, "GPS Setup", 138, 151);
    b.label("Port", 5, 6, 34, 8);
    port_ = b.dropDown(40, 4, 43);
    lineControls_[0] = b.label("Baud Rate", 5, 21, 34, 8);
    lineControls_[1] = baud_ = b.dropDown(40, 19, 43);
    lineControls_[2] = b.label("Parity", 5, 36, 34, 8);
    lineControls_[3] = parity_ = b.dropDown(40, 34, 43);
    lineControls_[4] = b.label("Data Bits", 5, 52, 34, 8);
    lineControls_[5] = dataBits_ = b.dropDown(40, 50, 43);
    lineControls_[6] = b.label("Stop bits", 91, 6, 34, 8);
    lineControls_[7] = stop1_ = b.radio("1", 91, 19, 20, 10);
    lineControls_[8] = stop2_ = b.radio("2", 91, 34, 20, 10);
    // In place of the line settings for gpsd and TCP.
    hostLabel_ = b.label("Host", 5, 21, 34, 8);
    host_ = b.edit(40, 19, 95, 12);
    tcpPortLabel_ = b.label("TCP port", 5, 36, 34, 8);
    tcpPort_ = b.edit(40, 34, 43, 12);
    tcpPort_->setValidator(new QIntValidator(1, 65535, tcpPort_));
    scan_ = b.button("Scan", 95, 48, 40, 14);
    warmStart_ = b.checkBox("Warm Start", 5, 65, 60, 10);
    anyTalker_ = b.checkBox("Any talker", 72, 65, 60, 10);
    anyTalker_->setToolTip(
        "Decode positions of every satellite system (GN, GL, GA, GB... talkers), not of GPS "
        "(GP) alone");
    ok_ = b.button("OK", 2, 80, 37, 14);
    test_ = b.button("Test", 45, 80, 44, 14);
    cancel_ = b.button("Cancel", 95, 80, 40, 14);
    raw_ = b.textView(2, 98, 133, 50);
    ok_->setDefault(true);
    rawView_ = std::make_unique<RawView>(*raw_);
    fill();
    b.finish();
    if (link_ && link_->serialPort() && link_->serialPort()->isOpen()) {
        showSource(true);
    }

    connect(port_, &QComboBox::currentIndexChanged, this, &GpsSetupDialog::showPortKind);
    connect(stop1_, &QRadioButton::clicked, this, [this] { stopBits_ = 1; });
    connect(stop2_, &QRadioButton::clicked, this, [this] { stopBits_ = 2; });
    connect(test_, &QPushButton::clicked, this, &GpsSetupDialog::toggleTest);
    connect(scan_, &QPushButton::clicked, this, &GpsSetupDialog::runScan);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

GpsSetupDialog::~GpsSetupDialog() {
    // The link must not keep writing into the box that goes with the dialog.
    if (link_ && testing_) {
        link_->stop();
    }
}

void GpsSetupDialog::fill() {
    initial_.port = initialPort_;
    initial_.baudRate = kBaudRates[static_cast<std::size_t>(baudIndex_)];
    initial_.dataBits =
        static_cast<std::uint8_t>(kDataBits[static_cast<std::size_t>(dataBitsIndex_)]);
    initial_.stopBits = static_cast<std::uint8_t>(stopBits_);
    initial_.parity = static_cast<std::uint16_t>(parityIndex_);
    if (link_) {
        initialPort_ = link_->portNumber();
        initial_ = link_->lineSettings();
        initial_.port = initialPort_;
    }

    for (int rate : kBaudRates) {
        baud_->addItem(QString::fromStdString(cformat("%d", rate)));
    }
    if (link_) {
        const int found = indexOf(kBaudRates, initial_.baudRate);
        if (found >= 0) {
            baudIndex_ = found;
        }
        selectEntry(baud_, found);
    } else {
        selectEntry(baud_, baudIndex_);
    }

    fillPorts();

    for (int bits : kDataBits) {
        dataBits_->addItem(QString::number(bits));
    }
    if (link_) {
        const int found = indexOf(kDataBits, initial_.dataBits);
        if (found >= 0) {
            dataBitsIndex_ = found;
        }
        selectEntry(dataBits_, found);
    } else {
        selectEntry(dataBits_, dataBitsIndex_);
    }

    for (const char* name : kParityNames) {
        parity_->addItem(name);
    }
    if (link_) {
        parityIndex_ = initial_.parity;
    }
    selectEntry(parity_, parityIndex_);

    if (link_) {
        stopBits_ = initial_.stopBits;
    }
    checkOnly(stopBits_ == 1   ? stop1_
              : stopBits_ == 2 ? stop2_
                               : nullptr,
              stopBits_ == 1 ? stop2_ : stop1_);
    chosen_ = initial_;
}

void GpsSetupDialog::load() {
    warmStartSetting_.load();
    anyTalkerSetting_.load();
    warmStart_->setChecked(warmStartSetting_.get() != 0);
    anyTalker_->setChecked(anyTalkerSetting_.get() != 0);
}

void GpsSetupDialog::fillPorts() {
    const PortMap map = link_ ? link_->portMap() : PortMap(registry_);
    auto* delegate = new PortItemDelegate(port_);
    port_->setItemDelegate(delegate);
    int widest = 0;
    for (int n = 1; n <= kPortListSize; ++n) {
        port_->addItem(QString::fromStdString(PortMap::comName(n)));
        const QString device = QString::fromStdString(map.device(n));
        port_->setItemData(n - 1, device, kDeviceRole);
        port_->setItemData(n - 1, device, Qt::ToolTipRole);
        widest =
            std::max(widest, port_->fontMetrics().horizontalAdvance(
                                 PortItemDelegate::entryText(port_->model()->index(n - 1, 0))));
    }
    port_->view()->setMinimumWidth(widest + 24);
    portIndex_ = initialPort_ - 1;
    selectEntry(port_, portIndex_);
    showPortKind(port_->currentIndex());
}

void GpsSetupDialog::showPortKind(int index) {
    const int port = index + 1;
    const bool network = isNetworkPort(port);
    for (QWidget* w : lineControls_) {
        w->setVisible(!network);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{hostLabel_, host_, tcpPortLabel_, tcpPort_}) {
        w->setVisible(network);
    }
    if (network) {
        const SourceAddress address =
            networkAddress(link_ ? link_->portMap() : PortMap(registry_), port);
        host_->setText(QString::fromStdString(address.host));
        tcpPort_->setText(QString::number(address.port));
    }
}

void GpsSetupDialog::storeNetworkAddress() {
    if (!link_ || !isNetworkPort(chosen_.port)) {
        return;
    }
    SourceAddress address = networkAddress(link_->portMap(), chosen_.port);
    const std::string host = host_->text().trimmed().toStdString();
    if (!host.empty()) {
        address.host = host;
    }
    if (tcpPort_->hasAcceptableInput()) {
        address.port = tcpPort_->text().toInt();
    }
    (void)SettingsStore(registry_).writeText(PortMap::settingName(chosen_.port), address.text());
}

void GpsSetupDialog::showSource(bool opened) {
    const SerialPort* port = link_ ? link_->serialPort() : nullptr;
    if (!port) {
        return;
    }
    std::string text = opened ? "Reading " + port->describe() : port->openProblem();
    if (!opened && text.empty()) {
        text = "The port cannot be opened.";
    }
    raw_->setPlaceholderText(QString::fromStdString(text));
}

void GpsSetupDialog::readControls() {
    warmStartSetting_ = warmStart_->isChecked() ? 1 : 0;
    anyTalkerSetting_ = anyTalker_->isChecked() ? 1 : 0;
    // A list without a selection (a rate not in the table) keeps the link's value.
    if (port_->currentIndex() >= 0) {
        portIndex_ = port_->currentIndex();
    }
    chosen_.port = portIndex_ + 1;
    chosen_.baudRate = baud_->currentIndex() >= 0
                           ? kBaudRates[static_cast<std::size_t>(baud_->currentIndex())]
                           : initial_.baudRate;
    chosen_.dataBits = dataBits_->currentIndex() >= 0
                           ? static_cast<std::uint8_t>(
                                 kDataBits[static_cast<std::size_t>(dataBits_->currentIndex())])
                           : initial_.dataBits;
    chosen_.parity = parity_->currentIndex() >= 0
                         ? static_cast<std::uint16_t>(parity_->currentIndex())
                         : initial_.parity;
    chosen_.stopBits = static_cast<std::uint8_t>(stopBits_);
}

void GpsSetupDialog::toggleTest() {
    test_->setEnabled(false);
    if (testing_) {
        testing_ = false;
        test_->setText("Start");
        scan_->setEnabled(true);
        if (link_) {
            link_->stop();
        }
    } else {
        testing_ = true;
        readControls();
        test_->setText("Stop");
        scan_->setEnabled(false);
        raw_->clear();
        if (link_) {
            link_->stop();
            link_->setLineSettings(chosen_.baudRate, chosen_.dataBits, chosen_.stopBits,
                                   chosen_.parity);
            storeNetworkAddress();
            showSource(link_->startTest(chosen_.port, rawView_.get()));
        }
    }
    test_->setEnabled(true);
}

void GpsSetupDialog::runScan() {
    readControls();
    if (link_) {
        link_->setLineSettings(4800, 8, 1, 0);
    }
    testing_ = false;
    runScanDialog(this, boxes_, link_);
    QDialog::accept();
}

void GpsSetupDialog::accept() {
    readControls();
    if (link_) {
        link_->stop();
        SettingsStore store(registry_);
        (void)store.writeText(
            "Driver", cformat("%d,%d,%d,%d,%d", chosen_.port, chosen_.baudRate, chosen_.dataBits,
                              chosen_.stopBits, chosen_.parity));
        link_->setLineSettings(chosen_.baudRate, chosen_.dataBits, chosen_.stopBits,
                               chosen_.parity);
        link_->warmStart().enabled = warmStart_->isChecked();
        storeNetworkAddress();
        link_->start(chosen_.port);
    }
    testing_ = false;
    QDialog::accept();
}

void GpsSetupDialog::reject() {
    if (link_) {
        link_->stop();
        link_->setLineSettings(initial_.baudRate, initial_.dataBits, initial_.stopBits,
                               initial_.parity);
        link_->start(portIndex_ + 1);
    }
    testing_ = false;
    QDialog::reject();
}

int runGpsSetupDialog(QWidget* parent, const UiServices& services, GpsLink* link) {
    GpsSetupDialog dialog(services, link, parent);
    dialog.load();
    return dialog.exec();
}

}  // namespace wp2
