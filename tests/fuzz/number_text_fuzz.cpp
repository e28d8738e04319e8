// Number text: every conversion takes any text, radix, width and length without a crash,
// and the fixed-width renderings keep their widths.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "support/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int32_t radix = static_cast<int8_t>(in.Byte());
  // Widths mostly small, now and then negative or large (but not memory-filling).
  const int width = static_cast<int8_t>(in.Byte());
  const int decimals = static_cast<int8_t>(in.Byte());
  const char c = static_cast<char>(in.Byte());
  const std::string delimiter = in.Text();
  const std::string text = in.Text();
  const std::string rest = in.Rest();

  uint32_t u32 = 0;
  uint16_t u16 = 0;
  int32_t i32 = 0;
  double d = 0;
  uint64_t u64 = 0;
  bool ok = false;
  TextToUInt32(text, u32, radix);
  TextToUInt16(text, u16, radix);
  TextToInt32(text, i32);
  TextToDouble(text, d);
  HexTextToValue(text, ok);
  for (int r : {2, 8, 10, 16, radix}) TextToValue64(text, u64, r);

  const std::string hex = HexText(u32, width, false);
  if (width >= 8) FUZZ_CHECK(hex.size() == static_cast<size_t>(width));
  const std::string oct = OctText(u32, width, true);
  if (width >= 11) FUZZ_CHECK(oct.size() == static_cast<size_t>(width) + 1);
  const std::string bits = BinaryText(u32, width);
  if (width >= 32) FUZZ_CHECK(bits.size() == static_cast<size_t>(width));
  NibbleBits(c);
  FloatText(d, decimals, width);
  FloatText(static_cast<double>(i32), decimals, width);

  const std::string fitLeft = FitLeft(width, c, rest);
  const std::string fitRight = FitRight(width, c, rest);
  FUZZ_CHECK(fitLeft.size() == static_cast<size_t>(width < 0 ? 0 : width));
  FUZZ_CHECK(fitRight.size() == fitLeft.size());
  FUZZ_CHECK(RemoveChar(rest, c).find(c) == std::string::npos);
  std::string stripped = rest;
  StripTrailing(stripped, c);
  FUZZ_CHECK(stripped.empty() || stripped.back() != c);
  const std::string lead = StripLeading(rest, c);
  FUZZ_CHECK(lead.empty() || lead.front() != c);
  std::string replaced = rest;
  ReplaceChar(replaced, c, static_cast<char>(c + 1), decimals & 1);
  const std::string before = TextBefore(rest, delimiter);
  const std::string after = TextAfter(rest, delimiter);
  FUZZ_CHECK(before.size() + after.size() <= rest.size());
  TextAfter(rest, delimiter.c_str());
  return 0;
}
