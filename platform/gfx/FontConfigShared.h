// The one fontconfig configuration the process draws text with, for the font list too.
#pragma once

#include <fontconfig/fontconfig.h>

// Loaded on first call (the system's configuration with our aliases); owned by the font
// system and released at exit.
FcConfig* SharedFontConfig();
