// Fuzzes the skin package reader: a first byte of 0 feeds the rest as a zlib stream, any
// other first byte feeds it as the plain package (compressed here first).
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include <zlib.h>

#include "skin/data/skSkinData.h"
#include "skin/data/skSkinPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::vector<std::uint8_t> rest(data + 1, data + size);
  if (data[0] != 0) {
    // Level 1 keeps the run fast; the reader accepts any valid stream.
    uLongf packedSize = compressBound(static_cast<uLong>(rest.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rest.data(), static_cast<uLong>(rest.size()), 1) != Z_OK)
      return 0;
    packed.resize(packedSize);
    rest = std::move(packed);
  }
  TskCompressedStoredSkin stored;
  stored.SetCompressedData(std::move(rest));
  TskSkinData skin;
  try {
    skin.LoadStoredSkin(stored);
  } catch (const std::exception&) {
    if (!skin.SkinEmpty()) __builtin_trap();  // a failed load must leave it empty
  }
  return 0;
}
