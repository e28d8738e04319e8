#include "editor/WaveformModel.h"

#include <algorithm>

namespace {

constexpr int32_t kLsbFirst = 1;  // kBitOrderNames

FrameCellRole CellRoleOf(EncoderWordRole role) {
  switch (role) {
    case EncoderWordRole::FrameSync:
      return FrameCellRole::FrameSync;
    case EncoderWordRole::SubframeId:
      return FrameCellRole::SubframeId;
    case EncoderWordRole::Dynamic:
      return FrameCellRole::Dynamic;
    case EncoderWordRole::Unique:
      return FrameCellRole::Unique;
    case EncoderWordRole::Crc:
      return FrameCellRole::Crc;
    case EncoderWordRole::Data:
      break;
  }
  return FrameCellRole::Data;
}

}  // namespace

WaveformModel::WaveformModel() = default;
WaveformModel::~WaveformModel() = default;

void WaveformModel::Build(const SimSetupData& setup, const UserWaveTables& waves,
                          EncoderCrcSetting crc) {
  encoder_ = std::make_unique<EncoderModel>(setup, waves, crc);
  bitOrder_ = setup.BitOrder;
  setupCode_ = encoder_->Code();
}

int WaveformModel::Frames() const {
  return encoder_ ? static_cast<int>(encoder_->MinorFramesPerMajorFrame()) : 0;
}

Waveform WaveformModel::Window(int frame, int bitCount, LineCode code) const {
  Waveform shown;
  shown.Code = code;
  const int frames = Frames();
  if (frames <= 0) return shown;
  shown.Frame = std::clamp(frame, 0, frames - 1);
  const int wanted = std::clamp(bitCount, kWaveformMinBits, kWaveformMaxBits);

  // Whole minor frames until the window is covered, so the code sees what follows it.
  BitSequence bits;
  for (int64_t index = shown.Frame; static_cast<int>(bits.size()) < wanted; ++index) {
    const EncodedMinorFrame minor = encoder_->MinorFrame(index);
    if (minor.Words.empty()) break;
    for (size_t w = 0; w < minor.Words.size(); ++w) {
      const EncodedWord& word = minor.Words[w];
      const int first = static_cast<int>(bits.size());
      for (int j = 0; j < word.Length; ++j) {
        const int bit = bitOrder_ == kLsbFirst ? j : word.Length - 1 - j;
        bits.push_back(static_cast<uint8_t>((word.Value >> bit) & 1));
      }
      if (first >= wanted) continue;
      WaveformWord entry;
      entry.Frame = static_cast<int>(index % frames);
      entry.Word = static_cast<int>(w) + 1;
      entry.FirstBit = first;
      entry.Bits = std::min(word.Length, wanted - first);
      entry.Length = word.Length;
      entry.Value = word.Value;
      entry.Role = CellRoleOf(word.Role);
      shown.Words.push_back(entry);
    }
  }

  shown.Cells = EncodeLine(code, bits);
  const size_t kept = std::min(bits.size(), static_cast<size_t>(wanted));
  bits.resize(kept);
  shown.Cells.resize(2 * kept);
  shown.Bits = std::move(bits);
  return shown;
}
