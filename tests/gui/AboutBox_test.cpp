// The about box: what it says, and its button that hands the log to the desktop or tells
// the operator why it cannot.
#include "app/gui/AboutBox.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "common/ScriptedOperator.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void showsNameAndVersion() {
    TAboutBoxDlg box(nullptr, [](const QUrl&) { return true; });
    QStringList texts;
    for (QLabel* label : box.findChildren<QLabel*>()) texts << label->text();
    QVERIFY(texts.contains("QM-48"));
    QVERIFY(texts.contains("Version 1.41"));
  }

  void showLogOpensThisRunsLog() {
    TempDir dir;
    dir.Enter();
    ScriptedOperator op;
    ScopedOperator scoped(op);
    LogStart("1.41", "Qm48", "", "Qm48");
    QList<QUrl> opened;
    TAboutBoxDlg box(nullptr, [&](const QUrl& url) {
      opened << url;
      return true;
    });
    QTest::mouseClick(box.ShowLogButton(), Qt::LeftButton);
    LogEnd();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0], QUrl::fromLocalFile(QString::fromStdString(dir.File("Qm48.Log"))));
    QVERIFY(op.MessageBoxes().empty());
  }

  void aViewerThatFailsOrNoLogIsReported() {
    TempDir dir;
    dir.Enter();
    ScriptedOperator op;
    ScopedOperator scoped(op);
    LogStart("1.41", "Qm48", "", "Qm48");
    TAboutBoxDlg refused(nullptr, [](const QUrl&) { return false; });
    refused.ShowLogClick();
    LogEnd();
    QCOMPARE(int(op.MessageBoxes().size()), 1);
    QCOMPARE(op.MessageBoxes()[0].text,
             "CANNOT OPEN THE PROGRAM LOG IN A VIEWER: " + dir.File("Qm48.Log"));
    QCOMPARE(op.MessageBoxes()[0].icon, MsgIcon::Warning);

    // After the log has ended there is nothing to open.
    bool asked = false;
    TAboutBoxDlg noLog(nullptr, [&](const QUrl&) { return asked = true; });
    noLog.ShowLogClick();
    QVERIFY(!asked);
    QCOMPARE(int(op.MessageBoxes().size()), 2);
    QCOMPARE(op.MessageBoxes()[1].text, std::string("NO PROGRAM LOG IS OPEN"));
  }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBox_test.moc"
