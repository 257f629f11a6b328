// skinpack preview: composes a contact sheet of a skin from its pictures and records with
// the same image routines the frame and the controls use.
#include "tools/skinpack/preview.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "skin/controls/skImageDraw.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinRecords.h"

namespace {

constexpr Color kSheet = RGB(250, 250, 251);
constexpr Color kLabel = RGB(90, 96, 106);
constexpr int kGap = 16;

// The sheet grows as parts are added; the cursor runs left to right, then row by row.
class Sheet {
 public:
  Sheet() : m_bitmap(1600, 10, ColorToPixel(kSheet)) {}

  // Reserves a w x h cell (plus a label line above it) and returns its top-left corner.
  Point Place(int w, int h, std::string_view label) {
    constexpr int labelHeight = 15;
    if (m_x > kGap && m_x + w > m_bitmap.Width() - kGap) NewRow();
    const Point at{m_x, m_y + labelHeight};
    Grow(at.y + h + kGap);
    Text(m_x, m_y, label, kLabel);
    m_x += std::max(w, TextWidth(label)) + kGap;
    m_rowHeight = std::max(m_rowHeight, labelHeight + h);
    return at;
  }
  void NewRow() {
    m_y += m_rowHeight + kGap;
    m_x = kGap;
    m_rowHeight = 0;
  }
  void Heading(std::string_view text) {
    if (m_x > kGap) NewRow();
    Grow(m_y + 30);
    Text(kGap, m_y, text, RGB(43, 47, 54), true);
    m_y += 24;
  }
  void Draw(const Bitmap& image, Point at) {
    Grow(at.y + image.Height() + kGap);
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x)
        if (m_bitmap.Contains(at.x + x, at.y + y)) m_bitmap.Set(at.x + x, at.y + y, image.At(x, y) | 0xFF000000u);
  }
  Bitmap Finish() {
    m_bitmap.SetSize(m_bitmap.Width(), m_y + m_rowHeight + kGap, ColorToPixel(kSheet));
    return std::move(m_bitmap);
  }

 private:
  void Grow(int height) {
    if (height > m_bitmap.Height()) m_bitmap.SetSize(m_bitmap.Width(), height + 200, ColorToPixel(kSheet));
  }
  Font LabelFont(bool bold) const { return Font(FontSpec{"DejaVu Sans", -11, bold}); }
  int TextWidth(std::string_view text) const { return LabelFont(false).TextWidth(text); }
  void Text(int x, int y, std::string_view text, Color c, bool bold = false) {
    DC dc(m_bitmap);
    dc.SelectFont(LabelFont(bold));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(c);
    dc.TextOut(x, y, text);
  }

  Bitmap m_bitmap;
  int m_x = kGap, m_y = kGap, m_rowHeight = 0;
};

const Bitmap* PictureOf(const TskSkinData& data, int index) {
  const auto& list = data.ActivePictures();
  return index >= 0 && index < static_cast<int>(list.size()) ? &list[index] : nullptr;
}

Bitmap Copy(const Bitmap& picture, const Rect& r) {
  Bitmap out(std::max(r.Width(), 1), std::max(r.Height(), 1), ColorToPixel(kSheet));
  if (!r.IsEmpty()) CopySkinRect(out, {0, 0, r.Width(), r.Height()}, picture, r);
  return out;
}

// A control's image at w x h from the state rectangle `r`, composed by its resize mode.
Bitmap ElementImage(const Bitmap& picture, const Rect& r, const NinePartGeometry& g, int w, int h) {
  Bitmap out;
  switch (GetSkinResizeMode(r, g)) {
    case SkinResizeMode::NoImage:
      return Bitmap(1, 1, ColorToPixel(kSheet));
    case SkinResizeMode::Fixed:
      return Copy(picture, r);
    case SkinResizeMode::Both: {
      const SizedNinePart sized = DeriveNinePart(SkinResizeMode::Both, r, g, w, h);
      BuildNinePartImage(out, g, sized.parts, r, picture, sized.width, sized.height, true);
      return out;
    }
    case SkinResizeMode::Horizontal:
      BuildHStripImage(out, g.leftTop.x, r.Width() - g.rightTop.x, r, picture, w);
      return out;
    case SkinResizeMode::Vertical:
      BuildVStripImage(out, g.leftTop.y, r.Height() - g.leftBottom.y, r, picture, h);
      return out;
  }
  return out;
}

NinePartGeometry GeometryOf(const TskDataSkinCustomControl& c) {
  return {c.LeftTopPoint, c.RightTopPoint, c.LeftBottomPoint, c.RightBottomPoint, c.ClientRect};
}

FontSpec SkinFont(const std::string& name, int height, SkinFontStyles style) {
  FontSpec spec;
  spec.face = name.empty() ? std::string(SkinDefaultFontName) : name;
  spec.height = height;
  spec.bold = style & SkinFontBold;
  spec.italic = style & SkinFontItalic;
  spec.underline = style & SkinFontUnderline;
  return spec;
}

// Draws text in a skin font inside r: left-aligned at r.left + indent, or centred.
void SkinText(Bitmap& target, const Rect& r, std::string_view text, const FontSpec& font, Color c,
              bool centre, int indent = 0) {
  DC dc(target);
  dc.IntersectClipRect(r);
  dc.SelectFont(Font(font));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(c);
  const Size size = dc.GetTextExtent(text);
  const int x = centre ? r.left + (r.Width() - size.cx) / 2 : r.left + indent;
  dc.TextOut(x, r.top + (r.Height() - size.cy) / 2, text);
}

void Blit(Bitmap& target, const Bitmap& image, Point at) {
  CopySkinRect(target, Rect::FromSize(at, image.GetSize()), image, image.Bounds());
}

template <typename Record>
const Record* Find(const TskSkinData& data, std::string_view name) {
  const int i = data.FindControlIndex(name);
  return i < 0 ? nullptr : dynamic_cast<const Record*>(data.ControlList()[i].get());
}

// ---- the frame

// Where a frame object lands for a window grown by (dX, dY): its zone rule.
Rect PlaceObject(const Rect& r, const SkinFormInfo& f, int pw, int ph, int dX, int dY) {
  const Rect tl{0, 0, f.LeftTopPoint.x, f.LeftTopPoint.y};
  const Rect bl{0, f.LeftBottomPoint.y, f.LeftBottomPoint.x, ph};
  const Rect tr{f.RightTopPoint.x, 0, pw, f.RightTopPoint.y};
  const Rect br{f.RightBottomPoint.x, f.RightBottomPoint.y, pw, ph};
  const Point a = r.TopLeft(), b = r.BottomRight();
  auto in = [](const Rect& z, Point p) { return p.x >= z.left && p.x < z.right && p.y >= z.top && p.y < z.bottom; };
  Rect o = r;
  if (in(tl, a) && in(tl, b)) return o;
  if (in(tr, a) && in(tr, b)) return o.Translated(dX, 0);
  if (in(bl, a) && in(bl, b)) return o.Translated(0, dY);
  if (in(br, a) && in(br, b)) return o.Translated(dX, dY);
  if (in(tl, a) && in(br, b)) return {o.left, o.top, o.right + dX, o.bottom + dY};
  if (in(tl, a) && in(tr, b)) return {o.left, o.top, o.right + dX, o.bottom};
  if (in(bl, a) && in(br, b)) return Rect{o.left, o.top, o.right + dX, o.bottom}.Translated(0, dY);
  if (in(tl, a) && in(bl, b)) return {o.left, o.top, o.right, o.bottom + dY};
  if (in(tr, a) && in(br, b)) return Rect{o.left, o.top, o.right, o.bottom + dY}.Translated(dX, 0);
  return o;
}

struct Frame {
  Bitmap image;
  Rect client;
};

// The window at w x h as the frame paints it: four border images, the client background
// tiled from the picture, the objects at their places, and outside the mask the sheet.
// `hover` names an object to show in its active image.
Frame ComposeFrame(const TskSkinData& data, int w, int h, bool active, std::string_view hover,
                   std::string_view caption) {
  const SkinFormInfo& f = data.FormInfo();
  const Bitmap& main = data.Picture();
  const Bitmap& source = active || data.InactivePicture().IsEmpty() ? main : data.InactivePicture();
  const int pw = main.Width(), ph = main.Height(), dW = w - pw, dH = h - ph;
  const NinePartGeometry g{f.LeftTopPoint, f.RightTopPoint, f.LeftBottomPoint, f.RightBottomPoint, f.ClientRect};
  const Rect ncr{f.ClientRect.left, f.ClientRect.top, f.ClientRect.right + dW, f.ClientRect.bottom + dH};
  const NinePartGeometry n{f.LeftTopPoint, f.RightTopPoint.Translated(dW, 0), f.LeftBottomPoint.Translated(0, dH),
                           f.RightBottomPoint.Translated(dW, dH), ncr};
  Frame frame{Bitmap(w, h, ColorToPixel(kSheet)), ncr};
  BorderStrips strips = BuildBorderStripsStretched(
      g, n, {0, 0, pw, ph}, source, w, h, {f.TopStretch, f.BottomStretch, f.LeftStretch, f.RightStretch});

  // Objects go into the top or bottom image, as the frame draws them.
  for (const auto& record : data.ObjectList()) {
    if (record->SkinRectInAPicture) continue;
    const Rect at = PlaceObject(record->SkinRect, f, pw, ph, dW, dH);
    if (const auto* cap = dynamic_cast<const TskDataSkinCaption*>(record.get())) {
      const Rect text{at.left + cap->TextRect.left, at.top + cap->TextRect.top,
                      at.left + at.Width() + cap->TextRect.right - cap->SkinRect.Width(),
                      at.top + cap->TextRect.bottom};
      SkinText(strips.top, text, caption, SkinFont(cap->FontName, cap->FontHeight, cap->FontStyle),
               active ? cap->ActiveFontColor : cap->FontColor, cap->Alignment == SkinAlignment::Center);
    } else if (record->Name == hover && active) {
      if (const Bitmap* pic = PictureOf(data, record->ActivePictureIndex))
        CopySkinRect(strips.top, at, *pic, record->ActiveSkinRect);
    }
  }
  Blit(frame.image, strips.top, {0, 0});
  Blit(frame.image, strips.left, {0, strips.top.Height()});
  Blit(frame.image, strips.right, {w - strips.right.Width(), strips.top.Height()});
  Blit(frame.image, strips.bottom, {0, h - strips.bottom.Height()});

  // Client background: the picture's client rectangle repeated from the client's corner.
  if (f.BGPictureIndex == -1 && !f.ClientRect.IsEmpty()) {
    Bitmap tile;
    TileArea(tile, f.ClientRect, ncr.GetSize(), {0, 0, 0, 0}, main, ncr.Width(), ncr.Height());
    Blit(frame.image, tile, ncr.TopLeft());
  }

  // The window's shape: the scaled mask area plus the black pixels of the mask's strips.
  const Bitmap& mask = data.Mask();
  if (!mask.IsEmpty()) {
    const Rect ma = f.MaskRectArea;
    const Rect nma{ma.left, ma.top, ma.right + dW, ma.bottom + dH};
    const BorderStrips m = BuildBorderStrips({g.leftTop, g.rightTop, g.leftBottom, g.rightBottom, ma},
                                             {n.leftTop, n.rightTop, n.leftBottom, n.rightBottom, nma}, mask, w, h);
    auto black = [](const Bitmap& b, int x, int y) { return b.Contains(x, y) && (b.At(x, y) & 0xFFFFFF) == 0; };
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        bool inside = nma.Contains(Point{x, y});
        if (!inside) {
          if (y < nma.top) inside = black(m.top, x, y);
          else if (y < nma.bottom) inside = x >= nma.right ? black(m.right, x - nma.right, y - nma.top) : black(m.left, x, y - nma.top);
          else inside = black(m.bottom, x, y - nma.bottom);
        }
        if (!inside) frame.image.Set(x, y, ColorToPixel(kSheet));
      }
  }
  return frame;
}

// ---- sample controls inside the large frame

void SampleControls(const TskSkinData& data, Bitmap& target, const Rect& client) {
  const int x0 = client.left, y0 = client.top;
  // A framed panel under everything, a tool bar along its top.
  if (const auto* panel = Find<TskDataSkinPanelControl>(data, "panel"))
    if (const Bitmap* pic = PictureOf(data, panel->PictureIndex))
      Blit(target, ElementImage(*pic, panel->SkinRect, GeometryOf(*panel), client.Width(), client.Height()), client.TopLeft());
  const auto* label = Find<TskDataSkinStdLabelControl>(data, "stdlabel");
  auto labelAt = [&](int x, int y, std::string_view text) {
    if (label) SkinText(target, {x, y, x + 120, y + 21}, text, SkinFont(label->FontName, label->FontHeight, label->FontStyle), label->FontColor, false);
  };
  if (const auto* tool = Find<TskDataSkinPanelControl>(data, "toolpanel"))
    if (const Bitmap* pic = PictureOf(data, tool->PictureIndex))
      Blit(target, ElementImage(*pic, tool->SkinRect, GeometryOf(*tool), client.Width() - 4, 27), {x0 + 2, y0 + 2});
  if (const auto* tb = Find<TskDataSkinButtonControl>(data, "toolbutton"))
    if (const Bitmap* pic = PictureOf(data, tb->PictureIndex)) {
      const Rect states[] = {tb->SkinRect, tb->ActiveSkinRect, tb->DownSkinRect, tb->SkinRect};
      const Color colours[] = {tb->FontColor, tb->ActiveFontColor, tb->DownFontColor, tb->FontColor};
      const char* letters[] = {"B", "I", "?", "i"};
      for (int i = 0; i < 4; ++i) {
        const Point at{x0 + 6 + 27 * i, y0 + 4};
        Blit(target, ElementImage(*pic, states[i], GeometryOf(*tb), 25, 22), at);
        SkinText(target, Rect::FromSize(at, {25, 22}), letters[i], SkinFont(tb->FontName, 13, i == 0 ? SkinFontStyles{SkinFontBold} : SkinFontStyles{0}), colours[i], true);
      }
    }
  int y = y0 + 40;
  labelAt(x0 + 12, y, "输入文字:");
  if (const auto* edit = Find<TskDataSkinEditControl>(data, "edit"))
    if (const Bitmap* pic = PictureOf(data, edit->PictureIndex)) {
      for (int i = 0; i < 2; ++i) {
        const Point at{x0 + 90 + 200 * i, y};
        Blit(target, ElementImage(*pic, i ? edit->ActiveSkinRect : edit->SkinRect, GeometryOf(*edit), 180, 21), at);
        const Rect text{at.x + edit->ClientRect.left, at.y + edit->ClientRect.top, at.x + 180 - 3, at.y + edit->ClientRect.bottom};
        SkinText(target, text, i ? "爱 (focused)" : "Kavri 字符画", SkinFont(edit->FontName, edit->FontHeight, edit->FontStyle), edit->FontColor, false, 2);
      }
    }
  y += 32;
  labelAt(x0 + 12, y, "字体:");
  if (const auto* combo = Find<TskDataSkinComboBox>(data, "combobox"))
    if (const Bitmap* pic = PictureOf(data, combo->PictureIndex)) {
      const NinePartGeometry g = GeometryOf(*combo);
      for (int i = 0; i < 3; ++i) {
        const int w = 150;
        const Point at{x0 + 90 + 165 * i, y};
        Blit(target, ElementImage(*pic, combo->SkinRect, g, w, 21), at);
        const int grow = w - combo->SkinRect.Width();
        Rect area{combo->ClientRect.left, combo->ClientRect.top, combo->ClientRect.right + grow, combo->ClientRect.bottom};
        area.Translate(at.x, at.y);
        const Rect item = i == 1 ? combo->FocusItemRect : combo->ItemRect;
        Bitmap itemImage;
        BuildHStripImage(itemImage, combo->ItemLeftOffset, combo->ItemRightOffset, item, *pic, area.Width());
        Blit(target, itemImage, area.TopLeft());
        const Rect text{area.left + combo->ItemTextRect.left, area.top + combo->ItemTextRect.top,
                        area.left + combo->ItemTextRect.right + area.Width() - item.Width(), area.top + combo->ItemTextRect.bottom};
        SkinText(target, text, i == 0 ? "WenQuanYi Micro Hei" : i == 1 ? "12 (focused)" : "14 (button hot)",
                 SkinFont(combo->FontName, combo->FontHeight, combo->FontStyle), i == 1 ? combo->FocusFontColor : combo->FontColor, false);
        const Rect button = combo->ButtonRect.Translated(at.x + grow, at.y);
        if (i == 2) CopySkinRect(target, button, *pic, combo->ActiveButtonRect);
      }
    }
  y += 32;
  if (const auto* button = Find<TskDataSkinButtonControl>(data, "button"))
    if (const Bitmap* pic = PictureOf(data, button->PictureIndex)) {
      const Rect states[] = {button->SkinRect, button->ActiveSkinRect, button->DownSkinRect, button->DisabledSkinRect};
      const Color colours[] = {button->FontColor, button->ActiveFontColor, button->DownFontColor, button->DisabledFontColor};
      const char* captions[] = {"转换", "Convert", "Pressed", "Disabled"};
      for (int i = 0; i < 4; ++i) {
        const Point at{x0 + 90 + 86 * i, y};
        Blit(target, ElementImage(*pic, states[i], GeometryOf(*button), 75, 23), at);
        SkinText(target, Rect::FromSize(at.Translated(i == 2, i == 2), {75, 23}), captions[i],
                 SkinFont(button->FontName, button->FontHeight, button->FontStyle), colours[i], true);
      }
    }
  y += 36;
  // A list with a vertical scroll bar, and a memo with a little character art.
  if (const auto* list = Find<TskDataSkinListBox>(data, "listbox"))
    if (const Bitmap* pic = PictureOf(data, list->PictureIndex)) {
      const int w = 180, h = 148;
      const Point at{x0 + 12, y};
      Blit(target, ElementImage(*pic, list->SkinRect, GeometryOf(*list), w, h), at);
      const Rect c{at.x + list->ClientRect.left, at.y + list->ClientRect.top,
                   at.x + w - (list->SkinRect.Width() - list->ClientRect.right),
                   at.y + h - (list->SkinRect.Height() - list->ClientRect.bottom)};
      int barWidth = 0;
      if (const auto* bar = Find<TskDataSkinScrollBarControl>(data, list->VScrollBarName))
        if (const Bitmap* barPic = PictureOf(data, bar->PictureIndex)) {
          barWidth = bar->SkinRect.Width();
          Blit(target, ElementImage(*barPic, bar->SkinRect, GeometryOf(*bar), barWidth, c.Height()), {c.right - barWidth, c.top});
          Bitmap thumb;
          BuildVStripImage(thumb, bar->ThumbOffset1, bar->ThumbOffset2, bar->ThumbRect, *barPic, 46);
          Blit(target, thumb, {c.right - barWidth, c.top + bar->TrackArea.top + 10});
        }
      const char* items[] = {"GB312", "English", "宋体", "黑体", "WenQuanYi", "DejaVu Sans", "Arial", "Tahoma"};
      const int itemHeight = list->ItemRect.Height();
      for (int i = 0; i < 8 && c.top + itemHeight * (i + 1) <= c.bottom; ++i) {
        const Rect item = i == 2 ? list->FocusItemRect : i == 5 ? list->ActiveItemRect : list->ItemRect;
        Bitmap image;
        BuildHStripImage(image, list->ItemLeftOffset, list->ItemRightOffset, item, *pic, c.Width() - barWidth);
        const Point ip{c.left, c.top + itemHeight * i};
        Blit(target, image, ip);
        const Color colour = i == 2 ? list->FocusFontColor : i == 5 ? list->ActiveFontColor : list->FontColor;
        const Rect text{ip.x + list->ItemTextRect.left, ip.y, ip.x + image.Width() - (item.Width() - list->ItemTextRect.right), ip.y + itemHeight};
        SkinText(target, text, items[i], SkinFont(list->FontName, list->FontHeight, list->FontStyle), colour, false);
      }
    }
  if (const auto* memo = Find<TskDataSkinMemoControl>(data, "memo"))
    if (const Bitmap* pic = PictureOf(data, memo->PictureIndex)) {
      const int w = 300, h = 148;
      const Point at{x0 + 206, y};
      Blit(target, ElementImage(*pic, memo->SkinRect, GeometryOf(*memo), w, h), at);
      const char* art[] = {"　爱爱　　爱爱", "爱爱爱爱爱爱爱爱", "爱爱爱爱爱爱爱爱", "　爱爱爱爱爱爱", "　　爱爱爱爱", "　　　爱爱"};
      for (int i = 0; i < 6; ++i)
        SkinText(target, {at.x + 8, at.y + 8 + 18 * i, at.x + w - 8, at.y + 26 + 18 * i}, art[i],
                 SkinFont(memo->FontName, memo->FontHeight, memo->FontStyle), memo->FontColor, false);
    }
  y += 160;
  if (const auto* split = Find<TskDataSkinSplitterControl>(data, "hsplitter"))
    if (const Bitmap* pic = PictureOf(data, split->PictureIndex))
      Blit(target, ElementImage(*pic, split->SkinRect, GeometryOf(*split), client.Width() - 4, split->SkinRect.Height()), {x0 + 2, y});
  y += 14;
  if (const auto* bar = Find<TskDataSkinScrollBarControl>(data, "hscrollbar"))
    if (const Bitmap* pic = PictureOf(data, bar->PictureIndex)) {
      Blit(target, ElementImage(*pic, bar->SkinRect, GeometryOf(*bar), 300, bar->SkinRect.Height()), {x0 + 12, y});
      Bitmap thumb;
      BuildHStripImage(thumb, bar->ThumbOffset1, bar->ThumbOffset2, bar->ThumbRect, *pic, 80);
      Blit(target, thumb, {x0 + 12 + bar->TrackArea.left + 60, y});
    }
}

// A popup menu as the skinned menus draw one: the window picture around menu items.
Bitmap PopupMenuSample(const TskSkinData& data) {
  const TskDataSkinPopupWindow& p = data.PopupWindow();
  const Bitmap* window = PictureOf(data, p.WindowPictureIndex);
  const TskDataSkinMenuItem* item = nullptr;
  for (const auto& record : data.ObjectList())
    if ((item = dynamic_cast<const TskDataSkinMenuItem*>(record.get()))) break;
  if (!window || !item) return Bitmap(1, 1, ColorToPixel(kSheet));
  const Bitmap* itemPic = PictureOf(data, item->ActivePictureIndex);
  const char* captions[] = {"最小化(N)", "最大化(X)", "-", "关闭(C)     Alt+F4"};
  int itemsHeight = 0;
  for (const char* c : captions) itemsHeight += std::string_view(c) == "-" ? item->DividerRect.Height() : item->SkinRect.Height();
  const int w = 170, h = itemsHeight + window->Height() - p.ItemsRect.Height();
  const NinePartGeometry g{p.LeftTopPoint, p.RightTopPoint, p.LeftBottomPoint, p.RightBottomPoint, p.ItemsRect};
  const SizedNinePart sized = DeriveNinePart(SkinResizeMode::Both, window->Bounds(), g, w, h);
  Bitmap out;
  BuildNinePartImage(out, g, sized.parts, window->Bounds(), *window, w, h, true);
  int y = p.ItemsRect.top;
  const int iw = w - (window->Width() - p.ItemsRect.Width());
  for (int i = 0; i < 4 && itemPic; ++i) {
    Bitmap strip;
    if (std::string_view(captions[i]) == "-") {
      BuildHStripImage(strip, item->DividerLeftOffset, item->DividerRightOffset, item->DividerRect, *itemPic, iw);
    } else {
      BuildHStripImage(strip, item->ItemLeftOffset, item->ItemRightOffset, i == 1 ? item->ActiveSkinRect : item->SkinRect, *itemPic, iw);
      const Rect text{item->TextRect.left + 16, 0, iw - (item->SkinRect.Width() - item->TextRect.right), strip.Height()};
      SkinText(strip, text, captions[i], SkinFont(item->FontName, item->FontHeight, item->FontStyle),
               i == 1 ? item->ActiveFontColor : item->FontColor, false);
    }
    Blit(out, strip, {p.ItemsRect.left, y});
    y += strip.Height();
  }
  if (const Bitmap* mask = PictureOf(data, p.MaskPictureIndex))
    if (const auto region = ResizedMaskToRegion(g, sized.parts, *mask, w, h))
      for (int yy = 0; yy < h; ++yy)
        for (int x = 0; x < w; ++x)
          if (!region->Contains({x, yy})) out.Set(x, yy, ColorToPixel(kSheet));
  return out;
}

// ---- control records

void ShowRecord(Sheet& sheet, const TskSkinData& data, const TskDataSkinControl& record) {
  const std::string name = record.Name + " (" + std::string(record.TypeName()) + ")";
  const Bitmap* pic = PictureOf(data, record.PictureIndex);
  const auto* custom = dynamic_cast<const TskDataSkinCustomControl*>(&record);
  if (!pic || record.SkinRect.IsEmpty()) {
    const auto* fonts = dynamic_cast<const SkinFontFields*>(&record);
    Bitmap sample(150, 20, ColorToPixel(RGB(244, 245, 247)));
    if (fonts) SkinText(sample, sample.Bounds(), "输入文字 Text", SkinFont(fonts->FontName, fonts->FontHeight, fonts->FontStyle), fonts->FontColor, false, 2);
    sheet.Draw(sample, sheet.Place(sample.Width(), sample.Height(), name + ": font only"));
    return;
  }
  const NinePartGeometry g = custom ? GeometryOf(*custom) : NinePartGeometry{};
  const Rect r = record.SkinRect;
  const bool vertical = GetSkinResizeMode(r, g) == SkinResizeMode::Vertical;
  sheet.Draw(ElementImage(*pic, r, g, r.Width(), r.Height()), sheet.Place(r.Width(), r.Height(), name));
  const int w2 = vertical ? r.Width() : 2 * r.Width(), h2 = vertical ? 2 * r.Height() : r.Height();
  const Bitmap doubled = ElementImage(*pic, r, g, w2, h2);
  sheet.Draw(doubled, sheet.Place(doubled.Width(), doubled.Height(), vertical ? "x2 height" : "x2 width"));

  std::vector<std::pair<std::string, Rect>> parts;
  if (const auto* b = dynamic_cast<const TskDataSkinButtonControl*>(&record))
    parts = {{"active", b->ActiveSkinRect}, {"down", b->DownSkinRect}, {"disabled", b->DisabledSkinRect}};
  else if (const auto* e = dynamic_cast<const TskDataSkinEditControl*>(&record))
    parts = {{"active", e->ActiveSkinRect}};
  else if (const auto* c = dynamic_cast<const TskDataSkinComboBox*>(&record))
    parts = {{"item", c->ItemRect}, {"focus item", c->FocusItemRect}, {"button hot", c->ActiveButtonRect},
             {"button down", c->DownButtonRect}};
  else if (const auto* l = dynamic_cast<const TskDataSkinListBox*>(&record))
    parts = {{"item", l->ItemRect}, {"active item", l->ActiveItemRect}, {"focus item", l->FocusItemRect}};
  else if (const auto* s = dynamic_cast<const TskDataSkinScrollBarControl*>(&record))
    parts = {{"up hot", s->ActiveUpButtonRect}, {"up down", s->DownUpButtonRect}, {"down hot", s->ActiveDownButtonRect},
             {"down down", s->DownDownButtonRect}, {"thumb", s->ThumbRect}, {"thumb hot", s->ActiveThumbRect},
             {"thumb down", s->DownThumbRect}};
  for (const auto& [label, rect] : parts) {
    if (rect.IsEmpty()) continue;
    const bool sameGeometry = rect.GetSize() == r.GetSize();
    const Bitmap image = sameGeometry ? ElementImage(*pic, rect, g, w2, h2) : Copy(*pic, rect);
    sheet.Draw(image, sheet.Place(image.Width(), image.Height(), label));
  }
}

}  // namespace

Bitmap BuildSkinPreview(const TskSkinData& data) {
  Sheet sheet;
  sheet.Heading("Skin \"" + data.SkinName() + "\" by " + data.SkinAuthor());
  auto show = [&](const Bitmap& b, const std::string& label) {
    if (!b.IsEmpty()) sheet.Draw(b, sheet.Place(b.Width(), b.Height(), label));
  };
  show(data.Picture(), "picture " + data.PictureName());
  show(data.InactivePicture(), "inactive " + data.InactivePictureName());
  show(data.Mask(), "mask " + data.MaskName());
  for (std::size_t i = 0; i < data.ActivePictures().size(); ++i)
    show(data.ActivePictures()[i], std::to_string(i) + ": " + data.ActivePictureNames()[i]);

  if (!data.Picture().IsEmpty()) {
    sheet.Heading("Frame");
    const std::string caption = "Kavri 字符画";
    show(ComposeFrame(data, 300, 200, true, "", caption).image, "300 x 200, active");
    show(ComposeFrame(data, 300, 200, false, "", caption).image, "300 x 200, inactive");
    show(PopupMenuSample(data), "popup menu");
    sheet.NewRow();
    Frame big = ComposeFrame(data, 640, 480, true, "closebutton", caption + " — 640 x 480");
    SampleControls(data, big.image, big.client);
    show(big.image, "640 x 480, close button hot, sample controls");
  }

  sheet.Heading("Control records: own size, twice the width, state and part images");
  for (const auto& record : data.ControlList()) {
    sheet.NewRow();
    ShowRecord(sheet, data, *record);
  }
  return sheet.Finish();
}
