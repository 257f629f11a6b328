// skinpack: builds a skin package from a definition file, and dumps, checks or previews a skin.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bmp.h"
#include "platform/gfx/Png.h"
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

constexpr const char* kUsageText =
    "usage: skinpack import DEFINITION OUTPUT  build a package file from a definition and its pictures\n"
    "       skinpack dump FILE                 print the skin in FILE as definition text\n"
    "       skinpack check FILE [--strict]     load the skin in FILE and report what it holds; a\n"
    "                                          definition's problems are listed as FILE:LINE\n"
    "                                          (warnings fail only with --strict)\n"
    "       skinpack preview FILE OUTPUT       draw a contact sheet of the skin in FILE, as PNG\n"
    "                                          when OUTPUT ends in .png, else as BMP\n"
    "       skinpack unpack PACKAGE DIR [--force]\n"
    "                                          write the package's definition and pictures into\n"
    "                                          DIR (existing files are kept unless --force)\n"
    "       skinpack -h | --help               show this text\n"
    "FILE is a package file or a definition file.\n";

int Usage() {
  std::fputs(kUsageText, stderr);
  return kUsage;
}

// An error about one file: the tool reports it with the file's name.
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& file, const std::string& what) : std::runtime_error(file + ": " + what) {}
};

// Runs `step`; whatever it throws is reported as being about `file`.
template <class Step>
auto About(const std::string& file, Step&& step) {
  try {
    return step();
  } catch (const FileError&) {
    throw;
  } catch (const std::exception& e) {
    throw FileError(file, e.what());
  }
}

// A definition file is text that opens with a section or a comment; anything else is
// taken for a package file.
bool LooksLikeDefinition(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, "cannot be opened");
  std::string head(512, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  std::string_view text = head;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && (text[first] == '[' || text[first] == ';');
}

// The pictures a definition names, each read and decoded so that a damaged one is
// reported by its own name.
std::vector<std::string> CheckPictures(const std::string& definition) {
  const std::vector<std::string> pictures = About(definition, [&] { return DefinitionPictureFiles(definition); });
  for (const std::string& picture : pictures) About(picture, [&] { return LoadBitmapImageFile(picture); });
  return pictures;
}

// Loads FILE into `data`; false (with a message) when it holds no skin.
bool LoadSkin(const std::string& path, TskSkinData& data) {
  TskCompressedStoredSkin stored;
  if (LooksLikeDefinition(path)) {
    CheckPictures(path);
    About(path, [&] { stored.ImportFromDefinitionFile(path); });
  } else {
    About(path, [&] { stored.LoadFromPackageFile(path); });
  }
  if (stored.IsEmpty()) {
    std::fprintf(stderr,
                 "skinpack: %s holds no skin (a definition without the five required sections, "
                 "a package file of a version above 3, or an empty stream)\n",
                 path.c_str());
    return false;
  }
  About(path, [&] { data.SetCompressedStoredSkin(&stored); });
  if (data.SkinEmpty()) {
    std::fprintf(stderr, "skinpack: %s holds a package of a version above 3\n", path.c_str());
    return false;
  }
  return true;
}

// The mode a new file gets from the user's mask (mkstemp makes its files private).
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Writes `output` by letting `write` fill a new file beside it, then putting that file in
// its place: a failed write leaves what was there, and a reader never sees half a file.
// A symbolic link keeps pointing where it did; the file it names is replaced.
void WriteThroughTemporary(const std::string& output, const std::function<void(const std::string&)>& write) {
  std::error_code ec;
  std::filesystem::path target = std::filesystem::weakly_canonical(output, ec);
  if (ec) target = output;
  std::string temporary = target.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) throw FileError(output, "cannot be written (no file can be made beside it)");
  ::close(fd);
  try {
    write(temporary);
    ::chmod(temporary.c_str(), NewFileMode());
    std::filesystem::rename(temporary, target);
  } catch (const std::exception& e) {
    std::filesystem::remove(temporary, ec);
    throw FileError(output, e.what());
  }
}

int Import(std::span<const std::string> args) {
  const std::string& definition = args[0];
  const std::string& output = args[1];
  const std::vector<std::string> pictures = About(definition, [&] { return DefinitionPictureFiles(definition); });
  // Writing over an input would destroy it before (or while) it is read.
  struct stat out {};
  if (::stat(output.c_str(), &out) == 0) {
    std::vector<std::string> inputs = pictures;
    inputs.insert(inputs.begin(), definition);
    for (const std::string& input : inputs) {
      struct stat in {};
      if (::stat(input.c_str(), &in) == 0 && SameFile(in, out)) {
        std::fprintf(stderr, "skinpack: %s is the same file as the input %s; choose another output\n",
                     output.c_str(), input.c_str());
        return kBadInput;
      }
    }
  }
  CheckPictures(definition);
  TskCompressedStoredSkin stored;
  About(definition, [&] { stored.ImportFromDefinitionFile(definition); });
  if (stored.IsEmpty()) {
    std::fprintf(stderr,
                 "skinpack: %s lacks one of the sections VERSION, PICTURES, FORMINFO, "
                 "SKINOBJECTS, SKINCONTROLS\n",
                 definition.c_str());
    return kBadInput;
  }
  WriteThroughTemporary(output, [&](const std::string& file) { stored.SaveToPackageFile(file); });
  return kOk;
}

int Dump(std::span<const std::string> args) {
  TskSkinData data;
  if (!LoadSkin(args[0], data)) return kBadInput;
  const std::string text = SkinDumpText(data);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kOk;
}

// The arguments without `flag`, and whether it was among them.
std::vector<std::string> WithoutFlag(std::span<const std::string> args, std::string_view flag, bool& given) {
  std::vector<std::string> rest;
  given = false;
  for (const std::string& a : args) {
    if (a == flag) given = true;
    else rest.push_back(a);
  }
  return rest;
}

int Check(std::span<const std::string> args) {
  bool strict = false;
  const std::vector<std::string> paths = WithoutFlag(args, "--strict", strict);
  if (paths.size() != 1) return Usage();
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

bool EndsWithPng(const std::string& name) {
  const std::string extension = std::filesystem::path(name).extension().string();
  return extension.size() == 4 && (extension[1] | 0x20) == 'p' && (extension[2] | 0x20) == 'n' &&
         (extension[3] | 0x20) == 'g';
}

int Preview(std::span<const std::string> args) {
  TskSkinData data;
  if (!LoadSkin(args[0], data)) return kBadInput;
  const Bitmap sheet = BuildSkinPreview(data);
  const std::string& output = args[1];
  WriteThroughTemporary(output, [&](const std::string& file) {
    if (!EndsWithPng(output)) {
      SaveBmpFile(sheet, 24, file);
      return;
    }
    const std::vector<std::uint8_t> png = SavePng(sheet);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot be written");
  });
  return kOk;
}

int Unpack(std::span<const std::string> args) {
  bool force = false;
  const std::vector<std::string> paths = WithoutFlag(args, "--force", force);
  if (paths.size() != 2) return Usage();
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
  if (args.empty()) return Usage();
  if (args[0] == "-h" || args[0] == "--help") {
    std::fputs(kUsageText, stdout);
    return kOk;
  }
  for (const Command& command : kCommands) {
    if (command.name != args[0]) continue;
    if (args.size() - 1 < command.argumentCount || args.size() - 1 > command.argumentCount + command.optionCount)
      return Usage();
    try {
      return command.run(std::span(args).subspan(1));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "skinpack: %s\n", e.what());
      return kBadInput;
    }
  }
  return Usage();
}
