// TSpeedButton: states, groups, glyph and caption layout, flat and raised looks.
#include "toolkit/Buttons.h"

#include <algorithm>

#include "toolkit/Reader.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), m_glyph(std::make_unique<TBitmap>()) {
  m_controlStyle = csCaptureMouse | csDoubleClicks | csOpaque;
  m_glyph->OnChange = [this](TObject*) { Invalidate(); };
  SetParentColor(true);
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() { m_glyph->OnChange = nullptr; }

void TSpeedButton::SetNumGlyphs(int n) {
  n = std::clamp(n, 1, 4);
  if (n == m_numGlyphs) return;
  m_numGlyphs = n;
  Invalidate();
}

void TSpeedButton::SetFlat(bool on) {
  if (on == m_flat) return;
  m_flat = on;
  if (on) m_controlStyle &= ~csOpaque;
  else m_controlStyle |= csOpaque;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int index) {
  if (index == m_groupIndex) return;
  m_groupIndex = index;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool on) {
  if (on == m_allowAllUp) return;
  m_allowAllUp = on;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool on) {
  if (m_groupIndex == 0) on = false;  // only grouped buttons stay down
  if (on == m_down) return;
  if (m_down && !on && !m_allowAllUp) return;  // one of the group stays down
  m_down = on;
  if (on) {
    if (m_state == TButtonState::bsUp) m_state = TButtonState::bsExclusive;
  } else {
    m_state = TButtonState::bsUp;
  }
  Invalidate();
  if (on) UpdateExclusive();
}

// Tells the other buttons of the group (and copies AllowAllUp to them).
void TSpeedButton::UpdateExclusive() {
  if (m_groupIndex == 0 || !m_parent) return;
  for (int i = 0; i < m_parent->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(m_parent->Controls(i));
    if (!other || other == this || other->m_groupIndex != m_groupIndex) continue;
    if (m_down && other->m_down) {
      other->m_down = false;
      other->m_state = TButtonState::bsUp;
      other->Invalidate();
    }
    other->m_allowAllUp = m_allowAllUp;
  }
}

void TSpeedButton::SetLayout(TButtonLayout l) {
  m_layout = l;
  Invalidate();
}

void TSpeedButton::SetSpacing(int s) {
  m_spacing = s;
  Invalidate();
}

void TSpeedButton::SetMargin(int m) {
  m_margin = m;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool on) {
  m_transparent = on;
  Invalidate();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !Enabled()) return;
  if (!m_down) {
    m_state = TButtonState::bsDown;
    Invalidate();
  }
  m_dragging = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!m_dragging) return;
  TButtonState wanted = TButtonState::bsUp;
  if (ClientRect().Contains({x, y})) wanted = TButtonState::bsDown;
  if (m_down) wanted = TButtonState::bsExclusive;
  if (wanted != m_state) {
    m_state = wanted;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && m_dragging) {
    m_dragging = false;
    bool inside = ClientRect().Contains({x, y});
    if (m_groupIndex == 0) {
      m_state = TButtonState::bsUp;
      Invalidate();
    } else if (inside) {
      // A click toggles a grouped button (down stays down unless AllowAllUp).
      SetDown(!m_down);
      if (m_down) m_state = TButtonState::bsExclusive;
      else m_state = TButtonState::bsUp;
      Invalidate();
    } else {
      m_state = m_down ? TButtonState::bsExclusive : TButtonState::bsUp;
      Invalidate();
    }
    std::shared_ptr<bool> alive = m_alive;
    if (inside) Click();
    if (!*alive) return;
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
      m_mouseInControl = true;
      if (m_flat && Enabled()) Invalidate();
      break;
    case CM_MOUSELEAVE:
      m_mouseInControl = false;
      if (m_flat && Enabled()) Invalidate();
      break;
    case CM_DIALOGCHAR:
      if (m.WParam < 0x80 && IsAccel(static_cast<char>(m.WParam), Text()) && Enabled() && Visible()) {
        Click();
        m.Result = 1;
      }
      return;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) {
        m_mouseInControl = false;
        m_dragging = false;
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TSpeedButton::DrawGlyph(TCanvas& canvas, const Rect& area, TButtonState state) {
  if (m_glyph->Empty()) return;
  int w = m_glyph->Width() / m_numGlyphs;
  int h = m_glyph->Height();
  int index = 0;
  switch (state) {
    case TButtonState::bsDisabled: index = m_numGlyphs > 1 ? 1 : 0; break;
    case TButtonState::bsDown: index = m_numGlyphs > 2 ? 2 : 0; break;
    case TButtonState::bsExclusive: index = m_numGlyphs > 3 ? 3 : (m_numGlyphs > 2 ? 2 : 0); break;
    default: break;
  }
  TBitmap part(w, h);
  part.Image().SetHasAlpha(m_glyph->Image().HasAlpha());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) part.Image().Set(x, y, m_glyph->Image().At(index * w + x, y));
  // Glyphs without alpha are drawn with their bottom-left colour left out.
  if (!part.Image().HasAlpha()) part.SetTransparent(true);
  if (state == TButtonState::bsDisabled && m_numGlyphs == 1) {
    // No disabled image of its own: the shape in shadow over a highlight offset.
    Bitmap& img = part.Image();
    Color key = part.TransparentColor();
    Bitmap grey(w, h, 0);
    grey.SetHasAlpha(true);
    Pixel light = ColorToPixel(ColorToRGB(clBtnHighlight));
    Pixel dark = ColorToPixel(ColorToRGB(clBtnShadow));
    auto ink = [&](int x, int y) {
      Pixel p = img.At(x, y);
      if (img.HasAlpha()) return PixelA(p) >= 128;
      return PixelToColor(p) != key;
    };
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (ink(x, y) && x + 1 < w && y + 1 < h) grey.Set(x + 1, y + 1, light);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (ink(x, y)) grey.Set(x, y, dark);
    part.SetImage(std::move(grey));
  }
  canvas.Draw(area.left, area.top, &part);
}

void TSpeedButton::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  TButtonState state = Enabled() ? m_state : TButtonState::bsDisabled;
  if (!Enabled()) state = TButtonState::bsDisabled;
  else if (m_down && state == TButtonState::bsUp) state = TButtonState::bsExclusive;
  bool pressed = state == TButtonState::bsDown || state == TButtonState::bsExclusive;
  if (!m_flat || !m_transparent) {
    c.Brush().SetColor(m_flat ? GetColor() : clBtnFace);
    c.FillRect(r);
  }
  Rect inner = r;
  if (m_flat) {
    if (pressed) Frame3D(c, inner, clBtnShadow, clBtnHighlight, 1);
    else if (m_mouseInControl && Enabled()) Frame3D(c, inner, clBtnHighlight, clBtnShadow, 1);
  } else if (pressed) {
    Frame3D(c, inner, cl3DDkShadow, clBtnHighlight, 1);
    Frame3D(c, inner, clBtnShadow, clBtnFace, 1);
  } else {
    Frame3D(c, inner, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(c, inner, clBtnFace, clBtnShadow, 1);
  }
  int offset = pressed ? 1 : 0;
  std::string caption = Text();
  c.SetFont(Font());
  Size textSize = caption.empty() ? Size() : c.TextExtent(StripHotkey(caption));
  Size glyphSize = m_glyph->Empty() ? Size() : Size(m_glyph->Width() / m_numGlyphs, m_glyph->Height());
  int spacing = (caption.empty() || glyphSize.cx == 0) ? 0 : m_spacing;
  bool horizontal = m_layout == TButtonLayout::blGlyphLeft || m_layout == TButtonLayout::blGlyphRight;
  int total = horizontal ? glyphSize.cx + spacing + textSize.cx : glyphSize.cy + spacing + textSize.cy;
  int avail = horizontal ? r.Width() : r.Height();
  int start = m_margin >= 0 ? m_margin : (avail - total) / 2;
  Point glyphAt, textAt;
  if (horizontal) {
    int gy = (r.Height() - glyphSize.cy) / 2, ty = (r.Height() - textSize.cy) / 2;
    if (m_layout == TButtonLayout::blGlyphLeft) {
      glyphAt = {start, gy};
      textAt = {start + glyphSize.cx + spacing, ty};
    } else {
      textAt = {start, ty};
      glyphAt = {start + textSize.cx + spacing, gy};
    }
  } else {
    int gx = (r.Width() - glyphSize.cx) / 2, tx = (r.Width() - textSize.cx) / 2;
    if (m_layout == TButtonLayout::blGlyphTop) {
      glyphAt = {gx, start};
      textAt = {tx, start + glyphSize.cy + spacing};
    } else {
      textAt = {tx, start};
      glyphAt = {gx, start + textSize.cy + spacing};
    }
  }
  if (glyphSize.cx > 0)
    DrawGlyph(c, Rect::FromSize(glyphAt.x + offset, glyphAt.y + offset, glyphSize.cx, glyphSize.cy), state);
  if (!caption.empty()) {
    c.Brush().SetStyle(TBrushStyle::bsClear);
    Rect tr = Rect::FromSize(textAt.x + offset, textAt.y + offset, textSize.cx, textSize.cy);
    if (state == TButtonState::bsDisabled) {
      Rect shifted = tr.Translated(1, 1);
      c.Font().SetColor(clBtnHighlight);
      c.DrawText(caption, shifted, DT_SINGLELINE | DT_NOCLIP);
      c.Font().SetColor(clBtnShadow);
    }
    c.DrawText(caption, tr, DT_SINGLELINE | DT_NOCLIP);
  }
}

TPersistent* TSpeedButton::PropertyObject(std::string_view name) {
  if (SameText(name, "Glyph")) return m_glyph.get();
  return TGraphicControl::PropertyObject(name);
}

bool TSpeedButton::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "NumGlyphs")) SetNumGlyphs(v.AsInt());
  else if (SameText(name, "Flat")) SetFlat(v.AsBool());
  else if (SameText(name, "GroupIndex")) SetGroupIndex(v.AsInt());
  else if (SameText(name, "Down")) SetDown(v.AsBool());
  else if (SameText(name, "AllowAllUp")) SetAllowAllUp(v.AsBool());
  else if (SameText(name, "Layout"))
    SetLayout(static_cast<TButtonLayout>(v.AsEnum({{"blGlyphLeft", 0}, {"blGlyphRight", 1}, {"blGlyphTop", 2}, {"blGlyphBottom", 3}})));
  else if (SameText(name, "Spacing")) SetSpacing(v.AsInt());
  else if (SameText(name, "Margin")) SetMargin(v.AsInt());
  else if (SameText(name, "Transparent")) SetTransparent(v.AsBool());
  else return TGraphicControl::ReadProperty(name, v, reader);
  return true;
}
