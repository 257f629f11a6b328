// TImageList: strips split into images with alpha, drawn normally or greyed.
#include "toolkit/ImgList.h"

#include "toolkit/Streaming.h"

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

void TImageList::SetWidth(int w) {
  if (w < 1 || w == m_width) return;
  m_width = w;
  Clear();
}

void TImageList::SetHeight(int h) {
  if (h < 1 || h == m_height) return;
  m_height = h;
  Clear();
}

void TImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw EInvalidOperation("Invalid ImageList Index " + std::to_string(index));
}

std::vector<Bitmap> TImageList::Split(const TBitmap& image, const TBitmap* mask,
                                      Color maskColor) const {
  std::vector<Bitmap> out;
  const Bitmap& src = image.Image();
  if (src.IsEmpty()) return out;
  if (src.Height() < m_height) throw EInvalidOperation("Invalid image size");
  int count = std::max(1, src.Width() / m_width);
  Color key = maskColor == clDefault ? src.GetPixelColor(0, src.Height() - 1) : ColorToRGB(maskColor);
  bool useKey = maskColor != clNone;
  for (int i = 0; i < count; ++i) {
    Bitmap b(m_width, m_height, 0);
    b.SetHasAlpha(true);
    for (int y = 0; y < m_height; ++y) {
      for (int x = 0; x < m_width; ++x) {
        int sx = i * m_width + x;
        if (sx >= src.Width()) continue;
        Pixel p = src.At(sx, y);
        bool clear;
        if (src.HasAlpha()) {
          clear = PixelA(p) == 0;
        } else if (mask) {
          const Bitmap& m = mask->Image();
          clear = m.Contains(sx, y) && (m.At(sx, y) & 0x00FFFFFFu) != 0;
        } else {
          clear = useKey && PixelToColor(p) == key;
        }
        if (!src.HasAlpha()) p |= 0xFF000000u;
        b.Set(x, y, clear ? 0 : p);
      }
    }
    out.push_back(std::move(b));
  }
  return out;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) {
  int first = Count();
  for (Bitmap& b : Split(image, mask, clNone)) m_images.push_back(std::move(b));
  Changed();
  return first;
}

int TImageList::AddMasked(const TBitmap& image, Color maskColor) {
  int first = Count();
  for (Bitmap& b : Split(image, nullptr, maskColor)) m_images.push_back(std::move(b));
  Changed();
  return first;
}

void TImageList::Replace(int index, const TBitmap& image, const TBitmap* mask) {
  CheckIndex(index);
  std::vector<Bitmap> parts = Split(image, mask, clNone);
  if (parts.empty()) throw EInvalidOperation("Invalid image size");
  m_images[static_cast<std::size_t>(index)] = std::move(parts.front());
  Changed();
}

void TImageList::Delete(int index) {
  CheckIndex(index);
  m_images.erase(m_images.begin() + index);
  Changed();
}

void TImageList::Clear() {
  if (m_images.empty()) return;
  m_images.clear();
  Changed();
}

const Bitmap& TImageList::Image(int index) const {
  CheckIndex(index);
  return m_images[static_cast<std::size_t>(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;  // drawing an absent image draws nothing
  HDC dc = canvas.Handle();
  if (!dc) return;
  const Bitmap& img = m_images[static_cast<std::size_t>(index)];
  if (enabled) {
    dc->AlphaBlend(x, y, img, img.Bounds());
    return;
  }
  // Disabled: the shape in the highlight colour, offset by one, under it in the shadow colour.
  Pixel light = ColorToPixel(ColorToRGB(clBtnHighlight));
  Pixel shadow = ColorToPixel(ColorToRGB(clBtnShadow));
  Bitmap grey(img.Width() + 1, img.Height() + 1, 0);
  grey.SetHasAlpha(true);
  for (int py = 0; py < img.Height(); ++py)
    for (int px = 0; px < img.Width(); ++px)
      if (PixelA(img.At(px, py)) >= 128) grey.Set(px + 1, py + 1, light);
  for (int py = 0; py < img.Height(); ++py)
    for (int px = 0; px < img.Width(); ++px)
      if (PixelA(img.At(px, py)) >= 128) {
        Pixel p = img.At(px, py);
        int lum = (PixelR(p) * 30 + PixelG(p) * 59 + PixelB(p) * 11) / 100;
        if (lum < 192) grey.Set(px, py, shadow);
      }
  dc->AlphaBlend(x, y, grey, grey.Bounds());
}

void TImageList::GetBitmap(int index, TBitmap& bitmap) const {
  const Bitmap& img = Image(index);
  Pixel bk = m_bkColor == clNone ? MakePixel(255, 255, 255) : ColorToPixel(ColorToRGB(m_bkColor));
  Bitmap out(m_width, m_height, bk);
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x) {
      Pixel p = img.At(x, y);
      int a = PixelA(p);
      if (a == 0) continue;
      auto mix = [a](int s, int d) { return (s * a + d * (255 - a) + 127) / 255; };
      out.Set(x, y, MakePixel(mix(PixelR(p), PixelR(bk)), mix(PixelG(p), PixelG(bk)),
                              mix(PixelB(p), PixelB(bk))));
    }
  bitmap.SetImage(std::move(out));
}

bool TImageList::ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) {
  if (SameText(name, "Width")) {
    SetWidth(value.AsInt());
  } else if (SameText(name, "Height")) {
    SetHeight(value.AsInt());
  } else if (SameText(name, "BkColor")) {
    SetBkColor(ReadColor(value));
  } else if (SameText(name, "MaskColor")) {
    m_pendingMask = ReadColor(value);
  } else if (SameText(name, "Bitmap")) {
    // Decoded now so that damage is reported with the property; split in Loaded, when
    // Width, Height and MaskColor are known whatever their order.
    auto strip = std::make_unique<TBitmap>();
    strip->LoadFromStream(ReadGraphicData(value));
    m_pendingStrip = std::move(strip);
  } else {
    return TComponent::ReadProperty(name, value, reader);
  }
  return true;
}

void TImageList::Loaded() {
  TComponent::Loaded();
  if (!m_pendingStrip) return;
  std::unique_ptr<TBitmap> strip = std::move(m_pendingStrip);
  AddMasked(*strip, m_pendingMask);
}
