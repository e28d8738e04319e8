#include "serial/gui/SerialConfigDlgUnit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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

}  // namespace

TSerialConfigDlgForm::TSerialConfigDlgForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Com Port Configuration");
  portList_ = new QComboBox(this);
  baudList_ = new QComboBox(this);
  parityList_ = new QComboBox(this);
  dataBitsList_ = new QComboBox(this);
  stopBitsList_ = new QComboBox(this);
  device_ = new QLabel(this);
  accept_ = new QPushButton("Accept", this);
  cancel_ = new QPushButton("Cancel", this);
  accept_->setDefault(true);

  auto* form = new QFormLayout;
  form->addRow("Com Port", portList_);
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
  connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  FillLists();
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

void TSerialConfigDlgForm::ShowDevice() {
  // Which device a port name stands for is decided by the "PortDevices" section of the
  // configuration file; shown for the operator's information only.
  const std::string path = PortDevicePath(working_.PortNum);
  device_->setText(path.empty() ? QString() : "Device: " + QString::fromStdString(path));
}

void TSerialConfigDlgForm::OpenTemporaryPort() {
  auto port = std::make_unique<serialcomclass>();
  const uint32_t result =
      port->Open(working_.PortNum, working_.BaudRate, working_.FlowControl, working_.Parity,
                 working_.DataBits, working_.StopBits, working_.UserDefBaudRate);
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
  FillLists();
  OpenTemporaryPort();
  const int result = exec();
  CloseTemporaryPort();
  if (result != QDialog::Accepted) return false;
  config = working_;
  return true;
}

bool RunSerialConfigDialog(PortConfig& config, QWidget* parent) {
  TSerialConfigDlgForm dialog(parent);
  return dialog.Execute(config);
}
