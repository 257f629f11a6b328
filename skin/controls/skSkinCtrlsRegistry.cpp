// Registers the skin classes (skin holders, frame, menus, controls) with the toolkit's class registry.
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinComboBox.h"
#include "skin/controls/skSkinCtrls.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinListBox.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/controls/skSkinScrollBar.h"
#include "skin/controls/skSkinSplitter.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinHint.h"
#include "skin/form/skSkinForm.h"
#include "skin/form/skSkinMenus.h"
#include "toolkit/Reader.h"

void RegisterSkinControlClasses() {
  static const bool registered = [] {
    RegisterComponentClass<TskCompressedStoredSkin>("TskCompressedStoredSkin");
    RegisterComponentClass<TskSkinData>("TskSkinData");
    RegisterComponentClass<TskResourceStrData>("TskResourceStrData");
    RegisterComponentClass<TskSkinForm>("TskSkinForm");
    RegisterComponentClass<TskSkinPopupMenu>("TskSkinPopupMenu");
    RegisterComponentClass<TskSkinHint>("TskSkinHint");
    RegisterComponentClass<TskSkinPanel>("TskSkinPanel");
    RegisterComponentClass<TskSkinToolBar>("TskSkinToolBar");
    RegisterComponentClass<TskSkinSplitter>("TskSkinSplitter");
    RegisterComponentClass<TskSkinStdLabel>("TskSkinStdLabel");
    RegisterComponentClass<TskSkinLabel>("TskSkinLabel");
    RegisterComponentClass<TskSkinButton>("TskSkinButton");
    RegisterComponentClass<TskSkinSpeedButton>("TskSkinSpeedButton");
    RegisterComponentClass<TskSkinScrollBar>("TskSkinScrollBar");
    RegisterComponentClass<TskSkinEdit>("TskSkinEdit");
    RegisterComponentClass<TskSkinMemo>("TskSkinMemo");
    RegisterComponentClass<TskSkinListBox>("TskSkinListBox");
    RegisterComponentClass<TskSkinFontSizeComboBox>("TskSkinFontSizeComboBox");
    RegisterComponentClass<TskSkinFontComboBox>("TskSkinFontComboBox");
    return true;
  }();
  (void)registered;
}
