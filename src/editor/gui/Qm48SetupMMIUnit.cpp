#include "editor/gui/Qm48SetupMMIUnit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "app/ApplicationLink.h"
#include "app/LoadReportText.h"
#include "editor/SetupSession.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/SimSetupMMIUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "query/Qm48QueryUnit.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "support/NumberText.h"
#include "support/Operator.h"
#include "support/ProgramClosing.h"
#include "support/gui/NavyLook.h"
#include "transmitter/gui/TxSetupMMIUnit.h"

namespace {

constexpr int kHeaderHeight = 30;

// The spin edit's number changes with its arrows only; its text cannot be typed into.
class ArrowsOnlySpinBox : public QSpinBox {
 public:
  explicit ArrowsOnlySpinBox(QWidget* parent) : QSpinBox(parent) { lineEdit()->setReadOnly(true); }
};

// The name as the setup keeps it: no spaces, lower case.
std::string StoredName(const std::string& typed) {
  std::string name = RemoveChar(typed, ' ');
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

int ClampedFormat(const SetupSession& session) {
  return std::clamp(session.formatNumber, 0, 3);
}

}  // namespace

TQm48SetupMMIForm::TQm48SetupMMIForm(SetupSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
  setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
  PaintNavy(this);

  auto* header = new QWidget(this);
  header->setFixedHeight(kHeaderHeight);
  QPalette grey = header->palette();
  grey.setColor(QPalette::Window, Qt::lightGray);
  grey.setColor(QPalette::WindowText, Qt::black);
  header->setPalette(grey);
  header->setAutoFillBackground(true);
  auto* headerRow = new QHBoxLayout(header);
  headerRow->setContentsMargins(8, 2, 8, 2);
  headerRow->addWidget(new QLabel(tr("Format Number"), header));
  SpinEditFormatNumber = new ArrowsOnlySpinBox(header);
  SpinEditFormatNumber->setRange(1, 4);
  SpinEditFormatNumber->setValue(1);
  headerRow->addWidget(SpinEditFormatNumber);
  headerRow->addSpacing(16);
  headerRow->addWidget(new QLabel(tr("Format Name"), header));
  EditFormatName = new QLineEdit(QStringLiteral("XXXXXXXX"), header);
  EditFormatName->setMaxLength(8);
  // The unit keeps 8 bytes a name: printable ASCII only, refused as it is typed or pasted.
  EditFormatName->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[\\x20-\\x7E]{0,8}")), EditFormatName));
  headerRow->addWidget(EditFormatName);
  headerRow->addStretch(1);

  TabControl = new QTabBar(this);
  TabControl->setToolTip(tr("Select the part of the QM-48 to setup"));
  StyleNavyTabs(TabControl);
  pages_ = new QStackedWidget(this);

  simPage_ = new TSimSetupMMIForm(session_, pages_);
  TabControl->addTab(tr("Simulator"));
  txPage_ = new TTxSetupMMIForm(session_, pages_);
  TabControl->addTab(tr("Transmitter"));
  queryPage_ = new TQuerySetupMMIForm(session_.Query(), pages_);
  TabControl->addTab(tr("Query"));
  frameMapPage_ = new FrameMapView(session_.Sim(), pages_);
  TabControl->addTab(tr("Frame Map"));
  frameMapPage_->SetClickHandler([this](int, int) { FrameMapWordClick(); });
  for (QWidget* page : {static_cast<QWidget*>(simPage_), static_cast<QWidget*>(txPage_),
                        static_cast<QWidget*>(queryPage_), static_cast<QWidget*>(frameMapPage_)}) {
    PaintNavy(page);
    pages_->addWidget(page);
  }
  // The pages stand 25 pixels below the tab strip's top, as the tabs take that much.
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(header);
  column->addWidget(TabControl);
  column->addWidget(pages_, 1);
  pages_->setMinimumSize(simPage_->minimumSize());
  resize(simPage_->width(), kHeaderHeight + TabControl->sizeHint().height() + simPage_->height());

  queryPage_->SetAfterQuery([this] {
    txPage_->ShowFromQuery(true);
    RefreshFromSetup();
  });
  connect(TabControl, &QTabBar::currentChanged, this, &TQm48SetupMMIForm::TabControlChange);
  connect(SpinEditFormatNumber, &QSpinBox::valueChanged, this,
          &TQm48SetupMMIForm::SpinEditFormatNumberChange);
  connect(EditFormatName, &QLineEdit::textEdited, this, &TQm48SetupMMIForm::EditFormatNameChange);

  TabControl->setCurrentIndex(0);
  pages_->setCurrentWidget(simPage_);
  storing_ = false;
}

void TQm48SetupMMIForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!initialising_) return;
  storing_ = true;
  TabControl->setCurrentIndex(0);
  pages_->setCurrentWidget(simPage_);
  storing_ = false;
  RefreshFromSetup();
  initialising_ = false;
}

void TQm48SetupMMIForm::RefreshFromSetup() {
  if (gShuttingDown.load()) return;
  session_.formatNumber = ClampedFormat(session_);
  const auto format = static_cast<size_t>(session_.formatNumber);
  // The refresh shows what the setup holds; it is no edit of the operator's.
  const bool wasStoring = storing_;
  storing_ = true;
  SpinEditFormatNumber->setValue(session_.formatNumber + 1);
  const std::string name = StoredName(session_.formatNames[format]);
  EditFormatName->setText(QString::fromStdString(name));
  session_.formatNames[format] = EditFormatName->text().toStdString();
  storing_ = wasStoring;

  queryPage_->ShowQueryResults();
  txPage_->ShowRecord();
  simPage_->RefreshPanels();
  frameMapPage_->Refresh();
}

void TQm48SetupMMIForm::FrameMapWordClick() {
  if (gShuttingDown.load()) return;
  if (EditWordValues(session_.Sim(), this).edited) session_.MarkEdited();
  RefreshFromSetup();
}

void TQm48SetupMMIForm::StoreFormatIdentity() {
  if (gShuttingDown.load() || initialising_ || storing_) return;
  storing_ = true;
  session_.formatNumber = SpinEditFormatNumber->value() - 1;
  session_.formatNames[static_cast<size_t>(ClampedFormat(session_))] =
      StoredName(EditFormatName->text().toStdString());
  storing_ = false;
}

void TQm48SetupMMIForm::SpinEditFormatNumberChange() {
  if (initialising_ || storing_) return;
  session_.MarkEdited();
  session_.formatNumber = SpinEditFormatNumber->value() - 1;
  storing_ = true;
  EditFormatName->setText(
      QString::fromStdString(session_.formatNames[static_cast<size_t>(ClampedFormat(session_))]));
  storing_ = false;
  StoreFormatIdentity();
}

void TQm48SetupMMIForm::EditFormatNameChange() {
  if (initialising_ || storing_) return;
  session_.MarkEdited();
  StoreFormatIdentity();
}

bool TQm48SetupMMIForm::PageForTab(int index, QWidget*& page, QWidget*& acceptButton) const {
  const QString caption = TabControl->tabText(index);
  if (caption == QLatin1String("Simulator")) {
    page = simPage_;
    acceptButton = simPage_->ButtonSimAccept;
  } else if (caption == QLatin1String("Transmitter")) {
    page = txPage_;
    acceptButton = txPage_->ButtonTxAccept;
  } else if (caption == QLatin1String("Query")) {
    page = queryPage_;
    acceptButton = queryPage_->ButtonQueryAccept;
  } else {
    return false;
  }
  return true;
}

void TQm48SetupMMIForm::TabControlChange(int index) {
  if (initialising_) return;
  if (TabControl->tabText(index) == QLatin1String("Frame Map")) {
    pages_->setCurrentWidget(frameMapPage_);
    frameMapPage_->Refresh();
    return;
  }
  QWidget* page = nullptr;
  QWidget* accept = nullptr;
  if (!PageForTab(index, page, accept)) return;
  pages_->setCurrentWidget(page);
  if (page == simPage_)
    simPage_->RefreshPanels();
  else if (page == txPage_)
    txPage_->ShowRecord();
  else
    queryPage_->ShowQueryResults();
  accept->setFocus();
}

void TQm48SetupMMIForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TQm48SetupMMIForm::FormActivate() {
  if (gShuttingDown.load()) return;
  QWidget* page = nullptr;
  QWidget* accept = nullptr;
  if (PageForTab(TabControl->currentIndex(), page, accept)) accept->setFocus();
}

void TQm48SetupMMIForm::SelectTab(int index) {
  TabControl->setCurrentIndex(index);
}
int TQm48SetupMMIForm::CurrentTab() const {
  return TabControl->currentIndex();
}
QWidget* TQm48SetupMMIForm::FrontPage() const {
  return pages_->currentWidget();
}

LoadAllOutcome TQm48SetupMMIForm::LoadAll() {
  LoadAllOutcome outcome;
  outcome.stage = LoadStage::Query;
  if (gShuttingDown.load()) {
    outcome.send.result = SendResult::Cancelled;
    return outcome;
  }
  // The query bounds the transmitter and fills the pages; the setup's own transmitter
  // values are what this load is for, so the unit's current ones do not replace them.
  outcome.send = session_.Query().RunQueries(AppLink());
  txPage_->ShowFromQuery(false);
  RefreshFromSetup();
  if (!outcome.send.Ok()) return outcome;

  outcome.stage = LoadStage::Transmitter;
  outcome.send = txPage_->AcceptTransmitter();
  if (!outcome.send.Ok()) return outcome;

  return simPage_->AcceptSimulator();
}

void TQm48SetupMMIForm::ShowLoadAllFailure(const LoadAllOutcome& outcome) {
  const LoadReport report = LoadFailureReport(outcome);
  if (!report.text.empty())
    Operator().MessageBox(report.text, report.caption, MsgButtons::Ok, MsgIcon::Warning);
}
