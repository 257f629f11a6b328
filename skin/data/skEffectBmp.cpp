// TskEffectBmp and TskFBitmap: pixel section, access, morphs and effects.
#include "skin/data/skEffectBmp.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/gfx/DC.h"

namespace {

// Rounds to nearest with halves to even and clamps to a channel. Adding and taking away
// 1.5 * 2^52 leaves the value rounded by the FPU's default mode (nearest, ties to even)
// without a library call; values at or below 0 (and NaN) give 0.
inline std::uint8_t RoundClamp(double v) {
  if (!(v > 0.0)) return 0;
  if (v >= 255.0) return 255;
  constexpr double kRound = 6755399441055744.0;
  return static_cast<std::uint8_t>(static_cast<int>((v + kRound) - kRound));
}

// near(x) for a column or row count; the factor is bounded first so that the conversion
// to int cannot overflow (the counts are clamped to the image afterwards anyway).
int NearCount(double size, double k) {
  if (std::isnan(k)) k = 0.0;
  const double v = std::clamp(size * k, -1e9, 1e9);
  constexpr double kRound = 6755399441055744.0;
  return static_cast<int>((v + kRound) - kRound);
}

double ClampUnit(double x) { return std::isnan(x) ? 0.0 : std::clamp(x, 0.0, 1.0); }

// mix(t) of `count` bytes: near(t * a + (1 - t) * b), written into a.
inline void MixBytes(std::uint8_t* a, const std::uint8_t* b, int count, double t) {
  const double u = 1.0 - t;
  for (int i = 0; i < count; ++i) a[i] = RoundClamp(t * a[i] + u * b[i]);
}

std::array<std::uint8_t, 256> ChannelTable(double scale, double offset) {
  std::array<std::uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) table[static_cast<std::size_t>(v)] = RoundClamp(scale * v + offset);
  return table;
}

std::uint32_t NextRandom() {
  static std::uint32_t state = [] {
    std::random_device device;
    const std::uint32_t seed = device();
    return seed == 0 ? 0x9E3779B9u : seed;
  }();
  // xorshift32: uniform enough for noise, and cheap per pixel.
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

}  // namespace

TskEffectBmp::TskEffectBmp(int width, int height) { Allocate(width, height); }

TskEffectBmp::TskEffectBmp(const Bitmap& bitmap) { CopyFromBitmap(bitmap); }

void TskEffectBmp::Allocate(int width, int height) {
  if (width < 0 || height < 0 || static_cast<long long>(width) * height > (1LL << 28))
    throw std::length_error("Effect bitmap size " + std::to_string(width) + " x " +
                            std::to_string(height) + " is not valid");
  m_width = width;
  m_height = height;
  m_stride = StrideFor(width);
  m_bits.assign(static_cast<std::size_t>(m_stride) * height, 0);
  m_header = TskBitmapInfoHeader{};
  m_header.biWidth = width;
  m_header.biHeight = -height;
  m_header.biSizeImage = static_cast<std::uint32_t>(m_bits.size());
  PixelsReplaced();
}

void TskEffectBmp::CopyFromBitmap(const Bitmap& bitmap) {
  Allocate(bitmap.Width(), bitmap.Height());
  for (int y = 0; y < m_height; ++y) {
    const Pixel* src = bitmap.Row(y);
    std::uint8_t* dst = Row(y);
    for (int x = 0; x < m_width; ++x) {
      dst[3 * x] = static_cast<std::uint8_t>(PixelB(src[x]));
      dst[3 * x + 1] = static_cast<std::uint8_t>(PixelG(src[x]));
      dst[3 * x + 2] = static_cast<std::uint8_t>(PixelR(src[x]));
    }
  }
}

Bitmap TskEffectBmp::ToBitmap() const {
  Bitmap out;
  out.FromRows24(m_bits.data(), m_width, m_height, m_stride);
  return out;
}

TskRgb TskEffectBmp::GetPixel(int x, int y) const {
  if (x < 0 || x >= m_width) throw std::out_of_range("Effect bitmap column out of range");
  const std::uint8_t* p = Row(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

void TskEffectBmp::SetPixel(int x, int y, TskRgb c) {
  if (x < 0 || x >= m_width) throw std::out_of_range("Effect bitmap column out of range");
  std::uint8_t* p = Row(y) + 3 * x;
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

std::uint8_t* TskEffectBmp::Row(int y) {
  if (y < 0 || y >= m_height) throw std::out_of_range("Effect bitmap row out of range");
  return m_bits.data() + static_cast<std::size_t>(y) * m_stride;
}

const std::uint8_t* TskEffectBmp::Row(int y) const {
  if (y < 0 || y >= m_height) throw std::out_of_range("Effect bitmap row out of range");
  return m_bits.data() + static_cast<std::size_t>(y) * m_stride;
}

void TskEffectBmp::GetRow(int y, std::uint8_t* buffer) const {
  std::memcpy(buffer, Row(y), static_cast<std::size_t>(m_width) * 3);
}

void TskEffectBmp::SetRow(int y, const std::uint8_t* buffer) {
  std::memcpy(Row(y), buffer, static_cast<std::size_t>(m_width) * 3);
}

void TskEffectBmp::DrawTo(DC& dc, int x, int y) const {
  if (m_width < 1 || m_height < 1) return;
  dc.SetDIBitsToDevice(x, y, m_width, m_height, m_bits.data(), m_stride);
}

void TskEffectBmp::FlipInto(TskEffectBmp& other) const {
  if (!SameSize(other)) throw std::invalid_argument("FlipInto needs an image of the same size");
  if (&other == this) {
    for (int y = 0; y < m_height / 2; ++y)
      std::swap_ranges(other.Row(y), other.Row(y) + m_width * 3, other.Row(m_height - 1 - y));
    return;
  }
  for (int y = 0; y < m_height; ++y) other.SetRow(m_height - 1 - y, Row(y));
}

// ---- morphs ----

void TskEffectBmp::BlendWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b)) return;
  k = ClampUnit(k);
  const double wa = 1.0 - k;
  const int rowBytes = m_width * 3;
  const long long total = static_cast<long long>(rowBytes) * m_height;
  if (total >= 3 * 65536) {
    // Large images: one table of every (a, b) pair, computed with the same expression.
    std::vector<std::uint8_t> table(65536);
    for (int va = 0; va < 256; ++va)
      for (int vb = 0; vb < 256; ++vb)
        table[static_cast<std::size_t>(va << 8 | vb)] = RoundClamp(wa * va + k * vb);
    for (int y = 0; y < m_height; ++y) {
      std::uint8_t* pa = Row(y);
      const std::uint8_t* pb = b.Row(y);
      for (int i = 0; i < rowBytes; ++i) pa[i] = table[static_cast<std::size_t>(pa[i] << 8 | pb[i])];
    }
    return;
  }
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* pa = Row(y);
    const std::uint8_t* pb = b.Row(y);
    for (int i = 0; i < rowBytes; ++i) pa[i] = RoundClamp(wa * pa[i] + k * pb[i]);
  }
}

void TskEffectBmp::MixColumn(const TskEffectBmp& b, int x, double t) {
  for (int y = 0; y < m_height; ++y) MixBytes(Row(y) + 3 * x, b.Row(y) + 3 * x, 3, t);
}

void TskEffectBmp::MixRow(const TskEffectBmp& b, int y, double t) {
  MixBytes(Row(y), b.Row(y), m_width * 3, t);
}

void TskEffectBmp::CenterGradientWith(const TskEffectBmp& b, double k) {
  if (m_width < m_height)
    VCenterGradientWith(b, k);
  else
    HCenterGradientWith(b, k);
}

void TskEffectBmp::HCenterGradientWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b) || m_width < 1 || m_height < 1) return;
  const int w = m_width;
  const int band = NearCount(w, k);
  const int c = (w - band) / 2;
  const double f = c == 0 ? 1.0 : 1.0 / c;
  const int m = w / 2;
  const int d = band / 2;
  // A negative factor gives L > R; both are kept inside the image.
  const int left = std::clamp(m - d, 0, w - 1);
  const int right = std::clamp(m + d, 0, w - 1);
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* pa = Row(y);
    const std::uint8_t* pb = b.Row(y);
    if (left <= right) std::memcpy(pa + 3 * left, pb + 3 * left, static_cast<std::size_t>(right - left + 1) * 3);
    double t = 0.0;
    for (int x = left; x >= 0; --x) {
      MixBytes(pa + 3 * x, pb + 3 * x, 3, t);
      t = std::min(1.0, t + f);
    }
    t = 0.0;
    for (int x = right; x < w; ++x) {
      MixBytes(pa + 3 * x, pb + 3 * x, 3, t);
      t = std::min(1.0, t + f);
    }
  }
}

void TskEffectBmp::VCenterGradientWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b) || m_width < 1 || m_height < 1) return;
  const int h = m_height;
  const int band = NearCount(h, k);
  const int c = (h - 1 - band) / 2;
  const double f = c == 0 ? 0.0 : 1.0 / c;
  const int m = h / 2;
  const int d = band / 2;
  const int top = std::clamp(m - d, 0, h - 1);
  const int bottom = std::clamp(m + d, 0, h - 1);
  for (int y = top; y <= bottom; ++y) SetRow(y, b.Row(y));
  double t = 0.0;
  for (int y = top; y >= 0; --y) {
    MixRow(b, y, t);
    t = std::min(1.0, t + f);
  }
  t = 0.0;
  for (int y = bottom; y < h; ++y) {
    MixRow(b, y, t);
    t = std::min(1.0, t + f);
  }
}

void TskEffectBmp::LeftGradientWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b) || m_width < 1) return;
  int a = NearCount(m_width, k);
  if (a <= 0) a = 1;
  if (a > m_width - 1) a = m_width - 1;
  const double step = a == 0 ? 1.0 : 1.0 / a;
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* pa = Row(y);
    const std::uint8_t* pb = b.Row(y);
    double t = 0.0;
    for (int x = 0; x <= a; ++x) {
      MixBytes(pa + 3 * x, pb + 3 * x, 3, t);
      t = std::min(1.0, t + step);
    }
  }
}

void TskEffectBmp::RightGradientWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b) || m_width < 1) return;
  const int w = m_width;
  const int a = std::clamp(w - NearCount(w, k), 0, w - 1);
  const double step = w - a <= 0 ? 1.0 : 1.0 / (w - a);
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* pa = Row(y);
    const std::uint8_t* pb = b.Row(y);
    double t = 0.0;
    for (int x = w - 1; x >= a; --x) {
      MixBytes(pa + 3 * x, pb + 3 * x, 3, t);
      t = std::min(1.0, t + step);
    }
  }
}

void TskEffectBmp::PushWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b) || m_width < 1) return;
  const int w = m_width;
  const int a = std::clamp(NearCount(w, k), 0, w - 1);
  const std::size_t shifted = static_cast<std::size_t>(w - a - 1) * 3;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 3);
  for (int y = 0; y < m_height; ++y) {
    GetRow(y, row.data());
    std::uint8_t* pa = Row(y);
    // A moves right by a + 1 columns; B's last a + 1 columns come in at the left.
    std::memcpy(pa + 3 * (a + 1), row.data(), shifted);
    std::memcpy(pa, b.Row(y) + 3 * (w - a - 1), static_cast<std::size_t>(a + 1) * 3);
  }
}

void TskEffectBmp::SlideFromLeftWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b) || m_width < 1) return;
  int n = NearCount(m_width, k);
  if (n <= 0) n = 1;
  if (n > m_width - 1) n = m_width - 1;
  for (int y = 0; y < m_height; ++y)
    std::memcpy(Row(y), b.Row(y) + 3 * (m_width - n), static_cast<std::size_t>(n) * 3);
}

void TskEffectBmp::SlideFromRightWith(const TskEffectBmp& b, double k) {
  if (!SameSize(b) || m_width < 1) return;
  int n = NearCount(m_width, k);
  if (n <= 0) n = 1;
  if (n > m_width - 1) n = m_width - 1;
  for (int y = 0; y < m_height; ++y)
    std::memcpy(Row(y) + 3 * (m_width - n), b.Row(y), static_cast<std::size_t>(n) * 3);
}

void TskEffectBmp::MorphWith(int morphKind, const TskEffectBmp& b, double k) {
  switch (morphKind) {
    case skMorphGradient: CenterGradientWith(b, k); break;
    case skMorphLeftGradient: LeftGradientWith(b, k); break;
    case skMorphRightGradient: RightGradientWith(b, k); break;
    case skMorphLeftSlide: SlideFromLeftWith(b, k); break;
    case skMorphRightSlide: SlideFromRightWith(b, k); break;
    case skMorphPush: PushWith(b, k); break;
    default: BlendWith(b, k); break;
  }
}

// ---- effects ----

namespace {
void ApplyTable(std::vector<std::uint8_t>& bits, int rowBytes, int stride, int height,
                const std::array<std::uint8_t, 256>& table) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = bits.data() + static_cast<std::size_t>(y) * stride;
    for (int i = 0; i < rowBytes; ++i) p[i] = table[p[i]];
  }
}
}  // namespace

void TskEffectBmp::Brighten(double x) {
  x = ClampUnit(x);
  ApplyTable(m_bits, m_width * 3, m_stride, m_height, ChannelTable(1.0 - x, 255.0 * x));
}

void TskEffectBmp::Darken(double x) {
  x = ClampUnit(x);
  ApplyTable(m_bits, m_width * 3, m_stride, m_height, ChannelTable(1.0 - x, 0.0));
}

void TskEffectBmp::Invert() {
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* p = Row(y);
    for (int i = 0; i < m_width * 3; ++i) p[i] = static_cast<std::uint8_t>(255 - p[i]);
  }
}

void TskEffectBmp::ToGray() {
  // 0.3 r + 0.59 g + 0.11 b is taken exactly, as (30 r + 59 g + 11 b) / 100, so a half is a
  // true half and goes to the even neighbour.
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* p = Row(y);
    for (int x = 0; x < m_width; ++x, p += 3) {
      const int s = 30 * p[2] + 59 * p[1] + 11 * p[0];
      int q = s / 100;
      const int rem = s - 100 * q;
      if (rem > 50 || (rem == 50 && (q & 1))) ++q;
      const auto v = static_cast<std::uint8_t>(q);
      p[0] = p[1] = p[2] = v;
    }
  }
}

void TskEffectBmp::AddNoise(int amount) {
  if (amount <= 0) return;  // no number lies in 0 .. amount - 1
  const int half = amount / 2;
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* p = Row(y);
    for (int x = 0; x < m_width; ++x, p += 3) {
      const int r = static_cast<int>((static_cast<std::uint64_t>(NextRandom()) * static_cast<std::uint32_t>(amount)) >> 32);
      const int n = r - half;
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::clamp(p[c] + n, 0, 255));
    }
  }
}

void TskEffectBmp::SplitBlur(int amount) {
  if (amount == 0 || m_width < 1 || m_height < 1) return;
  const int w = m_width;
  const int h = m_height;
  // Neighbour columns are the same for every row.
  std::vector<int> leftCol(static_cast<std::size_t>(w)), rightCol(static_cast<std::size_t>(w));
  for (int x = 0; x < w; ++x) {
    const int p = x - amount < 0 ? x : x - amount;
    const int q = x + amount < w ? x + amount : w - x;
    leftCol[static_cast<std::size_t>(x)] = std::clamp(p, 0, w - 1) * 3;
    rightCol[static_cast<std::size_t>(x)] = std::clamp(q, 0, w - 1) * 3;
  }
  // Row y is built in the buffer from the image as it stands (rows above already blurred,
  // row y itself and those below still original) and then copied back.
  std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    const int u = std::clamp(y - amount < 0 ? y : y - amount, 0, h - 1);
    const int l = std::clamp(y + amount < h ? y + amount : h - y, 0, h - 1);
    const std::uint8_t* upper = Row(u);
    const std::uint8_t* lower = Row(l);
    for (int x = 0; x < w; ++x) {
      const int p = leftCol[static_cast<std::size_t>(x)];
      const int q = rightCol[static_cast<std::size_t>(x)];
      for (int c = 0; c < 3; ++c)
        row[static_cast<std::size_t>(3 * x + c)] =
            static_cast<std::uint8_t>((upper[p + c] + lower[p + c] + upper[q + c] + lower[q + c]) / 4);
    }
    SetRow(y, row.data());
  }
}

void TskEffectBmp::ApplyImageEffect(int imageEffect) {
  switch (imageEffect) {
    case skEffectBrightness: Brighten(0.5); break;
    case skEffectDarkness: Darken(0.3); break;
    case skEffectNoise: AddNoise(50); break;
    case skEffectSplitBlur: SplitBlur(1); break;
    case skEffectInvert: Invert(); break;
    default: ToGray(); break;
  }
}

// ---- TskFBitmap ----

TskFBitmap::TskFBitmap(int width, int height) : TskEffectBmp(width, height) { PixelsReplaced(); }

TskFBitmap::TskFBitmap(const Bitmap& bitmap) : TskEffectBmp(bitmap) { PixelsReplaced(); }

TskFBitmap::TskFBitmap(const TskFBitmap& o) : TskEffectBmp(o) { PixelsReplaced(); }

TskFBitmap& TskFBitmap::operator=(const TskFBitmap& o) {
  TskEffectBmp::operator=(o);
  PixelsReplaced();
  return *this;
}

void TskFBitmap::PixelsReplaced() {
  m_rows.resize(static_cast<std::size_t>(Height()));
  for (int y = 0; y < Height(); ++y)
    m_rows[static_cast<std::size_t>(y)] = Bits() + static_cast<std::size_t>(y) * Stride();
}
