#pragma once
// What the widget tests share: fresh program objects and globals, a virtual unit with the
// application port opened on it, a start directory whose port configuration leads to a
// virtual unit, a main window started there, and pictures for the README.
#include <QtTest>
#include <fstream>
#include <memory>
#include <string>

#include "app/ApplicationLink.h"
#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "app/gui/Qm48MainUnit.h"
#include "link/UnitLink.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/UnitFaults.h"
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
  SetupSession& Session() { return AppSession(); }
  ProgramObjectsScope(const ProgramObjectsScope&) = delete;
  ProgramObjectsScope& operator=(const ProgramObjectsScope&) = delete;
};

// A virtual unit with a link's port on its pty, the application's link while it lives;
// both closed at the end of scope.
class GuiUnitLink {
 public:
  explicit GuiUnitLink(const std::string& fault = "none") : unit_(Options(fault)) {
    if (unit_.Start()) opened_ = link_.Open(PortConfig{}, unit_.DevicePath());
  }
  ~GuiUnitLink() {
    link_.Close();
    unit_.Stop();
  }
  bool Ready() const { return opened_; }
  VirtualUnit& Unit() { return unit_; }

 private:
  static VirtualUnitOptions Options(const std::string& fault) {
    VirtualUnitOptions options;
    std::string error;
    ParseFaultMode(fault, options.fault, error);
    return options;
  }
  VirtualUnit unit_;
  UnitLink link_;
  ApplicationLinkScope scope_{link_};  // the pages send on the application's link
  bool opened_ = false;
};

// A start directory, made current, whose COM1 leads to a virtual unit (its link when the
// options name one).
struct UnitDir {
  explicit UnitDir(VirtualUnitOptions options = {}) : unit(std::make_unique<VirtualUnit>(options)) {
    started = unit->Start();
    PointCom1At(dir, options.linkPath.empty() ? unit->DevicePath() : options.linkPath);
    dir.Enter();
  }
  TempDir dir;
  std::unique_ptr<VirtualUnit> unit;
  bool started = false;
};

// The main window started in the current directory, shown, its start-up query over.
inline std::unique_ptr<TQm48MainForm> StartedWindow() {
  auto window = std::make_unique<TQm48MainForm>();
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get()) ||
      !QTest::qWaitFor([&] { return window->StartupQueryDone(); }, 30000))
    return nullptr;
  return window;
}

// With QM48_SCREENSHOT_DIR set (scripts/screenshots, under Xvfb), the widget's picture is
// saved there under name.
inline void SavePicture(QWidget* widget, const char* name) {
  const QString dir = qEnvironmentVariable("QM48_SCREENSHOT_DIR");
  QCoreApplication::processEvents();  // pending layout; grab() paints by itself
  if (!dir.isEmpty() && !widget->grab().save(dir + "/" + name)) qWarning("%s not saved", name);
}
