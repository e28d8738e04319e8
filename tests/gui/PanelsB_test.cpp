// The frame sync pattern, dynamic words and unique words panels driven through their
// controls with a scripted operator: what each edit changes in the record, what is
// refused, and the radix buttons the pattern length allows.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "common/RecordCompare.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/FspMmiUnit.h"
#include "editor/gui/SimDynamicMmiUnit.h"
#include "editor/gui/SimUniqueMmiUnit.h"
#include "simulator/SimValidation.h"

namespace {

using Strings = std::vector<std::string>;

// Types text into a grid cell through its editor and commits it with Enter.
void TypeIntoCell(QTableWidget* grid, int row, int column, const QString& text) {
  grid->window()->activateWindow();
  grid->setFocus();
  grid->setCurrentCell(row, column);
  grid->editItem(grid->item(row, column));
  QCoreApplication::processEvents();
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
}

QAction* Entry(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
    if (a->menu() != nullptr)
      if (QAction* inner = Entry(a->menu(), text)) return inner;
  }
  return nullptr;
}

void SaveShot(QWidget* panel, const char* name) {
  const QByteArray dir = qgetenv("QM48_DOCS_DIR");
  if (dir.isEmpty()) return;
  QWidget host;
  host.setStyleSheet("background: navy; color: white;");
  host.setAutoFillBackground(true);
  QPalette p = host.palette();
  p.setColor(QPalette::Window, QColor(0, 0, 128));
  host.setPalette(p);
  panel->setParent(&host);
  panel->move(10, 10);
  panel->adjustSize();
  host.resize(panel->width() + 20, panel->height() + 20);
  host.show();
  QCoreApplication::processEvents();
  QVERIFY(host.grab().save(QString::fromUtf8(dir) + "/" + name));
  panel->setParent(nullptr);
}

}  // namespace

class PanelsBTest : public QObject {
  Q_OBJECT

  progsimulatorclass* sim = nullptr;  // the session's
  std::unique_ptr<SimSetupSnapshot> before;
  ScriptedOperator* op = nullptr;

  void Fresh() {
    AppSession().Renew();
    sim = &AppSession().Sim();
    before = TakeSnapshot(*sim);
    gSetupEdited = false;
  }
  Strings Changed() const { return SimDifferences(*before, *sim); }
  void ExpectLoadable() {
    std::string message;
    QVERIFY2(ValidateSimulatorSetup(*sim, message), message.c_str());
    sim->Prep232SimSetupData(SelectedLoadFormat());
    QVERIFY(sim->TxBuffer.Fill() > 0);
  }

 private slots:
  void frameSyncPanelShowsAllRadicesAndEnablesByLength() {
    Fresh();
    TFspMmiForm panel(AppSession(), nullptr);
    QCOMPARE(panel.StaticPatternBinary->text(), QString("11111110011010110010100001000000"));
    QCOMPARE(panel.StaticPatternOctal->text(), QString("3763262410"));
    QVERIFY(panel.ButtonRadixHex->isChecked());
    for (auto [length, hex, octal] :
         {std::tuple{12, true, true}, {16, true, false}, {9, false, true}, {10, false, false}}) {
      sim->Setup.FrameSyncLength = length;
      panel.ApplyVisibility();
      QCOMPARE(panel.ButtonRadixHex->isEnabled(), hex);
      QCOMPARE(panel.ButtonRadixOctal->isEnabled(), octal);
      QVERIFY(panel.ButtonRadixBinary->isEnabled());
    }
    sim->Setup.FrameSyncLength = 32;
    panel.ApplyVisibility();
    SaveShot(&panel, "panel-frame-sync.png");
  }

  void frameSyncPanelEditsThroughItsControls() {
    Fresh();
    ScriptedOperator script;
    ScopedOperator scoped(script);
    TFspMmiForm panel(AppSession(), nullptr);
    panel.show();
    int edits = 0;
    connect(&panel, &SimPanelBase::Edited, [&] { ++edits; });

    QTest::mouseClick(panel.ButtonRadixBinary, Qt::LeftButton);
    QCOMPARE(Changed(), (Strings{"FsPatternRadix", "FrameSyncPattern"}));
    QCOMPARE(panel.LabelPattern->text(), QString("11111110011010110010100001000000"));
    QVERIFY(gSetupEdited);
    QCOMPARE(edits, 1);
    ExpectLoadable();

    // Cancelled pattern prompt: nothing changes, nothing is marked.
    before = TakeSnapshot(*sim);
    gSetupEdited = false;
    script.QueueInputCancel();
    Entry(panel.PopupMenu, "Frame Sync Pattern")->trigger();
    QCOMPARE(script.InputBoxes().back().prompt, std::string("Enter the FSP pattern in BINARY"));
    QVERIFY(Changed().empty());
    QVERIFY(!gSetupEdited);

    script.QueueInput("1x01");
    Entry(panel.PopupMenu, "Frame Sync Pattern")->trigger();
    script.QueueInput("4");
    Entry(panel.PopupMenu, "Pattern Length")->trigger();
    QCOMPARE(panel.LabelPattern->text(), QString("1X01"));
    QCOMPARE(panel.StaticPatternHex->text(), QString("X"));
    QCOMPARE(Changed(), (Strings{"FrameSyncPattern", "FrameSyncLength"}));

    // Hex refused while X digits are in the pattern; the panel stays on binary.
    before = TakeSnapshot(*sim);
    panel.ApplyVisibility();
    QTest::mouseClick(panel.ButtonRadixHex, Qt::LeftButton);
    QCOMPARE(script.MessageBoxes().back().caption, std::string("DONT CARE BITS SET"));
    QVERIFY(panel.ButtonRadixBinary->isChecked());
    QVERIFY(!panel.ButtonRadixHex->isChecked());
    QVERIFY(Changed().empty());
  }

  void dynamicPanelTypedStartsAndRefusals() {
    Fresh();
    ScriptedOperator script;
    ScopedOperator scoped(script);
    TSimDynamicMmiForm panel(AppSession(), nullptr);
    panel.show();
    QCOMPARE(panel.Grid->item(0, 2)->text(), QString("SINE"));

    TypeIntoCell(panel.Grid, 1, 0, "40");
    QCOMPARE(Changed(), Strings{"DynamicWords[1].SimDynamicWordNumber"});
    QVERIFY(gSetupEdited);
    ExpectLoadable();

    before = TakeSnapshot(*sim);
    TypeIntoCell(panel.Grid, 2, 0, "2");
    QCOMPARE(script.MessageBoxes().back().text,
             std::string("The Wave Word Start Must Be Greater Than 2  (check framesync pattern "
                         "length)."));
    QCOMPARE(script.MessageBoxes().back().caption, std::string("DYNAMIC WORD SETUP ERROR"));
    QCOMPARE(panel.Grid->item(2, 2)->text(), QString("NOTHING"));
    QCOMPARE(panel.Grid->item(2, 0)->text(), QString("1"));
    ExpectLoadable();

    // The SFID word with a subframe mode.
    sim->Setup.SubframeMode = 1;
    TypeIntoCell(panel.Grid, 3, 0, "3");
    QCOMPARE(script.MessageBoxes().back().text,
             std::string("The Wave Word Start CANNOT Be (cause of sfid) 3"));
  }

  // A slot made invalid behind the grid's back is caught on the next grid event, whichever.
  void bothGridsCheckOnPressSelectionAndLeaving() {
    for (const char* event : {"press", "select", "leave"}) {
      for (const bool dynamic : {true, false}) {
        Fresh();
        ScriptedOperator script;
        ScopedOperator scoped(script);
        QWidget window;
        auto* other = new QLineEdit(&window);
        SimPanelBase* panel = nullptr;
        QTableWidget* grid = nullptr;
        if (dynamic) {
          sim->Setup.DynamicWords[0].SimDynamicWordNumber = 1;  // on the sync words
          auto* p = new TSimDynamicMmiForm(AppSession(), &window);
          panel = p;
          grid = p->Grid;
        } else {
          sim->Setup.UniqueWords[0].SimUniqueWordStartWord = 2;
          auto* p = new TSimUniqueMmiForm(AppSession(), &window);
          panel = p;
          grid = p->Grid;
        }
        panel->move(0, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(script.MessageBoxes().empty());
        if (std::string(event) == "press") {
          QTest::mousePress(grid->viewport(), Qt::LeftButton, {},
                            grid->visualItemRect(grid->item(3, 1)).center());
        } else if (std::string(event) == "select") {
          grid->setCurrentCell(4, 1);
        } else {
          window.activateWindow();
          grid->setFocus();
          QTRY_VERIFY(grid->hasFocus());
          other->setFocus();
          QTRY_VERIFY(!grid->hasFocus());
        }
        QTRY_COMPARE(script.MessageBoxes().size(), size_t{1});
        if (dynamic)
          QCOMPARE(sim->Setup.DynamicWords[0].SimDynamicWordWave, 0);
        else
          QCOMPARE(sim->Setup.UniqueWords[0].SimUniqueWordStartWord, -1);
        QVERIFY(gSetupEdited);
      }
    }
  }

  void dynamicPanelWaveMenu() {
    Fresh();
    ScriptedOperator script;
    ScopedOperator scoped(script);
    TSimDynamicMmiForm panel(AppSession(), nullptr);
    panel.Grid->setCurrentCell(4, 2);
    Entry(panel.PopupMenu, "RAMPDOWN")->trigger();
    QCOMPARE(Changed(), (Strings{"DynamicWords[4].SimDynamicWordWave", "UserWaves[4]"}));
    QCOMPARE(panel.Grid->item(4, 2)->text(), QString("RAMPDOWN"));
    QCOMPARE(sim->UserWaves[4].NumWords, 64);
    ExpectLoadable();
    SaveShot(&panel, "panel-dynamic-words.png");
  }

  void uniquePanelValuesAndRefusals() {
    Fresh();
    ScriptedOperator script;
    ScopedOperator scoped(script);
    TSimUniqueMmiForm panel(AppSession(), nullptr);
    panel.show();
    QCOMPARE(panel.Grid->item(0, 4)->text(), QString("48879"));
    QTest::mouseClick(panel.CheckBoxHex, Qt::LeftButton);
    QCOMPARE(panel.Grid->item(0, 4)->text(), QString("0xBEEF"));
    QVERIFY(Changed().empty());
    QVERIFY(!gSetupEdited);

    // Typed hex digits go upper case, the prefix's x stays.
    TypeIntoCell(panel.Grid, 1, 4, "0xab12");
    QCOMPARE(panel.Grid->item(1, 4)->text(), QString("0xAB12"));
    QCOMPARE(sim->Setup.UniqueWords[1].SimUniqueWordValue, uint16_t{0xAB12});
    QCOMPARE(Changed(), Strings{"UniqueWords[1].SimUniqueWordValue"});
    QVERIFY(gSetupEdited);
    ExpectLoadable();

    before = TakeSnapshot(*sim);
    TypeIntoCell(panel.Grid, 2, 2, "2");
    QCOMPARE(script.MessageBoxes().back().text,
             std::string("UNIQUE WORD NUMBER 3  The Unique Word Start Must Be Greater Than 2  "
                         "(check framesync pattern length)."));
    QCOMPARE(script.MessageBoxes().back().caption, std::string("UNIQUE WORD SETUP ERROR"));
    QCOMPARE(panel.Grid->item(2, 2)->text(), QString("-1"));
    ExpectLoadable();
    SaveShot(&panel, "panel-unique-words.png");
  }
};

QTEST_MAIN(PanelsBTest)
#include "PanelsB_test.moc"
