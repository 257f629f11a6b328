// Membership test for the East Asian Ambiguous width class of Unicode.
#pragma once

// Whether `c` is East Asian Ambiguous: narrow in Western fonts, wide in CJK faces.
bool IsEastAsianAmbiguous(char32_t c);
