#pragma once
// The waveform strip under the frame map: the first bits of one minor frame as the line
// levels of an output code, with the words they belong to. It is built on the encoder
// model, so the bits are the ones the unit would send for the record.
//
// What a window shows:
// - The bits start at the first bit of the chosen minor frame (0-based within the major
//   frame; an index outside is brought to the nearest minor frame).
// - A window longer than the minor frame goes on into the minor frames sent after it, into
//   the next major frame if need be, as the line does.
// - Codes that carry state from bit to bit start as if the line sat low and the chosen
//   minor frame were the first one sent, so a window shows the same levels whatever was
//   sent before it. What follows the window counts: a window is cut from the line of all
//   the minor frames it touches.
#include <cstdint>
#include <memory>
#include <vector>

#include "editor/FrameMapModel.h"
#include "pcm/EncoderModel.h"
#include "pcm/LineCodes.h"

constexpr int kWaveformDefaultBits = 64;
constexpr int kWaveformMinBits = 8;
constexpr int kWaveformMaxBits = 512;

// One word with bits in the window; the last may be cut by the window's end.
struct WaveformWord {
  int Frame = 0;     // 0-based minor frame within the major frame
  int Word = 1;      // 1-based word number
  int FirstBit = 0;  // its first bit in the window
  int Bits = 0;      // its bits in the window: Length, or fewer at the window's end
  int Length = 0;    // bits the word sends
  uint16_t Value = 0;
  FrameCellRole Role = FrameCellRole::Data;
};

struct Waveform {
  int Frame = 0;  // the minor frame the window starts with
  LineCode Code = LineCode::NrzL;
  BitSequence Bits;   // the window's bits in wire order
  BitSequence Cells;  // two half-bit cell levels per bit, 1 the high level
  std::vector<WaveformWord> Words;
};

class WaveformModel {
 public:
  WaveformModel();
  ~WaveformModel();

  void Build(const SimSetupData& setup, const UserWaveTables& waves, EncoderCrcSetting crc);

  // Minor frames in the major frame; 0 before the first Build.
  int Frames() const;
  // The output code the unit sends for the record: one it has no encoder setting for (or an
  // index outside the table) goes out as NRZ-L.
  LineCode SetupCode() const { return setupCode_; }

  // The first bitCount bits (kept within kWaveformMinBits .. kWaveformMaxBits) from the
  // start of minor frame `frame` in `code`. Empty before the first Build.
  Waveform Window(int frame, int bitCount, LineCode code) const;

 private:
  std::unique_ptr<EncoderModel> encoder_;
  int32_t bitOrder_ = 0;
  LineCode setupCode_ = LineCode::NrzL;
};
