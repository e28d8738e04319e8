// Number text: every conversion takes any text, radix, width and length, and the
// fixed-width renderings keep their widths.
#include <string>

#include "FuzzSupport.h"
#include "support/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int32_t radix = static_cast<int8_t>(in.Byte());
  const int width = static_cast<int8_t>(in.Byte());  // now and then negative
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
  if (width >= 8) FUZZ_CHECK(HexText(u32, width, false).size() == static_cast<size_t>(width));
  if (width >= 11) FUZZ_CHECK(OctText(u32, width, true).size() == static_cast<size_t>(width) + 1);
  if (width >= 32) FUZZ_CHECK(BinaryText(u32, width).size() == static_cast<size_t>(width));
  NibbleBits(c);
  FloatText(d, decimals, width);
  FloatText(static_cast<double>(i32), decimals, width);

  const size_t fit = static_cast<size_t>(width < 0 ? 0 : width);
  FUZZ_CHECK(FitLeft(width, c, rest).size() == fit && FitRight(width, c, rest).size() == fit);
  FUZZ_CHECK(RemoveChar(rest, c).find(c) == std::string::npos);
  std::string stripped = rest;
  StripTrailing(stripped, c);
  FUZZ_CHECK(stripped.empty() || stripped.back() != c);
  const std::string lead = StripLeading(rest, c);
  FUZZ_CHECK(lead.empty() || lead.front() != c);
  std::string replaced = rest;
  ReplaceChar(replaced, c, static_cast<char>(c + 1), decimals & 1);
  FUZZ_CHECK(TextBefore(rest, delimiter).size() + TextAfter(rest, delimiter).size() <= rest.size());
  TextAfter(rest, delimiter.c_str());
  return 0;
}
