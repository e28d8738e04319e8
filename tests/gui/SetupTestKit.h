#pragma once
// What the setup window's tests share: fresh program objects and globals for each test,
// and a virtual unit on a pseudo-terminal with the application's link opened on it.
#include <QtTest>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/ApplicationLink.h"
#include "app/ProgramObjects.h"
#include "app/Qm48GlobUnit.h"
#include "editor/gui/SimPanelBase.h"
#include "link/UnitLink.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/UnitFaults.h"
#include "unit/VirtualUnit.h"

// The port configuration of dir that sends COM1, the port start-up opens, to device.
inline void PointCom1At(const TempDir& dir, const std::string& device) {
  std::ofstream(dir.File("Qm48Com.Cfg"), std::ios::binary)
      << "[PortConfig]\r\nPortNum=0\r\n[PortDevices]\r\nCOM1=" << device << "\r\n";
}

// The application's session as start-up makes it, and the setup globals as they start.
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

// A virtual unit with a link's port on its pty, the application's link while it lives (the
// pages send on it); both closed at the end of scope.
class GuiUnitLink {
 public:
  explicit GuiUnitLink(const std::string& fault = "none") : unit_(Options(fault)) {
    std::string error;
    started_ = unit_.Start(&error);
    if (started_) opened_ = link_.Open(PortConfig{}, unit_.DevicePath());
    link_.ReplyEvent().Reset();
    link_.ClearReplyLine();
  }
  ~GuiUnitLink() {
    link_.Close();
    unit_.Stop();
  }
  GuiUnitLink(const GuiUnitLink&) = delete;
  GuiUnitLink& operator=(const GuiUnitLink&) = delete;

  bool Ready() const { return started_ && opened_; }
  VirtualUnit& Unit() { return unit_; }
  UnitLink& Link() { return link_; }

 private:
  static VirtualUnitOptions Options(const std::string& fault) {
    VirtualUnitOptions options;
    std::string error;
    ParseFaultMode(fault, options.fault, error);
    return options;
  }

  VirtualUnit unit_;
  UnitLink link_;
  ApplicationLinkScope scope_{link_};
  bool started_ = false;
  bool opened_ = false;
};

// A stand-in panel that writes down each refresh into a shared journal.
class JournalPanel : public SimPanelBase {
 public:
  JournalPanel(const std::string& name, std::vector<std::string>& journal, QSize size)
      : SimPanelBase(AppSession(), nullptr), name_(name), journal_(journal) {
    resize(size);
  }
  void RefreshPanel() override { journal_.push_back(name_); }
  void ApplyVisibility() override { ++visibilityCalls; }
  void Edit() { emit Edited(); }
  int visibilityCalls = 0;

 private:
  std::string name_;
  std::vector<std::string>& journal_;
};
