// The sync pattern text parser: any text in any radix parses, and the three renderings
// always have the full digit count of their radix.
#include <string>

#include "FuzzSupport.h"
#include "simulator/SyncPatternText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  // Mostly the three real radixes, now and then anything at all.
  const uint8_t pick = in.Byte();
  const int32_t radix = pick < 240 ? pick % 3 : in.Int32();
  const std::string text = in.Rest();

  const std::string normal = NormalizePatternText(text);
  FUZZ_CHECK(normal.find(' ') == std::string::npos);
  const ParsedPattern parsed = ParsePatternText(text, radix);
  if (PatternDigitCount(radix) == 0) FUZZ_CHECK(!parsed.Ok && parsed.Value == 0);

  bool ok = false;
  const std::string hex = PatternToHexText(text, radix, &ok);
  FUZZ_CHECK(ok == parsed.Ok);
  const std::string binary = PatternToBinaryText(text, radix);
  const std::string octal = PatternToOctalText(text, radix);
  FUZZ_CHECK(hex.size() == 16);
  FUZZ_CHECK(binary.size() == 64);
  FUZZ_CHECK(octal.size() == 22);
  return 0;
}
