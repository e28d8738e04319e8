#pragma once
// One setup being worked on: the simulator, transmitter and query objects, the format the
// simulator load files it under, and whether it was edited since it was last saved or
// recalled. The main window holds one and hands it to every page and panel; nothing below
// reaches for a program-wide copy.
#include <array>
#include <memory>
#include <string>

class progsimulatorclass;
class progtxclass;
class progqueryclass;
struct SimLoadFormat;

class SetupSession {
 public:
  // Fresh program objects, the first format with no names, not edited.
  SetupSession();
  // No program objects until Renew: the application's session before the start-up.
  struct NoProgramObjects {};
  explicit SetupSession(NoProgramObjects);
  ~SetupSession();
  SetupSession(const SetupSession&) = delete;
  SetupSession& operator=(const SetupSession&) = delete;

  // The program objects; they exist unless Release was called (after the shut-down).
  progsimulatorclass& Sim() const { return *sim_; }
  progtxclass& Tx() const { return *tx_; }
  progqueryclass& Query() const { return *query_; }
  bool HasProgramObjects() const { return sim_ && tx_ && query_; }

  // Back to what the constructor makes: the start-up of the window.
  void Renew();
  // Drops the program objects; the selection and the edited flag stay as they were.
  void Release();

  // The selected format, 0..3 (shown as 1..4), and the name of each of the four, at most
  // 8 characters each.
  int formatNumber = 0;
  std::array<std::string, 4> formatNames;
  // The selected format as a load files it: a number outside 0..3 sends an empty name.
  SimLoadFormat LoadFormat() const;

  // The setup was edited since it was last saved or recalled. Edits report whether they
  // changed anything; whoever made the edit marks the session.
  bool edited = false;
  void MarkEdited() { edited = true; }

 private:
  std::unique_ptr<progsimulatorclass> sim_;
  std::unique_ptr<progtxclass> tx_;
  std::unique_ptr<progqueryclass> query_;
};
