#include "simulator/gui/Qm48UserDefWaveUnit.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "support/gui/NavyLook.h"

TQm48UserDefWaveDlg::TQm48UserDefWaveDlg(UserWaveTable& table, const std::string& fileName,
                                         int cellCount, QWidget* parent)
    : QDialog(parent),
      editor_(std::make_unique<userwaveeditclass>(table, fileName, cellCount)),
      resultFileName_(fileName) {
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  TitleLabel = new QLabel(this);
  QFont bold = TitleLabel->font();
  bold.setBold(true);
  TitleLabel->setFont(bold);
  FileButton = new QPushButton(tr("File"), this);
  FileButton->setFlat(true);
  FileMenu = new QMenu(this);
  connect(FileMenu->addAction(tr("Save")), &QAction::triggered, this,
          [this] { FileAction(&userwaveeditclass::Save); });
  connect(FileMenu->addAction(tr("Save As")), &QAction::triggered, this,
          [this] { FileAction(&userwaveeditclass::SaveAs); });
  connect(FileMenu->addAction(tr("Recall")), &QAction::triggered, this,
          [this] { FileAction(&userwaveeditclass::Recall); });
  // The menu opens just below the "File" label.
  connect(FileButton, &QPushButton::clicked, this,
          [this] { FileMenu->popup(FileButton->mapToGlobal(QPoint(0, FileButton->height()))); });
  top->addWidget(FileButton);
  top->addWidget(TitleLabel, 1);
  layout->addLayout(top);

  auto* common = new QFrame(this);
  common->setFrameShape(QFrame::Panel);
  common->setFrameShadow(QFrame::Sunken);
  common->setToolTip(tr("Right Click To Edit"));
  common->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* rows = new QGridLayout(common);
  auto addRow = [&](int row, const QString& caption) {
    rows->addWidget(new QLabel(caption, common), row, 0);
    auto* value = new QLabel(common);
    value->setFont(bold);
    rows->addWidget(value, row, 1);
    return value;
  };
  WaveLabelValue = addRow(0, tr("Wave Label"));
  DefaultValueValue = addRow(1, tr("Default Value"));
  WordCountValue = addRow(2, tr("Wave Word Count"));
  CheckBoxHex = new QCheckBox(tr("Hex"), common);
  CheckBoxHex->setChecked(true);
  rows->addWidget(CheckBoxHex, 0, 2);
  rows->setColumnStretch(1, 1);
  CommonMenu = new QMenu(this);
  connect(CommonMenu->addAction(tr("Wave Label")), &QAction::triggered, this,
          [this] { MenuEdit(&userwaveeditclass::EditLabel); });
  connect(CommonMenu->addAction(tr("Default Value")), &QAction::triggered, this, [this] {
    ReadGrid();
    editor_->EditDefaultValue(CheckBoxHex->isChecked());
    RefreshDisplay();
  });
  connect(CommonMenu->addAction(tr("Num Words in Wave")), &QAction::triggered, this,
          [this] { MenuEdit(&userwaveeditclass::EditNumWords); });
  connect(common, &QWidget::customContextMenuRequested, this,
          [this, common](const QPoint& at) { CommonMenu->popup(common->mapToGlobal(at)); });
  layout->addWidget(common);

  auto* caption = new QHBoxLayout;
  caption->addWidget(new QLabel(tr("Word Numbers ->"), this));
  caption->addStretch(1);
  caption->addWidget(new QLabel(tr("(0 based index)"), this));
  layout->addLayout(caption);

  Grid = new QTableWidget(editor_->RowCount(), kUserWaveGridColumns, this);
  QStringList columns;
  for (int c = 0; c < kUserWaveGridColumns; ++c) columns << QString::number(c);
  Grid->setHorizontalHeaderLabels(columns);
  QStringList rowLabels;
  for (int r = 0; r < editor_->RowCount(); ++r)
    rowLabels << QString::fromStdString(editor_->RowLabel(r));
  Grid->setVerticalHeaderLabels(rowLabels);
  Grid->verticalHeader()->setDefaultSectionSize(20);
  Grid->horizontalHeader()->setDefaultSectionSize(44);
  Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (int r = 0; r < Grid->rowCount(); ++r)
    for (int c = 0; c < kUserWaveGridColumns; ++c) {
      auto* item = new QTableWidgetItem;
      // Cells past the wave's cell count hold nothing and take no input.
      if (r * kUserWaveGridColumns + c >= editor_->CellCount()) item->setFlags(Qt::NoItemFlags);
      Grid->setItem(r, c, item);
    }
  Grid->setMinimumWidth(Grid->verticalHeader()->sizeHint().width() + 16 * 44 + 24);
  connect(Grid, &QTableWidget::itemChanged, this, [this] {
    if (refreshing_) return;
    ReadGrid();
    RefreshDisplay();
  });
  layout->addWidget(Grid, 1);

  connect(CheckBoxHex, &QCheckBox::toggled, this, [this] {
    ReadGrid();  // the texts are still in the radix they were written in
    RefreshDisplay();
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  AcceptButton = new QPushButton(tr("Accept"), this);
  CancelButton = new QPushButton(tr("Cancel"), this);
  buttons->addWidget(AcceptButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);
  connect(AcceptButton, &QPushButton::clicked, this, &TQm48UserDefWaveDlg::accept);
  connect(CancelButton, &QPushButton::clicked, this, &TQm48UserDefWaveDlg::reject);

  resize(Grid->minimumWidth() + 24, 520);
  RefreshDisplay();
}

TQm48UserDefWaveDlg::~TQm48UserDefWaveDlg() = default;

void TQm48UserDefWaveDlg::RefreshDisplay() {
  if (refreshing_) return;
  refreshing_ = true;
  const bool hex = CheckBoxHex->isChecked();
  const QString title = QString::fromStdString(editor_->Title());
  TitleLabel->setText(title);
  setWindowTitle(title);
  WaveLabelValue->setText(QString::fromStdString(editor_->LabelText()));
  DefaultValueValue->setText(QString::fromStdString(editor_->DefaultValueText(hex)));
  WordCountValue->setText(QString::fromStdString(editor_->WordCountText()));
  {
    const QSignalBlocker blocker(Grid);
    const int used = editor_->Table().NumWords;
    for (int i = 0; i < editor_->CellCount(); ++i) {
      QTableWidgetItem* item = Grid->item(i / kUserWaveGridColumns, i % kUserWaveGridColumns);
      item->setText(QString::fromStdString(editor_->CellText(i, hex)));
      // Samples beyond the wave's count show the default value, in grey.
      item->setForeground(i < used ? QColor(Qt::black) : MutedCellText());
    }
  }
  hexShown_ = hex;
  Grid->viewport()->update();
  refreshing_ = false;
}

void TQm48UserDefWaveDlg::ReadGrid() {
  for (int i = 0; i < editor_->CellCount(); ++i) {
    const QTableWidgetItem* item = Grid->item(i / kUserWaveGridColumns, i % kUserWaveGridColumns);
    const std::string text = item->text().toStdString();
    // Only a cell the operator changed is read: an unchanged one already holds its value.
    if (text == editor_->CellText(i, hexShown_)) continue;
    editor_->ReadCell(i, text, hexShown_);
  }
}

void TQm48UserDefWaveDlg::MenuEdit(bool (userwaveeditclass::*edit)()) {
  ReadGrid();
  ((*editor_).*edit)();
  RefreshDisplay();
}

void TQm48UserDefWaveDlg::FileAction(void (userwaveeditclass::*action)()) {
  ReadGrid();
  ((*editor_).*action)();
  RefreshDisplay();
}

void TQm48UserDefWaveDlg::accept() {
  ReadGrid();
  resultFileName_ = editor_->Accept();
  QDialog::accept();
}

void TQm48UserDefWaveDlg::reject() {
  resultFileName_ = editor_->Cancel();
  QDialog::reject();
}

bool EditUserWave(UserWaveTable& table, std::string& fileName, int cellCount, QWidget* parent) {
  TQm48UserDefWaveDlg dialog(table, fileName, cellCount, parent);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  fileName = dialog.ResultFileName();
  return accepted;
}
