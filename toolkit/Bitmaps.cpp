// TGraphic, TBitmap with its canvas, TIcon (icon files) and TPicture.
#include "toolkit/Bitmaps.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/gfx/Bmp.h"
#include "toolkit/Streaming.h"

class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap) : m_bitmap(bitmap) {
    OnChange = [this](TObject*) { m_bitmap.Changed(); };
  }
  // The context is made for the bitmap's current size; a size change drops it.
  void Reset() {
    ReleaseHandle();
    m_dc.reset();
  }

 protected:
  void CreateHandle() override {
    m_dc = std::make_unique<DC>(m_bitmap.m_image);
    SetHandle(m_dc.get());
  }

 private:
  TBitmap& m_bitmap;
  std::unique_ptr<DC> m_dc;
};

namespace {

PixelFormat ToPlatform(TPixelFormat f) {
  switch (f) {
    case TPixelFormat::pf1bit: return PixelFormat::Bits1;
    case TPixelFormat::pf4bit: return PixelFormat::Bits4;
    case TPixelFormat::pf8bit: return PixelFormat::Bits8;
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit: return PixelFormat::Bits16;
    case TPixelFormat::pf24bit: return PixelFormat::Bits24;
    case TPixelFormat::pf32bit: return PixelFormat::Bits32;
    default: return PixelFormat::Device;
  }
}

TPixelFormat FromPlatform(PixelFormat f) {
  switch (f) {
    case PixelFormat::Bits1: return TPixelFormat::pf1bit;
    case PixelFormat::Bits4: return TPixelFormat::pf4bit;
    case PixelFormat::Bits8: return TPixelFormat::pf8bit;
    case PixelFormat::Bits16: return TPixelFormat::pf16bit;
    case PixelFormat::Bits24: return TPixelFormat::pf24bit;
    case PixelFormat::Bits32: return TPixelFormat::pf32bit;
    default: return TPixelFormat::pfDevice;
  }
}

// Nearest-neighbour scaling that keeps the alpha bytes, for pictures blended onto a canvas.
Bitmap Scaled(const Bitmap& src, int w, int h) {
  Bitmap out(w, h, 0);
  out.SetHasAlpha(src.HasAlpha());
  for (int y = 0; y < h; ++y) {
    int sy = static_cast<int>(static_cast<long long>(y) * src.Height() / h);
    for (int x = 0; x < w; ++x) {
      int sx = static_cast<int>(static_cast<long long>(x) * src.Width() / w);
      out.Set(x, y, src.At(sx, sy));
    }
  }
  return out;
}

void BlendInto(TCanvas& canvas, const Bitmap& image, const Rect& dest) {
  HDC dc = canvas.Handle();
  if (!dc || dest.IsEmpty() || image.IsEmpty()) return;
  if (dest.Width() == image.Width() && dest.Height() == image.Height()) {
    dc->AlphaBlend(dest.left, dest.top, image, image.Bounds());
  } else {
    Bitmap s = Scaled(image, dest.Width(), dest.Height());
    dc->AlphaBlend(dest.left, dest.top, s, s.Bounds());
  }
}

std::uint32_t Le32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | (static_cast<std::uint32_t>(d[at + 1]) << 8) |
         (static_cast<std::uint32_t>(d[at + 2]) << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}
std::uint16_t Le16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

bool IsIconFile(std::span<const std::uint8_t> d) {
  return d.size() >= 6 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || d[2] == 2) && d[3] == 0 &&
         Le16(d, 4) > 0;
}

bool IsBmpFile(std::span<const std::uint8_t> d) { return d.size() >= 2 && d[0] == 'B' && d[1] == 'M'; }

// One bitmap entry of an icon file: a BMP info header with doubled height, the palette,
// the colour rows and a 1-bit mask (bottom-up), turned into a picture with alpha.
Bitmap DecodeIconEntry(std::span<const std::uint8_t> e) {
  if (e.size() >= 8 && e[0] == 0x89 && e[1] == 'P' && e[2] == 'N' && e[3] == 'G')
    throw InvalidGraphic();  // compressed entries are not read
  if (e.size() < 40) throw InvalidGraphic();
  std::uint32_t headerSize = Le32(e, 0);
  std::int32_t width = static_cast<std::int32_t>(Le32(e, 4));
  std::int32_t height2 = static_cast<std::int32_t>(Le32(e, 8));
  int bpp = Le16(e, 14);
  std::uint32_t compression = Le32(e, 16);
  std::uint32_t used = Le32(e, 32);
  if (headerSize < 40 || headerSize > e.size() || width <= 0 || width > 1024 || height2 <= 0 ||
      height2 > 2048 || (height2 & 1) || compression != 0)
    throw InvalidGraphic();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) throw InvalidGraphic();
  int height = height2 / 2;
  std::uint64_t colours = bpp <= 8 ? (used ? used : (1u << bpp)) : 0;
  if (colours > 256) throw InvalidGraphic();
  std::uint64_t paletteBytes = colours * 4;
  std::uint64_t xorStride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
  std::uint64_t andStride = ((static_cast<std::uint64_t>(width) + 31) / 32) * 4;
  std::uint64_t xorAt = headerSize + paletteBytes;
  std::uint64_t andAt = xorAt + xorStride * height;
  bool hasMask = andAt + andStride * height <= e.size();
  if (xorAt + xorStride * height > e.size()) throw InvalidGraphic();

  Bitmap image(width, height, 0);
  if (bpp == 32) {
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
      std::size_t row = xorAt + xorStride * static_cast<std::uint64_t>(height - 1 - y);
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = &e[row + static_cast<std::size_t>(x) * 4];
        image.Set(x, y, MakePixel(p[2], p[1], p[0], p[3]));
        anyAlpha = anyAlpha || p[3] != 0;
      }
    }
    if (anyAlpha) {
      image.SetHasAlpha(true);
      return image;
    }
  } else {
    // Hand the colour part to the BMP codec as a file of the real height.
    std::vector<std::uint8_t> file = {'B', 'M'};
    std::uint64_t bodyBytes = headerSize + paletteBytes + xorStride * height;
    Put32(file, static_cast<std::uint32_t>(14 + bodyBytes));
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(14 + headerSize + paletteBytes));
    std::size_t infoAt = file.size();
    file.insert(file.end(), e.begin(), e.begin() + static_cast<std::ptrdiff_t>(bodyBytes));
    std::uint32_t h = static_cast<std::uint32_t>(height);
    std::memcpy(&file[infoAt + 8], &h, 4);  // little-endian host
    std::uint32_t zero = 0;
    std::memcpy(&file[infoAt + 20], &zero, 4);
    Bitmap colour = LoadBmp(file);
    if (colour.Width() != width || colour.Height() != height) throw InvalidGraphic();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) image.Set(x, y, colour.At(x, y) | 0xFF000000u);
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool clear = false;
      if (hasMask) {
        std::size_t row = andAt + andStride * static_cast<std::uint64_t>(height - 1 - y);
        clear = (e[row + static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1;
      }
      Pixel p = image.At(x, y);
      image.Set(x, y, clear ? 0 : (p | 0xFF000000u));
    }
  }
  image.SetHasAlpha(true);
  return image;
}

Bitmap DecodeIconFile(std::span<const std::uint8_t> d) {
  int count = Le16(d, 4);
  if (d.size() < 6 + static_cast<std::size_t>(count) * 16) throw InvalidGraphic();
  int best = -1;
  long bestScore = -1;
  for (int i = 0; i < count; ++i) {
    std::size_t at = 6 + static_cast<std::size_t>(i) * 16;
    int w = d[at] ? d[at] : 256;
    int h = d[at + 1] ? d[at + 1] : 256;
    int bpp = Le16(d, at + 6);
    long score = static_cast<long>(w) * h * 64 + bpp;
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  std::size_t at = 6 + static_cast<std::size_t>(best) * 16;
  std::uint32_t size = Le32(d, at + 8);
  std::uint32_t offset = Le32(d, at + 12);
  if (offset > d.size() || size > d.size() - offset) throw InvalidGraphic();
  return DecodeIconEntry(d.subspan(offset, size));
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + path + "\"");
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<std::uint8_t> ReadGraphicData(const TStreamValue& value) {
  std::vector<std::uint8_t> data = value.AsBinary();
  std::span<const std::uint8_t> d(data);
  // Data written with its class name in front (a picture's), then with its length in
  // front (a bitmap's), is accepted as well as the bare file.
  if (!d.empty() && d[0] > 0 && d[0] < 64 && d.size() > d[0] && d[1] == 'T') {
    std::size_t n = d[0];
    bool ident = true;
    for (std::size_t i = 1; i <= n; ++i) {
      char c = static_cast<char>(d[i]);
      ident = ident && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
    }
    if (ident) d = d.subspan(n + 1);
  }
  if (d.size() >= 6 && Le32(d, 0) == d.size() - 4 && d[4] == 'B' && d[5] == 'M') d = d.subspan(4);
  return std::vector<std::uint8_t>(d.begin(), d.end());
}

// TGraphic

void TGraphic::LoadFromFile(const std::string& path) {
  std::vector<std::uint8_t> data = ReadFileBytes(path);
  LoadFromStream(data);
}

void TGraphic::SaveToFile(const std::string& path) const {
  std::vector<std::uint8_t> data = SaveToStream();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EFCreateError("Cannot create file \"" + path + "\"");
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.flush();
  if (!out) throw EFCreateError("Cannot write file \"" + path + "\"");
}

void TGraphic::SetTransparent(bool on) {
  if (on == m_transparent) return;
  m_transparent = on;
  Changed();
}

// TBitmap

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() = default;

void TBitmap::ImageChanged() {
  if (m_canvas) m_canvas->Reset();
  Changed();
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width() && height == Height()) return;
  m_image.SetSize(width, height);
  ImageChanged();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == m_format) return;
  m_format = format;
  m_image.SetFormat(ToPlatform(format));
  if (format != TPixelFormat::pf32bit) m_image.SetHasAlpha(false);
  Changed();
}

TCanvas& TBitmap::Canvas() {
  if (!m_canvas) m_canvas = std::make_unique<TBitmapCanvas>(*this);
  return *m_canvas;
}

void TBitmap::SetImage(Bitmap image) {
  m_image = std::move(image);
  m_format = FromPlatform(m_image.Format());
  ImageChanged();
}

Color TBitmap::TransparentColor() const {
  if (m_transparentMode == TTransparentMode::tmFixed && m_transparentColor != clDefault)
    return m_transparentColor;
  if (Empty()) return clDefault;
  return m_image.GetPixelColor(0, Height() - 1);
}

void TBitmap::SetTransparentColor(Color c) {
  m_transparentColor = c;
  m_transparentMode = c == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == m_transparentMode) return;
  m_transparentMode = mode;
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const Rect& dest) const {
  HDC dc = canvas.Handle();
  if (!dc || Empty() || dest.IsEmpty()) return;
  if (m_image.HasAlpha()) {
    BlendInto(canvas, m_image, dest);
    return;
  }
  DC src(const_cast<Bitmap&>(m_image));  // read only: the source of a copy
  if (Transparent()) {
    dc->TransparentBlt(dest.left, dest.top, dest.Width(), dest.Height(), src, 0, 0, Width(),
                       Height(), ColorToRGB(TransparentColor()));
  } else if (dest.Width() == Width() && dest.Height() == Height()) {
    dc->BitBlt(dest.left, dest.top, Width(), Height(), src, 0, 0, canvas.CopyMode());
  } else {
    dc->StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), src, 0, 0, Width(), Height(),
                   canvas.CopyMode());
  }
}

void TBitmap::LoadFromStream(std::span<const std::uint8_t> data) {
  SetImage(LoadBmp(data));
}

std::vector<std::uint8_t> TBitmap::SaveToStream() const {
  int bits = 24;
  if (m_format == TPixelFormat::pf1bit) bits = 1;
  else if (m_format == TPixelFormat::pf4bit || m_format == TPixelFormat::pf8bit) bits = 8;
  return SaveBmp(m_image, bits);
}

void TBitmap::Assign(const TPersistent* source) {
  if (source == nullptr) {
    SetImage(::Bitmap());
    return;
  }
  if (const auto* b = dynamic_cast<const TBitmap*>(source)) {
    if (b == this) return;
    m_transparentColor = b->m_transparentColor;
    m_transparentMode = b->m_transparentMode;
    SetTransparent(b->Transparent());
    SetImage(b->m_image);
    return;
  }
  if (const auto* i = dynamic_cast<const TIcon*>(source)) {
    SetImage(i->Image());
    m_format = TPixelFormat::pf32bit;
    return;
  }
  if (const auto* p = dynamic_cast<const TPicture*>(source)) {
    Assign(p->Graphic());
    return;
  }
  TGraphic::Assign(source);
}

bool TBitmap::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Data")) {
    LoadFromStream(ReadGraphicData(value));
  } else if (SameText(name, "Transparent")) {
    SetTransparent(value.AsBool());
  } else if (SameText(name, "TransparentColor")) {
    SetTransparentColor(ReadColor(value));
  } else {
    return TGraphic::ReadProperty(name, value, reader);
  }
  return true;
}

// TIcon

void TIcon::SetImage(Bitmap image) {
  m_image = std::move(image);
  Changed();
}

void TIcon::Draw(TCanvas& canvas, const Rect& dest) const {
  if (m_image.HasAlpha()) {
    BlendInto(canvas, m_image, dest);
    return;
  }
  HDC dc = canvas.Handle();
  if (!dc || Empty() || dest.IsEmpty()) return;
  DC src(const_cast<Bitmap&>(m_image));
  dc->StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), src, 0, 0, Width(), Height(),
                 SRCCOPY);
}

void TIcon::LoadFromStream(std::span<const std::uint8_t> data) {
  if (IsBmpFile(data)) {
    SetImage(LoadBmp(data));
  } else if (IsIconFile(data)) {
    SetImage(DecodeIconFile(data));
  } else {
    throw InvalidGraphic();
  }
}

std::vector<std::uint8_t> TIcon::SaveToStream() const { return SaveBmp(m_image, 24); }

void TIcon::Assign(const TPersistent* source) {
  if (source == nullptr) {
    SetImage(::Bitmap());
    return;
  }
  if (const auto* i = dynamic_cast<const TIcon*>(source)) {
    if (i != this) SetImage(i->m_image);
    return;
  }
  if (const auto* b = dynamic_cast<const TBitmap*>(source)) {
    SetImage(b->Image());
    return;
  }
  TGraphic::Assign(source);
}

bool TIcon::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Data")) {
    LoadFromStream(ReadGraphicData(value));
    return true;
  }
  return TGraphic::ReadProperty(name, value, reader);
}

// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  m_graphic = std::move(graphic);
  if (m_graphic) m_graphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (!graphic) {
    Clear();
    return;
  }
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TIcon*>(graphic))
    copy = std::make_unique<TIcon>();
  else
    copy = std::make_unique<TBitmap>();
  copy->Assign(graphic);
  Take(std::move(copy));
}

TBitmap& TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(m_graphic.get())) Take(std::make_unique<TBitmap>());
  return static_cast<TBitmap&>(*m_graphic);
}

TIcon& TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(m_graphic.get())) Take(std::make_unique<TIcon>());
  return static_cast<TIcon&>(*m_graphic);
}

void TPicture::Clear() {
  if (!m_graphic) return;
  Take(nullptr);
}

void TPicture::LoadFromFile(const std::string& path) {
  std::vector<std::uint8_t> data = ReadFileBytes(path);
  LoadFromStream(data);
}

void TPicture::LoadFromStream(std::span<const std::uint8_t> data) {
  std::unique_ptr<TGraphic> g;
  if (IsBmpFile(data))
    g = std::make_unique<TBitmap>();
  else if (IsIconFile(data))
    g = std::make_unique<TIcon>();
  else
    throw InvalidGraphic();
  g->LoadFromStream(data);  // a damaged file throws before anything changes
  Take(std::move(g));
}

void TPicture::SaveToFile(const std::string& path) const {
  if (!m_graphic) throw EInvalidOperation("Picture is empty");
  m_graphic->SaveToFile(path);
}

void TPicture::Assign(const TPersistent* source) {
  if (source == nullptr) {
    Clear();
    return;
  }
  if (const auto* p = dynamic_cast<const TPicture*>(source)) {
    if (p != this) SetGraphic(p->Graphic());
    return;
  }
  if (const auto* g = dynamic_cast<const TGraphic*>(source)) {
    SetGraphic(g);
    return;
  }
  TPersistent::Assign(source);
}

bool TPicture::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Data")) {
    LoadFromStream(ReadGraphicData(value));
    return true;
  }
  return TPersistent::ReadProperty(name, value, reader);
}
