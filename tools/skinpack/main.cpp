// skinpack: builds a skin package from a definition file, and dumps, checks or previews a skin.
#include <cstdio>
#include <exception>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bmp.h"
#include "skin/data/skIniReader.h"
#include "skin/data/skSkinCheck.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinDump.h"
#include "skin/data/skSkinPackage.h"
#include "tools/skinpack/preview.h"
#include "tools/skinpack/unpack.h"

namespace {

constexpr int kOk = 0;
constexpr int kBadInput = 1;
constexpr int kUsage = 2;

void PrintUsage() {
  std::fputs(
      "usage: skinpack import DEFINITION OUTPUT   build a package file from a definition\n"
      "       skinpack dump FILE                  print a package or definition as INI text\n"
      "       skinpack check FILE [--strict]      load a package or definition and report; a\n"
      "                                           definition's problems are listed as FILE:LINE\n"
      "                                           (warnings fail only with --strict)\n"
      "       skinpack preview FILE OUTPUT.bmp    draw a contact sheet of a skin\n"
      "       skinpack unpack PACKAGE DIR [--force]\n"
      "                                           write a package's definition and pictures into DIR\n"
      "                                           (existing files are kept unless --force)\n",
      stderr);
}

// A definition file is text that opens with a section or a comment; anything else is
// taken for a package file.
bool LooksLikeDefinition(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head(512, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  std::string_view text = head;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && (text[first] == '[' || text[first] == ';');
}

// Loads FILE into `data`; false (with a message) when it holds no skin.
bool LoadSkin(const std::string& path, TskSkinData& data) {
  TskCompressedStoredSkin stored;
  if (LooksLikeDefinition(path))
    stored.ImportFromDefinitionFile(path);
  else
    stored.LoadFromPackageFile(path);
  if (stored.IsEmpty()) {
    std::fprintf(stderr,
                 "skinpack: %s holds no skin (a definition without the five required sections, "
                 "a package file of a version above 3, or an empty stream)\n",
                 path.c_str());
    return false;
  }
  data.SetCompressedStoredSkin(&stored);
  if (data.SkinEmpty()) {
    std::fprintf(stderr, "skinpack: %s holds a package of a version above 3\n", path.c_str());
    return false;
  }
  return true;
}

int Import(std::span<const std::string> args) {
  TskCompressedStoredSkin stored;
  stored.ImportFromDefinitionFile(args[0]);
  if (stored.IsEmpty()) {
    std::fprintf(stderr,
                 "skinpack: %s lacks one of the sections VERSION, PICTURES, FORMINFO, "
                 "SKINOBJECTS, SKINCONTROLS\n",
                 args[0].c_str());
    return kBadInput;
  }
  stored.SaveToPackageFile(args[1]);
  return kOk;
}

int Dump(std::span<const std::string> args) {
  TskSkinData data;
  if (!LoadSkin(args[0], data)) return kBadInput;
  const std::string text = SkinDumpText(data);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kOk;
}

int Check(std::span<const std::string> args) {
  bool strict = false;
  std::vector<std::string> paths;
  for (const std::string& a : args) {
    if (a == "--strict") strict = true;
    else paths.push_back(a);
  }
  if (paths.size() != 1) {
    PrintUsage();
    return kUsage;
  }
  // A definition is checked line by line first; a package only as a whole.
  if (LooksLikeDefinition(paths[0])) {
    bool failed = false;
    for (const SkinProblem& p : CheckSkinDefinition(paths[0])) {
      std::fprintf(stderr, "%s\n", SkinProblemText(p).c_str());
      failed = failed || p.error || strict;
    }
    if (failed) return kBadInput;
  }
  TskSkinData data;
  if (!LoadSkin(paths[0], data)) return kBadInput;
  std::printf("ok: %zu objects, %zu controls, %zu active pictures\n", data.ObjectList().size(),
              data.ControlList().size(), data.ActivePictures().size());
  return kOk;
}

int Preview(std::span<const std::string> args) {
  TskSkinData data;
  if (!LoadSkin(args[0], data)) return kBadInput;
  SaveBmpFile(BuildSkinPreview(data), 24, args[1]);
  return kOk;
}

int Unpack(std::span<const std::string> args) {
  bool force = false;
  std::vector<std::string> paths;
  for (const std::string& a : args) {
    if (a == "--force") force = true;
    else paths.push_back(a);
  }
  if (paths.size() != 2) {
    PrintUsage();
    return kUsage;
  }
  std::printf("%s\n", UnpackSkinPackage(paths[0], paths[1], force).c_str());
  return kOk;
}

struct Command {
  std::string_view name;
  std::size_t argumentCount;
  int (*run)(std::span<const std::string>);
  std::size_t optionCount = 0;  // flags it may take besides its arguments
};

constexpr Command kCommands[] = {
    {"import", 2, Import},
    {"dump", 1, Dump},
    {"check", 1, Check, 1},
    {"preview", 2, Preview},
    {"unpack", 2, Unpack, 1},
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintUsage();
    return kUsage;
  }
  for (const Command& command : kCommands) {
    if (command.name != args[0]) continue;
    if (args.size() - 1 < command.argumentCount || args.size() - 1 > command.argumentCount + command.optionCount) {
      PrintUsage();
      return kUsage;
    }
    try {
      return command.run(std::span(args).subspan(1));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "skinpack: %s\n", e.what());
      return kBadInput;
    }
  }
  PrintUsage();
  return kUsage;
}
