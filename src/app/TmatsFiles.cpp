#include "app/TmatsFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "app/StatusCaption.h"
#include "pcm/SetupTmats.h"
#include "pcm/TmatsReader.h"
#include "pcm/TmatsToSetup.h"
#include "platform/StartDirectory.h"
#include "platform/SystemErrorText.h"
#include "platform/UniqueFd.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"
#include "support/Operator.h"
#include "support/ProfileStore.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

constexpr std::streamsize kMaxTmatsBytes = 64 << 20;

void Tell(const std::string& text) {
  SignalError();
  LogText(text, 0);
  Operator().MessageBox(text, kTmatsCaption, MsgButtons::Ok, MsgIcon::Error);
}

std::string Title(const std::string& path) {
  std::string name = FileTitle(path);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& text, std::string& error) {
  const std::string part = path + ".part";
  UniqueFd fd(::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  bool ok = fd.Valid();
  for (size_t done = 0; ok && done < text.size();) {
    const ssize_t n = ::write(fd.Get(), text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  int failure = ok ? 0 : errno;
  if (!fd.Close() && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && ::rename(part.c_str(), path.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (ok) return true;
  error = path + ": " + SystemErrorText(failure);
  ::unlink(part.c_str());
  return false;
}

bool ExportTmatsChosen(progsimulatorclass& sim, const progtxclass& tx,
                       const std::array<uint32_t, 4>& filterKhz, const std::string& setupName) {
  std::string message;
  if (!ValidateSimulatorSetup(sim, message)) {
    Tell("INVALID SIM SETUP DATA....." + message);
    return false;
  }
  TmatsDocument document;
  document.ProgramName = setupName.empty() ? "QM48" : Title(setupName);
  document.HaveTransmitter = true;
  document.Transmitter.FreqMhz = tx.Setup.FreqMhz;
  document.Transmitter.DeviationKhz = tx.Setup.FmDeviation;
  document.Transmitter.FilterIndex = tx.Setup.PreModFilterSelected;
  const size_t filter = static_cast<size_t>(std::clamp(tx.Setup.PreModFilterSelected, 0, 3));
  document.Transmitter.FilterKhz = filterKhz[filter];
  std::string text, error;
  if (!TmatsOfSetup(sim, document, text, error)) {
    Tell("No TMATS written: no decommutator could follow this frame: " + error);
    return false;
  }
  GoToStartDirectory();
  std::string path;
  const bool chosen =
      ChooseSaveFile(StartDirectory(), kTmatsFileExtension, document.ProgramName, path);
  GoToStartDirectory();
  if (!chosen) return false;
  if (!WriteWholeFile(path, text, error)) {
    Tell("The TMATS could not be written: " + error);
    return false;
  }
  LogText("TMATS written to " + path, 0);
  return true;
}

bool ImportTmatsChosen(progsimulatorclass& sim, progtxclass& tx) {
  GoToStartDirectory();
  std::string path;
  const bool chosen = ChooseOpenFile(StartDirectory(), kTmatsFileExtension, "", path);
  GoToStartDirectory();
  if (!chosen) return false;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  std::string error;
  TmatsDocument document;
  if (!in || buffer.str().size() > static_cast<size_t>(kMaxTmatsBytes)) {
    Tell(path + " cannot be read as TMATS.");
    return false;
  }
  if (!ReadTmats(buffer.str(), document, error)) {
    Tell(path + " is not TMATS the program can read: " + error);
    return false;
  }
  const PcmFormat* link = &document.Links.front();
  if (document.Links.size() > 1) {
    std::string names;
    for (const PcmFormat& f : document.Links) names += (names.empty() ? "" : ", ") + f.LinkName;
    const std::optional<std::string> typed = Operator().InputBox(
        kTmatsCaption,
        "The file describes several PCM links: " + names + ".  Which one shall the simulator send?",
        link->LinkName);
    if (!typed) return false;  // Cancel: nothing imported
    const std::string& answer = *typed;
    link = nullptr;
    for (const PcmFormat& f : document.Links)
      if (f.LinkName == answer) link = &f;
    if (link == nullptr) {
      Tell("No PCM link named \"" + answer + "\" in " + path + "; nothing was imported.");
      return false;
    }
  }
  if (!SetupFromPcmFormat(*link, sim, error)) {
    Tell("The simulator cannot send this PCM link, nothing was imported: " + error);
    return false;
  }
  if (document.HaveTransmitter) {
    tx.Setup.FreqMhz = document.Transmitter.FreqMhz;
    tx.Setup.FmDeviation = std::clamp(document.Transmitter.DeviationKhz, 0, 999);
    tx.Setup.PreModFilterSelected = std::clamp(document.Transmitter.FilterIndex, 0, 3);
  }
  LogText("Setup made from the TMATS link " + link->LinkName + " of " + path, 0);
  return true;
}
