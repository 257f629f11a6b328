// TskEffectBmp and TskFBitmap: 24-bit top-down images with the morph blends and image effects.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Bitmap.h"

class DC;

// The 40-byte bitmap info header that describes the pixel section to the device context.
struct TskBitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;  // negated: rows run from the top down
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 24;
  std::uint32_t biCompression = 0;  // uncompressed
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(TskBitmapInfoHeader) == 40);

// One pixel as it lies in the section: blue, green, red.
struct TskRgb {
  std::uint8_t b = 0;
  std::uint8_t g = 0;
  std::uint8_t r = 0;
  bool operator==(const TskRgb&) const = default;
};

// Morph kinds as the skin definition numbers them ("mkdefault" 0 ... "mkpush" 6).
constexpr int skMorphDefault = 0;
constexpr int skMorphGradient = 1;
constexpr int skMorphLeftGradient = 2;
constexpr int skMorphRightGradient = 3;
constexpr int skMorphLeftSlide = 4;
constexpr int skMorphRightSlide = 5;
constexpr int skMorphPush = 6;

// Image effects as the skin definition numbers them ("iebrightness" 0 ... "ieinvert" 5).
constexpr int skEffectBrightness = 0;
constexpr int skEffectDarkness = 1;
constexpr int skEffectGrayscale = 2;
constexpr int skEffectNoise = 3;
constexpr int skEffectSplitBlur = 4;
constexpr int skEffectInvert = 5;

// A 24-bit image in memory. Rows are `Stride()` bytes apart (width * 3 rounded up to a
// multiple of four), top row first, each pixel blue, green, red. Channel results are
// rounded to the nearest integer with halves to the even neighbour, then clamped to 0..255.
//
// One-pixel images: the blur names neighbours outside a one-pixel-high or -wide image (and
// outside any image when its step reaches past the far edge from row or column 0); every
// such neighbour is clamped to the nearest edge row or column, so reads stay inside.
class TskEffectBmp {
 public:
  // An image of the given size with all pixels black; negative sizes throw.
  TskEffectBmp(int width, int height);
  explicit TskEffectBmp(const Bitmap& bitmap);
  virtual ~TskEffectBmp() = default;
  TskEffectBmp(const TskEffectBmp&) = default;
  TskEffectBmp& operator=(const TskEffectBmp&) = default;

  static int StrideFor(int width) { return width * 3 + width % 4; }

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int Stride() const { return m_stride; }
  std::uint32_t SizeBytes() const { return static_cast<std::uint32_t>(m_bits.size()); }
  const TskBitmapInfoHeader& Header() const { return m_header; }
  std::uint8_t* Bits() { return m_bits.data(); }
  const std::uint8_t* Bits() const { return m_bits.data(); }

  // Replaces the image with the bitmap's pixels at the bitmap's size.
  void CopyFromBitmap(const Bitmap& bitmap);
  Bitmap ToBitmap() const;

  // Checked access: coordinates outside the image throw std::out_of_range.
  TskRgb GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TskRgb c);
  std::uint8_t* Row(int y);
  const std::uint8_t* Row(int y) const;
  void GetRow(int y, std::uint8_t* buffer) const;  // width * 3 bytes
  void SetRow(int y, const std::uint8_t* buffer);

  void DrawTo(DC& dc, int x, int y) const;
  // Pixel (x, y) goes to (x, height - 1 - y) of `other`, which must be of the same size.
  void FlipInto(TskEffectBmp& other) const;

  // Morphs: this image is A, `b` is B, `k` the morph factor. Do nothing when the sizes differ.
  void BlendWith(const TskEffectBmp& b, double k);
  void CenterGradientWith(const TskEffectBmp& b, double k);
  void HCenterGradientWith(const TskEffectBmp& b, double k);
  void VCenterGradientWith(const TskEffectBmp& b, double k);
  void LeftGradientWith(const TskEffectBmp& b, double k);
  void RightGradientWith(const TskEffectBmp& b, double k);
  void PushWith(const TskEffectBmp& b, double k);
  void SlideFromLeftWith(const TskEffectBmp& b, double k);
  void SlideFromRightWith(const TskEffectBmp& b, double k);
  // The morph a record's "morphkind" selects; unknown kinds blend.
  void MorphWith(int morphKind, const TskEffectBmp& b, double k);

  void Brighten(double x);
  void Darken(double x);
  void ToGray();
  void AddNoise(int amount);
  void SplitBlur(int amount);
  void Invert();
  // The effect an inactive frame gets, with the frame's parameters; unknown values gray.
  void ApplyImageEffect(int imageEffect);

 protected:
  virtual void PixelsReplaced() {}

 private:
  void Allocate(int width, int height);
  bool SameSize(const TskEffectBmp& b) const { return b.m_width == m_width && b.m_height == m_height; }
  // Whole-column and whole-row blends used by the gradients.
  void MixColumn(const TskEffectBmp& b, int x, double t);
  void MixRow(const TskEffectBmp& b, int y, double t);

  int m_width = 0;
  int m_height = 0;
  int m_stride = 0;
  std::vector<std::uint8_t> m_bits;
  TskBitmapInfoHeader m_header;
};

// The same image with a table of row starts, built whenever the pixels are (re)allocated,
// for routines that walk rows by index.
class TskFBitmap : public TskEffectBmp {
 public:
  TskFBitmap(int width, int height);
  explicit TskFBitmap(const Bitmap& bitmap);
  TskFBitmap(const TskFBitmap& o);
  TskFBitmap& operator=(const TskFBitmap& o);

  // Unchecked: y must be inside the image.
  std::uint8_t* ScanLine(int y) { return m_rows[static_cast<std::size_t>(y)]; }
  const std::uint8_t* ScanLine(int y) const { return m_rows[static_cast<std::size_t>(y)]; }

 protected:
  void PixelsReplaced() override;

 private:
  std::vector<std::uint8_t*> m_rows;
};
