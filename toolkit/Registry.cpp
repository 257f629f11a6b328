// Registers the toolkit's streamable classes with the class registry.
#include "toolkit/ActnList.h"
#include "toolkit/Buttons.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Edits.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/ImgList.h"
#include "toolkit/ListBoxes.h"
#include "toolkit/Menus.h"
#include "toolkit/Reader.h"
#include "toolkit/StdCtrls.h"

void RegisterToolkitClasses() {
  RegisterComponentClass<TComponent>("TComponent");
  RegisterComponentClass<TImageList>("TImageList");
  RegisterComponentClass<TActionList>("TActionList");
  RegisterComponentClass<TAction>("TAction");
  RegisterComponentClass<TMenuItem>("TMenuItem");
  RegisterComponentClass<TPopupMenu>("TPopupMenu");
  RegisterComponentClass<TTimer>("TTimer");
  RegisterComponentClass<TPanel>("TPanel");
  RegisterComponentClass<TBevel>("TBevel");
  RegisterComponentClass<TImage>("TImage");
  RegisterComponentClass<TSplitter>("TSplitter");
  RegisterComponentClass<TLabel>("TLabel");
  RegisterComponentClass<TButton>("TButton");
  RegisterComponentClass<TScrollBar>("TScrollBar");
  RegisterComponentClass<TSpeedButton>("TSpeedButton");
  RegisterComponentClass<TToolBar>("TToolBar");
  RegisterComponentClass<TEdit>("TEdit");
  RegisterComponentClass<TMemo>("TMemo");
  RegisterComponentClass<TListBox>("TListBox");
  RegisterComponentClass<TComboBox>("TComboBox");
}
