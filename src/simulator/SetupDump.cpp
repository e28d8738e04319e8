#include "simulator/SetupDump.h"

#include <algorithm>
#include <array>

#include "simulator/SimSetupData.h"
#include "support/NumberText.h"
#include "support/ProgramLog.h"

namespace {

// A table name, or the number itself when the index lies outside the table.
template <size_t N>
std::string NameOf(const std::array<const char*, N>& table, int32_t index) {
  if (index >= 0 && static_cast<size_t>(index) < N) return table[static_cast<size_t>(index)];
  return std::to_string(index);
}

std::string ConvolutionName(int32_t convolution) {
  static const std::array<const char*, 3> kNames = {"NONE", "ONE HALF", "ONE THIRD"};
  return NameOf(kNames, convolution);
}

std::string Dec(int64_t value) {
  return std::to_string(value);
}

}  // namespace

std::vector<DumpLine> SetupDumpLines(const SimSetupData& s) {
  std::vector<DumpLine> lines;
  const int words = std::min(std::max(s.WordsPerMinorFrame, 0), kMaxWordsPerMinorFrame);
  lines.reserve(static_cast<size_t>(words) + 40);
  auto add = [&lines](std::string text, int tag = 0) { lines.push_back({std::move(text), tag}); };

  add("The Setup Data Used is as follow:");
  add("BitOrder              " + NameOf(kBitOrderNames, s.BitOrder));
  add("SubframeMode          " + NameOf(kSubframeModeNames, s.SubframeMode));
  add("SubframeDirection     " + NameOf(kSubframeDirectionNames, s.SubframeDirection));
  add("PatternLeads          " + NameOf(kPatternLeadsNames, s.PatternLeads));
  add("TrackDecom            " + YesNoText(s.TrackDecom));
  add("SimBitRate            " + Dec(s.SimBitRate));
  add("SimOutputCode         " + NameOf(kOutputCodeNames, s.SimOutputCode));
  add("SubFrameIdWord        " + Dec(s.SfIdWordNum));
  add("SubFrameIdStartBit Lsb" + Dec(s.SfIdStartBit));
  add("CommonWordLength      " + Dec(s.CommonWordLength));
  add("WordsPerFrame         " + Dec(s.WordsPerMinorFrame));
  add("NumSubframes          " + Dec(s.NumSubframes));
  add("FirstFrame            " + Dec(s.FirstSubFrameNum));
  add("FrmSyncPatRadix       " + NameOf(kPatternRadixNames, s.FsPatternRadix));
  add("FrmSyncPat            " + std::string(s.FrameSyncPattern));
  add("FrmSyncPatLen         " + Dec(s.FrameSyncLength));
  add("bFACEnable            " + YesNoText(s.FacEnable));
  add("bExtClockEnable       " + YesNoText(s.ExtClockEnable));
  add("Convolution           " + ConvolutionName(s.Convolution));

  add("Dynamic Word Info...");
  for (int i = 0; i < kNumDynamicWords; ++i) {
    const SimDynamicWord& d = s.DynamicWords[static_cast<size_t>(i)];
    add("     WordNumber     " + Dec(d.SimDynamicWordNumber) + "     WordInterval   " +
            Dec(d.SimDynamicWordInterval) + "     WaveForm       " +
            NameOf(kWaveNames, d.SimDynamicWordWave),
        i);
  }
  add("Unique Word Info...");
  for (int i = 0; i < kNumUniqueWords; ++i) {
    const SimUniqueWord& u = s.UniqueWords[static_cast<size_t>(i)];
    add("     StartFrame     " + Dec(u.SimUniqueWordStartFrame) + "     FrameInterval  " +
            Dec(u.SimUniqueWordStartFrameInterval) + "     StartWord      " +
            Dec(u.SimUniqueWordStartWord) + "     WordInterval   " +
            Dec(u.SimUniqueWordWordInterval) + "     WordValue      " + Dec(u.SimUniqueWordValue),
        i);
  }
  add("Frame Word Info...");
  for (int i = 0; i < words; ++i) {
    const SimWord& w = s.Words[static_cast<size_t>(i)];
    add("     WordLen  " + Dec(w.SimWordLen) + "        Value    " + HexText(w.SimValue, 4, true),
        i);
  }
  add("---end setup data---");
  return lines;
}

void DumpSimulatorSetup(const SimSetupData& setup) {
  for (const DumpLine& line : SetupDumpLines(setup)) LogInfo(line.text, line.tag, false);
}
