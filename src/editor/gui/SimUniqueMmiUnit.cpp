#include "editor/gui/SimUniqueMmiUnit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/UniqueWordEdits.h"
#include "editor/gui/PanelRows.h"
#include "editor/gui/SlotGrid.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProgramClosing.h"

namespace {

bool SameSlots(const std::array<SimUniqueWord, kNumUniqueWords>& a,
               const std::array<SimUniqueWord, kNumUniqueWords>& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].SimUniqueWordStartFrame != b[i].SimUniqueWordStartFrame ||
        a[i].SimUniqueWordStartFrameInterval != b[i].SimUniqueWordStartFrameInterval ||
        a[i].SimUniqueWordStartWord != b[i].SimUniqueWordStartWord ||
        a[i].SimUniqueWordWordInterval != b[i].SimUniqueWordWordInterval ||
        a[i].SimUniqueWordValue != b[i].SimUniqueWordValue)
      return false;
  return true;
}

}  // namespace

TSimUniqueMmiForm::TSimUniqueMmiForm(SetupSession& session, QWidget* parent)
    : SimPanelBase(session, parent) {
  ColourPanel(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  auto* top = new QHBoxLayout;
  auto* title = new QLabel(tr("Unique Words"), this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  CheckBoxHex = new QCheckBox(tr("Hex"), this);
  CheckBoxHex->setToolTip(tr("Displays simulator unique word values in hex"));
  top->addWidget(title);
  top->addStretch(1);
  top->addWidget(CheckBoxHex);
  layout->addLayout(top);

  QStringList rows;
  for (int i = 1; i <= kNumUniqueWords; ++i) rows << "  " + QString::number(i);
  Grid = MakeSlotGrid(this, {" Frame", " Fr Intvl", " Word", " Wd Intvl", " Value"}, rows,
                      {50, 58, 50, 58, 64}, 50);
  Grid->setToolTip(tr("Set unique word values"));
  Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  Grid->setItemDelegate(new SlotGridDelegate(
      [](QChar c) { return QChar::fromLatin1(UniqueGridKey(c.toLatin1())); }, Grid));
  layout->addWidget(Grid);

  connect(CheckBoxHex, &QCheckBox::clicked, this, [this] { RefreshUniqueGrid(); });
  // A typed cell is committed on Enter, on leaving it or on losing the focus.
  connect(Grid, &QTableWidget::itemChanged, this, [this] {
    if (!refreshing_) ReadAndCheckUniqueGrid();
  });
  gridWatch_ = CheckOnGridEvents(Grid, [this] { ReadAndCheckUniqueGrid(); });
  RefreshUniqueGrid();
}

TSimUniqueMmiForm::~TSimUniqueMmiForm() {
  delete gridWatch_;
}

void TSimUniqueMmiForm::RefreshUniqueGrid() {
  refreshing_ = true;
  for (int i = 0; i < kNumUniqueWords; ++i) {
    const UniqueWordCells cells = UniqueCellsOf(sim_.Setup, i, CheckBoxHex->isChecked());
    const bool unused = sim_.Setup.UniqueWords[static_cast<size_t>(i)].SimUniqueWordStartWord < 1;
    const std::string* texts[] = {&cells.Frame, &cells.FrameInterval, &cells.Word,
                                  &cells.WordInterval, &cells.Value};
    for (int c = 0; c < 5; ++c) SetCellText(Grid, i, c, QString::fromStdString(*texts[c]), unused);
  }
  Grid->viewport()->update();
  refreshing_ = false;
}

void TSimUniqueMmiForm::ReadAndCheckUniqueGrid() {
  if (refreshing_ || checking_ || gShuttingDown.load()) return;
  checking_ = true;
  UniqueGridCells cells;
  for (int i = 0; i < kNumUniqueWords; ++i) {
    auto text = [&](int c) { return CellText(Grid, i, c).toStdString(); };
    cells[static_cast<size_t>(i)] = {text(0), text(1), text(2), text(3), text(4)};
  }
  const auto before = sim_.Setup.UniqueWords;
  ReadAndCheckUniqueWords(sim_.Setup, cells);
  const bool edited = !SameSlots(before, sim_.Setup.UniqueWords);
  RefreshUniqueGrid();
  if (edited) {
    session_.MarkEdited();
    emit Edited();
  }
  checking_ = false;
}
