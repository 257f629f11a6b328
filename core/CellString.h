// Normalisation of the fill and background strings to exactly one two-column cell.
#pragma once

#include <string>
#include <string_view>

// The cell a fill or background text stands for, always exactly two display columns so
// that the art keeps its proportions in a fixed-pitch CJK face:
// - a text that is empty or only characters 0-32 becomes two spaces;
// - otherwise the text (untrimmed: leading blanks of a non-blank text survive) is cut to
//   its first two columns without splitting a character: a wide character that would
//   cross the cell edge is dropped ("a爱" gives "a ");
// - then a one-column result is padded with a space.
// East Asian ambiguous characters count as wide (the output face is a CJK face);
// combining marks add no column and stay with their base; control characters count as
// one column each; malformed bytes become U+FFFD (wide).
std::string NormalizeCellString(std::string_view text);
