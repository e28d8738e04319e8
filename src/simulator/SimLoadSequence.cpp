// The simulator's load sequence: the whole setup turned into one command stream in the
// transmit buffer, in the order the unit expects it.
#include "link/CommandText.h"
#include "simulator/BitRateSynthesis.h"
#include "simulator/EncoderImage.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SetupDump.h"
#include "simulator/SimRegisters.h"
#include "simulator/WaveWords.h"
#include "support/ProgramLog.h"

namespace {

bool DetailOn() {
  return gDebugLogging.load(std::memory_order_relaxed);
}

void Label(const char* text, int tag = 0) {
  LogDetail(text, tag);
}

// The encoder part of the load becomes commands in the simulator's transmit buffer.
class LoadSink : public EncoderLoadSink {
 public:
  explicit LoadSink(progsimulatorclass& sim) : sim_(sim) {}
  void Step(const char* label, int tag) override { Label(label, tag); }
  void Memory(int64_t address, uint16_t value) override { sim_.MemoryWrite(address, value); }
  void Register(int reg, uint16_t value) override { sim_.RegisterWrite(reg, value); }
  void Clock() override { sim_.BitrateWrite(); }

 private:
  progsimulatorclass& sim_;
};
}  // namespace

void progsimulatorclass::MemoryWrite(int64_t address, uint16_t value) {
  // The address goes out as computed; only its four most significant hex digits fit.
  const std::string text = MemoryWriteCommand(value, static_cast<uint32_t>(address));
  TxBuffer.AppendCommand(text);
  if (DetailOn()) LogDetail("      Memory Write ---  : " + text, static_cast<int>(address));
}

void progsimulatorclass::RunHaltWrite(bool run) {
  const std::string text = RunCommand(run);
  TxBuffer.AppendCommand(text);
  if (DetailOn()) LogDetail("      Run/Halt Write ---  : " + text, run ? 1 : 0);
}

void progsimulatorclass::SaveFormatWrite() {
  const std::string text = SaveFlashCommand();
  TxBuffer.AppendCommand(text);
  if (DetailOn()) LogDetail("      Save Format Write ---  : " + text, 0);
}

void progsimulatorclass::RegisterWrite(int reg, uint16_t value) {
  const std::string text = RegisterWriteCommand(value, static_cast<uint32_t>(reg));
  TxBuffer.AppendCommand(text);
  if (!DetailOn()) return;
  const char* prefix = reg == kModeRegister         ? "      Mode Reg Write ---  : "
                       : reg == kPcmEncoderRegister ? "      PCM Encoder Write ---  : "
                                                    : "      Frame Start Write ---  : ";
  LogDetail(prefix + text, reg);
}

void progsimulatorclass::BitrateWrite() {
  const uint32_t rate = GetSimClockRatePrescaleNcoRate(Setup).ClockRate;
  const std::string text = ClockRateCommand(rate);
  TxBuffer.AppendCommand(text);
  if (DetailOn()) LogDetail("      Bitrate Write ---  : " + text, static_cast<int>(rate));
}

void progsimulatorclass::FormatNumberWrite(int32_t number) {
  const std::string text = FormatNumberCommand(number);
  TxBuffer.AppendCommand(text);
  if (DetailOn()) LogDetail("      Format Number Write ---  : " + text, 0);
}

void progsimulatorclass::FormatNameWrite(const std::string& name) {
  const std::string text = FormatNameCommand(name);
  TxBuffer.AppendCommand(text);
  if (DetailOn())
    LogDetail("      Format Name Write ---  : <" + text + ">", static_cast<int>(text.size()));
}

void progsimulatorclass::Prep232SimSetupData(const SimLoadFormat& format) {
  TxBuffer.ClearTxBuffer();
  Label("------------------------------------------");
  Label("SIMULATOR Prep232SimSetupData Routine START");
  if (DetailOn()) DumpSimulatorSetup(Setup);

  Label("Stop Running");
  RunHaltWrite(false);

  Label("SetFormatNumber()");
  FormatNumberWrite(format.Number);

  Label("SetFormatName()");
  FormatNameWrite(format.Name);

  LoadSink sink(*this);
  WriteEncoderLoad(Setup, UserWaves, {DoCrc16, DoCttit, CrcWdNum}, WordAttributes, sink);

  Label("", 1);
  Label("Save Format To Flash");
  SaveFormatWrite();

  Label("Restart Running");
  RunHaltWrite(true);

  Label("SIMULATOR Prep232SimSetupData Routine END");
  Label("--------------------------------------------");
}
