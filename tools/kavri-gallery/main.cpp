// kavri-gallery: every skinned control in the program's skin (or a package's), live on the
// desktop, or with --shot rendered off-screen into a 24-bit BMP file.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/Bmp.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WindowSystem.h"
#include "skin/data/skSkinPackage.h"
#include "toolkit/Forms.h"
#include "tools/kavri-gallery/Gallery.h"
#include "tools/kavri-gallery/SkinWatch.h"

namespace {

constexpr const char* kUsage =
    "usage: kavri-gallery [PACKAGE]\n"
    "       kavri-gallery --shot FILE.bmp [--menus | --tray] [PACKAGE]\n"
    "       kavri-gallery --watch DEFINITION\n"
    "\n"
    "Shows every skinned control in the states it can show at once (normal, hot, pressed,\n"
    "focused, disabled, checked, rolled up), drawn from the program's skin or from the skin\n"
    "package PACKAGE (a file written by skinpack import).\n"
    "\n"
    "  --shot FILE.bmp  render the window off-screen into FILE.bmp (24 bits) and exit\n"
    "  --menus          with --shot: the system menu open and a caption button's hint\n"
    "  --tray           with --shot: the tray icon's menu open\n"
    "  --watch DEFINITION\n"
    "                   build the skin from a definition and its pictures and build it again\n"
    "                   whenever one of them changes; a strip at the bottom tells the state,\n"
    "                   and the errors of a broken skin while the last good one stays on\n"
    "  --help           show this text\n";

struct Options {
  std::string shot;
  bool menus = false;
  bool tray = false;
  std::string package;
  std::string watch;
};

// The stored bytes of a package file; a file that is no package is an error here, before
// any window opens.
std::vector<std::uint8_t> PackageBytes(const std::string& path) {
  if (!std::filesystem::is_regular_file(path)) throw std::runtime_error("cannot open skin package " + path);
  TskCompressedStoredSkin stored;
  stored.LoadFromPackageFile(path);
  if (stored.IsEmpty()) throw std::runtime_error(path + " holds no skin this program can read");
  return stored.CompressedData();
}

int Shot(const Options& o, const std::vector<std::uint8_t>& skin) {
  auto host = std::make_unique<HeadlessHost>();
  HeadlessHost* h = host.get();
  WindowSystem::Install(std::move(host));
  Application->Initialize();
  TForm* form = CreateGalleryForm(skin);
  AddGalleryTray(form);
  form->Show();
  h->Pump();
  ShowGalleryStates(form);
  if (o.menus) ShowGalleryMenus(form);
  if (o.tray) ShowGalleryTrayMenu(form);
  // Fades run to their end on the virtual clock (the hint's hide pause is longer).
  h->AdvanceClock(500);
  h->Pump();
  const Bitmap shot = GalleryShot(form, h->Screenshot());
  delete form;
  // Written beside the target and renamed, so a failed write leaves no half picture.
  const std::string partial = o.shot + ".part";
  SaveBmpFile(shot, 24, partial);
  std::filesystem::rename(partial, o.shot);
  return 0;
}

int Live(const std::vector<std::uint8_t>& skin) {
  Application->Initialize();
  Application->SetTitle("Kavri gallery");
  TForm* form = CreateGalleryForm(skin);
  Application->SetMainForm(form);
  AddGalleryTray(form);
  form->Show();
  ShowGalleryStates(form);
  Application->Run();
  return 0;
}

int Watch(const std::string& definition) {
  if (!std::filesystem::is_regular_file(definition)) throw std::runtime_error("cannot open " + definition);
  Application->Initialize();
  Application->SetTitle("Kavri gallery");
  TForm* form = CreateGalleryForm({});
  Application->SetMainForm(form);
  GallerySkinWatch watch(form, definition);
  form->Show();
  ShowGalleryStates(form);
  Application->Run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--shot") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "kavri-gallery: --shot needs a file name\n%s", kUsage);
        return 2;
      }
      o.shot = args[++i];
    } else if (a == "--watch") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "kavri-gallery: --watch needs a definition file\n%s", kUsage);
        return 2;
      }
      o.watch = args[++i];
    } else if (a == "--menus") {
      o.menus = true;
    } else if (a == "--tray") {
      o.tray = true;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "kavri-gallery: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    } else if (o.package.empty()) {
      o.package = a;
    } else {
      std::fprintf(stderr, "kavri-gallery: more than one package given\n%s", kUsage);
      return 2;
    }
  }
  if (o.menus && o.shot.empty()) {
    std::fprintf(stderr, "kavri-gallery: --menus goes with --shot\n%s", kUsage);
    return 2;
  }
  if (o.tray && o.shot.empty()) {
    std::fprintf(stderr, "kavri-gallery: --tray goes with --shot\n%s", kUsage);
    return 2;
  }
  if (o.menus && o.tray) {
    std::fprintf(stderr, "kavri-gallery: --menus and --tray show one menu each, give one\n%s", kUsage);
    return 2;
  }
  if (!o.watch.empty() && (!o.shot.empty() || !o.package.empty())) {
    std::fprintf(stderr, "kavri-gallery: --watch shows its own skin live; no --shot or PACKAGE with it\n%s", kUsage);
    return 2;
  }
  try {
    if (!o.watch.empty()) return Watch(o.watch);
    const std::vector<std::uint8_t> skin = o.package.empty() ? std::vector<std::uint8_t>() : PackageBytes(o.package);
    return o.shot.empty() ? Live(skin) : Shot(o, skin);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kavri-gallery: %s\n", e.what());
    return 1;
  }
}
