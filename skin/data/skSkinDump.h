// The readable INI form of a loaded skin, as `skinpack dump` prints it.
#pragma once

#include <string>

class TskSkinData;

// [VERSION], [PICTURES], [FORMINFO], [POPUPWINDOW], [HINTWINDOW], [SKINOBJECTS],
// [SKINCONTROLS], then one section per record (objects first), lines ended by "\n".
std::string SkinDumpText(const TskSkinData& data);
