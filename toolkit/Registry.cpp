// Registers the toolkit's streamable classes with the class registry.
#include "toolkit/ImgList.h"
#include "toolkit/Menus.h"
#include "toolkit/Reader.h"

void RegisterToolkitClasses() {
  RegisterComponentClass<TComponent>("TComponent");
  RegisterComponentClass<TImageList>("TImageList");
  RegisterComponentClass<TMenuItem>("TMenuItem");
  RegisterComponentClass<TPopupMenu>("TPopupMenu");
}
