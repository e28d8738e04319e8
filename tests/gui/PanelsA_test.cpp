// The major frame, minor frame and simulator data panels driven through their right-click
// menus with a scripted operator: what the labels show, which record fields change, and
// that a cancelled prompt changes nothing. With QM48_SHOT_DIR set, each panel is also
// saved as a picture there.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "common/RecordCompare.h"
#include "common/ScriptedOperator.h"
#include "editor/gui/MajFrameMmiUnit.h"
#include "editor/gui/MinFrameMmiUnit.h"
#include "editor/gui/SimDataMmiUnit.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

using Names = std::vector<std::string>;

// The entry reached through the menu path, e.g. {"Common Word Length", "8"}.
QAction* Entry(QMenu* menu, const QStringList& path) {
  for (QAction* action : menu->actions()) {
    if (action->text() != path.front()) continue;
    if (path.size() == 1) return action;
    if (action->menu() != nullptr) return Entry(action->menu(), path.mid(1));
  }
  return nullptr;
}

QStringList EntryTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* action : menu->actions()) texts << action->text();
  return texts;
}

// The host's navy around the panel, as on the simulator page.
void SaveShot(QWidget* panel, const char* name) {
  const QByteArray dir = qgetenv("QM48_SHOT_DIR");
  if (dir.isEmpty()) return;
  QWidget frame;
  frame.setAutoFillBackground(true);
  QPalette palette = frame.palette();
  palette.setColor(QPalette::Window, QColor(0, 0, 128));
  frame.setPalette(palette);
  panel->setParent(&frame);
  panel->move(10, 10);
  frame.resize(panel->sizeHint() + QSize(20, 20));
  panel->resize(panel->sizeHint());
  frame.show();
  QVERIFY(frame.grab().save(QString::fromLocal8Bit(dir) + "/" + name));
  panel->setParent(nullptr);
}

}  // namespace

class PanelsATest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    AppSession().Renew();
    sim = &AppSession().Sim();
    QueryProg->Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
    op = std::make_unique<ScriptedOperator>();
    scoped = std::make_unique<ScopedOperator>(*op);
    gSetupEdited = false;
    before = TakeSnapshot(*sim);
  }
  void cleanup() {
    scoped.reset();
    op.reset();
    AppSession().Release();
  }

  void majorFrameMenuEditsAndShows() {
    TMajFrameMmiForm panel(AppSession(), nullptr);
    QSignalSpy edited(&panel, &SimPanelBase::Edited);
    QCOMPARE(EntryTexts(panel.PopupMenu),
             (QStringList{"Common Word Length", "Words Per Minor Frame", "Bit Order",
                          "FSP Location", "Subframe Mode"}));
    QCOMPARE(EntryTexts(Entry(panel.PopupMenu, {"Common Word Length"})->menu()).size(), 14);
    QCOMPARE(EntryTexts(Entry(panel.PopupMenu, {"Subframe Mode"})->menu()),
             (QStringList{"NONE", "SFID", "FCC"}));
    QCOMPARE(panel.LabelCwl->text(), QString("16"));
    QCOMPARE(panel.LabelFspLoc->text(), QString("LEADS"));

    Entry(panel.PopupMenu, {"Common Word Length", "8"})->trigger();
    QCOMPARE(panel.LabelCwl->text(), QString("8"));
    QCOMPARE(SimDifferences(*before, *sim), (Names{"CommonWordLength", "Words[0-255].SimWordLen"}));
    QVERIFY(gSetupEdited);
    QCOMPARE(edited.count(), 1);

    op->QueueInput("300");
    Entry(panel.PopupMenu, {"Words Per Minor Frame"})->trigger();
    QCOMPARE(panel.LabelWpf->text(), QString("300"));
    QCOMPARE(sim->Setup.Words[299].SimWordLen, uint16_t{8});

    Entry(panel.PopupMenu, {"Bit Order", "LSB FIRST"})->trigger();
    Entry(panel.PopupMenu, {"FSP Location", "TRAILS"})->trigger();
    QCOMPARE(panel.LabelBitOrder->text(), QString("LSB FIRST"));
    QCOMPARE(panel.LabelFspLoc->text(), QString("TRAILS"));

    sim->Setup.SubframeMode = 1;
    sim->Setup.FirstSubFrameNum = 1;
    Entry(panel.PopupMenu, {"Subframe Mode", "NONE"})->trigger();
    QCOMPARE(panel.LabelSfMode->text(), QString("NONE"));
    QCOMPARE(sim->Setup.NumSubframes, 1);
    QCOMPARE(sim->Setup.FirstSubFrameNum, 0);
    QCOMPARE(edited.count(), 5);

    sim->Setup.SubframeMode = 3;  // from a file
    panel.RefreshPanel();
    QCOMPARE(panel.LabelSfMode->text(), QString("URC"));
    SaveShot(&panel, "panel-major-frame.png");
  }

  void majorFrameCancelChangesNothing() {
    TMajFrameMmiForm panel(AppSession(), nullptr);
    QSignalSpy edited(&panel, &SimPanelBase::Edited);
    sim->Setup.Words[4].SimWordLen = 11;
    before = TakeSnapshot(*sim);
    op->QueueInputCancel();
    Entry(panel.PopupMenu, {"Words Per Minor Frame"})->trigger();
    op->QueueInput("many");
    Entry(panel.PopupMenu, {"Words Per Minor Frame"})->trigger();
    QCOMPARE(SimDifferences(*before, *sim), Names{});
    QCOMPARE(op->CountPlayed(ErrorTones()), 1);
    QVERIFY(!gSetupEdited);
    QCOMPARE(edited.count(), 0);
    QCOMPARE(panel.LabelWpf->text(), QString("256"));
  }

  void minorFrameMenuEditsAndPicture() {
    TMinFrameMmiForm panel(AppSession(), nullptr);
    QCOMPARE(EntryTexts(panel.PopupMenu),
             (QStringList{"Minor Frame Count Direction", "Minor Frame Counts From",
                          "Minor Frame Count", "Sync ID Word Number", "Sync ID Msb"}));
    QCOMPARE(EntryTexts(Entry(panel.PopupMenu, {"Sync ID Msb"})->menu()).size(), 16);

    // 64 frames from 0, msb 5 of a 16-bit word: the six rightmost ticks are red.
    const QImage picture = panel.ImageSfIdBit->pixmap().toImage();
    QCOMPARE(picture.size(), QSize(181, 31));
    const int step = 181 / 16;
    const int tickY = 15 - 15 / 4;
    auto tick = [&](int bit) { return picture.pixelColor(181 - step / 2 - 5 - bit * step, tickY); };
    QCOMPARE(tick(0), QColor(255, 0, 0));
    QCOMPARE(tick(5), QColor(255, 0, 0));
    QCOMPARE(tick(6), QColor(128, 128, 128));
    QCOMPARE(tick(15), QColor(128, 128, 128));

    op->QueueInput("2000");
    Entry(panel.PopupMenu, {"Minor Frame Count"})->trigger();
    QCOMPARE(panel.LabelNumSubframes->text(), QString("1024"));
    Entry(panel.PopupMenu, {"Sync ID Msb", "12"})->trigger();
    QCOMPARE(panel.LabelStartBit->text(), QString("12"));
    Entry(panel.PopupMenu, {"Minor Frame Count Direction", "DOWN"})->trigger();
    Entry(panel.PopupMenu, {"Minor Frame Counts From", "1"})->trigger();
    QCOMPARE(panel.LabelCountDir->text(), QString("DOWN"));
    QCOMPARE(panel.LabelFirstFrame->text(), QString("1"));
    op->QueueInput("7");
    Entry(panel.PopupMenu, {"Sync ID Word Number"})->trigger();
    QCOMPARE(panel.LabelSfidWordNum->text(), QString("7"));
    QCOMPARE(SimDifferences(*before, *sim),
             (Names{"SubframeDirection", "SfIdWordNum", "SfIdStartBit", "NumSubframes",
                    "FirstSubFrameNum"}));
    // Values 1..1024 need 11 bits: ticks 2..12 are red now.
    const QImage redrawn = panel.ImageSfIdBit->pixmap().toImage();
    auto tick2 = [&](int bit) {
      return redrawn.pixelColor(181 - step / 2 - 5 - bit * step, tickY);
    };
    QCOMPARE(tick2(1), QColor(128, 128, 128));
    QCOMPARE(tick2(2), QColor(255, 0, 0));
    QCOMPARE(tick2(12), QColor(255, 0, 0));
    QCOMPARE(tick2(13), QColor(128, 128, 128));

    before = TakeSnapshot(*sim);
    gSetupEdited = false;
    op->QueueInputCancel();
    Entry(panel.PopupMenu, {"Minor Frame Count"})->trigger();
    QCOMPARE(SimDifferences(*before, *sim), Names{});
    QVERIFY(!gSetupEdited);

    sim->Setup.NumSubframes = 64;
    sim->Setup.FirstSubFrameNum = 0;
    sim->Setup.SubframeDirection = 0;
    sim->Setup.SfIdWordNum = 3;
    sim->Setup.SfIdStartBit = 5;
    sim->Setup.SubframeMode = 1;
    panel.RefreshPanel();
    SaveShot(&panel, "panel-minor-frame.png");
  }

  void simDataMenuEditsAndRetunes() {
    TSimDataMmiForm panel(AppSession(), nullptr);
    QCOMPARE(EntryTexts(panel.PopupMenu),
             (QStringList{"Bit Rate", "Output Code", "", "Perform CRC-16 ", "Perform CCITT",
                          "CRC / CCITT Word Number"}));
    QCOMPARE(EntryTexts(Entry(panel.PopupMenu, {"Output Code"})->menu()).size(), 19);
    QCOMPARE(panel.LabelBitrate->text(), QString("1.024 Mbps"));
    QCOMPARE(panel.LabelCrcMethod->text(), QString("NOT USED"));

    // No port is open: the transmitter takes the new deviation, its load is logged as failed.
    op->QueueInput("1000000");
    Entry(panel.PopupMenu, {"Bit Rate"})->trigger();
    QCOMPARE(panel.LabelBitrate->text(), QString("1.0 Mbps"));
    QCOMPARE(TxProg->Setup.FmDeviation, 350);
    QCOMPARE(TxProg->Setup.PreModFilterSelected, 3);
    QCOMPARE(op->CountPlayed(ErrorTones()), 1);

    // The same code again needs no transmitter load: no further error.
    Entry(panel.PopupMenu, {"Output Code", "NRZL"})->trigger();
    QCOMPARE(op->CountPlayed(ErrorTones()), 1);
    Entry(panel.PopupMenu, {"Output Code", "BIOL"})->trigger();
    QCOMPARE(panel.LabelOutputCode->text(), QString("BIOL"));
    QCOMPARE(TxProg->Setup.FmDeviation, 700);

    panel.MenuCrc16->trigger();
    QCOMPARE(panel.LabelCrcMethod->text(), QString("CRC-16"));
    QCOMPARE(panel.LabelCrcWord->text(), QString("1"));
    QVERIFY(panel.MenuCrc16->isChecked());
    panel.MenuCcitt->trigger();
    QCOMPARE(panel.LabelCrcMethod->text(), QString("CCITT"));
    QVERIFY(!panel.MenuCrc16->isChecked());
    QVERIFY(panel.MenuCcitt->isChecked());
    op->QueueInput("12");
    Entry(panel.PopupMenu, {"CRC / CCITT Word Number"})->trigger();
    QCOMPARE(panel.LabelCrcWord->text(), QString("12"));
    QCOMPARE(SimDifferences(*before, *sim),
             (Names{"SimBitRate", "SimOutputCode", "DoCttit", "CrcWdNum"}));
    SaveShot(&panel, "panel-sim-data.png");

    before = TakeSnapshot(*sim);
    gSetupEdited = false;
    op->QueueInputCancel();
    Entry(panel.PopupMenu, {"Bit Rate"})->trigger();
    op->QueueInputCancel();
    Entry(panel.PopupMenu, {"CRC / CCITT Word Number"})->trigger();
    QCOMPARE(SimDifferences(*before, *sim), Names{});
    QVERIFY(!gSetupEdited);

    op->QueueInput("0");
    Entry(panel.PopupMenu, {"CRC / CCITT Word Number"})->trigger();
    QCOMPARE(panel.LabelCrcMethod->text(), QString("NOT USED"));
    QCOMPARE(panel.LabelCrcWord->text(), QString("NOT USED"));
    QVERIFY(!panel.MenuCcitt->isChecked());
  }

 private:
  progsimulatorclass* sim = nullptr;  // the session's
  std::unique_ptr<ScriptedOperator> op;
  std::unique_ptr<ScopedOperator> scoped;
  std::unique_ptr<SimSetupSnapshot> before;
};

QTEST_MAIN(PanelsATest)
#include "PanelsA_test.moc"
