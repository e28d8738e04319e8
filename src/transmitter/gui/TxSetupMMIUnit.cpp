#include "transmitter/gui/TxSetupMMIUnit.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/ApplicationLink.h"
#include "app/LoadReportText.h"
#include "app/ProgramObjects.h"  // gDebugMenuShown
#include "editor/SetupSession.h"
#include "editor/TxPageFromQuery.h"
#include "query/Qm48QueryUnit.h"
#include "support/Operator.h"
#include "support/ProgramClosing.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxPageValues.h"
#include "transmitter/TxSend.h"

namespace {

// Sets a flag for one scope and puts back what it was.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = was_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool was_;
};

void FillCombo(QComboBox* combo, const std::vector<std::string>& names, int selected) {
  combo->clear();
  for (const std::string& name : names) combo->addItem(QString::fromStdString(name));
  combo->setCurrentIndex(selected);
}

}  // namespace

TTxSetupMMIForm::TTxSetupMMIForm(SetupSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  move(0, 25);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(16, 12, 16, 12);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(14);

  EditFreqMhz = new QLineEdit(this);
  EditFreqMhz->setMaxLength(8);
  EditFreqMhz->installEventFilter(this);
  grid->addWidget(new QLabel(tr("Center Freq"), this), 0, 0);
  grid->addWidget(EditFreqMhz, 0, 1);
  grid->addWidget(new QLabel(tr("MHz"), this), 0, 2);

  ScrollBarDeviation = new QScrollBar(Qt::Horizontal, this);
  ScrollBarDeviation->setRange(0, kTxMaxDeviationKhz);
  ScrollBarDeviation->setPageStep(0);
  ScrollBarDeviation->setMinimumWidth(200);
  LabelDeviation = new QLabel(QStringLiteral("0"), this);
  grid->addWidget(new QLabel(tr("Deviation"), this), 1, 0);
  grid->addWidget(ScrollBarDeviation, 1, 1);
  grid->addWidget(LabelDeviation, 1, 2);
  grid->addWidget(new QLabel(tr("kHz"), this), 1, 3);

  ComboPremodFilter = new QComboBox(this);
  grid->addWidget(new QLabel(tr("Premod Filter"), this), 2, 0);
  grid->addWidget(ComboPremodFilter, 2, 1);

  ComboAttenuation = new QComboBox(this);
  grid->addWidget(new QLabel(tr("Attenuation"), this), 3, 0);
  grid->addWidget(ComboAttenuation, 3, 1);
  grid->addWidget(new QLabel(tr("dB"), this), 3, 2);

  ButtonTxAccept = new QPushButton(tr("Load Transmitter"), this);
  ButtonTxAccept->setToolTip(tr("Load transmitter setup info"));
  QFont bold = ButtonTxAccept->font();
  bold.setBold(true);
  ButtonTxAccept->setFont(bold);
  grid->addWidget(ButtonTxAccept, 4, 1);
  grid->setRowStretch(5, 1);
  grid->setColumnStretch(4, 1);

  connect(EditFreqMhz, &QLineEdit::editingFinished, this, &TTxSetupMMIForm::FreqEditFinished);
  connect(ScrollBarDeviation, &QScrollBar::valueChanged, this, &TTxSetupMMIForm::ControlChanged);
  connect(ComboPremodFilter, &QComboBox::currentIndexChanged, this,
          &TTxSetupMMIForm::ControlChanged);
  connect(ComboAttenuation, &QComboBox::currentIndexChanged, this,
          &TTxSetupMMIForm::ControlChanged);
  connect(ButtonTxAccept, &QPushButton::clicked, this, &TTxSetupMMIForm::ButtonTxAcceptClick);

  ShowFromQuery();
}

// A focused edit reports its end while the widgets are torn down: by then this page is
// gone, so it must no longer hear it.
TTxSetupMMIForm::~TTxSetupMMIForm() {
  EditFreqMhz->removeEventFilter(this);
  disconnect(EditFreqMhz, nullptr, this, nullptr);
}

void TTxSetupMMIForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refreshing_ = false;
  initialising_ = false;
}

void TTxSetupMMIForm::ShowFromQuery(bool takeUnitState) {
  FlagScope refreshing(refreshing_);
  TxSetupData& record = session_.Tx().Setup;
  const TxPageChoices choices =
      TakeQueryIntoRecord(record, session_.Query(), takeUnitState, gDebugMenuShown);
  EditFreqMhz->setText(QString::fromStdString(FreqMhzText(record.FreqMhz)));
  const int deviation = DeviationPosition(record.FmDeviation);
  ScrollBarDeviation->setValue(deviation);
  LabelDeviation->setNum(deviation);
  FillCombo(ComboPremodFilter, choices.filterNames, choices.filterIndex);
  FillCombo(ComboAttenuation, choices.attenNames, choices.attenIndex);
}

void TTxSetupMMIForm::ShowRecord() {
  FlagScope refreshing(refreshing_);
  TxSetupData& record = session_.Tx().Setup;
  record.FreqMhz = PageFreqMhz(record.FreqMhz, session_.Query().TxLimits());
  EditFreqMhz->setText(QString::fromStdString(FreqMhzText(record.FreqMhz)));
  const int deviation = DeviationPosition(record.FmDeviation);
  ScrollBarDeviation->setValue(deviation);
  LabelDeviation->setNum(deviation);
  ComboPremodFilter->setCurrentIndex(
      ChoiceIndex(record.PreModFilterSelected, static_cast<size_t>(ComboPremodFilter->count())));
  ComboAttenuation->setCurrentIndex(
      ChoiceIndex(record.AttenuationIndexDb, static_cast<size_t>(ComboAttenuation->count())));
}

void TTxSetupMMIForm::ReadControls() {
  if (refreshing_) return;
  FlagScope refreshing(refreshing_);
  TxSetupData& record = session_.Tx().Setup;
  ReadFreqText(EditFreqMhz->text().toStdString(), session_.Query().TxLimits(), record.FreqMhz);
  EditFreqMhz->setText(QString::fromStdString(FreqMhzText(record.FreqMhz)));
  record.FmDeviation = ScrollBarDeviation->value();
  LabelDeviation->setNum(ScrollBarDeviation->value());
  // A list with nothing selected (no query yet) leaves the record's choice alone.
  if (ComboPremodFilter->currentIndex() >= 0)
    record.PreModFilterSelected = ComboPremodFilter->currentIndex();
  if (ComboAttenuation->currentIndex() >= 0)
    record.AttenuationIndexDb = ComboAttenuation->currentIndex();
}

void TTxSetupMMIForm::ControlChanged() {
  if (refreshing_ || initialising_ || gShuttingDown.load()) return;
  session_.MarkEdited();
  ReadControls();
}

// Leaving the edit stores what was typed. The edit shows one decimal of a frequency kept in
// 50 kHz steps, so an untouched text is not read back: Tab through the page changes nothing.
void TTxSetupMMIForm::FreqEditFinished() {
  if (refreshing_ || initialising_ || gShuttingDown.load()) return;
  if (EditFreqMhz->text().toStdString() == FreqMhzText(session_.Tx().Setup.FreqMhz)) return;
  session_.MarkEdited();
  ReadControls();
}

bool TTxSetupMMIForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditFreqMhz && event->type() == QEvent::KeyPress)
    return FreqKeyPress(static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

// The frequency takes digits and "." only; Enter stores what was typed. Tab, Shift+Tab and
// Escape are no characters: they move the focus or leave, as in every other field.
bool TTxSetupMMIForm::FreqKeyPress(QKeyEvent* key) {
  if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape)
    return false;
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    session_.MarkEdited();
    ReadControls();
    return true;
  }
  const QString text = key->text();
  if (key->key() == Qt::Key_Delete || text.isEmpty() || key->matches(QKeySequence::Copy) ||
      key->matches(QKeySequence::SelectAll))
    return false;  // navigation and selection keys are no characters
  session_.MarkEdited();
  if (text.size() == 1 && (text[0].isDigit() || text[0] == QLatin1Char('.')) &&
      text[0].unicode() < 128)
    return false;
  SignalWarning();
  return true;
}

SendOutcome TTxSetupMMIForm::AcceptTransmitter() {
  ReadControls();
  SendOutcome outcome =
      LimitAndSendTransmitter(AppLink(), session_.Tx(), session_.Query().TxLimits());
  ShowRecord();
  return outcome;
}

void TTxSetupMMIForm::ButtonTxAcceptClick() {
  LoadAllOutcome outcome;
  outcome.stage = LoadStage::Transmitter;
  outcome.send = AcceptTransmitter();
  const LoadReport report = LoadFailureReport(outcome);
  if (!report.text.empty())
    Operator().MessageBox(report.text, report.caption, MsgButtons::Ok, MsgIcon::Warning);
}
