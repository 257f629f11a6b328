// Registers the skinned control classes with the toolkit's class registry.
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinCtrls.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/controls/skSkinSplitter.h"
#include "toolkit/Reader.h"

void RegisterSkinControlClasses() {
  static const bool registered = [] {
    RegisterComponentClass<TskSkinPanel>("TskSkinPanel");
    RegisterComponentClass<TskSkinToolBar>("TskSkinToolBar");
    RegisterComponentClass<TskSkinSplitter>("TskSkinSplitter");
    RegisterComponentClass<TskSkinStdLabel>("TskSkinStdLabel");
    RegisterComponentClass<TskSkinLabel>("TskSkinLabel");
    RegisterComponentClass<TskSkinButton>("TskSkinButton");
    RegisterComponentClass<TskSkinSpeedButton>("TskSkinSpeedButton");
    return true;
  }();
  (void)registered;
}
