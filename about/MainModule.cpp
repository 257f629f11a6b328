// The link to the main window's module, with stand-in answers until that module sets it.
#include "about/MainModule.h"

#include "platform/sys/Shell.h"

MainModuleLink& MainModule() {
  static MainModuleLink link{
      [] { return std::string("GB312"); },
      [] { return ExeDir(); },
      [](std::string_view) { return std::optional<std::filesystem::path>(); },
      [] { return std::string("KAVRI"); },
  };
  return link;
}
