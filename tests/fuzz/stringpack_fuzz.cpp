// libFuzzer entry point for the language pack reader: any input parses or throws
// StringPackError, and every text it keeps is UTF-8 of at most 253 bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/sys/StringPack.h"
#include "platform/sys/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const StringPack pack = StringPack::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int n = 0; n < 20; ++n) {
      const std::string text = pack.Text(n);
      if (text.size() > StringPack::kMaxTextBytes || !IsValidUtf8(text)) std::abort();
    }
  } catch (const StringPackError&) {
  }
  return 0;
}
