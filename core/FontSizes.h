// The size list offered by the size boxes, and the display size chosen at start-up.
#pragma once

#include <string>
#include <vector>

// Number of sizes offered; item index i stands for i + 1 points.
constexpr int kFontSizeCount = 40;
// The item chosen when a stored or current size is out of the list's range (13 points).
constexpr int kFallbackSizeIndex = 12;

// The texts "1" to "40" in ascending order.
std::vector<std::string> Make_Font_Size();

// The display size box's start item for an output font of `points`: the fallback for 30
// points or more, else the item of that size (points - 1; below 1 point this is
// negative, which selects nothing).
int InitialDisplaySizeIndex(int points);
