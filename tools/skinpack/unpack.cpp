// Unpacking: the package's fields are read as raw BMP files and written under the names of
// the definition's "PICTURES" section, which is exactly where the import looks for them.
#include "tools/skinpack/unpack.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "skin/data/skIniReader.h"
#include "skin/data/skSkinPackage.h"

namespace fs = std::filesystem;

namespace {

struct OutFile {
  std::string name;  // relative to the folder
  std::vector<std::uint8_t> bytes;
};

[[noreturn]] void Fail(const std::string& file, const std::string& what) {
  throw std::runtime_error(file + ": " + what);
}

// A picture name may lead into a subfolder, never out of the folder.
bool StaysInside(const std::string& name) {
  if (name.empty() || name.front() == '/') return false;
  for (const fs::path& part : fs::path(name))
    if (part == "..") return false;
  return fs::path(name).has_filename();
}

void WriteWhole(const fs::path& target, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(target.parent_path());
  const fs::path temporary = target.string() + ".part" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ec;
      fs::remove(temporary, ec);
      Fail(target.string(), "cannot be written");
    }
  }
  std::error_code ec;
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    Fail(target.string(), "cannot be written: " + ec.message());
  }
}

}  // namespace

std::string UnpackSkinPackage(const std::string& package, const std::string& dir, bool overwrite) {
  std::vector<std::uint8_t> main, inactive, mask;
  std::vector<std::vector<std::uint8_t>> active;
  std::vector<std::string> lines;
  try {
    TskCompressedStoredSkin stored;
    stored.LoadFromPackageFile(package);
    if (stored.IsEmpty()) Fail(package, "holds no skin (a package file of a version above 3, or empty)");
    std::vector<std::uint8_t> plain;
    stored.DecompressTo(plain);
    SkinPackageReader reader(plain);
    const std::int32_t version = reader.ReadInt32();
    if (version > 3) Fail(package, "holds a package of version " + std::to_string(version));
    main = reader.ReadFlaggedBitmapFile();
    inactive = reader.ReadFlaggedBitmapFile();
    mask = reader.ReadFlaggedBitmapFile();
    if (version == 2) {  // two pictures that no reader uses; the import does not write them
      reader.ReadFlaggedBitmapFile();
      reader.ReadFlaggedBitmapFile();
    }
    const std::int32_t count = reader.ReadInt32();
    if (count < 0) Fail(package, "gives a negative picture count");
    for (std::int32_t i = 0; i < count; ++i) active.push_back(reader.ReadBitmapFile());
    lines = reader.ReadLines();
  } catch (const std::runtime_error& e) {
    const std::string what = e.what();
    if (what.starts_with(package + ": ")) throw;
    Fail(package, what);
  }

  const SkinIni ini(lines);
  std::vector<OutFile> files;
  auto place = [&](const std::string& key, std::vector<std::uint8_t> bytes) {
    const std::string name = ini.ReadString("PICTURES", key, "");
    if (bytes.empty() && name.empty()) return;
    if (bytes.empty()) Fail(package, "its definition names \"" + name + "\" for \"" + key + "\", but the package holds no such picture");
    if (name.empty()) Fail(package, "holds a picture for \"" + key + "\" that its definition names nowhere");
    if (!StaysInside(name)) Fail(package, "the picture name \"" + name + "\" of \"" + key + "\" leads out of the folder");
    files.push_back({name, std::move(bytes)});
  };
  place("picture", std::move(main));
  place("inactivepicture", std::move(inactive));
  place("mask", std::move(mask));
  const int named = ini.ReadInteger("PICTURES", "activepicturescount", 0);
  if (named != static_cast<int>(active.size()))
    Fail(package, "holds " + std::to_string(active.size()) + " active pictures but its definition names " +
                      std::to_string(named));
  for (std::size_t i = 0; i < active.size(); ++i) place(std::to_string(i), std::move(active[i]));

  // One name given to two different pictures cannot be written faithfully.
  std::map<std::string, const OutFile*> byName;
  for (const OutFile& f : files) {
    auto [it, fresh] = byName.emplace(f.name, &f);
    if (!fresh && it->second->bytes != f.bytes)
      Fail(package, "its definition gives the name \"" + f.name + "\" to two different pictures");
  }
  std::string stem = fs::path(package).stem().string();
  if (stem.empty()) stem = "skin";
  OutFile definition{stem + ".ini", {}};
  for (const std::string& line : lines) {
    definition.bytes.insert(definition.bytes.end(), line.begin(), line.end());
    definition.bytes.push_back('\r');
    definition.bytes.push_back('\n');
  }
  if (byName.contains(definition.name))
    Fail(package, "a picture is named \"" + definition.name + "\", the name the definition is to take");

  const fs::path folder(dir);
  if (!overwrite) {
    std::error_code ec;
    if (fs::exists(folder / definition.name, ec)) Fail((folder / definition.name).string(), "exists (--force replaces it)");
    for (const auto& [name, file] : byName)
      if (fs::exists(folder / name, ec)) Fail((folder / name).string(), "exists (--force replaces it)");
  }
  for (const auto& [name, file] : byName) WriteWhole(folder / name, file->bytes);
  WriteWhole(folder / definition.name, definition.bytes);
  return (folder / definition.name).string();
}
