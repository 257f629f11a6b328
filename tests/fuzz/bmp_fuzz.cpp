// libFuzzer entry point for the BMP reader: any input either decodes or throws InvalidGraphic.
#include "platform/gfx/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    LoadBmp(std::span<const std::uint8_t>(data, size));
  } catch (const InvalidGraphic&) {
  }
  return 0;
}
