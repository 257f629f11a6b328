// Kavri's entry: the application with its main window, run until the window closes.
#include <cstdio>
#include <exception>

#include "about/Taboutform.h"
#include "app/Tkavri.h"
#include "platform/sys/EndSignals.h"
#include "platform/win/WindowSystem.h"

int main() {
  try {
    // A termination signal closes the window as its close button does, settings saved.
    WatchEndSignals();
    RegisterKavriForm();
    RegisterAboutForm();
    Application->Initialize();
    Application->SetTitle("Kavri");
    Application->CreateForm(kavri);
    // Made after the main window, whose start-up has chosen the language; stays hidden.
    Application->CreateForm(aboutform);
    Application->Run();
    if (WindowSystem::HasCurrent() && WindowSystem::Current().DisplayLost()) {
      std::fputs("kavri: the connection to the display was lost\n", stderr);
      return 1;
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kavri: %s\n", e.what());
    return 1;
  }
}
