#include "editor/gui/SimValuesDlgUnit.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "editor/gui/WordGridView.h"
#include "editor/gui/WordValuesModel.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {
constexpr int kDialogWidth = 810;
constexpr int kDialogHeight = 186;
}  // namespace

TSimValuesDlg::TSimValuesDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setWindowTitle("Simulator Assign Word Values & Length");
  setToolTip("Simulator individual word attributes");
  // Wider shows more words at once; the grid's three rows need no more height.
  setMinimumSize(kDialogWidth, kDialogHeight);
  setMaximumHeight(kDialogHeight);
  resize(kDialogWidth, kDialogHeight);

  auto* strip = new QFrame(this);
  strip->setFrameShape(QFrame::StyledPanel);
  auto* stripLayout = new QHBoxLayout(strip);
  stripLayout->setContentsMargins(6, 2, 6, 2);
  auto* stripCaption = new QLabel("WORD NUMBER", strip);
  viewHex_ = new QCheckBox("View Hex", strip);
  viewHex_->setToolTip("Check to display values in hex");
  stripLayout->addWidget(stripCaption);
  stripLayout->addStretch();
  stripLayout->addWidget(viewHex_);
  stripLayout->addStretch();

  model_ = new WordValuesModel(edits_, this);
  grid_ = new WordGridView(this);
  grid_->setModel(model_);
  grid_->setItemDelegate(new WordCellDelegate(grid_));
  grid_->setToolTip("Right Click to Edit,  Left Click to select / deselect");
  grid_->SetPressHandler([this](int word, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                                QPoint at) { GridPress(word, button, keys, at); });

  apply_ = new QPushButton("Apply", this);
  cancel_ = new QPushButton("Cancel", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(apply_);
  buttons->addWidget(cancel_);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  layout->addWidget(strip);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);

  connect(apply_, &QPushButton::clicked, this, &TSimValuesDlg::ApplyClick);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);  // also Esc
  connect(viewHex_, &QCheckBox::toggled, model_, &WordValuesModel::SetViewHex);
  BuildMenu();
}

void TSimValuesDlg::BuildMenu() {
  menu_ = new QMenu(this);
  QMenu* lengths = menu_->addMenu("Word Length");
  for (int length = kMinWordLength; length <= kMaxWordLength; ++length) {
    QAction* action = lengths->addAction(QString::number(length));
    action->setData(length);
    connect(action, &QAction::triggered, this, [this, length] {
      if (edits_.SetLength(length) > 0) {
        edited_ = true;
        model_->LengthsChanged();
      }
    });
    lengthActions_.push_back(action);
  }
  QMenu* values = menu_->addMenu("Word Value");
  sequential_ = values->addAction("Sequential Values");
  same_ = values->addAction("Same Value");
  random_ = values->addAction("Random Values");
  connect(sequential_, &QAction::triggered, this, [this] {
    if (edits_.PromptSequential(clickedWord_) > 0) {
      edited_ = true;
      model_->ValuesChanged();
    }
  });
  connect(same_, &QAction::triggered, this, [this] {
    if (edits_.PromptSame(clickedWord_) > 0) {
      edited_ = true;
      model_->ValuesChanged();
    }
  });
  connect(random_, &QAction::triggered, this, [this] {
    if (edits_.FillRandom() > 0) {
      edited_ = true;
      model_->ValuesChanged();
    }
  });
  lengthEntry_ = lengths->menuAction();
  valueEntry_ = values->menuAction();
  ShowMenuEntries();
}

QAction* TSimValuesDlg::LengthAction(int length) const {
  if (length < kMinWordLength || length > kMaxWordLength) return nullptr;
  return lengthActions_[static_cast<size_t>(length - kMinWordLength)];
}

void TSimValuesDlg::ShowMenuEntries() {
  const bool any = edits_.AnySelected();
  lengthEntry_->setVisible(any);
  valueEntry_->setVisible(any);
}

void TSimValuesDlg::SetUp(const SimSetupData& setup) {
  edits_.CopyIn(setup);
  clickedWord_ = 0;
  model_->Reload();
  ShowMenuEntries();
}

void TSimValuesDlg::GridPress(int word, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                              QPoint globalPos) {
  clickedWord_ = word;
  if (button == Qt::RightButton) {
    // With nothing selected the menu would have no entries: it is not shown at all.
    if (edits_.AnySelected()) menu_->popup(globalPos);
    return;
  }
  if (button != Qt::LeftButton || word == 0) return;
  edits_.Click(word, modifiers.testFlag(Qt::ShiftModifier),
               modifiers.testFlag(Qt::ControlModifier));
  model_->SelectionChanged();
  ShowMenuEntries();
}

int TSimValuesDlg::ShowModal() {
  cancelled_ = true;
  return exec();
}

void TSimValuesDlg::ApplyClick() {
  cancelled_ = false;
  accept();
}

void TSimValuesDlg::showEvent(QShowEvent* event) {
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

WordValuesAnswer EditWordValues(progsimulatorclass& sim, QWidget* parent) {
  TSimValuesDlg dialog(parent);
  dialog.SetUp(sim.Setup);
  dialog.ShowModal();
  // Only an applied fill reaches the setup and marks it edited.
  if (dialog.Cancelled()) return {};
  dialog.CopyBack(sim.Setup);
  return {true, dialog.Edited()};
}
