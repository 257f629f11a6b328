// libFuzzer entry point for the form resource reader: any text parses or is refused with
// its read error, never anything else.
#include <cstdint>
#include <string_view>

#include "toolkit/Streaming.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    ParseFormText(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const EReadError&) {
  }
  return 0;
}
