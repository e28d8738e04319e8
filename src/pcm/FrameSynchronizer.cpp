#include "pcm/FrameSynchronizer.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace {

class Synchronizer {
 public:
  Synchronizer(const BitSequence& bits, const SynchronizerSettings& settings)
      : bits_(bits), s_(settings), size_(static_cast<int64_t>(bits.size())) {
    mask_ = s_.Pattern.Length >= 64 ? ~0ull : (1ull << s_.Pattern.Length) - 1;
    care_ = s_.Pattern.Care & mask_;
    careBits_ = std::popcount(care_);
    // A pattern half a frame or more away is another frame, not a slipped bit; a window
    // that reached it could step the grid backwards for ever.
    slipWindow_ = std::min<int64_t>(s_.SlipWindow, (s_.FrameBits - 1) / 2);
  }

  SyncResult Run() {
    int64_t from = 0;
    while (true) {
      const int64_t hit = Search(from);
      if (hit < 0) break;
      const int64_t locked = Check(hit);
      if (locked < 0) {
        from = hit + 1;
        continue;
      }
      from = Track(locked);
      if (from < 0) break;
    }
    return result_;
  }

 private:
  // Wrong pattern bits at pattern position q, as sent and complemented; false past the end.
  bool Errors(int64_t q, int& plain, int& inverted) const {
    if (q < 0 || q + s_.Pattern.Length > size_) return false;
    uint64_t window = 0;
    for (int j = 0; j < s_.Pattern.Length; ++j)
      window = (window << 1) | (bits_[static_cast<std::size_t>(q + j)] & 1u);
    plain = std::popcount((window ^ s_.Pattern.Bits) & care_);
    inverted = careBits_ - plain;
    return true;
  }

  // The best match at q within the tolerance: errors, or -1 when there is none.
  int Match(int64_t q, int tolerance, bool& isInverted) const {
    int plain = 0;
    int inverted = 0;
    if (!Errors(q, plain, inverted)) return -1;
    if (plain <= tolerance) {
      isInverted = false;
      return plain;
    }
    if (s_.AcceptInverted && inverted <= tolerance) {
      isInverted = true;
      return inverted;
    }
    return -1;
  }

  // The first pattern position at or after `from`, -1 when the stream ends first.
  int64_t Search(int64_t from) const {
    const int length = s_.Pattern.Length;
    uint64_t window = 0;
    for (int64_t i = from < 0 ? 0 : from; i < size_; ++i) {
      window = ((window << 1) | (bits_[static_cast<std::size_t>(i)] & 1u)) & mask_;
      if (i - from + 1 < length) continue;
      const int plain = std::popcount((window ^ s_.Pattern.Bits) & care_);
      if (plain <= s_.SearchErrors || (s_.AcceptInverted && careBits_ - plain <= s_.SearchErrors))
        return i - length + 1;
    }
    return -1;
  }

  // The pattern position of the frame that completes the lock, or -1.
  int64_t Check(int64_t hit) const {
    int64_t q = hit;
    for (int good = 1; good < s_.CheckPatterns; ++good) {
      q += s_.FrameBits;
      bool inverted = false;
      if (Match(q, s_.LockErrors, inverted) < 0) return -1;
    }
    return q;
  }

  void Record(int64_t q, bool inverted, bool missed, int errors, int slip) {
    const int64_t start = q - s_.Pattern.Offset;
    if (start < 0 || start + s_.FrameBits > size_) return;
    result_.Frames.push_back({start, inverted, missed, errors, slip});
  }

  // Follows the frames from the locked pattern position q; returns where the search
  // starts again after a lost lock, or -1 at the end of the stream.
  int64_t Track(int64_t q) {
    ++result_.Locks;
    if (result_.FirstLockBit < 0) result_.FirstLockBit = q + s_.Pattern.Length;
    bool inverted = false;
    int errors = Match(q, s_.LockErrors, inverted);
    result_.PatternBitErrors += errors;
    Record(q, inverted, false, errors, 0);
    int missedRun = 0;
    int64_t lastFound = q;
    while (true) {
      q += s_.FrameBits;
      if (q + s_.Pattern.Length > size_) return -1;
      errors = Match(q, s_.LockErrors, inverted);
      int slip = 0;
      for (int d = 1; errors < 0 && d <= slipWindow_; ++d) {
        for (int sign : {-1, 1}) {
          errors = Match(q + sign * d, s_.LockErrors, inverted);
          if (errors >= 0) {
            slip = sign * d;
            break;
          }
        }
      }
      if (errors >= 0) {
        q += slip;
        if (slip != 0) ++result_.Slips;
        result_.PatternBitErrors += errors;
        Record(q, inverted, false, errors, slip);
        missedRun = 0;
        lastFound = q;
        continue;
      }
      ++result_.MissedPatterns;
      if (++missedRun >= s_.Flywheel) {
        ++result_.LockLosses;
        // The frames coasted through since the last pattern belong to no frame grid.
        while (!result_.Frames.empty() && result_.Frames.back().Missed) result_.Frames.pop_back();
        return lastFound + 1;
      }
      Record(q, false, true, 0, 0);
    }
  }

  const BitSequence& bits_;
  const SynchronizerSettings& s_;
  const int64_t size_;
  uint64_t mask_ = 0;
  uint64_t care_ = 0;
  int careBits_ = 0;
  int64_t slipWindow_ = 0;
  SyncResult result_;
};

}  // namespace

bool SynchronizerSettingsValid(const SynchronizerSettings& s) {
  const SyncPattern& p = s.Pattern;
  const uint64_t mask = p.Length >= 64 ? ~0ull : (1ull << (p.Length > 0 ? p.Length : 0)) - 1;
  return s.FrameBits > 0 && p.Length >= 1 && p.Length <= 64 && p.Offset >= 0 &&
         p.Offset + p.Length <= s.FrameBits && (p.Care & mask) != 0 && s.SearchErrors >= 0 &&
         s.LockErrors >= 0 && s.CheckPatterns >= 1 && s.Flywheel >= 1 && s.SlipWindow >= 0;
}

SyncResult Synchronize(const BitSequence& bits, const SynchronizerSettings& settings) {
  if (!SynchronizerSettingsValid(settings)) return {};
  return Synchronizer(bits, settings).Run();
}
