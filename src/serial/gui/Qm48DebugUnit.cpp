#include "serial/gui/Qm48DebugUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "platform/Clock.h"
#include "platform/StartDirectory.h"
#include "serial/serialcomclass.h"
#include "support/Operator.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

namespace {
const char kCaption[] = "RS-232 Debug Window";
const char kTraceExtension[] = "Qm48ComDbg";
const char kCannotOpenText[] = "Cannot open the file";
const char kCannotOpenCaption[] = "FILE OPEN";
// How soon a line of "Tx Buffer" is tried again while the port is still writing.
constexpr int kSendRetryMs = 5;
// The shortest time between two redraws of the traffic.
constexpr int kDrainPeriodMs = 40;

QString Q(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

TQm48DebugForm::TQm48DebugForm(UnitLink& link, std::function<bool()> openPort, QWidget* parent)
    : QMainWindow(parent), link_(link), openPort_(std::move(openPort)) {
  setObjectName("Qm48DebugForm");
  QPalette red = palette();
  red.setColor(QPalette::Window, QColor(0xb0, 0x20, 0x20));
  setPalette(red);
  setAutoFillBackground(true);
  BuildControls();

  // FormCreate: the lists are filled with their change events silenced.
  initialising_ = true;
  memoSend_->clear();
  memoReceive_->clear();
  for (const std::string& entry : SpecialCharEntries()) comboSpecialChar_->addItem(Q(entry));
  comboSpecialChar_->setCurrentIndex(0);
  for (const std::string& entry : HexCharEntries()) comboHexChar_->addItem(Q(entry));
  comboHexChar_->setCurrentIndex(0);
  lastTraceName_.clear();
  setWindowTitle(kCaption);
  ShowConnectState();
  initialising_ = false;

  resize(640, 560);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  observer_ = link_.AddObserver(
      [this](int code, const uint8_t* bytes, uint32_t count) { Observe(code, bytes, count); });
}

TQm48DebugForm::~TQm48DebugForm() {
  // After this no notification reaches the window; a queued hand-over dies with it.
  link_.RemoveObserver(observer_);
}

void TQm48DebugForm::BuildControls() {
  QMenu* file = menuBar()->addMenu("File");
  saveAs1_ = file->addAction("Save RxBuf  As", this, &TQm48DebugForm::SaveAs1Click);
  file->addAction("Trace To File", this, &TQm48DebugForm::TraceToFileClick);
  stopTrace_ = file->addAction("Stop Trace", this, &TQm48DebugForm::StopTraceClick);
  stopTrace_->setEnabled(false);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  QPalette black;
  black.setColor(QPalette::Base, Qt::black);
  black.setColor(QPalette::Text, Qt::white);

  memoSend_ = new QPlainTextEdit(central);
  memoSend_->setObjectName("MemoSend");
  memoSend_->setPalette(black);
  memoSend_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(memoSend_, 1);

  auto* sendRow = new QHBoxLayout;
  auto* buttonTxClear = new QPushButton("Tx Clear", central);
  auto* buttonSendBuffer = new QPushButton("Tx Buffer", central);
  comboSpecialChar_ = new QComboBox(central);
  auto* buttonSpecialChar = new QPushButton("Add Special Char", central);
  comboHexChar_ = new QComboBox(central);
  auto* buttonAddHexChar = new QPushButton("Add Hex Char", central);
  for (QWidget* w :
       std::initializer_list<QWidget*>{buttonTxClear, buttonSendBuffer, comboSpecialChar_,
                                       buttonSpecialChar, comboHexChar_, buttonAddHexChar})
    sendRow->addWidget(w);
  layout->addLayout(sendRow);

  memoReceive_ = new QPlainTextEdit(central);
  memoReceive_->setObjectName("MemoReceive");
  memoReceive_->setReadOnly(true);
  memoReceive_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoReceive_->setFont(QFont("Monospace"));
  layout->addWidget(memoReceive_, 2);

  auto* receiveRow = new QHBoxLayout;
  auto* buttonRxClear = new QPushButton("Rx Clear", central);
  checkTimeStamps_ = new QCheckBox("Time Stamps", central);
  checkHex_ = new QCheckBox("Hex", central);
  buttonConnect_ = new QPushButton("Connect", central);
  receiveRow->addWidget(buttonRxClear);
  receiveRow->addWidget(checkTimeStamps_);
  receiveRow->addWidget(checkHex_);
  receiveRow->addStretch(1);
  receiveRow->addWidget(buttonConnect_);
  layout->addLayout(receiveRow);
  setCentralWidget(central);

  connect(buttonTxClear, &QPushButton::clicked, this, &TQm48DebugForm::ButtonTxClearClick);
  connect(buttonSendBuffer, &QPushButton::clicked, this, &TQm48DebugForm::ButtonSendBufferClick);
  connect(buttonSpecialChar, &QPushButton::clicked, this, &TQm48DebugForm::ButtonSpecialCharClick);
  connect(buttonAddHexChar, &QPushButton::clicked, this, &TQm48DebugForm::ButtonAddHexCharClick);
  connect(buttonRxClear, &QPushButton::clicked, this, &TQm48DebugForm::ButtonRxClearClick);
  connect(buttonConnect_, &QPushButton::clicked, this, &TQm48DebugForm::ButtonConnectClick);
  // Picking an entry adds it, as its button does (not while the lists are filled).
  connect(comboSpecialChar_, &QComboBox::currentIndexChanged, this, [this] {
    if (!initialising_) ButtonSpecialCharClick();
  });
  connect(comboHexChar_, &QComboBox::currentIndexChanged, this, [this] {
    if (!initialising_) ButtonAddHexCharClick();
  });
  connect(checkTimeStamps_, &QCheckBox::toggled, this, &TQm48DebugForm::RenderAll);
  connect(checkHex_, &QCheckBox::toggled, this, &TQm48DebugForm::RenderAll);
}

void TQm48DebugForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  setWindowTitle(kCaption);
  watching_ = true;
  ShowConnectState();
}

void TQm48DebugForm::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  watching_ = false;
}

void TQm48DebugForm::ShowConnectState() {
  connected_ = link_.Connected();
  buttonConnect_->setText(connected_ ? "Disconnect" : "Connect");
}

// ---- sending

void TQm48DebugForm::AppendToSend(uint8_t code) {
  QTextCursor end = memoSend_->textCursor();
  end.movePosition(QTextCursor::End);
  end.insertText(Q(SendToken(code)));
  memoSend_->setTextCursor(end);
}

void TQm48DebugForm::ButtonSpecialCharClick() {
  if (comboSpecialChar_->currentIndex() >= 0)
    AppendToSend(static_cast<uint8_t>(comboSpecialChar_->currentIndex()));
}

void TQm48DebugForm::ButtonAddHexCharClick() {
  if (comboHexChar_->currentIndex() >= 0)
    AppendToSend(static_cast<uint8_t>(comboHexChar_->currentIndex()));
}

void TQm48DebugForm::ButtonTxClearClick() {
  memoSend_->clear();
}

void TQm48DebugForm::ButtonSendBufferClick() {
  if (!link_.Port()) {
    SignalWarning();
    ShowConnectState();
    return;
  }
  // Every non-empty line, in order, each in writes the port takes (at most 512 bytes).
  for (QTextBlock block = memoSend_->document()->begin(); block.isValid(); block = block.next()) {
    const std::string bytes = EncodeSendLine(block.text().toLatin1().toStdString());
    for (size_t at = 0; at < bytes.size(); at += kPortBufferSize)
      txQueue_.push_back(bytes.substr(at, kPortBufferSize));
  }
  SendNextQueued();
}

// A line the port is still busy with (an earlier line, or a load) is tried again shortly,
// so that no line of the buffer is dropped.
void TQm48DebugForm::SendNextQueued() {
  while (!txQueue_.empty()) {
    std::shared_ptr<serialcomclass> port = link_.Port();
    if (!port || !port->IsRunning()) {
      LogText("Debug window: " + std::to_string(txQueue_.size()) +
                  " line(s) not sent, the port is closed",
              0);
      txQueue_.clear();
      SignalWarning();
      ShowConnectState();
      return;
    }
    const std::string& line = txQueue_.front();
    if (!port->Send(line.data(), static_cast<int32_t>(line.size()))) {
      QTimer::singleShot(kSendRetryMs, this, &TQm48DebugForm::SendNextQueued);
      return;
    }
    txQueue_.pop_front();
  }
}

void TQm48DebugForm::ButtonConnectClick() {
  if (link_.Connected()) {
    link_.Close();
  } else if (!openPort_ || !openPort_()) {
    SignalWarning();  // the reason is in the program log
  }
  ShowConnectState();
}

// ---- the traffic

void TQm48DebugForm::Observe(int code, const uint8_t* bytes, uint32_t count) {
  if (!watching_) return;
  {
    std::lock_guard lock(pendingMutex_);
    if (code == EVT_CONNECTED || code == EVT_DISCONNECTED) {
      pendingConnectChange_ = true;
    } else if (code == EVT_TX_DONE && count > 0) {
      pendingLines_.push_back(assembler_.Sent(bytes, count, LocalNow()));
    } else if (code == EVT_RX_DATA) {
      // The clock is read for the first byte of a line only: the others keep its time.
      const LocalDateTime now = assembler_.OpenLine().bytes.empty() ? LocalNow() : LocalDateTime{};
      for (TrafficLine& line : assembler_.Received(bytes, count, now))
        pendingLines_.push_back(std::move(line));
    } else {
      return;  // modem-line news is not traffic
    }
  }
  // One hand-over waits at a time; it takes everything gathered until it runs.
  if (!drainPosted_.exchange(true))
    QMetaObject::invokeMethod(this, &TQm48DebugForm::DrainTraffic, Qt::QueuedConnection);
}

// The window is redrawn at most once a drain period: during a load the unit's replies come
// faster than anyone reads, and a redraw per byte would slow the load. Traffic arriving
// meanwhile finds the hand-over still pending and is taken by the next drain.
void TQm48DebugForm::DrainTraffic() {
  ShowPending();
  QTimer::singleShot(kDrainPeriodMs, this, [this] {
    ShowPending();
    drainPosted_ = false;
    bool more = false;
    {
      std::lock_guard lock(pendingMutex_);
      more = !pendingLines_.empty() || pendingConnectChange_ ||
             assembler_.OpenLine().bytes != openLine_.bytes;
    }
    if (more && !drainPosted_.exchange(true)) DrainTraffic();
  });
}

std::string TQm48DebugForm::Formatted(const TrafficLine& line) const {
  return FormatTrafficLine(line, checkTimeStamps_->isChecked(), checkHex_->isChecked());
}

void TQm48DebugForm::ShowPending() {
  std::vector<TrafficLine> lines;
  bool connectChange = false;
  TrafficLine open;
  {
    std::lock_guard lock(pendingMutex_);
    lines.swap(pendingLines_);
    connectChange = pendingConnectChange_;
    pendingConnectChange_ = false;
    open = assembler_.OpenLine();
  }
  if (connectChange) ShowConnectState();
  if (!isVisible()) return;  // hidden meanwhile: nothing is added

  // The view holds at most kTraceMaxLines lines; the next one empties it first. Only
  // what is left at the end is drawn.
  bool emptied = false;
  size_t firstNew = shown_.size();
  for (TrafficLine& line : lines) {
    if (trace_.IsOpen() && !trace_.WriteLine(Formatted(line))) {
      LogError("Debug window: the trace file " + trace_.Path() + " could not be written", 0, false);
      trace_.Close();
      stopTrace_->setEnabled(false);
      SignalWarning();
    }
    if (shown_.size() >= static_cast<size_t>(kTraceMaxLines)) {
      shown_.clear();
      emptied = true;
      firstNew = 0;
    }
    shown_.push_back(std::move(line));
  }
  if (emptied) {
    openLine_ = std::move(open);
    RenderAll();
    return;
  }

  QTextCursor cursor(memoReceive_->document());
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::End);
  if (openLineShown_) {  // the open line is drawn again below, with what it gained
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (cursor.position() > 0) cursor.deletePreviousChar();
    openLineShown_ = false;
  }
  openLine_ = std::move(open);
  auto add = [&](const std::string& text) {
    if (!memoReceive_->document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(Q(text));
  };
  for (size_t i = firstNew; i < shown_.size(); ++i) add(Formatted(shown_[i]));
  if (!openLine_.bytes.empty()) {
    add(Formatted(openLine_));
    openLineShown_ = true;
  }
  cursor.endEditBlock();
  memoReceive_->verticalScrollBar()->setValue(memoReceive_->verticalScrollBar()->maximum());
}

void TQm48DebugForm::RenderAll() {
  QStringList text;
  for (const TrafficLine& line : shown_) text << Q(Formatted(line));
  openLineShown_ = !openLine_.bytes.empty();
  if (openLineShown_) text << Q(Formatted(openLine_));
  memoReceive_->setPlainText(text.join('\n'));
  memoReceive_->verticalScrollBar()->setValue(memoReceive_->verticalScrollBar()->maximum());
}

QStringList TQm48DebugForm::TrafficLines() const {
  QStringList lines;
  if (memoReceive_->document()->isEmpty()) return lines;
  for (QTextBlock block = memoReceive_->document()->begin(); block.isValid(); block = block.next())
    lines << block.text();
  return lines;
}

void TQm48DebugForm::ButtonRxClearClick() {
  shown_.clear();
  openLine_ = {};
  {
    std::lock_guard lock(pendingMutex_);
    assembler_.Clear();
  }
  openLineShown_ = false;
  memoReceive_->clear();
}

// ---- files

std::string TQm48DebugForm::ChooseTraceName(const char* title) {
  GoToStartDirectory();
  FileChooserRequest request;
  request.kind = FileChooserKind::Save;
  request.title = title;
  request.initialDirectory = StartDirectory();
  request.defaultExtension = kTraceExtension;
  request.filter = std::string("Comm Debug Files |*.") + kTraceExtension;
  request.suggestedName = std::filesystem::path(lastTraceName_).filename().string();
  std::string path;
  const bool chosen = Operator().ChooseFile(request, path);
  GoToStartDirectory();
  if (!chosen || path.empty()) return {};
  lastTraceName_ = path;  // kept as chosen: names differ by case here
  return path;
}

void TQm48DebugForm::SaveAs1Click() {
  const std::string path = ChooseTraceName("Save File");
  if (path.empty()) return;
  std::vector<std::string> lines;
  for (const TrafficLine& line : shown_) lines.push_back(Formatted(line));
  if (!openLine_.bytes.empty()) lines.push_back(Formatted(openLine_));
  std::string error;
  if (!SaveTraceLines(path, lines, &error)) {
    LogError("Debug window: " + error, 0, false);
    SignalWarning();
    Operator().MessageBox(kCannotOpenText, kCannotOpenCaption, MsgButtons::Ok, MsgIcon::Error);
  }
}

void TQm48DebugForm::TraceToFileClick() {
  const std::string path = ChooseTraceName("Trace To File");
  if (path.empty()) return;
  std::string error;
  if (!trace_.Open(path, &error)) {
    LogError("Debug window: " + error, 0, false);
    SignalWarning();
    Operator().MessageBox(kCannotOpenText, kCannotOpenCaption, MsgButtons::Ok, MsgIcon::Error);
  }
  stopTrace_->setEnabled(trace_.IsOpen());
}

void TQm48DebugForm::StopTraceClick() {
  trace_.Close();
  stopTrace_->setEnabled(false);
}
