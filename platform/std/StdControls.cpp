// RegisterStdControls: registers the standard control classes with the window system.
#include "platform/std/StdControls.h"

void RegisterEditClass();
void RegisterListBoxClass();

void RegisterStdControls() {
  RegisterEditClass();
  RegisterListBoxClass();
}
