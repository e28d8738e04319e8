#include "serial/gui/SerialConfigDlgUnit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/SerialDeviceMonitor.h"
#include "serial/serialcomclass.h"

namespace {

void Fill(QComboBox* list, const char* const* names, int count, int32_t selected) {
  list->clear();
  for (int i = 0; i < count; ++i) list->addItem(QString::fromLatin1(names[i]));
  // An index outside the table selects nothing rather than a wrong entry.
  list->setCurrentIndex(selected >= 0 && selected < count ? selected : -1);
}

// A list that shows no entry leaves its field as it was.
void ReadBack(const QComboBox* list, int32_t& field) {
  if (list->currentIndex() >= 0) field = list->currentIndex();
}

// Without udev's events the devices are looked at again this often.
constexpr int kRescanMs = 1000;

bool SameDevices(const std::vector<SerialDevice>& a, const std::vector<SerialDevice>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (DescribeSerialDevice(a[i]) != DescribeSerialDevice(b[i]) ||
        a[i].stablePath != b[i].stablePath)
      return false;
  return true;
}

}  // namespace

TSerialConfigDlgForm::TSerialConfigDlgForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Com Port Configuration");
  portList_ = new QComboBox(this);
  baudList_ = new QComboBox(this);
  parityList_ = new QComboBox(this);
  dataBitsList_ = new QComboBox(this);
  stopBitsList_ = new QComboBox(this);
  deviceList_ = new QComboBox(this);
  deviceList_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  deviceList_->setToolTip("The device this port name stands for");
  device_ = new QLabel(this);
  accept_ = new QPushButton("Accept", this);
  cancel_ = new QPushButton("Cancel", this);
  accept_->setDefault(true);

  auto* form = new QFormLayout;
  auto* portRow = new QHBoxLayout;
  portRow->addWidget(portList_);
  portRow->addWidget(deviceList_, 1);
  form->addRow("Com Port", portRow);
  form->addRow(QString(), device_);
  form->addRow("Baud", baudList_);
  form->addRow("Parity Check", parityList_);
  form->addRow("Data Bits", dataBitsList_);
  form->addRow("Stop Bits", stopBitsList_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(accept_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  for (QComboBox* list : {portList_, baudList_, parityList_, dataBitsList_, stopBitsList_})
    connect(list, &QComboBox::currentIndexChanged, this, [this] { ListChanged(); });
  connect(deviceList_, &QComboBox::activated, this, [this](int index) { DeviceChosen(index); });
  connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  devices_ = ListPortDevices();
  FillLists();
  WatchDevices();
}

TSerialConfigDlgForm::~TSerialConfigDlgForm() {
  CloseTemporaryPort();
}

void TSerialConfigDlgForm::FillLists() {
  filling_ = true;
  Fill(portList_, kPortNames, kPortCount, working_.PortNum);
  Fill(baudList_, kBaudRateNames, kBaudRateCount, working_.BaudRate);
  Fill(parityList_, kParityNames, kParityCount, working_.Parity);
  Fill(dataBitsList_, kDataBitsNames, kDataBitsCount, working_.DataBits);
  Fill(stopBitsList_, kStopBitsNames, kStopBitsCount, working_.StopBits);
  filling_ = false;
  ShowDevice();
}

void TSerialConfigDlgForm::ListChanged() {
  if (filling_) return;
  ReadBack(portList_, working_.PortNum);
  ReadBack(baudList_, working_.BaudRate);
  ReadBack(parityList_, working_.Parity);
  ReadBack(dataBitsList_, working_.DataBits);
  ReadBack(stopBitsList_, working_.StopBits);
  ShowDevice();
}

std::string TSerialConfigDlgForm::ChosenDevice() const {
  auto chosen = choices_.find(working_.PortNum);
  return chosen != choices_.end() ? chosen->second : PortDevicePath(working_.PortNum);
}

void TSerialConfigDlgForm::ShowDevice() {
  FillDeviceList();
  device_->setText(QString::fromStdString(PortDeviceLine(ChosenDevice())));
}

// The found devices, the chosen port's device first when it is not among them (a name
// whose adapter is unplugged), and "Other...". Each entry holds the path it stores.
void TSerialConfigDlgForm::FillDeviceList() {
  const std::string current = ChosenDevice();
  const SerialDevice* match = current.empty() ? nullptr : FindSerialDevice(devices_, current);
  const bool wasFilling = filling_;
  filling_ = true;
  deviceList_->clear();
  if (!current.empty() && !match)
    deviceList_->addItem(QString::fromStdString(current + "  (not found)"),
                         QString::fromStdString(current));
  for (const SerialDevice& device : devices_) {
    deviceList_->addItem(QString::fromStdString(DescribeSerialDevice(device)),
                         QString::fromStdString(device.stablePath));
    if (&device == match) deviceList_->setCurrentIndex(deviceList_->count() - 1);
  }
  deviceList_->addItem(kOtherDevice);
  if (!match) deviceList_->setCurrentIndex(current.empty() ? -1 : 0);
  filling_ = wasFilling;
}

void TSerialConfigDlgForm::DeviceChosen(int index) {
  if (filling_ || index < 0) return;
  std::string path = deviceList_->itemData(index).toString().toStdString();
  if (deviceList_->itemText(index) == kOtherDevice) {
    bool ok = false;
    const QString typed =
        QInputDialog::getText(this, "Other Device", "Device path:", QLineEdit::Normal,
                              QString::fromStdString(ChosenDevice()), &ok)
            .trimmed();
    if (!ok || typed.isEmpty()) {
      ShowDevice();  // back to the device in force
      return;
    }
    path = typed.toStdString();
  }
  choices_[working_.PortNum] = path;
  ShowDevice();
}

void TSerialConfigDlgForm::RescanDevices() {
  std::vector<SerialDevice> found = ListPortDevices();
  if (SameDevices(found, devices_)) return;
  devices_ = std::move(found);
  ShowDevice();
}

void TSerialConfigDlgForm::WatchDevices() {
  monitor_ = std::make_unique<SerialDeviceMonitor>();
  if (monitor_->Fd() >= 0) {
    monitorNotifier_ = new QSocketNotifier(monitor_->Fd(), QSocketNotifier::Read, this);
    connect(monitorNotifier_, &QSocketNotifier::activated, this, [this] {
      if (monitor_->Drain()) RescanDevices();
    });
    return;
  }
  rescanTimer_ = new QTimer(this);
  rescanTimer_->setInterval(kRescanMs);
  connect(rescanTimer_, &QTimer::timeout, this, &TSerialConfigDlgForm::RescanDevices);
  rescanTimer_->start();
}

void TSerialConfigDlgForm::OpenTemporaryPort() {
  auto port = std::make_unique<serialcomclass>();
  const uint32_t result = port->Open(working_);
  if (result != 0) return;  // Open has logged why
  port->SetReadSize(1);
  tempPort_ = std::move(port);
}

void TSerialConfigDlgForm::CloseTemporaryPort() {
  if (!tempPort_) return;
  tempPort_->Stop();
  tempPort_.reset();
}

bool TSerialConfigDlgForm::Execute(PortConfig& config) {
  working_ = config;
  choices_.clear();
  FillLists();
  OpenTemporaryPort();
  const int result = exec();
  CloseTemporaryPort();
  if (result != QDialog::Accepted) return false;
  config = working_;
  return true;
}

bool RunSerialConfigDialog(PortConfig& config, QWidget* parent, PortDeviceChoices* choices) {
  TSerialConfigDlgForm dialog(parent);
  if (!dialog.Execute(config)) return false;
  if (choices) *choices = dialog.Choices();
  return true;
}
