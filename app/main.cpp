// Kavri's entry: the application with its main window, run until the window closes.
#include <cstdio>
#include <exception>

#include "about/Taboutform.h"
#include "app/Tkavri.h"

int main() {
  try {
    RegisterKavriForm();
    RegisterAboutForm();
    Application->Initialize();
    Application->SetTitle("Kavri");
    Application->CreateForm(kavri);
    // Made after the main window, whose start-up has chosen the language; stays hidden.
    Application->CreateForm(aboutform);
    Application->Run();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kavri: %s\n", e.what());
    return 1;
  }
}
