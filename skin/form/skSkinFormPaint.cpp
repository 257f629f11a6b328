// TskSkinForm painting: the skinned frame from four border images (with the objects drawn
// into them and the inactive effect), the plain default frame, and the client background.
#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skImageDraw.h"
#include "skin/data/skEffectBmp.h"
#include "skin/form/skSkinForm.h"

namespace {

void Blit(DC& dc, const Bitmap& image, int x, int y) {
  if (image.IsEmpty()) return;
  DC src(const_cast<Bitmap&>(image));  // read only
  dc.BitBlt(x, y, image.Width(), image.Height(), src, 0, 0, SRCCOPY);
}

}  // namespace

const Bitmap& TskSkinForm::SourcePicture() const {
  if (IsFormActive() || m_skinData->InactivePicture().IsEmpty()) return m_skinData->Picture();
  return m_skinData->InactivePicture();
}

void TskSkinForm::PaintSkinFrame(DC& dc) {
  if (m_formWidth == 0 || m_formHeight == 0) {
    m_formWidth = m_form->Width();
    m_formHeight = m_form->Height();
  }
  if (m_formWidth < GetMinWidth() || m_formHeight < GetMinHeight()) return;
  CalcFrameGeometry();
  PlaceObjects();
  const SkinFormInfo& fi = m_skinData->FormInfo();
  const Bitmap& picture = SourcePicture();
  const Size pic = m_skinData->Picture().GetSize();
  const EdgeStretch stretch{fi.TopStretch, fi.BottomStretch, fi.LeftStretch, fi.RightStretch};
  BorderStrips images = BuildBorderStripsStretched(FramePictureParts(fi), FrameScaledParts(m_geometry),
                                                   {0, 0, pic.cx, pic.cy}, picture, m_formWidth, m_formHeight, stretch);
  const Rect& ncr = m_geometry.clientRect;
  for (auto& o : m_objects) {
    if (!o->Visible) continue;
    const bool below = o->ObjectRect.bottom > ncr.top;
    Bitmap& target = below ? images.bottom : images.top;
    if (target.IsEmpty()) continue;
    DC canvas(target);
    if (below) {
      const Rect kept = o->ObjectRect;
      o->ObjectRect.Translate(0, -ncr.bottom);
      o->Draw(canvas, false);
      o->ObjectRect = kept;
    } else {
      o->Draw(canvas, false);
    }
  }
  DCState state(dc);
  if (!ncr.IsEmpty()) dc.ExcludeClipRect(ncr);
  const bool effect = !IsFormActive() && fi.AutoRenderingInActiveImage;
  auto draw = [&](const Bitmap& image, int x, int y) {
    if (image.IsEmpty()) return;
    if (!effect) {
      Blit(dc, image, x, y);
      return;
    }
    TskEffectBmp e(image);
    e.ApplyImageEffect(static_cast<int>(fi.InActiveEffect));
    e.DrawTo(dc, x, y);
  };
  const int topHeight = images.top.Height();
  draw(images.top, 0, 0);
  draw(images.left, 0, topHeight);
  draw(images.right, m_formWidth - images.right.Width(), topHeight);
  draw(images.bottom, 0, m_formHeight - images.bottom.Height());
}

void TskSkinForm::PaintDefaultFrame(DC& dc) {
  if (m_formWidth == 0 || m_formHeight == 0) {
    m_formWidth = m_form->Width();
    m_formHeight = m_form->Height();
  }
  CalcFrameGeometry();  // lays out the default caption and its buttons
  const int W = m_formWidth, H = m_formHeight, ch = DefaultCaptionHeight();
  if (W < 7 || H < 7) return;
  Bitmap caption(W - 6, ch, ColorToPixel(ColorToRGB(clBtnFace)));
  DC cdc(caption);
  const int cl = m_defaultCaptionRect.left, cr = m_defaultCaptionRect.right;
  const int l = cl - 3;
  if (ch - 4 > 1) {
    for (int row = 2; row <= ch - 4; ++row) {
      cdc.SelectPen(Pen{PS_SOLID, 1, ColorToRGB(row % 2 == 0 ? clBtnHighlight : clBtnShadow)});
      cdc.MoveTo(l + 2, row);
      cdc.LineTo(cr - 6, row);
    }
  }
  const TskCaptionFont& cf = IsFormActive() ? m_defCaptionFont : m_defInActiveCaptionFont;
  const Font font(cf.spec);
  const std::string text = CaptionText();
  if (!text.empty()) {
    const int a = cr - cl + 3;
    const std::string shown = EllipsisText(text, a, [&](std::string_view t) { return font.TextWidth(t); });
    const Size ext = font.TextExtent(shown);
    const int x = l + a / 2 - (ext.cx + 5) / 2;
    const int y = ch / 2 - ext.cy / 2;
    cdc.FillRect({x, 0, x + ext.cx + 5, caption.Height()}, clBtnFace);
    cdc.SelectFont(font);
    cdc.SetBkMode(TRANSPARENT);
    cdc.SetTextColor(cf.color);
    cdc.TextOut(x + 3, y, shown);
  }
  for (auto& o : m_objects) {
    if (!o->Visible) continue;
    const Rect kept = o->ObjectRect;
    o->ObjectRect.Translate(-3, -3);
    o->Draw(cdc, false);
    o->ObjectRect = kept;
  }
  DCState state(dc);
  dc.ExcludeClipRect({3, ch + 3, W - 3, H - 3});
  Blit(dc, caption, 3, 3);
  const Color rings[3][2] = {{cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}, {clBtnFace, clBtnFace}};
  for (int i = 0; i < 3; ++i) {
    const Color tl = ColorToRGB(rings[i][0]), br = ColorToRGB(rings[i][1]);
    dc.FillRect({i, i, W - i, i + 1}, tl);
    dc.FillRect({i, i, i + 1, H - i}, tl);
    dc.FillRect({i, H - i - 1, W - i, H - i}, br);
    dc.FillRect({W - i - 1, i, W - i, H - i}, br);
  }
}

void TskSkinForm::PaintClientBackground(DC& dc) {
  Rect client;
  GetClientRect(m_hwnd, &client);
  const int cw = client.Width(), chh = client.Height();
  auto tile = [&](const Bitmap& picture, const Rect& src) {
    if (src.IsEmpty()) return;
    DC sdc(const_cast<Bitmap&>(picture));  // read only
    const int tw = src.Width(), th = src.Height();
    for (int i = 0; i <= cw / tw; ++i)
      for (int j = 0; j <= chh / th; ++j) dc.BitBlt(i * tw, j * th, tw, th, sdc, src.left, src.top, SRCCOPY);
  };
  if (!m_skinSupport) {
    dc.FillRect(client, clBtnFace);
  } else {
    const int index = m_skinData->FormInfo().BGPictureIndex;
    const auto& pictures = m_skinData->ActivePictures();
    // An index that names no picture counts as none.
    if (index >= 0 && index < static_cast<int>(pictures.size()) && !pictures[static_cast<std::size_t>(index)].IsEmpty()) {
      const Bitmap& bg = pictures[static_cast<std::size_t>(index)];
      tile(bg, bg.Bounds());
    } else if (m_skinData->FormInfo().ClientRect.IsEmpty()) {
      dc.FillRect(client, clBtnFace);
    } else {
      tile(m_skinData->Picture(), m_skinData->FormInfo().ClientRect);
    }
  }
  if (m_logo.IsEmpty()) return;
  const int x = std::max(0, cw / 2 - m_logo.Width() / 2);
  const int y = std::max(0, chh / 2 - m_logo.Height() / 2);
  DC ldc(m_logo);
  if (m_logoTransparent) {
    const Color key = m_logo.GetPixelColor(0, m_logo.Height() - 1);
    dc.TransparentBlt(x, y, m_logo.Width(), m_logo.Height(), ldc, 0, 0, m_logo.Width(), m_logo.Height(), key);
  } else {
    dc.BitBlt(x, y, m_logo.Width(), m_logo.Height(), ldc, 0, 0, SRCCOPY);
  }
}
