// Test helpers: a temporary folder with the sample definition and pictures made for it,
// and builders of plain and compressed packages.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Bmp.h"
#include "skin/data/skSkinPackage.h"

inline std::vector<std::uint8_t> ReadTestFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteTestFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteTestFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A picture with a pattern that tells its pixels apart, in `colours` distinct colours.
inline Bitmap PatternBitmap(int width, int height, int colours, int seed) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int c = (x * 7 + y * 13 + seed) % colours;
      b.Set(x, y, MakePixel(c * 37 % 256, c * 91 % 256, (c * 53 + seed) % 256));
    }
  return b;
}

inline Bitmap MaskBitmap(int width, int height) {
  Bitmap b(width, height, MakePixel(255, 255, 255));
  for (int y = 4; y < height - 4; ++y)
    for (int x = 9; x < width - 4; ++x) b.Set(x, y, MakePixel(0, 0, 0));
  return b;
}

// A fresh folder holding sample.ini and the pictures it names.
class SampleSkinFolder {
 public:
  explicit SampleSkinFolder(const std::string& tag) {
    m_dir = std::filesystem::temp_directory_path() /
            ("kavri-skin-" + tag + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
    std::filesystem::copy_file(std::string(KAVRI_TEST_INPUTS) + "/skin/sample.ini", Definition());
    SaveBmpFile(PatternBitmap(277, 116, 200, 1), 8, (m_dir / "main.bmp").string());
    SaveBmpFile(MaskBitmap(277, 116), 1, (m_dir / "mask.bmp").string());
    SaveBmpFile(PatternBitmap(120, 96, 1000, 2), 24, (m_dir / "buttons.bmp").string());
    SaveBmpFile(PatternBitmap(300, 150, 180, 3), 8, (m_dir / "controls.bmp").string());
    SaveBmpFile(PatternBitmap(80, 110, 60, 4), 8, (m_dir / "popup.bmp").string());
  }
  ~SampleSkinFolder() { std::filesystem::remove_all(m_dir); }

  std::string Definition() const { return (m_dir / "sample.ini").string(); }
  std::filesystem::path Path(const std::string& name) const { return m_dir / name; }

 private:
  std::filesystem::path m_dir;
};

// A plain package with the given pieces (empty images are written as flag 1).
inline std::vector<std::uint8_t> PlainPackage(int version, const std::vector<std::uint8_t>& picture,
                                              const std::vector<std::uint8_t>& inactive,
                                              const std::vector<std::uint8_t>& mask,
                                              const std::vector<std::vector<std::uint8_t>>& active,
                                              const std::vector<std::string>& lines,
                                              int extraFlagged = 0) {
  SkinPackageWriter out;
  out.WriteInt32(version);
  out.WriteFlaggedBitmap(picture);
  out.WriteFlaggedBitmap(inactive);
  out.WriteFlaggedBitmap(mask);
  for (int i = 0; i < extraFlagged; ++i) out.WriteFlaggedBitmap(SaveBmp(PatternBitmap(5, 3, 4, i), 8));
  out.WriteInt32(static_cast<int>(active.size()));
  for (const auto& image : active) out.WriteBitmapImage(image);
  out.WriteLines(lines);
  return out.Bytes();
}

inline void SetPlainPackage(TskCompressedStoredSkin& skin, const std::vector<std::uint8_t>& plain) {
  skin.SetCompressedData(CompressSkinStream(plain));
}
