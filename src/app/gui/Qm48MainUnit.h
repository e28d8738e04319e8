#pragma once
// The program's main window: its menus, the status caption, and the start-up and close
// sequences. The setup window lives inside it. The work of each menu entry belongs to
// the core (setup files, Load All, the port configuration); the window only shows it.
#include <QElapsedTimer>
#include <QMainWindow>
#include <string>

#include "app/ApplicationLink.h"
#include "app/PortReconnect.h"
#include "app/ProgramObjects.h"
#include "link/UnitLink.h"
#include "serial/PortConfig.h"

class QAction;
class QTimer;
class TQm48SetupMMIForm;

class TQm48MainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TQm48MainForm(QWidget* parent = nullptr);
  ~TQm48MainForm() override;

  // The caption from the edited flag, the current file and the port.
  void UpdateStatusLine();

  // Menu actions.
  void MenuSaveClick();
  void MenuSaveAsClick();
  void MenuRecallClick();
  void MenuExportTmatsClick();
  void MenuImportTmatsClick();
  void MenuLoadAllClick();
  void ConfigComPort1Click();
  void MenuDebugClick();
  void About1Click();
  // Ctrl+D: shows or hides the "Debug" menu entry.
  void ToggleDebugMenu();

  // For tests and the screenshot script.
  bool StartedUp() const { return startedUp_; }
  bool ShutDown() const { return shutDown_; }
  TQm48SetupMMIForm* SetupForm() const { return setupForm_; }
  SetupSession& Session() const { return session_; }
  QAction* DebugMenuAction() const { return menuDebug_; }
  bool DebugTerminalShown() const { return debugTerminalShown_; }
  QAction* SaveAction() const { return menuSave_; }
  QAction* SaveAsAction() const { return menuSaveAs_; }
  QAction* RecallAction() const { return menuRecall_; }
  QAction* ExportTmatsAction() const { return menuExportTmats_; }
  QAction* ImportTmatsAction() const { return menuImportTmats_; }
  QAction* LoadAllAction() const { return menuLoadAll_; }
  QAction* ComPortAction() const { return configComPort_; }
  QAction* AboutAction() const { return about_; }
  const PortConfig& Config() const { return portConfig_; }
  UnitLink& Link() { return link_; }
  const std::string& LastSetupFile() const { return lastSetupPath_; }
  // Milliseconds from construction to the window first shown and started.
  qint64 StartupMs() const { return startupMs_; }
  // The unit was queried once after start-up (whatever the answer).
  bool StartupQueryDone() const { return startupQueryDone_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  // StartupSequence.cpp
  void RunStartupSequence();
  void StartupQuery();
  // CloseSequence.cpp
  bool SaveFirstIfEdited();  // false: the operator cancelled or the save did not happen
  void RunShutdownSteps();
  // FileMenu.cpp
  bool SaveCurrent();  // true when the setup was written
  bool SaveAsChosen();
  void WriteLastSetup();
  // WindowPlacement.cpp: the window where the last run left it, and its place kept.
  void RestoreWindowPlace();
  void SaveWindowPlace();
  void RefreshSetupWindow();

  // The application's session: made fresh at start-up, handed to the setup window, its
  // program objects dropped at shut-down.
  SetupSession& session_ = AppSession();
  QAction* menuSave_ = nullptr;
  QAction* menuSaveAs_ = nullptr;
  QAction* menuRecall_ = nullptr;
  QAction* menuExportTmats_ = nullptr;
  QAction* menuImportTmats_ = nullptr;
  QAction* configComPort_ = nullptr;
  QAction* menuDebug_ = nullptr;
  QAction* menuLoadAll_ = nullptr;
  QAction* about_ = nullptr;
  QTimer* timer1_ = nullptr;
  TQm48SetupMMIForm* setupForm_ = nullptr;

  PortConfig portConfig_;
  UnitLink link_;  // the port to the unit: the application's link while the window lives
  ApplicationLinkScope linkScope_{link_};
  PortReconnect reconnect_;  // reopens the port when its unplugged device returns
  std::string lastSetupPath_;
  QElapsedTimer sinceConstruction_;
  qint64 startupMs_ = -1;
  bool startedUp_ = false;
  bool shutDown_ = false;
  bool startupQueryDone_ = false;
  bool debugTerminalShown_ = false;  // the debug terminal's place until it exists
};
