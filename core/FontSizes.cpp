// The size list and the display size chosen at start-up.
#include "core/FontSizes.h"

std::vector<std::string> Make_Font_Size() {
  std::vector<std::string> sizes;
  sizes.reserve(kFontSizeCount);
  for (int points = 1; points <= kFontSizeCount; ++points) sizes.push_back(std::to_string(points));
  return sizes;
}

int InitialDisplaySizeIndex(int points) { return points >= 30 ? kFallbackSizeIndex : points - 1; }
