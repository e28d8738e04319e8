#include "app/SetupFiles.h"

#include <memory>

#include "app/ProgramObjects.h"
#include "platform/StartDirectory.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimFileSection.h"
#include "simulator/UserWaveFiles.h"
#include "support/ProfileStore.h"
#include "transmitter/Qm48TransmitterUnit.h"

const char* const kSimulatorSection = "SIMULATOR SETUP";
const char* const kTransmitterSection = "TRANSMITTER SETUP";
const char* const kLastSetupSection = "LAST SETUP FILENAME";
const char* const kLastSetupFileName = "LastQm48.Cfg";
const char* const kSetupFileExtension = "QM48";
const char* const kInvalidSetupFileText = "INVALID SETUP FILE..ABORT LOAD";
const char* const kInvalidSetupFileCaption = "INVALID FILE";
const char* const kReadOnlySetupFileText =
    "The file is set to Read Only.  Fix it before saving the file";

namespace {

bool HasFileNamePart(const std::string& path) {
  return !path.empty() && path.back() != '/' && path.back() != '\\';
}

// Relative names are taken against the given directory once, so that a later change of
// the current directory cannot make one load read two different files.
std::string PathIn(const std::string& directory, const std::string& path) {
  if (path.empty() || path.front() == '/' || directory.empty()) return path;
  return directory + "/" + path;
}

// What a load reads, kept apart from the live setup until everything has loaded.
struct ScratchSetup {
  explicit ScratchSetup(const WholeSetup& live)
      : sim(std::make_unique<progsimulatorclass>(live.sim)),
        tx(live.tx),
        formatNumber(live.formatNumber),
        formatNames(live.formatNames) {}

  WholeSetup View() { return WholeSetup{*sim, tx, formatNumber, formatNames}; }

  void CommitTo(const WholeSetup& live) const {
    live.sim.Setup = sim->Setup;
    live.sim.UserWaves = sim->UserWaves;
    live.sim.UserDefDynWordFn = sim->UserDefDynWordFn;
    live.sim.DoCrc16 = sim->DoCrc16;
    live.sim.DoCttit = sim->DoCttit;
    live.sim.CrcWdNum = sim->CrcWdNum;
    live.tx.Setup = tx.Setup;
    live.formatNumber = formatNumber;
    live.formatNames = formatNames;
  }

  std::unique_ptr<progsimulatorclass> sim;
  progtxclass tx;
  int32_t formatNumber;
  std::array<std::string, 4> formatNames;
};

// A slot with a user-defined wave takes its samples from the file it names (relative
// names live in the start directory; a missing file leaves the table as it was); every
// other slot forgets its file name.
void LoadUserWaves(progsimulatorclass& sim) {
  const std::string start = StartDirectory();
  for (size_t i = 0; i < sim.UserDefDynWordFn.size(); ++i) {
    if (sim.Setup.DynamicWords[i].SimDynamicWordWave == kWaveUserDef)
      ReadUserWaveFile(PathIn(start, sim.UserDefDynWordFn[i]), sim.UserWaves[i]);
    else
      sim.UserDefDynWordFn[i].clear();
  }
}

}  // namespace

WholeSetup SessionSetup(SetupSession& session) {
  return WholeSetup{session.Sim(), session.Tx(), session.formatNumber, session.formatNames,
                    &session.edited};
}

WholeSetup ProgramSetup(progsimulatorclass& sim, progtxclass& tx) {
  SetupSession& app = AppSession();
  return WholeSetup{sim, tx, app.formatNumber, app.formatNames, &app.edited};
}

std::string LastSetupPath() {
  return StartDirectory() + "/" + kLastSetupFileName;
}

bool LoadWholeFile(const WholeSetup& setup, const std::string& givenPath, bool takeLastName,
                   std::string& currentFileName) {
  const std::string path = PathIn(CurrentDirectory(), givenPath);
  if (!PathExists(path)) return false;
  ScratchSetup scratch(setup);
  WholeSetup target = scratch.View();
  std::string lastName = currentFileName;
  bool ok = false;
  {
    ProfileBatch batch(path);
    if (takeLastName) {
      std::string name;
      if (ReadProfileString(path, kLastSetupSection, "FileName", name) && PathExists(name))
        lastName = name;
    }
    const bool simulatorLoaded = LoadSimulatorFileInfo(
        target.sim, SimFormatSelection{target.formatNumber, target.formatNames}, path,
        kSimulatorSection);
    if (simulatorLoaded) LoadUserWaves(target.sim);
    const bool transmitterLoaded = target.tx.LoadSection(path, kTransmitterSection);
    ok = simulatorLoaded && transmitterLoaded;
  }
  if (ok) {
    scratch.CommitTo(setup);
    currentFileName = lastName;
  }
  if (setup.edited != nullptr) *setup.edited = !ok;
  return ok;
}

bool SaveWholeFile(const WholeSetup& setup, const std::string& givenPath,
                   const std::string* lastName) {
  if (!HasFileNamePart(givenPath)) return false;
  GoToStartDirectory();
  const std::string path = PathIn(CurrentDirectory(), givenPath);
  ProfileBatch batch(path);
  if (lastName != nullptr) WriteProfileString(path, kLastSetupSection, "FileName", *lastName);
  SaveSimulatorFileInfo(setup.sim, SimFormatSelection{setup.formatNumber, setup.formatNames}, path,
                        kSimulatorSection);
  setup.tx.SaveSection(path, kTransmitterSection);
  return batch.End();
}

bool IsFileReadOnly(const std::string& path) {
  return IsFileProtected(path);
}

SaveOutcome SaveSetup(const WholeSetup& setup, const std::string& currentFileName) {
  if (currentFileName.empty()) return SaveOutcome::NeedsName;
  GoToStartDirectory();
  if (!HasFileNamePart(currentFileName)) return SaveOutcome::NoFileName;
  if (IsFileReadOnly(currentFileName)) return SaveOutcome::ReadOnly;
  if (!SaveWholeFile(setup, currentFileName, nullptr)) return SaveOutcome::WriteFailed;
  if (!SaveWholeFile(setup, LastSetupPath(), &currentFileName)) return SaveOutcome::WriteFailed;
  if (setup.edited != nullptr) *setup.edited = false;
  return SaveOutcome::Saved;
}

bool RecallSetup(const WholeSetup& setup, const std::string& name, std::string& currentFileName) {
  std::string unchanged = currentFileName;
  if (!LoadWholeFile(setup, name, false, unchanged)) return false;
  currentFileName = name;
  if (setup.edited != nullptr) *setup.edited = false;
  SaveWholeFile(setup, LastSetupPath(), &currentFileName);
  return true;
}
