// BMP codec: header parsing, the uncompressed, bit-field and RLE decoders, and the writer.
#include "platform/gfx/Bmp.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <iterator>
#include <unordered_map>

namespace {

// Sizes far beyond any skin picture but small enough that a lying header cannot make us
// allocate much: 2^26 pixels is 256 MiB of 32-bit pixels.
constexpr std::int64_t MaxPixels = std::int64_t{1} << 26;
constexpr std::int64_t MaxDimension = std::int64_t{1} << 20;
// An RLE stream has no fixed size, so it must earn its pixels: a 4-byte delta can skip at
// most 255 rows, which for any sensible width stays well below this many pixels a byte.
constexpr std::int64_t MaxRlePixelsPerByte = std::int64_t{1} << 16;

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;

enum Compression : std::uint32_t {
  CompRgb = 0,
  CompRle8 = 1,
  CompRle4 = 2,
  CompBitfields = 3,
  CompAlphaBitfields = 6,
};

[[noreturn]] void Fail() { throw InvalidGraphic(); }

// Bounds-checked little-endian reads from the whole file.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}
  std::size_t Size() const { return m_data.size(); }
  const std::uint8_t* At(std::size_t pos, std::size_t count) const {
    if (pos > m_data.size() || count > m_data.size() - pos) Fail();
    return m_data.data() + pos;
  }
  std::uint16_t U16(std::size_t pos) const {
    const std::uint8_t* p = At(pos, 2);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
  }
  std::uint32_t U32(std::size_t pos) const {
    const std::uint8_t* p = At(pos, 4);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  std::int32_t I32(std::size_t pos) const { return static_cast<std::int32_t>(U32(pos)); }

 private:
  std::span<const std::uint8_t> m_data;
};

// One colour channel given by a bit mask, scaled to 0..255.
class Channel {
 public:
  Channel() = default;
  explicit Channel(std::uint32_t mask) : m_mask(mask) {
    if (mask == 0) return;
    m_shift = std::countr_zero(mask);
    const std::uint32_t bits = mask >> m_shift;
    if ((bits & (bits + 1)) != 0) Fail();  // holes in a mask have no meaning
    m_max = bits;
  }
  std::uint32_t Mask() const { return m_mask; }
  int Value(std::uint32_t v) const {
    if (m_mask == 0) return 0;
    const std::uint64_t raw = (v & m_mask) >> m_shift;
    return static_cast<int>((raw * 255 + m_max / 2) / m_max);
  }

 private:
  std::uint32_t m_mask = 0;
  int m_shift = 0;
  std::uint32_t m_max = 1;
};

struct Header {
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive; `topDown` keeps the sign
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = CompRgb;
  std::uint32_t imageSize = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::vector<Pixel> palette;
  std::size_t pixelOffset = 0;
};

bool IsOs2V2Size(std::uint32_t size) { return size == 16 || size == 64; }

Header ReadHeader(const ByteReader& in) {
  const std::uint8_t* magic = in.At(0, 2);
  if (magic[0] != 'B' || magic[1] != 'M') Fail();
  // The file size field is not trusted: writers disagree on what it counts.
  Header h;
  h.pixelOffset = in.U32(10);
  const std::uint32_t headerSize = in.U32(14);
  const bool core = headerSize == 12;
  if (!core && !IsOs2V2Size(headerSize) && headerSize != 40 && headerSize != 52 &&
      headerSize != 56 && headerSize != 108 && headerSize != 124)
    Fail();
  in.At(FileHeaderSize, headerSize);
  const std::size_t info = FileHeaderSize + 4;
  int planes = 0;
  if (core) {
    h.width = in.U16(info);
    h.height = in.U16(info + 2);
    planes = in.U16(info + 4);
    h.bitsPerPixel = in.U16(info + 6);
  } else {
    h.width = in.I32(info);
    const std::int64_t height = in.I32(info + 4);
    h.topDown = height < 0;
    h.height = height < 0 ? -height : height;
    planes = in.U16(info + 8);
    h.bitsPerPixel = in.U16(info + 10);
    if (headerSize >= 40) {
      h.compression = in.U32(info + 12);
      h.imageSize = in.U32(info + 16);
    }
  }
  if (planes != 1) Fail();
  if (h.width < 1 || h.height < 1 || h.width > MaxDimension || h.height > MaxDimension ||
      h.width * h.height > MaxPixels)
    Fail();

  const int bpp = h.bitsPerPixel;
  switch (h.compression) {
    case CompRgb:
      if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Fail();
      break;
    case CompRle8:
    case CompRle4:
      // RLE runs bottom-up by definition; a top-down RLE picture is malformed.
      if (bpp != (h.compression == CompRle8 ? 8 : 4) || h.topDown) Fail();
      break;
    case CompBitfields:
    case CompAlphaBitfields:
      // In the OS/2 2.x header the same code means Huffman coding, which we do not read.
      if ((bpp != 16 && bpp != 32) || IsOs2V2Size(headerSize)) Fail();
      break;
    default:
      Fail();  // embedded JPEG/PNG, OS/2 RLE24 and unknown codes
  }

  std::size_t paletteStart = FileHeaderSize + headerSize;
  if (h.compression == CompBitfields || h.compression == CompAlphaBitfields) {
    // A plain info header keeps the masks right after it; the larger ones hold them, the
    // alpha mask from the 56-byte header on.
    if (headerSize == 40) {
      const int count = h.compression == CompAlphaBitfields ? 4 : 3;
      for (int i = 0; i < count; ++i) h.masks[i] = in.U32(paletteStart + 4 * i);
      paletteStart += 4 * count;
    } else {
      const int count = headerSize >= 56 ? 4 : 3;
      for (int i = 0; i < count; ++i) h.masks[i] = in.U32(info + 36 + 4 * i);
    }
  } else if (bpp == 16) {
    h.masks[0] = 0x7C00;
    h.masks[1] = 0x03E0;
    h.masks[2] = 0x001F;
  } else if (bpp == 32) {
    // The top byte is meant to be unused; it is taken as alpha only when it holds data.
    h.masks[0] = 0x00FF0000;
    h.masks[1] = 0x0000FF00;
    h.masks[2] = 0x000000FF;
    h.masks[3] = 0xFF000000;
  }
  if (h.pixelOffset < paletteStart || h.pixelOffset > in.Size()) Fail();

  // Palette: the core header has no colour count, so its palette is whatever fits before
  // the pixels; the others give a count (0 meaning "all") that must be present in full.
  const std::size_t entrySize = core ? 3 : 4;
  std::uint64_t declared = 0;
  if (core) {
    if (bpp <= 8)
      declared = std::min<std::uint64_t>(std::uint64_t{1} << bpp,
                                         (h.pixelOffset - paletteStart) / entrySize);
  } else {
    declared = headerSize >= 36 ? in.U32(info + 28) : 0;
    if (declared == 0 && bpp <= 8) declared = std::uint64_t{1} << bpp;
  }
  if (declared * entrySize > h.pixelOffset - paletteStart) Fail();
  if (bpp <= 8) {
    const std::size_t kept = static_cast<std::size_t>(std::min<std::uint64_t>(declared, 1u << bpp));
    if (kept == 0) Fail();
    const std::uint8_t* p = in.At(paletteStart, kept * entrySize);
    h.palette.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i, p += entrySize) h.palette.push_back(MakePixel(p[2], p[1], p[0]));
  }
  return h;
}

// Rows stored one after another, each padded to four bytes.
void DecodeUncompressed(const ByteReader& in, const Header& h, Bitmap& out) {
  const int bpp = h.bitsPerPixel;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(h.width) * bpp + 31) / 32) * 4;
  const std::uint64_t needed = stride * static_cast<std::uint64_t>(h.height);
  if (needed > in.Size() - h.pixelOffset) Fail();  // checked before the bitmap is allocated
  const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
  if ((bpp == 16 || bpp == 32) && red.Mask() == 0 && green.Mask() == 0 && blue.Mask() == 0) Fail();
  if (bpp == 16 && (h.masks[0] | h.masks[1] | h.masks[2] | h.masks[3]) > 0xFFFF) Fail();
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j)
      if ((h.masks[i] & h.masks[j]) != 0) Fail();

  const int width = static_cast<int>(h.width);
  const int height = static_cast<int>(h.height);
  out = Bitmap(width, height);

  bool anyAlpha = false;
  const std::size_t paletteSize = h.palette.size();
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* src = in.At(h.pixelOffset + row * stride, stride);
    Pixel* dst = out.Row(h.topDown ? row : height - 1 - row);
    if (bpp <= 8) {
      const int perByte = 8 / bpp;
      const unsigned valueMask = (1u << bpp) - 1;
      for (int x = 0; x < width; ++x) {
        const int shift = 8 - bpp * (x % perByte + 1);
        const unsigned index = (src[x / perByte] >> shift) & valueMask;
        if (index >= paletteSize) Fail();
        dst[x] = h.palette[index];
      }
    } else if (bpp == 24) {
      for (int x = 0; x < width; ++x, src += 3) dst[x] = MakePixel(src[2], src[1], src[0]);
    } else {
      for (int x = 0; x < width; ++x) {
        std::uint32_t v;
        if (bpp == 16) {
          v = static_cast<std::uint32_t>(src[0] | (src[1] << 8));
          src += 2;
        } else {
          v = static_cast<std::uint32_t>(src[0]) | (static_cast<std::uint32_t>(src[1]) << 8) |
              (static_cast<std::uint32_t>(src[2]) << 16) | (static_cast<std::uint32_t>(src[3]) << 24);
          src += 4;
        }
        const int a = alpha.Value(v);
        anyAlpha = anyAlpha || a != 0;
        dst[x] = MakePixel(red.Value(v), green.Value(v), blue.Value(v), a);
      }
    }
  }
  if (alpha.Mask() == 0 || !anyAlpha) {
    // No alpha channel, or one that is all zero (left unset by the writer): opaque.
    if (bpp == 16 || bpp == 32)
      for (int y = 0; y < height; ++y) {
        Pixel* p = out.Row(y);
        for (int x = 0; x < width; ++x) p[x] |= 0xFF000000u;
      }
  } else {
    out.SetHasAlpha(true);
  }
}

// RLE8 and RLE4: runs, absolute stretches, end-of-line, delta and end-of-bitmap codes.
// Pixels the stream skips keep palette colour 0, so the picture stays in its palette.
// Anything that would write outside the picture, or a stream that stops in the middle,
// is damage.
void DecodeRle(const ByteReader& in, const Header& h, Bitmap& out) {
  std::size_t available = in.Size() - h.pixelOffset;
  if (h.imageSize != 0 && h.imageSize < available) available = h.imageSize;
  const std::int64_t pixels = h.width * h.height;
  if (pixels > static_cast<std::int64_t>(available) * MaxRlePixelsPerByte) Fail();
  const std::uint8_t* data = in.At(h.pixelOffset, available);
  const std::uint8_t* end = data + available;

  const int width = static_cast<int>(h.width);
  const int height = static_cast<int>(h.height);
  const bool four = h.compression == CompRle4;
  const std::size_t paletteSize = h.palette.size();
  out = Bitmap(width, height, h.palette[0]);
  auto put = [&](int x, int y, unsigned index) {
    if (index >= paletteSize) Fail();
    out.Row(height - 1 - y)[x] = h.palette[index];
  };

  int x = 0;
  int y = 0;  // counted from the bottom row
  for (;;) {
    if (end - data < 2) {
      if (y >= height) return;  // a stream that ends after its last row needs no end code
      Fail();
    }
    const int count = data[0];
    const int value = data[1];
    data += 2;
    if (count > 0) {
      if (y >= height || x + count > width) Fail();
      for (int i = 0; i < count; ++i, ++x)
        put(x, y, four ? ((i & 1) ? value & 0x0F : value >> 4) : static_cast<unsigned>(value));
      continue;
    }
    switch (value) {
      case 0:  // end of line
        if (y >= height) Fail();
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return;
      case 2: {  // delta
        if (end - data < 2) Fail();
        x += data[0];
        y += data[1];
        data += 2;
        if (x > width || y >= height) Fail();
        break;
      }
      default: {  // absolute stretch, padded to a 16-bit boundary
        const std::ptrdiff_t bytes = four ? (value + 1) / 2 : value;
        const std::ptrdiff_t padded = (bytes + 1) & ~std::ptrdiff_t{1};
        if (end - data < padded || y >= height || x + value > width) Fail();
        for (int i = 0; i < value; ++i, ++x)
          put(x, y, four ? ((i & 1) ? data[i / 2] & 0x0F : data[i / 2] >> 4) : data[i]);
        data += padded;
      }
    }
  }
}

PixelFormat FormatForBits(int bpp) {
  switch (bpp) {
    case 1: return PixelFormat::Bits1;
    case 2:  // kept as 4-bit: there is no 2-bit format, and its palette fits
    case 4: return PixelFormat::Bits4;
    case 8: return PixelFormat::Bits8;
    case 16: return PixelFormat::Bits16;
    case 24: return PixelFormat::Bits24;
    default: return PixelFormat::Bits32;
  }
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The palette a 1- or 8-bit file is written with: the bitmap's own when it holds every
// pixel colour, else the pixel colours in order of first appearance.
std::vector<Color> PaletteForSave(const Bitmap& bitmap, std::size_t limit) {
  const std::vector<Color>& own = bitmap.Palette();
  if (!own.empty() && own.size() <= limit) {
    std::unordered_map<Color, bool> inPalette;
    for (Color c : own) inPalette[c & 0xFFFFFF] = true;
    bool complete = true;
    for (int y = 0; y < bitmap.Height() && complete; ++y)
      for (int x = 0; x < bitmap.Width() && complete; ++x)
        complete = inPalette.count(PixelToColor(bitmap.At(x, y))) != 0;
    if (complete) return own;
  }
  std::vector<Color> built;
  std::unordered_map<Color, bool> seen;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const Color c = PixelToColor(bitmap.At(x, y));
      if (seen.emplace(c, true).second) {
        if (built.size() == limit)
          throw std::invalid_argument("Bitmap has more colours than a " +
                                      std::to_string(limit == 2 ? 1 : 8) + "-bit palette holds");
        built.push_back(c);
      }
    }
  return built;
}

}  // namespace

Bitmap LoadBmp(std::span<const std::uint8_t> data) {
  const ByteReader in(data);
  const Header h = ReadHeader(in);
  Bitmap out;
  if (h.compression == CompRle8 || h.compression == CompRle4)
    DecodeRle(in, h, out);
  else
    DecodeUncompressed(in, h, out);
  out.SetFormat(FormatForBits(h.bitsPerPixel));
  if (h.bitsPerPixel <= 8) {
    std::vector<Color> palette;
    palette.reserve(h.palette.size());
    for (Pixel p : h.palette) palette.push_back(PixelToColor(p));
    out.SetPalette(std::move(palette));
  }
  return out;
}

Bitmap LoadBmpFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("Cannot open file \"" + path + "\"");
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) throw std::runtime_error("Cannot read file \"" + path + "\"");
  return LoadBmp(bytes);
}

std::vector<std::uint8_t> SaveBmp(const Bitmap& bitmap, int bitsPerPixel) {
  if (bitsPerPixel != 1 && bitsPerPixel != 8 && bitsPerPixel != 24)
    throw std::invalid_argument("BMP files are written with 1, 8 or 24 bits per pixel");
  if (bitmap.IsEmpty()) throw std::invalid_argument("An empty bitmap cannot be written as BMP");
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  std::vector<Color> palette;
  if (bitsPerPixel <= 8) palette = PaletteForSave(bitmap, std::size_t{1} << bitsPerPixel);
  // Readers expect a 1-bit palette to have both entries.
  if (bitsPerPixel == 1 && palette.size() < 2) palette.push_back((palette[0] & 0xFFFFFF) != clBlack ? clBlack : clWhite);
  const std::uint32_t stride = ((static_cast<std::uint32_t>(width) * bitsPerPixel + 31) / 32) * 4;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
  const std::uint32_t offset =
      static_cast<std::uint32_t>(FileHeaderSize + InfoHeaderSize + 4 * palette.size());

  std::vector<std::uint8_t> out;
  out.reserve(offset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + imageSize);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, InfoHeaderSize);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(out, CompRgb);
  Put32(out, imageSize);
  Put32(out, 3780);  // 96 dots per inch
  Put32(out, 3780);
  Put32(out, static_cast<std::uint32_t>(palette.size()));
  Put32(out, 0);
  for (Color c : palette) {
    out.push_back(static_cast<std::uint8_t>(GetBValue(c)));
    out.push_back(static_cast<std::uint8_t>(GetGValue(c)));
    out.push_back(static_cast<std::uint8_t>(GetRValue(c)));
    out.push_back(0);
  }

  std::unordered_map<Color, std::uint8_t> indexOf;
  for (std::size_t i = palette.size(); i-- > 0;) indexOf[palette[i] & 0xFFFFFF] = static_cast<std::uint8_t>(i);
  for (int y = height - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    out.resize(rowStart + stride, 0);
    std::uint8_t* dst = out.data() + rowStart;
    const Pixel* src = bitmap.Row(y);
    for (int x = 0; x < width; ++x) {
      if (bitsPerPixel == 24) {
        dst[3 * x] = static_cast<std::uint8_t>(PixelB(src[x]));
        dst[3 * x + 1] = static_cast<std::uint8_t>(PixelG(src[x]));
        dst[3 * x + 2] = static_cast<std::uint8_t>(PixelR(src[x]));
      } else {
        const std::uint8_t index = indexOf.at(PixelToColor(src[x]));
        if (bitsPerPixel == 8)
          dst[x] = index;
        else
          dst[x / 8] |= static_cast<std::uint8_t>(index << (7 - x % 8));
      }
    }
  }
  return out;
}

void SaveBmpFile(const Bitmap& bitmap, int bitsPerPixel, const std::string& path) {
  const std::vector<std::uint8_t> bytes = SaveBmp(bitmap, bitsPerPixel);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("Cannot create file \"" + path + "\"");
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("Cannot write file \"" + path + "\"");
}
