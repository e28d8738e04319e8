// The profile-store reader: any bytes parse, write back unchanged, and an entry set on
// the parsed document reads back the same before and after a round trip through text.
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "support/IniDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const std::string section = in.Text();
  const std::string key = in.Text();
  const std::string value = in.Text();
  const std::string bytes = in.Rest();

  IniDocument doc = IniDocument::Parse(bytes);
  FUZZ_CHECK(doc.Serialize() == bytes);

  std::string_view found;
  doc.Find(section, key, found);
  if (!IniDocument::IsWritableSection(section) || !IniDocument::IsWritableKey(key)) return 0;

  doc.Set(section, key, value);
  std::string_view stored;
  FUZZ_CHECK(doc.Find(section, key, stored));
  const std::string expected(stored);
  // Setting the same value again must not change what reads back.
  doc.Set(section, key, value);
  FUZZ_CHECK(doc.Find(section, key, stored));
  FUZZ_CHECK(stored == expected);
  IniDocument reread = IniDocument::Parse(doc.Serialize());
  std::string_view again;
  FUZZ_CHECK(reread.Find(section, key, again));
  FUZZ_CHECK(again == expected);
  FUZZ_CHECK(reread.Serialize() == doc.Serialize());
  return 0;
}
