// The main window under the offscreen platform: the close question, a port that will not
// open, and every text readable (its contrast read off the drawn pixels).

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTableView>

#include "ModalDriver.h"
#include "SetupTestKit.h"
#include "app/SetupFiles.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FrameMapView.h"
#include "editor/gui/Qm48SetupMMIUnit.h"
#include "editor/gui/SimSetupMMIUnit.h"
#include "editor/gui/SimValuesDlgUnit.h"
#include "editor/gui/WaveformView.h"
#include "query/gui/QuerySetupMMIUnit.h"
#include "serial/gui/SerialConfigDlgUnit.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"
#include "transmitter/gui/TxSetupMMIUnit.h"

namespace {

std::string Profile(const std::string& path, const char* section, const char* key) {
  std::string text = "(missing)";
  ReadProfileString(path, section, key, text);
  return text;
}

// Contrast as the eye reads it: relative luminance of sRGB colours, and their ratio
// (L1 + 0.05) / (L2 + 0.05), 1 for equal colours and 21 for black on white.
double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Luminance(const QColor& c) {
  return 0.2126 * Linear(c.red()) + 0.7152 * Linear(c.green()) + 0.0722 * Linear(c.blue());
}
double Ratio(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a text rectangle of a picture shows: the background is the colour most of its pixels
// have, the ink the one that stands out most from it; the ratio of the two.
double DrawnRatio(const QImage& picture, const QRect& area, QColor* background = nullptr) {
  QHash<QRgb, int> counts;
  const QRect box = area.intersected(picture.rect());
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) ++counts[picture.pixel(x, y) | 0xff000000u];
  QRgb common = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > counts.value(common)) common = it.key();
  double ratio = 1.0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    ratio = std::max(ratio, Ratio(QColor::fromRgb(it.key()), QColor::fromRgb(common)));
  if (background) *background = QColor::fromRgb(common);
  return ratio;
}

QRect TextBox(const QWidget* w, const QString& text, Qt::Alignment alignment, const QRect& room) {
  const QSize size = QFontMetrics(w->font()).size(Qt::TextShowMnemonic, text);
  return QStyle::alignedRect(w->layoutDirection(), alignment, size, room).intersected(room);
}

// The text rectangles a widget draws, in its own coordinates: labels, buttons, check and
// radio boxes, tabs, and the cells of a grid in view.
std::vector<std::pair<QString, QRect>> TextsOf(QWidget* w) {
  std::vector<std::pair<QString, QRect>> spots;
  auto add = [&](const QString& text, const QRect& rect) {
    if (!text.trimmed().isEmpty()) spots.push_back({text, rect});
  };
  auto* view = qobject_cast<QAbstractItemView*>(w->parentWidget());
  if (view && view->viewport() == w && view->model()) {
    const QRect room = w->rect();
    QAbstractItemModel* model = view->model();
    if (qobject_cast<QTableView*>(view)) {
      for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c) {
          const QRect cell = view->visualRect(model->index(r, c));
          if (room.intersects(cell))
            add(model->index(r, c).data().toString(), cell.adjusted(2, 2, -2, -2));
          else if (cell.left() > room.right())
            break;
        }
    }
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->textFormat() != Qt::RichText)
      add(label->text(),
          label->wordWrap() ? label->contentsRect()
                            : TextBox(w, label->text(), label->alignment(), label->contentsRect()));
  } else if (auto* push = qobject_cast<QPushButton*>(w)) {
    add(push->text(), TextBox(w, push->text(), Qt::AlignCenter, push->rect()));
  } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
    auto* button = static_cast<QAbstractButton*>(w);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(
        qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents,
        &option, button);
    add(button->text(), TextBox(w, button->text(), Qt::AlignLeft | Qt::AlignVCenter, room));
  } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
    for (int i = 0; i < tabs->count(); ++i)
      add(tabs->tabText(i), TextBox(w, tabs->tabText(i), Qt::AlignCenter, tabs->tabRect(i)));
  }
  return spots;
}

// Every text of a top-level window below 4.5:1 as drawn.
QStringList Unreadable(QWidget* top, const QString& where) {
  QStringList failures;
  const QImage shot = top->grab().toImage();
  auto fail = [&](const QWidget* w, const QString& what, double ratio) {
    failures << QStringLiteral("%1: %2 \"%3\" reads %4:1")
                    .arg(where, w->metaObject()->className(), what)
                    .arg(ratio, 0, 'f', 2);
  };
  for (QWidget* w : top->findChildren<QWidget*>()) {
    if (!w->isVisible() || w->window() != top) continue;
    const QRect shown = w->visibleRegion().boundingRect();
    for (const auto& [text, rect] : TextsOf(w)) {
      const QRect box = rect.intersected(shown);
      if (box.width() < 3 || box.height() < 3) continue;
      const double ratio = DrawnRatio(shot, QRect(w->mapTo(top, box.topLeft()), box.size()));
      if (ratio < 4.5) fail(w, text, ratio);
    }
  }
  return failures;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<ScriptedOperator> op_;
  std::unique_ptr<ScopedOperator> scope_;

 private slots:
  void init() {
    op_ = std::make_unique<ScriptedOperator>();
    scope_ = std::make_unique<ScopedOperator>(*op_);
  }
  void cleanup() {
    scope_.reset();
    op_.reset();
  }

  // Cancel keeps the window; a cancelled or failed save keeps it too; Yes saves the
  // current file; No closes without it and still writes the last-setup file.
  void CloseAsksAboutUnsavedEdits() {
    TempDir dir;
    PointCom1At(dir, dir.File("no-such-device"));
    dir.Enter();
    auto window = StartedWindow();
    QVERIFY(window);
    op_->ClearRecords();
    gSetupEdited = true;
    op_->QueueAnswer(MsgAnswer::Cancel);
    QVERIFY(!window->close());
    QCOMPARE(op_->MessageBoxes().at(0).text,
             std::string("Setup Edited Without Saving.  Save First?"));
    QVERIFY(op_->MessageBoxes().at(0).buttons == MsgButtons::YesNoCancel);
    op_->QueueAnswer(MsgAnswer::Yes);  // no current file: Save As, whose chooser is cancelled
    op_->QueueChooserCancel();
    QVERIFY(!window->close());
    gCurrentFileName = dir.File("gone/Lost.qm48");  // its folder is gone
    op_->QueueAnswer(MsgAnswer::Yes);
    QVERIFY(!window->close());
    QVERIFY(op_->MessageBoxes().back().text.find("NOT saved") != std::string::npos);
    QVERIFY(!window->ShutDown() && window->isVisible() && gSetupEdited);
    QVERIFY(window->windowTitle().startsWith("*"));

    gCurrentFileName = dir.File("Kept.qm48");
    gFormatName_[0] = "atclose";
    op_->QueueAnswer(MsgAnswer::Yes);
    QVERIFY(window->close());
    QCOMPARE(Profile(dir.File("Kept.qm48"), kSimulatorSection, "gFormatName_1"),
             std::string("atclose"));

    window.reset();
    window = StartedWindow();
    QVERIFY(window);
    gCurrentFileName = dir.File("Untouched.qm48");
    gFormatName_[1] = "edited";
    gSetupEdited = true;
    op_->QueueAnswer(MsgAnswer::No);
    QVERIFY(window->close());
    QVERIFY(!PathExists(dir.File("Untouched.qm48")));
    QCOMPARE(Profile(dir.File("LastQm48.Cfg"), kSimulatorSection, "gFormatName_2"),
             std::string("edited"));
    QCOMPARE(Profile(dir.File("LastQm48.Cfg"), kLastSetupSection, "FileName"),
             dir.File("Untouched.qm48"));
  }

  // A port that will not open: the window starts disconnected, the log says why and what to
  // do, "Com Port" tells the operator; once the configuration names a unit it connects.
  void APortThatWillNotOpenIsExplained() {
    const std::string hint =
        "No such file or directory (2); no such device: plug in the adapter, or name its device "
        "for this port in the section PortDevices of Qm48Com.Cfg (e.g. COM1=/dev/ttyUSB0)";
    TempDir dir;
    PointCom1At(dir, "/dev/ttyUSB93");
    dir.Enter();
    auto window = StartedWindow();
    QVERIFY(window && window->windowTitle().endsWith("  Disconnected"));
    QVERIFY(op_->MessageBoxes().empty());  // start-up itself asks nothing
    QVERIFY(ReadAll(LogPath()).find("/dev/ttyUSB93  " + hint) != std::string::npos);
    auto cancel = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* d) { d->reject(); });
    window->ConfigComPort1Click();
    QVERIFY(cancel->ran);
    QCOMPARE(op_->MessageBoxes().size(), size_t{1});
    QCOMPARE(op_->MessageBoxes()[0].text, "cannot open the port /dev/ttyUSB93: " + hint);

    VirtualUnit unit;
    QVERIFY(unit.Start());
    PointCom1At(dir, unit.DevicePath());
    op_->ClearRecords();
    cancel = OnModal<TSerialConfigDlgForm>([](TSerialConfigDlgForm* d) { d->reject(); });
    window->ConfigComPort1Click();
    QVERIFY(cancel->ran && op_->MessageBoxes().empty());
    QVERIFY(window->windowTitle().endsWith("  Connected"));
    window.reset();
  }

  // The arithmetic on pairs worked by hand (sRGB 0x77 is 0.1845 linear; navy's blue 0x80 is
  // 0.2159 linear, times 0.0722), then every text of every tab and of the dialogs the pages
  // open, read off the window.
  void EveryTextIsReadable() {
    const struct {
      QColor a, b;
      double ratio;
    } pairs[] = {{Qt::white, Qt::black, 21.0},
                 {QColor(0x77, 0x77, 0x77), Qt::white, 4.478},
                 {Qt::white, QColor(0, 0, 128), 16.01},
                 {QColor(90, 90, 90), QColor(90, 90, 90), 1.0}};
    for (const auto& p : pairs)
      QVERIFY(qAbs(Ratio(p.a, p.b) - p.ratio) < 0.005 && qAbs(Ratio(p.b, p.a) - p.ratio) < 0.005);
    QCOMPARE(Linear(10), 10 / 255.0 / 12.92);  // the linear segment at the dark end

    UnitDir place;
    QVERIFY(place.started);
    QStringList failures;
    auto window = StartedWindow();
    QVERIFY(window);
    TQm48SetupMMIForm* setup = window->SetupForm();
    QTabBar* tabs = setup->TabControl;
    const char* names[] = {"main-simulator.png", "main-transmitter.png", "main-query.png",
                           "main-frame-map.png"};
    QWidget* pages[] = {setup->SimPage(), setup->TxPage(), setup->QueryPage(),
                        setup->FrameMapPage()};
    for (int tab = 0; tab < tabs->count(); ++tab) {
      setup->SelectTab(tab);
      QCOMPARE(setup->FrontPage(), pages[tab]);
      failures << Unreadable(window.get(), tabs->tabText(tab));
      SavePicture(window.get(), names[tab]);
      if (tab == 3) {
        SavePicture(setup->FrameMapPage(), "frame-map.png");
        SavePicture(setup->FrameMapPage()->WaveformStrip(), "waveform.png");
      }
    }
    TSimValuesDlg words(window.get());
    SimProg->Setup.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
    words.SetUp(SimProg->Setup);
    words.show();
    QVERIFY(QTest::qWaitForWindowExposed(&words));
    failures << Unreadable(&words, "word values dialog");
    SavePicture(&words, "word-values-16383.png");
    words.close();
    window->close();
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
