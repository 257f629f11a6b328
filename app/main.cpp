// Kavri's entry: the application with its main window, run until the window closes.
#include <cstdio>
#include <exception>

#include "app/Tkavri.h"

int main() {
  try {
    RegisterKavriForm();
    Application->Initialize();
    Application->SetTitle("Kavri");
    Application->CreateForm(kavri);
    Application->Run();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kavri: %s\n", e.what());
    return 1;
  }
}
