#pragma once
// The whole simulator setup written to the program log, so that a log shows exactly what
// a load sent.
#include <string>
#include <vector>

struct SimSetupData;

struct DumpLine {
  std::string text;
  int tag = 0;
};

// The dump's lines in order, each with its log tag.
std::vector<DumpLine> SetupDumpLines(const SimSetupData& setup);
// Writes SetupDumpLines to the program log as information lines (no message box).
void DumpSimulatorSetup(const SimSetupData& setup);
