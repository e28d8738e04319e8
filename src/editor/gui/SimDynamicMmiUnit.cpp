#include "editor/gui/SimDynamicMmiUnit.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/DynamicWordEdits.h"
#include "editor/gui/PanelRows.h"
#include "editor/gui/SlotGrid.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/gui/Qm48UserDefWaveUnit.h"
#include "support/ProgramClosing.h"

namespace {
constexpr int kWaveColumn = 2;  // grid column 3 counting the row header

bool SameSlots(const std::array<SimDynamicWord, kNumDynamicWords>& a,
               const std::array<SimDynamicWord, kNumDynamicWords>& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].SimDynamicWordNumber != b[i].SimDynamicWordNumber ||
        a[i].SimDynamicWordInterval != b[i].SimDynamicWordInterval ||
        a[i].SimDynamicWordWave != b[i].SimDynamicWordWave)
      return false;
  return true;
}
}  // namespace

TSimDynamicMmiForm::TSimDynamicMmiForm(SetupSession& session, QWidget* parent)
    : SimPanelBase(session, parent) {
  ColourPanel(this);
  setToolTip(tr("Right click to set simulator wave words"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  auto* title = new QLabel(tr("Dynamic Words"), this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  QStringList rows;
  for (int i = 1; i <= kNumDynamicWords; ++i) rows << "   " + QString::number(i);
  Grid = MakeSlotGrid(this, {" Wd Start", " Wd Intvl", " Wave Form"}, rows, {62, 62, 132}, 50);
  Grid->setItemDelegate(new SlotGridDelegate(nullptr, Grid));
  for (int r = 0; r < kNumDynamicWords; ++r)
    Grid->item(r, kWaveColumn)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  layout->addWidget(Grid);

  PopupMenu = new QMenu(this);
  QMenu* waves = PopupMenu->addMenu(tr("Wave Form"));
  WaveFormEntry = waves->menuAction();
  for (size_t w = 0; w < kWaveNames.size(); ++w)
    connect(waves->addAction(QString::fromLatin1(kWaveNames[w])), &QAction::triggered, this,
            [this, w] { WaveClick(static_cast<int>(w)); });

  // A typed cell is committed on Enter, on leaving it or on losing the focus.
  connect(Grid, &QTableWidget::itemChanged, this, [this] {
    if (!refreshing_) ReadAndCheckDynamicGrid();
  });
  Grid->setCurrentCell(0, kWaveColumn);
  gridWatch_ = CheckOnGridEvents(Grid, [this] { ReadAndCheckDynamicGrid(); });
  RefreshDynamicGrid();
}

TSimDynamicMmiForm::~TSimDynamicMmiForm() {
  delete gridWatch_;
}

void TSimDynamicMmiForm::RefreshDynamicGrid() {
  refreshing_ = true;
  for (int i = 0; i < kNumDynamicWords; ++i) {
    const SimDynamicWord& w = sim_.Setup.DynamicWords[static_cast<size_t>(i)];
    const bool unused = w.SimDynamicWordWave == kWaveNothing;
    const int32_t wave = w.SimDynamicWordWave;
    const QString name = wave >= 0 && static_cast<size_t>(wave) < kWaveNames.size()
                             ? QString::fromLatin1(kWaveNames[static_cast<size_t>(wave)])
                             : QString::number(wave);
    SetCellText(Grid, i, 0, QString::number(w.SimDynamicWordNumber), unused);
    SetCellText(Grid, i, 1, QString::number(w.SimDynamicWordInterval), unused);
    SetCellText(Grid, i, kWaveColumn, name, unused);
  }
  Grid->viewport()->update();
  refreshing_ = false;
}

void TSimDynamicMmiForm::ReadAndCheckDynamicGrid() {
  if (refreshing_ || checking_ || gShuttingDown.load()) return;
  checking_ = true;
  DynamicGridCells cells;
  for (int i = 0; i < kNumDynamicWords; ++i)
    cells[static_cast<size_t>(i)] = {CellText(Grid, i, 0).toStdString(),
                                     CellText(Grid, i, 1).toStdString()};
  const auto before = sim_.Setup.DynamicWords;
  ReadAndCheckDynamicWords(sim_.Setup, cells);
  Finish(!SameSlots(before, sim_.Setup.DynamicWords));
  checking_ = false;
}

void TSimDynamicMmiForm::WaveClick(int wave) {
  const int slot = Grid->currentRow();
  auto editor = [this](UserWaveTable& table, std::string& fileName, int cells) {
    return EditUserWave(table, fileName, cells, this);
  };
  Finish(ChooseDynamicWave(sim_, slot, wave, editor));
}

void TSimDynamicMmiForm::contextMenuEvent(QContextMenuEvent* event) {
  // The wave is chosen only for a cell of the wave column.
  const QPoint at = Grid->viewport()->mapFromGlobal(event->globalPos());
  const QModelIndex index = Grid->indexAt(at);
  if (index.isValid()) Grid->setCurrentCell(index.row(), index.column());
  WaveFormEntry->setVisible(Grid->currentColumn() == kWaveColumn);
  PopupMenu->popup(event->globalPos());
}

void TSimDynamicMmiForm::Finish(bool edited) {
  RefreshDynamicGrid();
  if (!edited) return;
  session_.MarkEdited();
  emit Edited();
}
