// Every text of the main window readable: each tab of the setup window is drawn, and for
// every caption, label, button, tab, menu entry, grid cell and grid header the text's pixels are
// read against the pixels around them; the contrast must reach 4.5:1. Edits, lists and grids are
// checked on their palettes, the arrows of scroll bars and spin boxes too. The dialogs opened from
// the pages are walked the same way.
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>
#include <fstream>

#include "SetupTestKit.h"
#include "app/ProgramObjects.h"
#include "app/gui/Qm48MainUnit.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "gui/ContrastMeter.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/gui/Qm48UserDefWaveUnit.h"
#include "support/TempDir.h"
#include "unit/VirtualUnit.h"

namespace {

constexpr double kLeast = 4.5;
// Arrows and other graphics a control needs to be understood.
constexpr double kLeastGraphics = 3.0;

// A text as drawn: where it is (in the top-level window) and what it says.
struct TextSpot {
  QString what;
  QRect rect;
};

QRect TextBox(const QFont& font, const QString& text, Qt::Alignment alignment, const QRect& room,
              Qt::LayoutDirection direction = Qt::LeftToRight) {
  const QSize size = QFontMetrics(font).size(Qt::TextShowMnemonic, text);
  return QStyle::alignedRect(direction, alignment, size, room).intersected(room);
}

QString Name(const QWidget* w, const QString& text) {
  return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), text);
}

// The first and last index of a header's sections in view.
std::pair<int, int> InView(const QHeaderView* header, int length) {
  const int first = header->logicalIndexAt(0);
  const int last = header->logicalIndexAt(length - 1);
  return {first, last < 0 ? header->count() - 1 : last};
}

// The cells of a table, or the sections of a header, in view with a text, in the
// coordinates of its viewport. A cell's grid line and edges are left out.
std::vector<TextSpot> CellsOf(QAbstractItemView* view) {
  std::vector<TextSpot> spots;
  QAbstractItemModel* model = view->model();
  if (!model) return spots;
  const QSize room = view->viewport()->size();
  if (auto* header = qobject_cast<QHeaderView*>(view)) {
    const bool across = header->orientation() == Qt::Horizontal;
    const auto [first, last] = InView(header, across ? room.width() : room.height());
    for (int i = first; i >= 0 && i <= last; ++i) {
      const QString text = model->headerData(i, header->orientation()).toString();
      if (text.trimmed().isEmpty() || header->isSectionHidden(i)) continue;
      const int at = header->sectionViewportPosition(i);
      const QRect rect = across ? QRect(at, 0, header->sectionSize(i), room.height())
                                : QRect(0, at, room.width(), header->sectionSize(i));
      spots.push_back({QStringLiteral("header \"%1\"").arg(text), rect.adjusted(2, 2, -2, -2)});
    }
    return spots;
  }
  auto* table = qobject_cast<QTableView*>(view);
  if (!table) return spots;
  const auto [firstRow, lastRow] = InView(table->verticalHeader(), room.height());
  const auto [firstColumn, lastColumn] = InView(table->horizontalHeader(), room.width());
  for (int r = firstRow; r >= 0 && r <= lastRow; ++r)
    for (int c = firstColumn; c >= 0 && c <= lastColumn; ++c) {
      const QModelIndex index = model->index(r, c);
      const QString text = model->data(index).toString();
      if (text.trimmed().isEmpty()) continue;
      spots.push_back({QStringLiteral("cell \"%1\"").arg(text),
                       table->visualRect(index).adjusted(2, 2, -2, -2)});
    }
  return spots;
}

// The text rectangles a widget draws itself, in its own coordinates.
std::vector<TextSpot> SpotsOf(QWidget* w) {
  std::vector<TextSpot> spots;
  if (auto* view = qobject_cast<QAbstractItemView*>(w->parentWidget());
      view && view->viewport() == w)
    return CellsOf(view);
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return spots;
    const QRect room = label->contentsRect();
    spots.push_back({Name(w, label->text()),
                     label->wordWrap() ? room
                                       : TextBox(label->font(), label->text(), label->alignment(),
                                                 room, label->layoutDirection())});
  } else if (auto* push = qobject_cast<QPushButton*>(w)) {
    if (!push->text().isEmpty())
      spots.push_back({Name(w, push->text()),
                       TextBox(push->font(), push->text(), Qt::AlignCenter, push->rect())});
  } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
    auto* button = static_cast<QAbstractButton*>(w);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const auto element =
        qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    const QRect room = button->style()->subElementRect(element, &option, button);
    spots.push_back({Name(w, button->text()), TextBox(button->font(), button->text(),
                                                      Qt::AlignLeft | Qt::AlignVCenter, room)});
  } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
    for (int i = 0; i < tabs->count(); ++i)
      spots.push_back({QStringLiteral("tab \"%1\"").arg(tabs->tabText(i)),
                       TextBox(tabs->font(), tabs->tabText(i), Qt::AlignCenter, tabs->tabRect(i))});
  } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
    for (QAction* action : bar->actions())
      if (action->isVisible())
        spots.push_back(
            {QStringLiteral("menu \"%1\"").arg(action->text()),
             TextBox(bar->font(), action->text(), Qt::AlignCenter, bar->actionGeometry(action))});
  }
  return spots;
}

// Edits, lists and grids draw their text in the palette's Text on its Base; a list that is
// a button shows ButtonText on Button. Scroll bars and spin boxes draw their arrows in
// WindowText on their Button face: graphics, which need 3:1.
bool PaletteOf(QWidget* w, QColor& text, QColor& base) {
  const QPalette& p = w->palette();
  auto* combo = qobject_cast<QComboBox*>(w);
  if (combo && !combo->isEditable()) {
    text = p.color(QPalette::ButtonText);
    base = p.color(QPalette::Button);
    return true;
  }
  if (combo || qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
      qobject_cast<QAbstractItemView*>(w)) {
    text = p.color(QPalette::Text);
    base = p.color(QPalette::Base);
    return true;
  }
  return false;
}

bool ArrowsOf(QWidget* w, QColor& arrow, QColor& face) {
  if (!qobject_cast<QScrollBar*>(w) && !qobject_cast<QAbstractSpinBox*>(w)) return false;
  arrow = w->palette().color(QPalette::WindowText);
  face = w->palette().color(QPalette::Button);
  return true;
}

// Every visible text of a top-level window that reads below the least ratio, one line
// each, headed by where.
QStringList Unreadable(QWidget* top, const QString& where) {
  QStringList failures;
  const QImage shot = top->grab().toImage();
  for (QWidget* w : top->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->window() != top) continue;
    const QRect shown = w->visibleRegion().boundingRect();
    for (const TextSpot& spot : SpotsOf(w)) {
      const QRect box = spot.rect.intersected(shown);
      if (box.width() < 3 || box.height() < 3) continue;
      const contrast::Reading reading =
          contrast::Read(shot, QRect(w->mapTo(top, box.topLeft()), box.size()));
      if (reading.ratio < kLeast)
        failures << QStringLiteral("%1: %2 reads %3:1 (%4 on %5)")
                        .arg(where, spot.what)
                        .arg(reading.ratio, 0, 'f', 2)
                        .arg(reading.ink.name(), reading.background.name());
    }
    QColor text, base;
    if (PaletteOf(w, text, base) && contrast::Ratio(text, base) < kLeast)
      failures << QStringLiteral("%1: %2 palette %3:1 (%4 on %5)")
                      .arg(where, Name(w, w->objectName()))
                      .arg(contrast::Ratio(text, base), 0, 'f', 2)
                      .arg(text.name(), base.name());
    if (ArrowsOf(w, text, base) && contrast::Ratio(text, base) < kLeastGraphics)
      failures << QStringLiteral("%1: %2 arrows %3:1 (%4 on %5)")
                      .arg(where, Name(w, w->objectName()))
                      .arg(contrast::Ratio(text, base), 0, 'f', 2)
                      .arg(text.name(), base.name());
  }
  return failures;
}

// The colour a tab is filled with: what most of its pixels show.
QColor TabFill(QTabBar* tabs, int index) {
  const QRect rect = tabs->tabRect(index).adjusted(2, 2, -2, -2);
  return contrast::Read(tabs->grab().toImage(), rect).background;
}

struct Pair {
  const char* name;
  QColor a;
  QColor b;
  double ratio;
};

}  // namespace

class ContrastTest : public QObject {
  Q_OBJECT

 private slots:
  // The arithmetic on values worked by hand: sRGB 0x77 is 0.1845 linear; navy's blue
  // channel 0x80 is 0.2159 linear, times 0.0722.
  void RatiosOfKnownPairs() {
    const Pair pairs[] = {
        {"white on black", Qt::white, Qt::black, 21.0},
        {"#777 on white", QColor(0x77, 0x77, 0x77), Qt::white, 4.478},
        {"white on navy", Qt::white, QColor(0, 0, 128), 16.01},
        {"black on navy", Qt::black, QColor(0, 0, 128), 1.312},
        {"red on white", Qt::red, Qt::white, 3.998},
        {"same grey", QColor(90, 90, 90), QColor(90, 90, 90), 1.0},
    };
    for (const Pair& pair : pairs) {
      QVERIFY2(qAbs(contrast::Ratio(pair.a, pair.b) - pair.ratio) < 0.005, pair.name);
      QVERIFY2(qAbs(contrast::Ratio(pair.b, pair.a) - pair.ratio) < 0.005, pair.name);
    }
    // The linear segment at the dark end: 10/255 / 12.92.
    QVERIFY(qAbs(contrast::Linear(10) - 0.003035) < 1e-6);
    QVERIFY(qAbs(contrast::Luminance(QColor(0x77, 0x77, 0x77)) - 0.1845) < 1e-4);
  }

  // The meter reads a drawn label as the eye does: white on navy clear, grey on grey not.
  void MeterReadsDrawnText() {
    struct Case {
      QColor text, background;
      double least, most;
    };
    const Case cases[] = {
        {Qt::white, QColor(0, 0, 128), 12.0, 16.1},
        {Qt::black, QColor(0, 0, 128), 1.2, 1.32},
        {QColor(0x77, 0x77, 0x77), QColor(0x88, 0x88, 0x88), 1.0, 1.4},
    };
    for (const Case& c : cases) {
      QLabel label(QStringLiteral("Center Freq"));
      QPalette palette = label.palette();
      palette.setColor(QPalette::Window, c.background);
      palette.setColor(QPalette::WindowText, c.text);
      label.setPalette(palette);
      label.setAutoFillBackground(true);
      label.resize(label.sizeHint() + QSize(10, 10));
      const std::vector<TextSpot> spots = SpotsOf(&label);
      QCOMPARE(spots.size(), size_t{1});
      const contrast::Reading reading = contrast::Read(label.grab().toImage(), spots[0].rect);
      QCOMPARE(reading.background, c.background);
      QVERIFY2(reading.ratio >= c.least && reading.ratio <= c.most,
               qPrintable(QString::number(reading.ratio)));
    }
  }

  void EveryTextOnEveryTabIsReadable() {
    ScriptedOperator op;
    ScopedOperator scope(op);
    VirtualUnit unit;
    std::string error;
    QVERIFY2(unit.Start(&error), error.c_str());
    TempDir dir;
    PointCom1At(dir, unit.DevicePath());
    dir.Enter();
    QStringList failures;
    {
      TQm48MainForm window;
      window.show();
      QTRY_VERIFY_WITH_TIMEOUT(window.StartupQueryDone(), 30000);
      TQm48SetupMMIForm* setup = window.SetupForm();
      QTabBar* tabs = setup->TabControl;
      QCOMPARE(tabs->count(), 4);
      for (int tab = 0; tab < tabs->count(); ++tab) {
        setup->SelectTab(tab);
        QCOMPARE(setup->CurrentTab(), tab);
        failures << Unreadable(&window, tabs->tabText(tab));
        // The selected tab stands out from the others.
        for (int other = 0; other < tabs->count(); ++other)
          if (other != tab && contrast::Ratio(TabFill(tabs, tab), TabFill(tabs, other)) < 3.0)
            failures << QStringLiteral("tab \"%1\" selected looks like \"%2\"")
                            .arg(tabs->tabText(tab), tabs->tabText(other));
      }

      TSimValuesDlg words(&window);
      words.SetUp(SimProg->Setup);
      words.show();
      QVERIFY(QTest::qWaitForWindowExposed(&words));
      failures << Unreadable(&words, QStringLiteral("word values dialog"));
      words.close();

      TQm48UserDefWaveDlg wave(SimProg->UserWaves[0], "WAVE1.R4V8SimUserWave", 64, &window);
      wave.show();
      QVERIFY(QTest::qWaitForWindowExposed(&wave));
      failures << Unreadable(&wave, QStringLiteral("user wave editor"));
      wave.close();
      window.close();
    }
    for (const QString& failure : failures) qWarning().noquote() << failure;
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
  }
};

QTEST_MAIN(ContrastTest)
#include "Contrast_test.moc"
