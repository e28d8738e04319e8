#pragma once
// What the widget tests share: fresh program objects and globals, a port configuration that
// leads to a device, a started main window, menu entries, and pictures for the README.
#include <QMenu>
#include <QtTest>
#include <fstream>
#include <memory>
#include <string>

#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/gui/Qm48MainUnit.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/VirtualUnit.h"

// The port configuration of dir that sends COM1, the port start-up opens, to device.
inline void PointCom1At(const TempDir& dir, const std::string& device) {
  std::ofstream(dir.File("Qm48Com.Cfg"), std::ios::binary | std::ios::trunc)
      << "[PortConfig]\r\nPortNum=0\r\n[PortDevices]\r\nCOM1=" << device << "\r\n";
}

// The program objects as start-up creates them, and the setup globals as they start.
class ProgramObjectsScope {
 public:
  ProgramObjectsScope() {
    AppSession().Renew();
    gFormatNumber = 0;
    gFormatName_ = {"one", "two", "three", "four"};
    gSetupEdited = false;
    gShuttingDown = false;
    gDebugMenuShown = false;
  }
  ~ProgramObjectsScope() { AppSession().Release(); }
  ProgramObjectsScope(const ProgramObjectsScope&) = delete;
  ProgramObjectsScope& operator=(const ProgramObjectsScope&) = delete;
};

// The main window started in dir with COM1 sent to device, shown, its start-up query over.
inline std::unique_ptr<TQm48MainForm> StartedWindow(const TempDir& dir, const std::string& device) {
  PointCom1At(dir, device);
  dir.Enter();
  auto window = std::make_unique<TQm48MainForm>();
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get()) ||
      !QTest::qWaitFor([&] { return window->StartupQueryDone(); }, 30000))
    return nullptr;
  return window;
}

// The entry of a menu or of one of its submenus with that text.
inline QAction* Entry(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
    if (QAction* inner = a->menu() ? Entry(a->menu(), text) : nullptr) return inner;
  }
  return nullptr;
}

// With QM48_SCREENSHOT_DIR set (scripts/screenshots, under Xvfb), the widget's picture is
// saved there under name.
inline void SavePicture(QWidget* widget, const char* name) {
  const QString dir = qEnvironmentVariable("QM48_SCREENSHOT_DIR");
  QCoreApplication::processEvents();  // pending layout; grab() paints by itself
  if (!dir.isEmpty() && !widget->grab().save(dir + "/" + name)) qWarning("%s not saved", name);
}
