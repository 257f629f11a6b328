// The main window module's state, with the values it has before the settings are read.
#include "app/KavriState.h"

std::string SoftwareId = "KAVRI";
std::string SoftwareVersion = "10";
std::string CurrentLanguage = kDefaultLanguage;
int FontType = 0;
int FontSize = 0;
int NoticeShowsLeft = 0;
int NoticeRestCount = 0;
std::string NoticeText;
