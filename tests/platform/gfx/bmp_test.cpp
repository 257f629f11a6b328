// BMP codec: the public BMP Suite against its reference pictures, hand-built damaged files,
// and save/load round trips.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <set>
#include <sstream>
#include <string>

#include "platform/gfx/Bmp.h"

namespace fs = std::filesystem;

namespace {

const fs::path SuiteDir = fs::path(KAVRI_SHARED_INPUTS) / "bmpsuite";

// A reference picture decoded by ImageMagick (installed by scripts/deps.sh) into RGBA.
struct Reference {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

Reference ReadReference(const fs::path& png) {
  const std::string command = "convert '" + png.string() + "' -depth 8 -alpha on pam:- 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string bytes;
  char buffer[65536];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, n);
  pclose(pipe);
  const std::size_t headerEnd = bytes.find("ENDHDR\n");
  if (headerEnd == std::string::npos) return {};
  Reference ref;
  std::istringstream header(bytes.substr(0, headerEnd));
  for (std::string key; header >> key;) {
    if (key == "WIDTH") header >> ref.width;
    if (key == "HEIGHT") header >> ref.height;
  }
  ref.rgba.assign(bytes.begin() + static_cast<std::ptrdiff_t>(headerEnd + 7), bytes.end());
  return ref;
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Compares colour, and alpha where the bitmap says it has some (else it must be opaque).
void ExpectMatches(const Bitmap& bmp, const fs::path& png, int tolerance) {
  const Reference ref = ReadReference(png);
  ASSERT_EQ(ref.width, bmp.Width()) << png;
  ASSERT_EQ(ref.height, bmp.Height()) << png;
  ASSERT_EQ(ref.rgba.size(), static_cast<std::size_t>(ref.width) * ref.height * 4) << png;
  int mismatches = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      const std::uint8_t* r = &ref.rgba[(static_cast<std::size_t>(y) * ref.width + x) * 4];
      const Pixel p = bmp.At(x, y);
      const int alpha = bmp.HasAlpha() ? r[3] : 255;
      // Fully transparent reference pixels carry no colour worth comparing.
      const bool colourShown = !bmp.HasAlpha() || r[3] != 0;
      const bool same = std::abs(PixelA(p) - alpha) <= tolerance &&
                        (!colourShown || (std::abs(PixelR(p) - r[0]) <= tolerance &&
                                          std::abs(PixelG(p) - r[1]) <= tolerance &&
                                          std::abs(PixelB(p) - r[2]) <= tolerance));
      if (!same && ++mismatches <= 3)
        ADD_FAILURE() << png.filename() << " differs at " << x << "," << y << ": got " << std::hex
                      << p << " want rgba " << int(r[0]) << " " << int(r[1]) << " " << int(r[2])
                      << " " << int(r[3]);
    }
  EXPECT_EQ(mismatches, 0) << png;
}

// What the reader does with one suite file: rejected when `reference` is null, else loaded
// and compared with the reference picture (an empty name: no picture shows our result).
struct SuiteCase {
  const char* file;
  const char* reference;
  PixelFormat format;
  bool hasAlpha;
  int tolerance;
  const char* why;
};

std::ostream& operator<<(std::ostream& os, const SuiteCase& c) { return os << c.file; }

using PF = PixelFormat;
const SuiteCase SuiteCases[] = {
    // g/: every one loads and matches its picture.
    {"g/pal1.bmp", "pal1.png", PF::Bits1, false, 0, ""},
    {"g/pal1wb.bmp", "pal1.png", PF::Bits1, false, 0, ""},
    {"g/pal1bg.bmp", "pal1bg.png", PF::Bits1, false, 0, ""},
    {"g/pal4.bmp", "pal4.png", PF::Bits4, false, 0, ""},
    {"g/pal4gs.bmp", "pal4gs.png", PF::Bits4, false, 0, ""},
    {"g/pal4rle.bmp", "pal4.png", PF::Bits4, false, 0, ""},
    {"g/pal8.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"g/pal8-0.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"g/pal8gs.bmp", "pal8gs.png", PF::Bits8, false, 0, ""},
    {"g/pal8rle.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"g/pal8w126.bmp", "pal8w126.png", PF::Bits8, false, 0, ""},
    {"g/pal8w125.bmp", "pal8w125.png", PF::Bits8, false, 0, ""},
    {"g/pal8w124.bmp", "pal8w124.png", PF::Bits8, false, 0, ""},
    {"g/pal8topdown.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"g/pal8nonsquare.bmp", "pal8nonsquare-e.png", PF::Bits8, false, 0, ""},
    {"g/pal8os2.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"g/pal8v4.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"g/pal8v5.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"g/rgb16.bmp", "rgb16.png", PF::Bits16, false, 0, ""},
    {"g/rgb16bfdef.bmp", "rgb16.png", PF::Bits16, false, 0, ""},
    {"g/rgb16-565.bmp", "rgb16-565.png", PF::Bits16, false, 0, ""},
    {"g/rgb16-565pal.bmp", "rgb16-565.png", PF::Bits16, false, 0, ""},
    {"g/rgb24.bmp", "rgb24.png", PF::Bits24, false, 0, ""},
    {"g/rgb24pal.bmp", "rgb24.png", PF::Bits24, false, 0, ""},
    {"g/rgb32.bmp", "rgb24.png", PF::Bits32, false, 0, ""},
    {"g/rgb32bfdef.bmp", "rgb24.png", PF::Bits32, false, 0, ""},
    {"g/rgb32bf.bmp", "rgb24.png", PF::Bits32, false, 0, ""},

    // b/: damaged files are rejected. A few are only wrong in fields that do not take part
    // in decoding; desktop readers show them and so do we.
    {"b/badbitcount.bmp", nullptr, PF::Device, false, 0, "30000 bits per pixel"},
    {"b/badbitssize.bmp", "pal1.png", PF::Bits1, false, 0,
     "accepted: image size field is only a hint for uncompressed rows, which are all there"},
    {"b/baddens1.bmp", "pal1.png", PF::Bits1, false, 0, "accepted: density does not affect pixels"},
    {"b/baddens2.bmp", "pal1.png", PF::Bits1, false, 0, "accepted: density does not affect pixels"},
    {"b/badfilesize.bmp", "pal1.png", PF::Bits1, false, 0,
     "accepted: the file size field is unreliable in the wild (see q/pal8os2-sz) and ignored"},
    {"b/badheadersize.bmp", nullptr, PF::Device, false, 0, "66-byte header is no known version"},
    {"b/badpalettesize.bmp", nullptr, PF::Device, false, 0, "declared palette is not in the file"},
    {"b/badplanes.bmp", nullptr, PF::Device, false, 0, "planes must be 1"},
    {"b/badrle4.bmp", nullptr, PF::Device, false, 0, "RLE writes past the picture"},
    {"b/badrle4bis.bmp", nullptr, PF::Device, false, 0, "RLE writes past the picture"},
    {"b/badrle4ter.bmp", nullptr, PF::Device, false, 0, "RLE writes past the picture"},
    {"b/badrle.bmp", nullptr, PF::Device, false, 0, "RLE writes past the picture"},
    {"b/badrlebis.bmp", nullptr, PF::Device, false, 0, "RLE writes past the picture"},
    {"b/badrleter.bmp", nullptr, PF::Device, false, 0, "RLE writes past the picture"},
    {"b/badwidth.bmp", nullptr, PF::Device, false, 0, "negative width"},
    {"b/pal8badindex.bmp", nullptr, PF::Device, false, 0, "pixel indices beyond the palette"},
    {"b/reallybig.bmp", nullptr, PF::Device, false, 0, "3000000 x 2000000 pixels"},
    {"b/rgb16-880.bmp", "rgb16-880.png", PF::Bits16, false, 0,
     "accepted: an empty blue mask is a channel that is always 0, as desktop readers take it"},
    {"b/rletopdown.bmp", nullptr, PF::Device, false, 0, "RLE cannot be top-down"},
    {"b/shortfile.bmp", nullptr, PF::Device, false, 0, "rows missing at the end"},

    // q/: may go either way; what we do is pinned here.
    {"q/pal1p1.bmp", "pal1p1.png", PF::Bits1, false, 0, "one-colour palette, all indices 0"},
    {"q/pal2.bmp", "pal2.png", PF::Bits4, false, 0, "2 bits, kept as 4-bit"},
    {"q/pal2color.bmp", "pal2color.png", PF::Bits4, false, 0, "2 bits, kept as 4-bit"},
    {"q/pal4rletrns.bmp", "pal4rletrns-0.png", PF::Bits4, false, 0, "skipped pixels get colour 0"},
    {"q/pal4rlecut.bmp", "pal4rlecut-0.png", PF::Bits4, false, 0, "skipped pixels get colour 0"},
    {"q/pal8rletrns.bmp", "pal8rletrns-0.png", PF::Bits8, false, 0, "skipped pixels get colour 0"},
    {"q/pal8rlecut.bmp", "pal8rlecut-0.png", PF::Bits8, false, 0, "skipped pixels get colour 0"},
    {"q/pal8offs.bmp", "pal8.png", PF::Bits8, false, 0, "gap before the pixels"},
    {"q/pal8oversizepal.bmp", "pal8.png", PF::Bits8, false, 0, "first 256 of 300 colours kept"},
    {"q/pal8os2-sz.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"q/pal8os2-hs.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"q/pal8os2sp.bmp", "pal8.png", PF::Bits8, false, 0, "core palette ends at the pixels"},
    {"q/pal8os2v2.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"q/pal8os2v2-16.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"q/pal8os2v2-sz.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"q/pal8os2v2-40sz.bmp", "pal8.png", PF::Bits8, false, 0, ""},
    {"q/rgb24rle24.bmp", nullptr, PF::Device, false, 0, "OS/2 RLE24 not read"},
    {"q/pal1huffmsb.bmp", nullptr, PF::Device, false, 0, "OS/2 Huffman not read"},
    {"q/rgb16faketrns.bmp", "rgb16.png", PF::Bits16, false, 0, "unused bit ignored"},
    {"q/rgb16-231.bmp", "rgb16-231.png", PF::Bits16, false, 0, ""},
    {"q/rgb16-3103.bmp", "rgb16-3103.png", PF::Bits16, false, 0, ""},
    {"q/rgba16-4444.bmp", "rgba16-4444.png", PF::Bits16, true, 0, ""},
    {"q/rgba16-5551.bmp", "rgba16-5551.png", PF::Bits16, true, 0, ""},
    {"q/rgba16-1924.bmp", "rgba16-1924.png", PF::Bits16, true, 0, ""},
    {"q/rgb24largepal.bmp", "rgb24.png", PF::Bits24, false, 0, ""},
    {"q/rgb24prof.bmp", "rgb24.png", PF::Bits24, false, 0, "profile ignored"},
    {"q/rgb24prof2.bmp", "", PF::Bits24, false, 0, "profile ignored, so red and green stay swapped"},
    {"q/rgb24lprof.bmp", "rgb24.png", PF::Bits24, false, 0, "profile ignored"},
    {"q/rgb24jpeg.bmp", nullptr, PF::Device, false, 0, "embedded JPEG not read"},
    {"q/rgb24png.bmp", nullptr, PF::Device, false, 0, "embedded PNG not read"},
    {"q/rgb32h52.bmp", "rgb24.png", PF::Bits32, false, 0, ""},
    {"q/rgb32-xbgr.bmp", "rgb24.png", PF::Bits32, false, 0, ""},
    {"q/rgb32fakealpha.bmp", "fakealpha.png", PF::Bits32, true, 0,
     "non-zero top bytes of a 32-bit file are alpha"},
    {"q/rgb32-111110.bmp", "rgb24.png", PF::Bits32, false, 1, "channels wider than 8 bits: reference rounds down"},
    {"q/rgb32-7187.bmp", "rgb32-7187.png", PF::Bits32, false, 1, "channels wider than 8 bits: reference rounds down"},
    {"q/rgba32-1.bmp", "rgba32.png", PF::Bits32, true, 0, ""},
    {"q/rgba32-2.bmp", "rgba32.png", PF::Bits32, true, 0, ""},
    {"q/rgba32-1010102.bmp", "rgba32-1010102.png", PF::Bits32, true, 0, ""},
    {"q/rgba32-81284.bmp", "rgba32-81284.png", PF::Bits32, true, 1, "channels wider than 8 bits: reference rounds down"},
    {"q/rgba32-61754.bmp", "rgba32-61754.png", PF::Bits32, true, 1, "channels wider than 8 bits: reference rounds down"},
    {"q/rgba32abf.bmp", "rgba32.png", PF::Bits32, true, 0, ""},
    {"q/rgba32h56.bmp", "rgba32.png", PF::Bits32, true, 0, ""},
    {"q/rgba64.bmp", nullptr, PF::Device, false, 0, "64 bits per pixel not read"},
};

class BmpSuiteTest : public testing::TestWithParam<SuiteCase> {};

TEST_P(BmpSuiteTest, LoadsAsPinned) {
  const SuiteCase& c = GetParam();
  const std::vector<std::uint8_t> data = ReadFile(SuiteDir / c.file);
  ASSERT_FALSE(data.empty()) << c.file;
  if (!c.reference) {
    try {
      LoadBmp(data);
      ADD_FAILURE() << c.file << " was accepted; expected rejection: " << c.why;
    } catch (const InvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
    return;
  }
  Bitmap bmp;
  ASSERT_NO_THROW(bmp = LoadBmp(data)) << c.file;
  EXPECT_EQ(bmp.Format(), c.format);
  EXPECT_EQ(bmp.HasAlpha(), c.hasAlpha);
  EXPECT_EQ(bmp.Palette().empty(), BitsPerPixel(c.format) > 8);
  if (*c.reference) ExpectMatches(bmp, SuiteDir / "html" / c.reference, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Suite, BmpSuiteTest, testing::ValuesIn(SuiteCases),
                         [](const testing::TestParamInfo<SuiteCase>& info) {
                           std::string name = info.param.file;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(BmpSuiteCoverageTest, EveryFileOfTheSuiteIsInTheTable) {
  std::set<std::string> listed;
  for (const SuiteCase& c : SuiteCases) listed.insert(c.file);
  int seen = 0;
  for (const char* dir : {"g", "b", "q"})
    for (const auto& entry : fs::directory_iterator(SuiteDir / dir)) {
      ++seen;
      EXPECT_TRUE(listed.count(std::string(dir) + "/" + entry.path().filename().string()))
          << entry.path();
    }
  EXPECT_EQ(seen, static_cast<int>(listed.size()));
}

TEST(BmpSuiteTest, PaletteIsKeptAsStored) {
  const Bitmap bmp = LoadBmp(ReadFile(SuiteDir / "g/pal4.bmp"));
  ASSERT_EQ(bmp.Palette().size(), 12u);  // shorter than 16
  const Bitmap os2 = LoadBmp(ReadFile(SuiteDir / "q/pal8os2sp.bmp"));
  EXPECT_EQ(os2.Palette().size(), 252u);
  const Bitmap wb = LoadBmp(ReadFile(SuiteDir / "g/pal1wb.bmp"));
  ASSERT_EQ(wb.Palette().size(), 2u);
  EXPECT_EQ(wb.Palette()[0], clWhite);
}

// ---- Hand-built files ----

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
  v.push_back(static_cast<std::uint8_t>(x));
  v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// A file with a 40-byte info header; fields left at their defaults make a valid 2x2 8-bit
// picture with a two-colour palette.
struct Spec {
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint16_t planes = 1;
  std::uint16_t bpp = 8;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> masks;
  std::vector<std::uint32_t> palette = {0x000000, 0xFFFFFF};
  std::int64_t colorsUsed = -1;  // -1: the palette's size
  std::int64_t offset = -1;      // -1: right after the palette
  std::vector<std::uint8_t> pixels = {0, 1, 0, 0, 1, 0, 0, 0};
};

std::vector<std::uint8_t> Build(const Spec& s) {
  std::vector<std::uint8_t> v;
  const std::uint32_t offset = static_cast<std::uint32_t>(
      s.offset >= 0 ? s.offset : 54 + 4 * (s.masks.size() + s.palette.size()));
  v.push_back('B');
  v.push_back('M');
  Put32(v, static_cast<std::uint32_t>(offset + s.pixels.size()));
  Put32(v, 0);
  Put32(v, offset);
  Put32(v, 40);
  Put32(v, static_cast<std::uint32_t>(s.width));
  Put32(v, static_cast<std::uint32_t>(s.height));
  Put16(v, s.planes);
  Put16(v, s.bpp);
  Put32(v, s.compression);
  Put32(v, static_cast<std::uint32_t>(s.pixels.size()));
  Put32(v, 2835);
  Put32(v, 2835);
  Put32(v, static_cast<std::uint32_t>(s.colorsUsed >= 0 ? s.colorsUsed : s.palette.size()));
  Put32(v, 0);
  for (std::uint32_t m : s.masks) Put32(v, m);
  for (std::uint32_t c : s.palette) Put32(v, c);
  v.insert(v.end(), s.pixels.begin(), s.pixels.end());
  return v;
}

Spec Rle8(std::vector<std::uint8_t> stream, int width = 4, int height = 2) {
  Spec s;
  s.width = width;
  s.height = height;
  s.compression = 1;
  s.palette = {0x112233, 0xFF0000, 0x00FF00};
  s.pixels = std::move(stream);
  return s;
}

Spec Rle4(std::vector<std::uint8_t> stream) {
  Spec s = Rle8(std::move(stream));
  s.bpp = 4;
  s.compression = 2;
  return s;
}

Spec Bitfields16(std::vector<std::uint32_t> masks) {
  Spec s;
  s.bpp = 16;
  s.compression = 3;
  s.masks = std::move(masks);
  s.palette.clear();
  s.pixels.assign(8, 0xFF);
  return s;
}

struct MalformedCase {
  const char* name;
  std::function<std::vector<std::uint8_t>()> make;
};

std::ostream& operator<<(std::ostream& os, const MalformedCase& c) { return os << c.name; }

template <typename F>
std::function<std::vector<std::uint8_t>()> Modified(F change) {
  return [change] {
    Spec s;
    change(s);
    return Build(s);
  };
}

std::function<std::vector<std::uint8_t>()> Patched(std::size_t pos, std::uint32_t value) {
  return [pos, value] {
    std::vector<std::uint8_t> v = Build(Spec{});
    for (int i = 0; i < 4; ++i) v[pos + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return v;
  };
}

const MalformedCase MalformedCases[] = {
    {"empty", [] { return std::vector<std::uint8_t>{}; }},
    {"signature only", [] { return std::vector<std::uint8_t>{'B', 'M'}; }},
    {"wrong signature", [] { auto v = Build(Spec{}); v[1] = 'A'; return v; }},
    {"header size 0", Patched(14, 0)},
    {"header size past the file", Patched(14, 124)},
    {"header size huge", Patched(14, 0xFFFFFFF0u)},
    {"width 0", Modified([](Spec& s) { s.width = 0; })},
    {"height 0", Modified([](Spec& s) { s.height = 0; })},
    {"negative width", Modified([](Spec& s) { s.width = -2; })},
    {"most negative height", Modified([](Spec& s) { s.height = std::numeric_limits<std::int32_t>::min(); })},
    {"huge width, no rows", Modified([](Spec& s) { s.width = 0x7FFFFFFF; })},
    {"huge height, no rows", Modified([](Spec& s) { s.height = 0x7FFFFFFF; })},
    {"height too big for the rows present", Modified([](Spec& s) { s.height = 40000; })},
    {"planes 0", Modified([](Spec& s) { s.planes = 0; })},
    {"3 bits per pixel", Modified([](Spec& s) { s.bpp = 3; })},
    {"0 bits per pixel", Modified([](Spec& s) { s.bpp = 0; })},
    {"unknown compression", Modified([](Spec& s) { s.compression = 9; })},
    {"RLE8 on a 24-bit picture", Modified([](Spec& s) { s.compression = 1; s.bpp = 24; })},
    {"palette index out of range", Modified([](Spec& s) { s.pixels[1] = 2; })},
    {"palette count past the file", Modified([](Spec& s) { s.colorsUsed = 0x40000000; })},
    {"palette count wraps when multiplied", Modified([](Spec& s) { s.colorsUsed = 0xFFFFFFFF; })},
    {"pixel offset past the file", Modified([](Spec& s) { s.offset = 100000; })},
    {"pixel offset inside the header", Modified([](Spec& s) { s.offset = 20; })},
    {"pixel offset inside the palette", Modified([](Spec& s) { s.offset = 58; })},
    {"24-bit rows cut short", Modified([](Spec& s) { s.bpp = 24; s.palette.clear(); s.pixels.resize(15); })},
    {"bitfield masks missing", Modified([](Spec& s) { s.bpp = 16; s.compression = 3; s.palette.clear(); s.pixels.clear(); })},
    {"bitfield masks overlap", [] { return Build(Bitfields16({0xF800, 0x0FE0, 0x001F})); }},
    {"bitfield mask with a hole", [] { return Build(Bitfields16({0xF800, 0x05E0, 0x001F})); }},
    {"bitfield mask beyond 16 bits", [] { return Build(Bitfields16({0xF8000, 0x07E0, 0x001F})); }},
    {"bitfield masks all empty", [] { return Build(Bitfields16({0, 0, 0})); }},
    {"RLE8 run past the row", [] { return Build(Rle8({5, 1, 0, 1})); }},
    {"RLE8 absolute past the row", [] { return Build(Rle8({0, 5, 1, 1, 1, 1, 1, 0, 0, 1})); }},
    {"RLE8 absolute past the data", [] { return Build(Rle8({0, 4, 1, 1})); }},
    {"RLE8 delta past the last row", [] { return Build(Rle8({0, 2, 0, 2, 1, 1, 0, 1})); }},
    {"RLE8 delta past the row", [] { return Build(Rle8({0, 2, 5, 0, 0, 1})); }},
    {"RLE8 delta cut off", [] { return Build(Rle8({0, 2, 1})); }},
    {"RLE8 rows past the picture", [] { return Build(Rle8({4, 1, 0, 0, 4, 1, 0, 0, 4, 1, 0, 1})); }},
    {"RLE8 stream stops early", [] { return Build(Rle8({4, 1, 0, 0})); }},
    {"RLE8 index out of range", [] { return Build(Rle8({2, 7, 0, 1})); }},
    {"RLE8 top-down", [] { Spec s = Rle8({0, 1}); s.height = -2; return Build(s); }},
    {"RLE8 huge picture from a few bytes", [] { return Build(Rle8({0, 1}, 30000, 30000)); }},
    {"RLE4 run past the row", [] { return Build(Rle4({5, 0x12, 0, 1})); }},
    {"RLE4 absolute past the data", [] { return Build(Rle4({0, 4, 0x12})); }},
    {"RLE4 nibble index out of range", [] { return Build(Rle4({2, 0x1F, 0, 1})); }},
};

class BmpMalformedTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(BmpMalformedTest, IsRejected) {
  const std::vector<std::uint8_t> data = GetParam().make();
  EXPECT_THROW(LoadBmp(data), InvalidGraphic);
}

INSTANTIATE_TEST_SUITE_P(Hand, BmpMalformedTest, testing::ValuesIn(MalformedCases),
                         [](const testing::TestParamInfo<MalformedCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(BmpMalformedTest, TheBaseSpecIsValid) {
  // The malformed cases above differ from this file in one field each.
  const Bitmap bmp = LoadBmp(Build(Spec{}));
  EXPECT_EQ(bmp.At(1, 1), MakePixel(255, 255, 255));  // bottom-up: first row is the bottom one
  EXPECT_EQ(bmp.At(0, 0), MakePixel(255, 255, 255));
  EXPECT_EQ(bmp.At(1, 0), MakePixel(0, 0, 0));
}

TEST(BmpMalformedTest, EveryTruncationIsRejected) {
  for (const std::vector<std::uint8_t>& full :
       {Build(Spec{}), Build(Rle8({2, 1, 0, 0, 0, 2, 1, 0, 1, 2, 0, 1})),
        ReadFile(SuiteDir / "g/pal4rle.bmp")}) {
    for (std::size_t n = 0; n < full.size(); ++n) {
      const std::span<const std::uint8_t> prefix(full.data(), n);
      EXPECT_THROW(LoadBmp(prefix), InvalidGraphic) << "cut at " << n << " of " << full.size();
    }
    EXPECT_NO_THROW(LoadBmp(full));
  }
}

TEST(BmpMalformedTest, SamplesInTheInputsFolderAreRejected) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(KAVRI_TEST_INPUTS) / "malformed")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("bmp-", 0) != 0) continue;
    ++count;
    EXPECT_THROW(LoadBmpFile(entry.path().string()), InvalidGraphic) << name;
  }
  EXPECT_GE(count, 3);
}

TEST(BmpDecodeTest, FuzzSeedsAreValidFiles) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(KAVRI_TEST_INPUTS) / "../fuzz/corpus/bmp_fuzz")) {
    ++count;
    EXPECT_NO_THROW(LoadBmpFile(entry.path().string())) << entry.path();
  }
  EXPECT_GE(count, 5);
}

TEST(BmpDecodeTest, RleSkippedPixelsTakePaletteColourZero) {
  // Row 0: one red pixel, delta right 2 and up 1; row 1: green at x 3, then the end.
  const Bitmap bmp = LoadBmp(Build(Rle8({1, 1, 0, 2, 2, 1, 1, 2, 0, 1})));
  const Pixel zero = MakePixel(0x11, 0x22, 0x33);
  EXPECT_EQ(bmp.At(0, 1), MakePixel(255, 0, 0));
  EXPECT_EQ(bmp.At(1, 1), zero);
  EXPECT_EQ(bmp.At(3, 0), MakePixel(0, 255, 0));
  EXPECT_EQ(bmp.At(2, 0), zero);
  EXPECT_EQ(bmp.Format(), PixelFormat::Bits8);
}

TEST(BmpDecodeTest, Rle4AbsoluteRunsAlternateNibbles) {
  const Bitmap bmp = LoadBmp(Build(Rle4({0, 3, 0x12, 0x10, 0, 0, 4, 0x21, 0, 1})));
  const Pixel red = MakePixel(255, 0, 0), green = MakePixel(0, 255, 0);
  EXPECT_EQ(bmp.At(0, 1), red);
  EXPECT_EQ(bmp.At(1, 1), green);
  EXPECT_EQ(bmp.At(2, 1), red);
  EXPECT_EQ(bmp.At(0, 0), green);
  EXPECT_EQ(bmp.At(1, 0), red);
}

TEST(BmpDecodeTest, ThirtyTwoBitAlphaOnlyWhenSomeAlphaIsSet) {
  Spec s;
  s.bpp = 32;
  s.palette.clear();
  s.pixels = {10, 20, 30, 0, 40, 50, 60, 0, 1, 2, 3, 0, 4, 5, 6, 0};
  const Bitmap opaque = LoadBmp(Build(s));
  EXPECT_FALSE(opaque.HasAlpha());
  EXPECT_EQ(opaque.At(0, 1), MakePixel(30, 20, 10, 255));
  s.pixels[7] = 128;
  const Bitmap translucent = LoadBmp(Build(s));
  EXPECT_TRUE(translucent.HasAlpha());
  EXPECT_EQ(translucent.At(1, 1), MakePixel(60, 50, 40, 128));
  EXPECT_EQ(translucent.At(0, 1), MakePixel(30, 20, 10, 0));
}

// ---- Writing ----

struct RoundTripCase {
  int bits;
  int width;
  int height;
  int colours;  // distinct colours in the picture
};

std::ostream& operator<<(std::ostream& os, const RoundTripCase& c) {
  return os << c.bits << "bit_" << c.width << "x" << c.height;
}

Bitmap Pattern(int width, int height, int colours) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int k = (x * 7 + y * 13) % colours;
      b.Set(x, y, MakePixel(k * 37 % 256, k * 91 % 256, (k * 53 + x) % 256 * (colours > 256)));
    }
  return b;
}

class BmpRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(BmpRoundTripTest, SaveThenLoadGivesTheSamePixels) {
  const RoundTripCase& c = GetParam();
  const Bitmap original = Pattern(c.width, c.height, c.colours);
  const std::vector<std::uint8_t> file = SaveBmp(original, c.bits);
  const Bitmap loaded = LoadBmp(file);
  EXPECT_EQ(loaded, original);
  EXPECT_EQ(BitsPerPixel(loaded.Format()), c.bits);
  std::set<Pixel> distinct(original.Bits(), original.Bits() + c.width * c.height);
  const std::size_t paletteSize = c.bits == 24 ? 0 : std::max<std::size_t>(distinct.size(), c.bits == 1 ? 2 : 1);
  EXPECT_EQ(loaded.Palette().size(), paletteSize);
  const std::size_t stride = (static_cast<std::size_t>(c.width) * c.bits + 31) / 32 * 4;
  EXPECT_EQ(file.size(), 54 + 4 * loaded.Palette().size() + stride * c.height);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpRoundTripTest,
                         testing::Values(RoundTripCase{1, 13, 5, 2}, RoundTripCase{1, 32, 3, 1},
                                         RoundTripCase{1, 1, 1, 1}, RoundTripCase{8, 17, 11, 200},
                                         RoundTripCase{8, 3, 2, 5}, RoundTripCase{8, 64, 4, 256},
                                         RoundTripCase{24, 31, 7, 1000}, RoundTripCase{24, 1, 9, 3}));

TEST(BmpWriteTest, KeepsTheLoadedPaletteAndItsOrder) {
  const Bitmap pal8 = LoadBmp(ReadFile(SuiteDir / "g/pal8.bmp"));
  const Bitmap again = LoadBmp(SaveBmp(pal8, 8));
  EXPECT_EQ(again.Palette(), pal8.Palette());
  EXPECT_EQ(again, pal8);
  const Bitmap wb = LoadBmp(ReadFile(SuiteDir / "g/pal1wb.bmp"));
  EXPECT_EQ(LoadBmp(SaveBmp(wb, 1)).Palette(), wb.Palette());
  // A palette that does not fit the depth gives way to one built from the pixels.
  const Bitmap pal4 = LoadBmp(ReadFile(SuiteDir / "g/pal1bg.bmp"));
  EXPECT_EQ(LoadBmp(SaveBmp(pal4, 8)), pal4);
}

TEST(BmpWriteTest, RefusesWhatCannotBeWritten) {
  EXPECT_THROW(SaveBmp(Pattern(10, 10, 3), 1), std::invalid_argument);
  EXPECT_THROW(SaveBmp(Pattern(40, 40, 300), 8), std::invalid_argument);
  EXPECT_THROW(SaveBmp(Pattern(2, 2, 2), 4), std::invalid_argument);
  EXPECT_THROW(SaveBmp(Bitmap(), 24), std::invalid_argument);
}

TEST(BmpFileTest, SaveAndLoadThroughTheFileSystem) {
  const fs::path path = fs::path(KAVRI_BINARY_DIR) / "bmp_test_roundtrip.bmp";
  const Bitmap original = Pattern(9, 4, 1000);
  SaveBmpFile(original, 24, path.string());
  EXPECT_EQ(LoadBmpFile(path.string()), original);
  fs::remove(path);
  EXPECT_THROW(LoadBmpFile(path.string()), std::runtime_error);
  EXPECT_THROW(SaveBmpFile(original, 24, (path / "no" / "such.bmp").string()), std::runtime_error);
}

}  // namespace
