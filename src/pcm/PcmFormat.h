#pragma once
// A PCM link as TMATS describes it (IRIG 106-17 Chapter 9, P and D groups), in the
// standard's own terms: the minor frame sync pattern counts as one word, the last word
// position of the minor frame, and word 1 is the first word after it. Bits of a word are
// numbered from 1 at its most significant bit.
#include <cstdint>
#include <string>
#include <vector>

// A subframe ID counter (ISF/IDC attributes).
struct PcmSubframeCounter {
  std::string Name = "SFID";
  int WordPosition = 1;      // IDC1
  int WordLength = 16;       // IDC2
  int MsbLocation = 1;       // IDC3: bit of the counter's MSB, 1 = the word's MSB
  int Length = 1;            // IDC4: counter bits
  bool MsbFirst = true;      // IDC5
  int64_t InitialValue = 0;  // IDC6: in the first minor frame of the major frame
  int64_t InitialFrame = 1;  // IDC7
  int64_t EndValue = 0;      // IDC8: in the last minor frame
  int64_t EndFrame = 1;      // IDC9
  bool Increments = true;    // IDC10: INC or DEC
};

// One place of a word with a role (D group: word and frame location).
struct PcmLocation {
  int WordPosition = 1;
  int WordInterval = 0;  // 0: once in the minor frame
  int64_t FramePosition = 1;
  int64_t FrameInterval = 1;  // 1: every minor frame; 0: once in the major frame
};
struct PcmMeasurand {
  std::string Name;
  std::vector<PcmLocation> Locations;
};

struct PcmFormat {
  int Link = 1;  // the d of P-d
  std::string LinkName = "PCM";
  // Input data.
  std::string Code = "NRZ-L";            // D1: NRZ-L NRZ-M NRZ-S BIO-L BIO-M BIO-S RNRZ-L OTHER
  double BitRate = 0;                    // D2
  bool Inverted = false;                 // D4 polarity "I"
  bool Randomized = false;               // D7
  std::string RandomizerLength = "N/A";  // D8: STD (15 bits), OTH, N/A
  // Format.
  std::string TypeFormat = "ONE";  // TF
  int CommonWordLength = 16;       // F1
  bool MsbFirst = true;            // F2
  std::string Parity = "NO";       // F3
  int64_t MinorFrames = 1;         // MF\N
  int WordsPerMinorFrame = 1;      // MF1, the sync word included
  int64_t BitsPerMinorFrame = 0;   // MF2, the sync included
  std::string SyncType = "FPT";    // MF3
  std::string SyncPattern;         // MF5: "1", "0", "X" in transfer order; MF4 its length
  struct WordLength {
    int Position = 1;  // MFW1-n
    int Bits = 16;     // MFW2-n
  };
  std::vector<WordLength> WordLengths;  // words whose length is not F1
  std::vector<PcmSubframeCounter> Counters;
  // The minor frame that ends the major frame sends its sync pattern complemented.
  bool FrameCodeComplement = false;
  std::string Comment;  // P-d\COM
  std::vector<PcmMeasurand> Measurands;

  // The bits of word positions 1..MF1 (entry 0 unused; the last is the sync pattern's).
  std::vector<int> PositionBits() const;
};

// The transmitter, for the T group.
struct TmatsTransmitter {
  double FreqMhz = 0;
  int DeviationKhz = 0;  // peak
  int FilterIndex = 0;
  double FilterKhz = 0;  // 0: the unit's filter corners are not known
};

// What a TMATS file says besides the P and D groups.
struct TmatsDocument {
  std::string ProgramName;
  std::string DataSource = "QM48";
  std::string DataSourceType = "RF";  // G\DST: RF, or STO for a recording
  bool HaveTransmitter = false;
  TmatsTransmitter Transmitter;
  // R group of a recording: the channel IDs of the PCM and time channels.
  bool Recording = false;
  int PcmChannel = 1;
  int TimeChannel = 2;
  std::vector<PcmFormat> Links;
};
