// The user wave editor window: its grid and labels, typed samples, the menus through the
// scripted operator, Accept and Cancel with the caller's table and file name.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <cstring>
#include <fstream>

#include "common/ScriptedOperator.h"
#include "gui/ModalDriver.h"
#include "platform/StartDirectory.h"
#include "simulator/UserWaveFiles.h"
#include "simulator/gui/Qm48UserDefWaveUnit.h"
#include "support/TempDir.h"

namespace {

QAction* Entry(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

UserWaveTable SampleTable() {
  UserWaveTable t;
  t.NumWords = 3;
  t.Samples[0] = 255;
  t.Samples[1] = 1;
  t.Samples[2] = 2;
  t.DefaultValue = 100;
  std::strcpy(t.Name, "SINE1");
  return t;
}

bool Same(const UserWaveTable& a, const UserWaveTable& b) {
  return a.NumWords == b.NumWords && a.Samples == b.Samples && a.DefaultValue == b.DefaultValue &&
         std::string(a.Name) == b.Name;
}

}  // namespace

class UserWaveDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheWaveInHexAndDecimal() {
    UserWaveTable table = SampleTable();
    TQm48UserDefWaveDlg dlg(table, "/x/SINE1.R4V8SimUserWave", 64);
    QCOMPARE(dlg.Grid->rowCount(), 4);
    QCOMPARE(dlg.Grid->verticalHeaderItem(1)->text(), QString("17 - 33"));
    QCOMPARE(dlg.Grid->item(0, 0)->text(), QString("00FF"));
    QCOMPARE(dlg.Grid->item(0, 5)->text(), QString("0064"));
    QCOMPARE(dlg.TitleLabel->text(), QString("UserDef Wave Editor : SINE1"));
    QCOMPARE(dlg.WaveLabelValue->text(), QString("SINE1"));
    dlg.CheckBoxHex->setChecked(false);
    QCOMPARE(dlg.Grid->item(0, 0)->text(), QString("255"));
    QCOMPARE(dlg.DefaultValueValue->text(), QString("100"));
    QVERIFY(Same(table, SampleTable()));
    const QByteArray dir = qgetenv("QM48_DOCS_DIR");
    if (!dir.isEmpty()) {
      dlg.CheckBoxHex->setChecked(true);
      dlg.show();
      QCoreApplication::processEvents();
      QVERIFY(dlg.grab().save(QString::fromUtf8(dir) + "/user-wave-editor.png"));
    }
  }

  void typedSamplesMenusAndCancel() {
    TempDir temp;
    temp.Enter();
    RecordStartDirectory(true);
    ScriptedOperator op;
    ScopedOperator scoped(op);
    UserWaveTable table = SampleTable();
    std::string name = "START";
    auto driver = OnModal<TQm48UserDefWaveDlg>([&](TQm48UserDefWaveDlg* dlg) {
      dlg->Grid->item(0, 1)->setText("1A2B");  // typed into the grid
      QCOMPARE(table.Samples[1], uint16_t{0x1A2B});
      QVERIFY(dlg->TitleLabel->text().startsWith("*"));  // a grid edit is an edit
      dlg->Grid->item(0, 2)->setText("zz");              // refused: sample unchanged, error signal
      QCOMPARE(table.Samples[2], uint16_t{2});
      QCOMPARE(dlg->Grid->item(0, 2)->text(), QString("0002"));
      op.QueueInput("20");
      Entry(dlg->CommonMenu, "Num Words in Wave")->trigger();
      QCOMPARE(table.NumWords, 20);
      QVERIFY(dlg->TitleLabel->text().startsWith("*"));
      op.QueueChosenFile(temp.File("W.R4V8SimUserWave"));
      Entry(dlg->FileMenu, "Save As")->trigger();
      QVERIFY(!dlg->TitleLabel->text().startsWith("*"));
      QTest::mouseClick(dlg->CancelButton, Qt::LeftButton);
    });
    QVERIFY(!EditUserWave(table, name, 64));
    QVERIFY(driver->ran);
    QVERIFY(Same(table, SampleTable()));
    QCOMPARE(name, std::string("START"));
    UserWaveTable saved;
    QVERIFY(ReadUserWaveFile(temp.File("W.R4V8SimUserWave"), saved));
    QCOMPARE(saved.NumWords, 20);
    QCOMPARE(saved.Samples[1], uint16_t{0x1A2B});
  }

  void acceptKeepsTheEditsAndRecallRefusesABadFile() {
    TempDir temp;
    temp.Enter();
    RecordStartDirectory(true);
    ScriptedOperator op;
    ScopedOperator scoped(op);
    std::ofstream(temp.File("BAD.R4V8SimUserWave")) << "[UserDef Wave Info Common Area]\r\n";
    UserWaveTable table = SampleTable();
    std::string name;
    auto driver = OnModal<TQm48UserDefWaveDlg>([&](TQm48UserDefWaveDlg* dlg) {
      op.QueueChosenFile(temp.File("BAD.R4V8SimUserWave"));
      Entry(dlg->FileMenu, "Recall")->trigger();
      QVERIFY(Same(table, SampleTable()));
      QCOMPARE(op.MessageBoxes().size(), size_t{1});
      dlg->CheckBoxHex->setChecked(false);
      dlg->Grid->item(0, 3)->setText("77");
      QTest::mouseClick(dlg->AcceptButton, Qt::LeftButton);
    });
    QVERIFY(EditUserWave(table, name, 64));
    QVERIFY(driver->ran);
    QCOMPARE(table.Samples[3], uint16_t{77});
    QCOMPARE(name, std::string());
  }
};

QTEST_MAIN(UserWaveDlgTest)
#include "UserWaveDlg_test.moc"
