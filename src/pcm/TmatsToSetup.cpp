#include "pcm/TmatsToSetup.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#include "pcm/EncoderModel.h"
#include "pcm/TmatsCodes.h"
#include "simulator/MemoryImages.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"

namespace {

constexpr int kMaxMinorFrames = 1024;
constexpr int kMaxWordBits = 16;
constexpr uint32_t kMinBitRate = 10;
constexpr uint32_t kMaxBitRate = 33000000;
constexpr int32_t kModeNone = 0, kModeSfId = 1, kModeFcc = 2;

std::string Attr(const PcmFormat& f, const std::string& code, const std::string& value) {
  return "P-" + std::to_string(f.Link) + "\\" + code + ":" + value;
}

// The sync words' bits on the wire for a setup whose first syncWords words carry it.
std::string SyncWire(const SimSetupData& s, int syncWords) {
  std::vector<uint16_t> values(static_cast<size_t>(syncWords), 0);
  for (const MemoryImageWrite& w : BuildFrameSyncWords(s)) {
    const int64_t n = (w.Address - kFrameSyncBaseAddress) - 1;
    if (n >= 0 && n < syncWords) values[static_cast<size_t>(n)] = w.Value;
  }
  std::string wire;
  for (int i = 0; i < syncWords; ++i) {
    const int bits = s.Words[static_cast<size_t>(i)].SimWordLen;
    for (int j = 0; j < bits; ++j) {
      const int bit = s.BitOrder == 1 ? j : bits - 1 - j;
      wire += ((values[size_t(i)] >> bit) & 1) != 0 ? '1' : '0';
    }
  }
  return wire;
}

// A pattern text that starts "0X" would lose those two digits as a radix marker; a
// leading 0 beyond the pattern's length keeps them. False when there is no room for it.
bool SetPattern(SimSetupData& s, std::string text) {
  if (text.rfind("0X", 0) == 0) text.insert(0, "0");
  if (text.size() > static_cast<size_t>(kMaxFrameSyncPatternChars)) return false;
  std::strncpy(s.FrameSyncPattern, text.c_str(), kMaxFrameSyncPatternChars);
  s.FrameSyncPattern[kMaxFrameSyncPatternChars] = '\0';
  return true;
}

// The pattern text that puts the wire pattern on the line: each text digit is sent at one
// wire position or at none (LSB-first words of the common length drop some), found by
// sending it alone. A wire position no digit reaches sends 0, so it may only want a 0 or
// a don't-care; a digit that reaches no position is a don't-care.
bool PlacePattern(SimSetupData& s, const std::string& wire, int syncWords) {
  const int length = static_cast<int>(wire.size());
  auto probe = std::make_unique<SimSetupData>(s);
  std::string text(static_cast<size_t>(length), 'X');
  std::vector<bool> reached(wire.size(), false);
  for (int t = 0; t < length; ++t) {
    std::string one(static_cast<size_t>(length), '0');
    one[size_t(t)] = '1';
    if (!SetPattern(*probe, one)) return false;
    const std::string sent = SyncWire(*probe, syncWords);
    const size_t at = sent.find('1');
    if (at == std::string::npos || at >= wire.size()) continue;
    if (sent.find('1', at + 1) != std::string::npos || reached[at]) return false;
    reached[at] = true;
    text[size_t(t)] = wire[at];
  }
  for (size_t w = 0; w < wire.size(); ++w) {
    if (!reached[w] && wire[w] == '1') return false;
  }
  return SetPattern(s, text);
}

// First value, direction and minor frame count that make the unit count as the counter says.
bool PlaceCounter(const PcmFormat& f, const PcmSubframeCounter& c, SimSetupData& s) {
  const bool anyCount = c.Length < 0;
  // The unit's major frame is not always NumSubframes long (down from 1 it is two less).
  const int32_t count = static_cast<int32_t>(f.MinorFrames);
  for (int32_t n : {count, count + 1, count + 2, count - 1, 1}) {
    if (n < 1) continue;
    for (int32_t first = 0; first <= 1; ++first) {
      for (int32_t direction = 0; direction <= 1; ++direction) {
        auto probe = std::make_unique<SimSetupData>();
        probe->WordsPerMinorFrame = 4;
        probe->NumSubframes = n;
        probe->FirstSubFrameNum = first;
        probe->SubframeDirection = direction;
        probe->SfIdWordNum = 0;
        const EncoderModel model(*probe, UserWaveTables{}, {});
        const int64_t frames = model.MinorFramesPerMajorFrame();
        int64_t highest = 0;
        for (int64_t k = 0; k < frames; ++k) highest = std::max(highest, model.CounterOfFrame(k));
        if (frames == f.MinorFrames &&
            (anyCount ||
             (model.CounterOfFrame(0) == c.InitialValue &&
              model.CounterOfFrame(frames - 1) == c.EndValue && (direction == 0) == c.Increments &&
              static_cast<int>(std::bit_width(static_cast<uint64_t>(highest))) == c.Length))) {
          s.NumSubframes = n;
          s.FirstSubFrameNum = first;
          s.SubframeDirection = direction;
          return true;
        }
      }
    }
  }
  return false;
}

bool Build(const PcmFormat& f, progsimulatorclass& sim, std::string& error) {
  SimSetupData& s = sim.Setup;
  if (f.TypeFormat != "ONE") {
    error = Attr(f, "TF", f.TypeFormat) + ": only class I formats (ONE) can be sent";
    return false;
  }
  if (f.Parity != "NO" && !f.Parity.empty()) {
    error = Attr(f, "F3", f.Parity) + ": the unit sends no parity bits";
    return false;
  }
  if (f.SyncType != "FPT") {
    error = Attr(f, "MF3", f.SyncType) + ": the unit sends a fixed sync pattern (FPT) only";
    return false;
  }
  const int length = static_cast<int>(f.SyncPattern.size());
  if (length < 3 || length > 64) {
    error = Attr(f, "MF4", std::to_string(length)) + ": the sync pattern must have 3 to 64 bits";
    return false;
  }
  if (f.MinorFrames > kMaxMinorFrames) {
    error = Attr(f, "MF\\N", std::to_string(f.MinorFrames)) + ": more than 1024 minor frames";
    return false;
  }
  if (f.Counters.size() > 1) {
    error = Attr(f, "ISF\\N", std::to_string(f.Counters.size())) +
            ": the unit has one subframe ID counter";
    return false;
  }
  const double rate = std::floor(f.BitRate);
  if (rate != f.BitRate || rate < kMinBitRate || rate > kMaxBitRate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", f.BitRate);
    error = Attr(f, "D2", text) + ": the unit sends whole bit rates from 10 to 33000000";
    return false;
  }
  LineCode code = LineCode::NrzL;
  if (!LineCodeOfFormat(f, code, error)) return false;

  const std::vector<int> bits = f.PositionBits();
  int64_t sum = 0;
  for (size_t p = 1; p < bits.size(); ++p) {
    sum += bits[p];
    if (p + 1 < bits.size() && bits[p] > kMaxWordBits) {
      std::string where = Attr(f, "F1", std::to_string(f.CommonWordLength));
      for (size_t n = 0; n < f.WordLengths.size(); ++n) {
        if (f.WordLengths[n].Position == static_cast<int>(p))
          where = Attr(f, "MFW2-" + std::to_string(n + 1), std::to_string(bits[p]));
      }
      error = where + ": word " + std::to_string(p) + " is longer than 16 bits";
      return false;
    }
  }
  if (sum != f.BitsPerMinorFrame) {
    error = Attr(f, "MF2", std::to_string(f.BitsPerMinorFrame)) + ": the words add up to " +
            std::to_string(sum) + " bits";
    return false;
  }
  const int chunk = std::clamp(f.CommonWordLength, 1, kMaxWordBits);
  const int syncWords = (length + chunk - 1) / chunk;
  const int words = syncWords + f.WordsPerMinorFrame - 1;
  if (words > kMaxWordsPerMinorFrame) {
    error = Attr(f, "MF1", std::to_string(f.WordsPerMinorFrame)) + ": the frame needs " +
            std::to_string(words) + " of the unit's words, more than 16383";
    return false;
  }

  s.BitOrder = f.MsbFirst ? 0 : 1;
  s.SimOutputCode = static_cast<int32_t>(code);
  s.SimBitRate = static_cast<uint32_t>(rate);
  s.CommonWordLength = f.CommonWordLength;
  s.WordsPerMinorFrame = words;
  s.PatternLeads = 1;
  s.FsPatternRadix = 0;
  s.FrameSyncLength = length;
  for (int i = 0; i < syncWords; ++i) {
    const int rest = length - i * chunk;
    s.Words[size_t(i)].SimWordLen = static_cast<uint16_t>(std::min(chunk, rest));
  }
  for (int p = 1; p < f.WordsPerMinorFrame; ++p)
    s.Words[size_t(syncWords + p - 1)].SimWordLen = static_cast<uint16_t>(bits[size_t(p)]);
  if (!PlacePattern(s, f.SyncPattern, syncWords)) {
    error = Attr(f, "MF5", f.SyncPattern) + ": the unit cannot send this pattern in its words";
    return false;
  }
  for (SimDynamicWord& d : s.DynamicWords) d = {0, 0, kWaveNothing};
  for (SimUniqueWord& u : s.UniqueWords) u = {0, 0, 0, 0, 0xBEEF};

  s.SubframeMode = kModeNone;
  s.SfIdWordNum = 0;
  PcmSubframeCounter any;  // without a counter only the major frame's length matters
  any.Length = -1;
  if (f.Counters.empty() && !PlaceCounter(f, any, s)) {
    error = Attr(f, "MF\\N", std::to_string(f.MinorFrames)) +
            ": the unit cannot make a major frame of this many minor frames";
    return false;
  }
  if (!f.Counters.empty()) {
    const PcmSubframeCounter& c = f.Counters.front();
    if (c.WordPosition >= f.WordsPerMinorFrame || c.WordLength != bits[size_t(c.WordPosition)]) {
      error = Attr(f, "IDC1-1", std::to_string(c.WordPosition)) + ", " +
              Attr(f, "IDC2-1", std::to_string(c.WordLength)) + ": not a data word of this length";
      return false;
    }
    if (c.MsbFirst != f.MsbFirst) {
      error =
          Attr(f, "IDC5-1", c.MsbFirst ? "M" : "L") + ": the counter goes out in the order of F2";
      return false;
    }
    const int startBit = c.WordLength - c.MsbLocation;
    if (startBit < 0 || startBit + 1 < c.Length) {
      error =
          Attr(f, "IDC3-1", std::to_string(c.MsbLocation)) + ": the counter does not fit its word";
      return false;
    }
    if (!PlaceCounter(f, c, s)) {
      error = Attr(f, "IDC6-1", std::to_string(c.InitialValue)) + " to " +
              Attr(f, "IDC8-1", std::to_string(c.EndValue)) + " in " +
              Attr(f, "IDC4-1", std::to_string(c.Length)) + " bits: the unit cannot count so";
      return false;
    }
    s.SubframeMode = kModeSfId;
    s.SfIdWordNum = syncWords + c.WordPosition;
    s.SfIdStartBit = startBit;
  }
  if (f.FrameCodeComplement) {
    if (f.Counters.empty()) {
      error = Attr(f, "COM", "FRAME CODE COMPLEMENT") +
              " without a subframe ID counter: the unit's FCC mode counts minor frames";
      return false;
    }
    s.SubframeMode = kModeFcc;
  }
  sim.DoCrc16 = false;
  sim.DoCttit = false;
  sim.CrcWdNum = -1;
  for (const PcmMeasurand& m : f.Measurands) {
    const bool crc16 = m.Name == "CRC-16", ccitt = m.Name == "CRC-CCITT";
    if ((!crc16 && !ccitt) || m.Locations.empty()) continue;
    const int p = m.Locations.front().WordPosition;
    if (p < 1 || p >= f.WordsPerMinorFrame) continue;
    sim.DoCrc16 = crc16;
    sim.DoCttit = ccitt;
    sim.CrcWdNum = syncWords + p - 1;
  }
  std::string message;
  if (!ValidateSimulatorSetup(sim, message)) {
    error = "P-" + std::to_string(f.Link) + ": the setup made from it is not valid: " + message;
    return false;
  }
  return true;
}

}  // namespace

bool SetupFromPcmFormat(const PcmFormat& format, progsimulatorclass& sim, std::string& error) {
  auto saved = std::make_unique<SimSetupData>(sim.Setup);
  const bool crc16 = sim.DoCrc16, ccitt = sim.DoCttit;
  const int32_t crcWord = sim.CrcWdNum;
  if (Build(format, sim, error)) return true;
  sim.Setup = *saved;
  sim.DoCrc16 = crc16;
  sim.DoCttit = ccitt;
  sim.CrcWdNum = crcWord;
  return false;
}
