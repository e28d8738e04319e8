#include "simulator/SimSetupData.h"

#include <cstring>

const std::array<const char*, 2> kBitOrderNames = {"MSB FIRST", "LSB FIRST"};
const std::array<const char*, 4> kSubframeModeNames = {"NONE", "SFID", "FCC", "URC"};
const std::array<const char*, 2> kSubframeDirectionNames = {"UP", "DOWN"};
const std::array<const char*, 2> kPatternLeadsNames = {"TRAILS", "LEADS"};
const std::array<const char*, 3> kPatternRadixNames = {"BINARY", "OCTAL", "HEX"};
const std::array<const char*, 9> kWaveNames = {
    "NOTHING", "SINE", "COSINE", "SQUARE", "TRIANGLE", "RAMPUP", "RAMPDOWN", "RANDOM", "USERDEF"};
const std::array<const char*, 19> kOutputCodeNames = {
    "NRZL",   "NRZM",   "NRZS",   "BIOL",     "BIOM",     "BIOS", "DMM",
    "DMS",    "MDMM",   "MDMS",   "INV_NRZL", "INV_BIOL", "RZ",   "INV_RZ",
    "RNRZ11", "RNRZ15", "RNRZ17", "RNRZ23",   "RNRZ9"};

namespace {
// One generator for the whole program, as the runtime library has it: the default word
// values and the "RANDOM" wave draw from the same sequence.
uint32_t gRandState = 1;
}  // namespace

int RuntimeRand() {
  gRandState = gRandState * 22695477u + 1u;
  return static_cast<int>((gRandState >> 16) & 0x7FFF);
}

void RuntimeSrand(uint32_t seed) {
  gRandState = seed;
}

uint32_t RuntimeRandState() {
  return gRandState;
}

void SetDefaults(SimSetupData& setup, UserWaveTables& waves) {
  setup.BitOrder = 0;
  setup.SubframeMode = 0;
  setup.SubframeDirection = 0;
  setup.PatternLeads = 1;
  setup.TrackDecom = true;
  setup.SimBitRate = 1024000;
  setup.SimOutputCode = 0;
  // The dynamic and unique word numbers below are computed from the SFID word.
  setup.SfIdWordNum = 3;
  setup.SfIdStartBit = 5;
  setup.CommonWordLength = 16;
  setup.WordsPerMinorFrame = 256;
  setup.NumSubframes = 64;
  setup.FsPatternRadix = 2;
  std::memset(setup.FrameSyncPattern, 0, sizeof setup.FrameSyncPattern);
  std::strcpy(setup.FrameSyncPattern, "FE6B2840");
  setup.FrameSyncLength = 32;
  setup.FirstSubFrameNum = 0;
  setup.FacEnable = false;
  setup.ExtClockEnable = false;
  setup.Convolution = 0;
  setup.SwapG1G2 = false;
  setup.InvertG1 = false;
  setup.DiffEncodingEnable = false;
  setup.CommonWordValue = 1;

  for (int i = 0; i < kNumDynamicWords; ++i) {
    SimDynamicWord& word = setup.DynamicWords[i];
    word.SimDynamicWordNumber = setup.SfIdWordNum + i + 1;
    word.SimDynamicWordInterval = 0;
    word.SimDynamicWordWave = i + 1;
    UserWaveTable& wave = waves[i];
    wave.NumWords = 0;
    wave.Samples.fill(0);
    wave.DefaultValue = 0;
    std::memset(wave.Name, 0, sizeof wave.Name);
  }
  for (int i = 0; i < kNumUniqueWords; ++i) {
    SimUniqueWord& word = setup.UniqueWords[i];
    word.SimUniqueWordStartFrame = 0;
    word.SimUniqueWordStartFrameInterval = 0;
    word.SimUniqueWordStartWord = setup.SfIdWordNum + i + 6;
    word.SimUniqueWordWordInterval = 0;
    word.SimUniqueWordValue = 0xBEEF;
  }
  for (SimWord& word : setup.Words) {
    word.SimWordLen = static_cast<uint16_t>(setup.CommonWordLength);
    word.SimValue = static_cast<uint16_t>(RuntimeRand() & 0xFFFF);
  }
}
