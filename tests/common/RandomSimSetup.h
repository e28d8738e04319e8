#pragma once
// Random setups for round trips: fields from the ranges the editor allows, words in runs.
#include <cstring>
#include <random>
#include <string>

#include "simulator/Qm48SimulatorUnit.h"

struct RandomSimSetup {
  explicit RandomSimSetup(uint32_t seed) : rng(seed) {}

  int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
  bool Flag() { return Int(0, 1) == 1; }

  std::string PatternText(int radix, int digits) {
    const std::string set = std::array{"01X", "01234567X", "0123456789ABCDEFX"}[radix];
    std::string text;
    for (int i = 0; i < digits; ++i) text += set[Int(0, static_cast<int>(set.size()) - 1)];
    return text;
  }

  // Fills the setup parts a setup file holds.
  void Fill(progsimulatorclass& sim, int32_t& formatNumber, std::array<std::string, 4>& names) {
    SimSetupData& s = sim.Setup;
    s.BitOrder = Int(0, 1);
    s.SubframeMode = Int(0, 3);
    s.SubframeDirection = Int(0, 1);
    s.PatternLeads = Int(0, 1);
    s.TrackDecom = Flag();
    s.SimBitRate = static_cast<uint32_t>(Int(10, 33000000));
    s.SimOutputCode = Int(0, 18);
    s.CommonWordLength = Int(4, 16);
    s.WordsPerMinorFrame = Int(3, Flag() ? 64 : 2000);
    s.NumSubframes = Int(1, Flag() ? 16 : 1024);
    s.FirstSubFrameNum = Int(0, 1);
    s.FsPatternRadix = Int(0, 2);
    s.FrameSyncLength = Int(3, 64);
    const int bits = std::array{1, 3, 4}[s.FsPatternRadix];  // per pattern digit
    std::string pattern = PatternText(s.FsPatternRadix, (s.FrameSyncLength + bits - 1) / bits);
    std::strncpy(s.FrameSyncPattern, pattern.c_str(), kMaxFrameSyncPatternChars);
    s.FrameSyncPattern[kMaxFrameSyncPatternChars] = '\0';
    const int syncWords = (s.FrameSyncLength + s.CommonWordLength - 1) / s.CommonWordLength;
    s.SfIdWordNum = Int(1, s.WordsPerMinorFrame);
    if (s.PatternLeads == 1 && s.SfIdWordNum <= syncWords + 1)
      s.SfIdWordNum = std::min(syncWords + 2, s.WordsPerMinorFrame);
    s.SfIdStartBit = Int(0, 15);
    s.FacEnable = Flag();
    s.ExtClockEnable = Flag();
    s.Convolution = Int(0, 2);
    s.SwapG1G2 = Flag();
    s.InvertG1 = Flag();
    s.DiffEncodingEnable = Flag();
    s.CommonWordValue = Int(0, 65535);
    for (SimDynamicWord& d : s.DynamicWords) {
      d.SimDynamicWordNumber = Int(1, s.WordsPerMinorFrame);
      d.SimDynamicWordInterval = Int(0, 3) == 0 ? Int(1, 40) : 0;
      d.SimDynamicWordWave = Int(0, 7);  // no user waves: they need their files
    }
    for (SimUniqueWord& u : s.UniqueWords) {
      u.SimUniqueWordStartFrame = Int(0, s.NumSubframes - 1);
      u.SimUniqueWordStartFrameInterval = Int(0, 8);
      u.SimUniqueWordStartWord = Int(1, s.WordsPerMinorFrame);
      u.SimUniqueWordWordInterval = Int(0, 3) == 0 ? Int(1, 50) : 0;
      u.SimUniqueWordValue = static_cast<uint16_t>(Int(0, 65535));
    }
    for (int i = 0; i < s.WordsPerMinorFrame;) {
      const int run = Int(1, 20);
      const SimWord word{static_cast<uint16_t>(Int(1, 16)), static_cast<uint16_t>(Int(0, 65535))};
      for (int j = 0; j < run && i < s.WordsPerMinorFrame; ++j, ++i)
        s.Words[static_cast<size_t>(i)] = word;
    }
    sim.DoCrc16 = Int(0, 2) == 0;
    sim.DoCttit = !sim.DoCrc16 && Flag();
    sim.CrcWdNum = sim.DoCrc16 || sim.DoCttit ? Int(0, s.WordsPerMinorFrame - 1) : -1;
    formatNumber = Int(0, 3);
    for (std::string& name : names) name = PatternText(2, Int(0, 8));
  }

  std::mt19937 rng;
};
