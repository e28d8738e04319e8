#pragma once
// The RS-232 debug window: the text to send with its special characters, the traffic of
// a link's port line by line (time stamps and hex view on request), Connect and
// Disconnect, and trace files. The port's traffic is seen on the port thread (the window
// is one of the link's observers) and handed to
// this window through a queued call: the widgets are touched on the GUI thread only.
#include <QMainWindow>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/UnitLink.h"
#include "serial/DebugTraffic.h"
#include "serial/TraceFile.h"

class QAction;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

class TQm48DebugForm : public QMainWindow {
  Q_OBJECT

 public:
  // Shows the traffic of link, which must outlive the window. openPort opens the link's
  // port with the program's port configuration (Connect); true when the port runs.
  TQm48DebugForm(UnitLink& link, std::function<bool()> openPort, QWidget* parent = nullptr);
  ~TQm48DebugForm() override;

  // Connected = the link's port exists and its thread runs; the button says so.
  void ShowConnectState();

  // Control actions.
  void ButtonTxClearClick();
  void ButtonSendBufferClick();
  void ButtonSpecialCharClick();
  void ButtonAddHexCharClick();
  void ButtonRxClearClick();
  void ButtonConnectClick();
  void SaveAs1Click();      // "Save RxBuf  As": the traffic shown, to a file
  void TraceToFileClick();  // every later traffic line appended to a file as it comes
  void StopTraceClick();

  // For tests.
  QPlainTextEdit* MemoSend() const { return memoSend_; }
  QPlainTextEdit* MemoReceive() const { return memoReceive_; }
  QComboBox* ComboSpecialChar() const { return comboSpecialChar_; }
  QComboBox* ComboHexChar() const { return comboHexChar_; }
  QPushButton* ButtonConnect() const { return buttonConnect_; }
  QCheckBox* CheckTimeStamps() const { return checkTimeStamps_; }
  QCheckBox* CheckHex() const { return checkHex_; }
  QAction* SaveAs1() const { return saveAs1_; }
  bool Connected() const { return connected_; }
  bool Tracing() const { return trace_.IsOpen(); }
  // The traffic view as text lines (the open received line last, if any).
  QStringList TrafficLines() const;
  // Lines still waiting to be sent by "Tx Buffer".
  size_t QueuedSends() const { return txQueue_.size(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildControls();
  void AppendToSend(uint8_t code);
  // Port thread: turns a notification into lines for the GUI thread.
  void Observe(int code, const uint8_t* bytes, uint32_t count);
  // GUI thread: shows what the port thread has collected, now and once more a drain
  // period later; the hand-over stays pending until then.
  void DrainTraffic();
  void ShowPending();
  void RenderAll();
  void SendNextQueued();
  std::string Formatted(const TrafficLine& line) const;
  std::string ChooseTraceName(const char* title);

  UnitLink& link_;
  UnitLink::ObserverId observer_ = 0;
  std::function<bool()> openPort_;
  QPlainTextEdit* memoSend_ = nullptr;
  QPlainTextEdit* memoReceive_ = nullptr;
  QComboBox* comboSpecialChar_ = nullptr;
  QComboBox* comboHexChar_ = nullptr;
  QPushButton* buttonConnect_ = nullptr;
  QCheckBox* checkTimeStamps_ = nullptr;
  QCheckBox* checkHex_ = nullptr;
  QAction* saveAs1_ = nullptr;
  QAction* stopTrace_ = nullptr;

  bool initialising_ = false;
  bool connected_ = false;
  std::string lastTraceName_;

  // Shared with the port thread.
  std::atomic<bool> watching_{false};  // the window is visible: traffic is collected
  std::atomic<bool> drainPosted_{false};
  std::mutex pendingMutex_;
  TrafficLineAssembler assembler_;         // guarded by pendingMutex_
  std::vector<TrafficLine> pendingLines_;  // guarded by pendingMutex_
  bool pendingConnectChange_ = false;      // guarded by pendingMutex_

  // GUI thread only.
  std::vector<TrafficLine> shown_;  // the finished lines in the view, at most kTraceMaxLines
  TrafficLine openLine_;            // the received line still open, as last drained
  bool openLineShown_ = false;
  std::deque<std::string> txQueue_;
  TraceFile trace_;
};
