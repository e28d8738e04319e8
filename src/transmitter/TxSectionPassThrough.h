#pragma once
// The "TRANSMITTER SETUP" section of a setup file, carried from recall to save as the
// texts it holds, until the transmitter's own record takes over its keys.
#include <array>
#include <string>

class TxSectionPassThrough {
 public:
  // The section's keys after "FileVersion", in the order a save writes them.
  static const std::array<const char*, 4> kKeys;  // FreqMhz, FmDeviation, ...

  // False, with nothing changed, when "FileVersion" is missing or not a number; otherwise
  // every present key replaces its text.
  bool LoadSection(const std::string& path, const std::string& section);
  // Writes "FileVersion" and the four keys.
  void SaveSection(const std::string& path, const std::string& section) const;

  const std::string& Value(size_t key) const { return values_.at(key); }

 private:
  // The transmitter record's defaults as the file writes them.
  std::array<std::string, 4> values_ = {"0.000000000", "0", "0", "0"};
};

// The transmitter section's type as the setup files see it.
using TxSetupSection = TxSectionPassThrough;
