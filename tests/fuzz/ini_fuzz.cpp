// libFuzzer entry point for the settings reader and writer: lookups never fail, and an
// update reads back as written without changing any other key.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/sys/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto otherBefore = IniFile::Lookup(text, "display", "FontType");
  IniFile::Lookup(text, "", "");
  const std::string updated = IniFile::Update(text, "display", "language", " GB312 ");
  if (IniFile::Lookup(updated, "DISPLAY", "Language") != " GB312 ") std::abort();
  if (IniFile::Lookup(updated, "display", "FontType") != otherBefore) std::abort();
  return 0;
}
