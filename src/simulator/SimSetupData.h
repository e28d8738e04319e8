#pragma once
// The simulator setup record: the complete description of the PCM frame the unit's
// simulator is to produce. Field names are the setup file's key names.
#include <array>
#include <cstdint>

constexpr int kMaxWordsPerMinorFrame = 16383;
constexpr int kNumDynamicWords = 5;
constexpr int kNumUniqueWords = 7;
constexpr int kUserWaveMaxWords = 1024;
constexpr int kMaxFrameSyncPatternChars = 64;

struct SimDynamicWord {
  int32_t SimDynamicWordNumber = 0;    // word number that carries the wave
  int32_t SimDynamicWordInterval = 0;  // repeat interval in words; 0: once
  int32_t SimDynamicWordWave = 0;      // index into kWaveNames
};

struct SimUniqueWord {
  int32_t SimUniqueWordStartFrame = 0;          // 0-based minor frame
  int32_t SimUniqueWordStartFrameInterval = 0;  // minor frame repeat interval
  int32_t SimUniqueWordStartWord = 0;           // first word number
  int32_t SimUniqueWordWordInterval = 0;        // word repeat interval
  uint16_t SimUniqueWordValue = 0;
};

struct SimWord {
  uint16_t SimWordLen = 0;  // bits
  uint16_t SimValue = 0;
};

struct SimSetupData {
  int32_t BitOrder = 0;           // kBitOrderNames
  int32_t SubframeMode = 0;       // kSubframeModeNames
  int32_t SubframeDirection = 0;  // kSubframeDirectionNames
  int32_t PatternLeads = 1;       // kPatternLeadsNames
  bool TrackDecom = true;
  uint32_t SimBitRate = 1024000;
  int32_t SimOutputCode = 0;  // kOutputCodeNames
  int32_t SfIdWordNum = 3;
  int32_t SfIdStartBit = 5;
  int32_t CommonWordLength = 16;
  int32_t WordsPerMinorFrame = 256;
  int32_t NumSubframes = 64;
  int32_t FsPatternRadix = 2;  // kPatternRadixNames
  char FrameSyncPattern[kMaxFrameSyncPatternChars + 1] = "FE6B2840";
  int32_t FrameSyncLength = 32;
  int32_t FirstSubFrameNum = 0;
  bool FacEnable = false;
  bool ExtClockEnable = false;
  int32_t Convolution = 0;
  bool SwapG1G2 = false;
  bool InvertG1 = false;
  bool DiffEncodingEnable = false;
  int32_t CommonWordValue = 1;
  std::array<SimDynamicWord, kNumDynamicWords> DynamicWords{};
  std::array<SimUniqueWord, kNumUniqueWords> UniqueWords{};
  std::array<SimWord, kMaxWordsPerMinorFrame> Words{};
};

// The samples of a "USERDEF" wave.
struct UserWaveTable {
  int32_t NumWords = 0;  // samples in use, 0..1024
  std::array<uint16_t, kUserWaveMaxWords> Samples{};
  uint16_t DefaultValue = 0;
  char Name[kMaxFrameSyncPatternChars + 1] = "";
};
using UserWaveTables = std::array<UserWaveTable, kNumDynamicWords>;

// Name tables: index -> name, as the setup file, the editor and the dump spell them.
extern const std::array<const char*, 2> kBitOrderNames;
extern const std::array<const char*, 4> kSubframeModeNames;
extern const std::array<const char*, 2> kSubframeDirectionNames;
extern const std::array<const char*, 2> kPatternLeadsNames;
extern const std::array<const char*, 3> kPatternRadixNames;
extern const std::array<const char*, 9> kWaveNames;
extern const std::array<const char*, 19> kOutputCodeNames;

enum WaveShape : int32_t {
  kWaveNothing = 0,
  kWaveSine,
  kWaveCosine,
  kWaveSquare,
  kWaveTriangle,
  kWaveRampUp,
  kWaveRampDown,
  kWaveRandom,
  kWaveUserDef,
};

// The runtime's pseudo-random generator: state = state * 22695477 + 1 (mod 2^32),
// result (state >> 16) & 0x7FFF. Its state starts at 1 and is never reseeded, so every
// run draws the same numbers in the same order.
int RuntimeRand();
// For tests: restart the generator as at program start.
void RuntimeSrand(uint32_t seed);
// The generator's state: a look at what a load would draw puts it back with RuntimeSrand,
// so that looking does not change what the next load sends.
uint32_t RuntimeRandState();

// Fills the record and the five user wave tables with the defaults.
void SetDefaults(SimSetupData& setup, UserWaveTables& waves);
