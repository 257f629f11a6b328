// TskSkinButton and TskSkinSpeedButton: looks, layout, morphing, groups, repeat and keys.
#include "skin/controls/skSkinButtons.h"

#include <algorithm>
#include <vector>

#include "platform/win/WinApi.h"
#include "skin/data/skEffectBmp.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/Reader.h"

namespace {

constexpr unsigned kMorphInterval = 20;

// `active`: the mouse is over the button (or it has the focus), or the look drawn is the
// active one. A grouped button that stays down without the mouse shows cell 1, not 3.
int GlyphCell(SkinButtonLook look, bool active, bool enabled, int numGlyphs) {
  active = active || look == SkinButtonLook::Active;
  if (look == SkinButtonLook::Down && active && numGlyphs > 2) return 3;
  if (active && numGlyphs > 3) return 4;
  if (!enabled && numGlyphs >= 2) return 2;
  return 1;
}

Rect LookRect(const SkinButtonFields& f, SkinButtonLook look) {
  switch (look) {
    case SkinButtonLook::Active: return f.activeSkinRect;
    case SkinButtonLook::Down: return f.downSkinRect;
    case SkinButtonLook::Disabled: return f.disabledSkinRect;
    default: return f.skinRect;
  }
}

Color LookColor(const SkinButtonFields& f, SkinButtonLook look, bool enabled) {
  if (!enabled) return f.disabledFontColor;
  if (look == SkinButtonLook::Down) return f.downFontColor;
  if (look == SkinButtonLook::Active) return f.activeFontColor;
  return f.font.FontColor;
}

void FillFace(TBitmap& bitmap) {
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clBtnFace);
  c.FillRect(bitmap.Image().Bounds());
}

// One skinned look at the button's full size: the state image, then glyph and caption.
void DrawSkinnedLook(TBitmap& bitmap, const SkinButtonCore& core, const ButtonLookContext& ctx,
                     SkinButtonLook look, const ButtonGlyph& glyph) {
  bitmap.SetSize(ctx.width, ctx.height);
  FillFace(bitmap);
  ctx.element->Compose(bitmap, LookRect(core.fields, look), ctx.width, ctx.height);
  TCanvas& c = bitmap.Canvas();
  MakeSkinCaptionFont(c.Font(), *ctx.defaultFont, &core.fields.font, ctx.useSkinFont,
                      LookColor(core.fields, look, ctx.enabled), ctx.data);
  core.DrawContent(c, ctx.element->sized.clientRect, ctx.caption, glyph, look == SkinButtonLook::Down);
}

// The skinned image with the fade between the normal and the active look in progress.
void DrawMorphedLooks(TBitmap& bitmap, const SkinButtonCore& core, const ButtonLookContext& ctx,
                      const ButtonGlyph& normalGlyph, const ButtonGlyph& activeGlyph) {
  TBitmap normal, active;
  DrawSkinnedLook(normal, core, ctx, SkinButtonLook::Normal, normalGlyph);
  DrawSkinnedLook(active, core, ctx, SkinButtonLook::Active, activeGlyph);
  TskEffectBmp a(normal.Image());
  const TskEffectBmp b(active.Image());
  a.MorphWith(core.fields.morphKind, b, core.k);
  bitmap.SetImage(a.ToBitmap());
}

// The default look's background and frame.
void DrawDefaultFace(TCanvas& c, const Rect& r, bool pressed, bool active, bool fill, bool frame) {
  const auto [frameColor, fillColor] = DefaultFace(pressed, active);
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  if (fill) {
    c.Brush().SetColor(fillColor);
    c.FillRect(r);
  }
  if (frame) {
    c.Brush().SetColor(frameColor);
    c.FrameRect(r);
  }
}

void DefaultLookFont(TCanvas& c, const TFont& defaultFont, const TskSkinData* data, bool enabled) {
  c.Font().Assign(&defaultFont);
  c.Font().SetCharset(SkinCharset(data, defaultFont.Charset()));
  if (!enabled) c.Font().SetColor(clBtnShadow);
}

template <class Button>
void ReleaseGroupSiblings(Button* self) {
  TWinControl* parent = self->Parent();
  if (!parent) return;
  std::vector<Button*> siblings;
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* b = dynamic_cast<Button*>(parent->Controls(i));
        b && b != self && b->GroupIndex() == self->GroupIndex() && b->Down())
      siblings.push_back(b);
  for (Button* b : siblings) b->SetDown(false);
}

}  // namespace

TskButtonLayout ReadSkinButtonLayout(const TStreamValue& value) {
  return static_cast<TskButtonLayout>(value.AsEnum(
      {{"blGlyphLeft", 0}, {"blGlyphRight", 1}, {"blGlyphTop", 2}, {"blGlyphBottom", 3}}));
}

ButtonContentPlace PlaceButtonContent(TskButtonLayout layout, int margin, int spacing, Size glyph,
                                      Size text, const Rect& client) {
  const int gw = glyph.cx, gh = glyph.cy, tw = text.cx, th = text.cy, s = spacing;
  const int cx = client.left + client.Width() / 2;
  const int cy = client.top + client.Height() / 2;
  ButtonContentPlace p;
  if (margin != -1) {
    const int m = margin;
    switch (layout) {
      case TskButtonLayout::blGlyphLeft:
        p.glyph = {client.left + m, cy - gh / 2};
        p.text = {client.left + m + gw + s, cy - th / 2};
        break;
      case TskButtonLayout::blGlyphRight:
        p.glyph = {client.right - gw - m, cy - gh / 2};
        p.text = {p.glyph.x - s - tw, cy - th / 2};
        break;
      case TskButtonLayout::blGlyphTop:
        p.glyph = {cx - gw / 2, client.top + m};
        p.text = {cx - tw / 2, p.glyph.y + gh + s};
        break;
      case TskButtonLayout::blGlyphBottom:
        p.glyph = {cx - gw / 2, client.bottom - gh - m};
        p.text = {cx - tw / 2, p.glyph.y - s - th};
        break;
    }
    return p;
  }
  const int w = (gw + tw + s) / 2;
  const int h = (gh + th + s) / 2;
  switch (layout) {
    case TskButtonLayout::blGlyphLeft:
      p.glyph = {cx - w, cy - gh / 2};
      p.text = {cx + w - tw, cy - th / 2};
      break;
    case TskButtonLayout::blGlyphRight:
      p.text = {cx - w, cy - th / 2};
      p.glyph = {cx + w - gw, cy - gh / 2};
      break;
    case TskButtonLayout::blGlyphTop:
      p.glyph = {cx - gw / 2, cy - h};
      p.text = {cx - tw / 2, cy + h - th};
      break;
    case TskButtonLayout::blGlyphBottom:
      p.text = {cx - tw / 2, cy - h};
      p.glyph = {cx - gw / 2, cy + h - gh};
      break;
  }
  return p;
}

SkinButtonFields ReadSkinButtonFields(const TskDataSkinControl& record) {
  SkinButtonFields f;
  f.skinRect = record.SkinRect;
  if (const auto* font = dynamic_cast<const SkinFontFields*>(&record)) f.font = *font;
  if (const auto* b = dynamic_cast<const TskDataSkinButtonControl*>(&record)) {
    f.activeFontColor = b->ActiveFontColor;
    f.downFontColor = b->DownFontColor;
    f.disabledFontColor = b->DisabledFontColor;
    f.activeSkinRect = b->ActiveSkinRect;
    f.downSkinRect = b->DownSkinRect;
    f.disabledSkinRect = b->DisabledSkinRect;
    f.morphing = b->Morphing;
    f.morphKind = static_cast<int>(b->MorphKind);
  }
  if (f.activeSkinRect.IsEmpty()) f.activeSkinRect = f.skinRect;
  if (f.downSkinRect.IsEmpty()) f.downSkinRect = f.activeSkinRect;
  return f;
}

// ---- glyphs

Size ButtonGlyph::Extent() const {
  if (strip && !strip->Empty() && cellCount > 0) return {strip->Width() / cellCount, strip->Height()};
  if (list && listIndex >= 0 && listIndex < list->Count()) return {list->Width(), list->Height()};
  return {0, 0};
}

void ButtonGlyph::Draw(TCanvas& canvas, int x, int y) const {
  if (strip && !strip->Empty()) {
    DrawGlyphFromStrip(*canvas.Handle(), x, y, cell, cellCount, strip->Image());
  } else if (list && listIndex >= 0 && listIndex < list->Count()) {
    list->Draw(canvas, x, y, listIndex, true);
  }
}

// ---- SkinButtonCore

SkinButtonCore::SkinButtonCore(TControl& owner) : m_owner(owner), m_glyph(std::make_unique<TBitmap>()) {
  m_glyph->OnChange = [this](TObject*) { m_owner.Invalidate(); };
}

SkinButtonCore::~SkinButtonCore() {
  // The link goes first: unlinking may reset the owner's OnClick, never the glyph.
  m_actionLink.reset();
  m_glyph->OnChange = nullptr;
}

void SkinButtonCore::SetAction(TAction* action, std::function<void(bool)> setDown) {
  if (!action) {
    if (m_actionLink) m_actionLink->SetAction(nullptr);
    return;
  }
  if (!m_actionLink)
    m_actionLink = std::make_unique<SkinButtonActionLink>(m_owner, std::move(setDown), [this] { TakeActionImage(); });
  m_actionLink->SetAction(action);
}

bool SkinButtonCore::ExecuteAction() {
  TAction* action = Action();
  if (!action || (m_owner.OnClick && !IsActionExecuteHandler(m_owner.OnClick, action))) return false;
  m_actionLink->Execute(&m_owner);
  return true;
}

void SkinButtonCore::TakeActionImage() {
  TAction* action = Action();
  if (!action || !m_glyph->Empty()) return;
  const TImageList* images = action->Images();
  const int index = action->ImageIndex();
  if (!images || index < 0 || index >= images->Count()) return;
  TBitmap glyph;
  glyph.SetSize(images->Width(), images->Height());
  TCanvas& c = glyph.Canvas();
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(static_cast<Color>(0xFF00FF));
  c.FillRect(Rect(0, 0, images->Width(), images->Height()));
  images->Draw(c, 0, 0, index);
  m_glyph->Assign(&glyph);
}

void SkinButtonCore::SetNumGlyphs(int n) {
  n = std::clamp(n, 1, 4);
  if (n == numGlyphs) return;
  numGlyphs = n;
  m_owner.Invalidate();
}

void SkinButtonCore::SetLayout(TskButtonLayout l) {
  if (l == layout) return;
  layout = l;
  m_owner.Invalidate();
}

void SkinButtonCore::SetMargin(int m) {
  if (m < -1 || m == margin) return;
  margin = m;
  m_owner.Invalidate();
}

void SkinButtonCore::SetSpacing(int s) {
  if (s == spacing) return;
  spacing = s;
  m_owner.Invalidate();
}

bool SkinButtonCore::SetDownState(bool on, bool canMorph) {
  if (on == down) return false;
  down = on;
  if (Morphing() && canMorph) {
    k = 1;
    if (on) StopMorph();
    else StartMorph();
  }
  m_owner.Invalidate();
  return groupIndex != 0 && on && !allowAllUp;
}

void SkinButtonCore::ReadRecord(const TskDataSkinControl* record, bool readAnew) {
  hasRecord = record != nullptr;
  if (record && readAnew) fields = ReadSkinButtonFields(*record);
}

void SkinButtonCore::SkinApplied(bool active) {
  StopMorph();
  k = Morphing() && active ? 1 : 0;
}

bool SkinButtonCore::ReadProperty(std::string_view name, const TStreamValue& v) {
  if (SameText(name, "NumGlyphs")) SetNumGlyphs(v.AsInt());
  else if (SameText(name, "Layout")) SetLayout(ReadSkinButtonLayout(v));
  else if (SameText(name, "Margin")) SetMargin(v.AsInt());
  else if (SameText(name, "Spacing")) SetSpacing(v.AsInt());
  else if (SameText(name, "AllowAllUp")) allowAllUp = v.AsBool();
  else if (SameText(name, "RepeatMode")) repeatMode = v.AsBool();
  else if (SameText(name, "RepeatInterval")) repeatInterval = v.AsInt();
  else return false;
  return true;
}

void SkinButtonCore::StartMorph() {
  if (!m_morphTimer) {
    m_morphTimer = std::make_unique<TTimer>(nullptr);
    m_morphTimer->SetEnabled(false);
    m_morphTimer->SetInterval(kMorphInterval);
    m_morphTimer->OnTimer = [this](TObject*) { MorphStep(); };
  }
  m_morphTimer->SetEnabled(true);
}

void SkinButtonCore::StopMorph() {
  if (m_morphTimer) m_morphTimer->SetEnabled(false);
}

bool SkinButtonCore::MorphRunning() const { return m_morphTimer && m_morphTimer->Enabled(); }

void SkinButtonCore::MorphStep() {
  const bool active = isActive && isActive();
  if (!Morphing()) {
    k = active ? 1 : 0;
    StopMorph();
  } else if (active && k < 1) {
    k = std::min(1.0, k + 0.2);
  } else if (!active && k > 0) {
    k = std::max(0.0, k - 0.2);
  } else {
    k = active ? 1 : 0;
    StopMorph();
  }
  if (repaint) repaint();
}

void SkinButtonCore::StartRepeat() {
  if (!m_repeatTimer) {
    m_repeatTimer = std::make_unique<TTimer>(nullptr);
    m_repeatTimer->SetEnabled(false);
    m_repeatTimer->OnTimer = [this](TObject*) {
      // The click may destroy the button and this timer with it: nothing runs after it.
      if (repeatClick) repeatClick();
    };
  }
  m_repeatTimer->SetEnabled(false);
  m_repeatTimer->SetInterval(static_cast<unsigned>(std::max(1, repeatInterval)));
  m_repeatTimer->SetEnabled(true);
}

void SkinButtonCore::StopRepeat() {
  if (m_repeatTimer) m_repeatTimer->SetEnabled(false);
}

bool SkinButtonCore::RepeatRunning() const { return m_repeatTimer && m_repeatTimer->Enabled(); }

void SkinButtonCore::ChangeLook() {
  if (Morphing()) StartMorph();
  else if (repaint) repaint();
}

void SkinButtonCore::DrawContent(TCanvas& canvas, const Rect& client, const std::string& caption,
                                 const ButtonGlyph& glyph, bool shifted) const {
  const Size glyphSize = glyph.Extent();
  Size textSize;
  if (!caption.empty()) {
    Rect measure(0, 0, 1 << 20, 0);
    canvas.DrawText(caption, measure, DT_SINGLELINE | DT_CALCRECT);
    textSize = {measure.Width(), measure.Height()};
  }
  const ButtonContentPlace p = PlaceButtonContent(layout, margin, spacing, glyphSize, textSize, client);
  const int offset = shifted ? 1 : 0;
  if (!caption.empty()) {
    Rect tr = Rect::FromSize(p.text.x + offset, p.text.y + offset, textSize.cx + 2, textSize.cy);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.DrawText(caption, tr, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  glyph.Draw(canvas, p.glyph.x + offset, p.glyph.y + offset);
}

// ---- TskSkinButton

TskSkinButton::TskSkinButton(TComponent* owner) : TskSkinCustomControl(owner), m_core(*this) {
  // Clicks come from the button's own press and release rules.
  m_controlStyle &= ~csClickEvents;
  m_controlStyle |= csOpaque;
  m_core.isActive = [this] { return Active(); };
  m_core.repaint = [this] { Invalidate(); };
  m_core.repeatClick = [this] { Click(); };
  SetSkinDataName("button");
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

TskSkinButton::~TskSkinButton() = default;

bool TskSkinButton::Active() const {
  return m_core.mouseInside || (m_canFocused && Focused());
}

bool TskSkinButton::PressedLook() const {
  return m_core.down && (m_core.groupIndex != 0 || m_core.mouseInside || (Focused() && !m_core.held));
}

SkinButtonLook TskSkinButton::CurrentLook() const {
  const bool enabled = Enabled();
  if (m_core.hasRecord) {
    if (!enabled && !m_core.fields.disabledSkinRect.IsEmpty()) return SkinButtonLook::Disabled;
    if (PressedLook()) return SkinButtonLook::Down;
    if (Focused() || m_core.mouseInside) return SkinButtonLook::Active;
    if (m_core.Morphing() && m_core.k == 1) return SkinButtonLook::Active;
    return SkinButtonLook::Normal;
  }
  if (PressedLook()) return SkinButtonLook::Down;
  if (Active()) return SkinButtonLook::Active;
  return enabled ? SkinButtonLook::Normal : SkinButtonLook::Disabled;
}

ButtonLookContext TskSkinButton::LookContext() const {
  ButtonLookContext ctx;
  ctx.element = &m_element;
  ctx.defaultFont = &DefaultFont();
  ctx.useSkinFont = UseSkinFont();
  ctx.data = SkinData();
  ctx.enabled = Enabled();
  ctx.caption = Caption();
  ctx.width = Width();
  ctx.height = Height();
  return ctx;
}

void TskSkinButton::SetDown(bool on) {
  if (m_core.SetDownState(on, true)) ReleaseGroupSiblings(this);
}

void TskSkinButton::SetGroupIndex(int g) {
  m_core.groupIndex = g;
  if (g != 0) SetCanFocused(false);
}

void TskSkinButton::SetCanFocused(bool on) {
  m_canFocused = on;
  SetTabStop(on);
}

void TskSkinButton::SetDefault(bool on) {
  m_default = on;
  TCustomForm* form = GetParentForm();
  UpdateActiveDefaults(form ? form->ActiveControl() : nullptr);
}

void TskSkinButton::SetActiveDefault(bool on) {
  if (on == m_activeDefault) return;
  m_activeDefault = on;
  if (Focused()) return;
  if (on) {
    if (m_core.Morphing()) {
      m_core.k = 1;
      m_core.StopMorph();
    }
  } else {
    m_core.mouseInside = false;
    if (m_core.Morphing()) {
      m_core.k = 0;
      m_core.StopMorph();
    }
  }
  Invalidate();
}

void TskSkinButton::UpdateActiveDefaults(TWinControl* focused) {
  TWinControl* root = GetParentForm();
  // A form taking its windows down moves the focus as it goes: nothing to show then.
  if (HasState(csDestroying) || (root && root->HasState(csDestroying))) return;
  if (!root) {
    SetActiveDefault(focused == this || (!dynamic_cast<TskSkinButton*>(focused) && m_default));
    return;
  }
  auto* focusedButton = dynamic_cast<TskSkinButton*>(focused);
  std::vector<TskSkinButton*> buttons;
  std::vector<TWinControl*> stack{root};
  while (!stack.empty()) {
    TWinControl* w = stack.back();
    stack.pop_back();
    for (int i = 0; i < w->ControlCount(); ++i) {
      if (auto* b = dynamic_cast<TskSkinButton*>(w->Controls(i))) buttons.push_back(b);
      if (auto* child = dynamic_cast<TWinControl*>(w->Controls(i))) stack.push_back(child);
    }
  }
  for (TskSkinButton* b : buttons) b->SetActiveDefault(focusedButton ? b == focusedButton : b->m_default);
}

void TskSkinButton::Click() {
  std::shared_ptr<bool> alive = m_alive;
  if (m_canFocused)
    if (TCustomForm* form = GetParentForm()) form->SetModalResult(m_modalResult);
  if (!*alive || m_core.ExecuteAction()) return;
  TskSkinCustomControl::Click();
}

void TskSkinButton::SetAction(TAction* action) {
  m_core.SetAction(action, [this](bool on) { SetDown(on); });
}

void TskSkinButton::ReadSkinRecord() {
  TskSkinCustomControl::ReadSkinRecord();
  m_core.ReadRecord(SkinRecord(), m_custom.ReadAnew());
}

void TskSkinButton::BeginSkinChange() {
  TskSkinCustomControl::BeginSkinChange();
  m_core.hasRecord = false;
}

void TskSkinButton::ApplySkin() {
  TskSkinCustomControl::ApplySkin();
  m_core.SkinApplied(Active());
}

void TskSkinButton::DrawSkinImage(TBitmap& bitmap) {
  const ButtonLookContext ctx = LookContext();
  auto glyphFor = [this](SkinButtonLook look) {
    return ButtonGlyph{&m_core.Glyph(), m_core.numGlyphs, GlyphCell(look, Active(), Enabled(), m_core.numGlyphs)};
  };
  if (m_core.k > 0 && m_core.k < 1 && Enabled()) {
    DrawMorphedLooks(bitmap, m_core, ctx, glyphFor(SkinButtonLook::Normal), glyphFor(SkinButtonLook::Active));
    return;
  }
  const SkinButtonLook look = CurrentLook();
  DrawSkinnedLook(bitmap, m_core, ctx, look, glyphFor(look));
}

void TskSkinButton::DrawDefaultImage(TBitmap& bitmap) {
  TCanvas& c = bitmap.Canvas();
  const Rect r(0, 0, Width(), Height());
  const bool pressed = PressedLook();
  DrawDefaultFace(c, r, pressed, !pressed && Active(), true, true);
  DefaultLookFont(c, DefaultFont(), SkinData(), Enabled());
  const SkinButtonLook look = CurrentLook();
  m_core.DrawContent(c, r, Caption(),
                     ButtonGlyph{&m_core.Glyph(), m_core.numGlyphs, GlyphCell(look, Active(), Enabled(), m_core.numGlyphs)},
                     pressed);
}

void TskSkinButton::Enter() {
  if (Designing()) return;
  m_core.mouseInside = true;
  const bool changes = !(m_core.groupIndex != 0 && m_core.down) && !(Focused() && !m_core.down);
  if (changes) {
    if (m_core.down) {
      m_core.k = 1;
      Invalidate();
    } else {
      m_core.ChangeLook();
    }
  }
  if (m_core.down && m_core.held && m_core.repeatMode && m_core.groupIndex == 0) m_core.StartRepeat();
}

void TskSkinButton::Leave() {
  if (Designing()) return;
  if (!(m_activeDefault && !Focused())) m_core.mouseInside = false;
  const bool changes = !(m_core.groupIndex != 0 && m_core.down) && !(Focused() && !m_core.down);
  if (changes) {
    if (m_core.down) Invalidate();
    else m_core.ChangeLook();
  }
  m_core.StopRepeat();
}

void TskSkinButton::MouseEnter() {
  Enter();
  if (!Designing()) TskSkinCustomControl::MouseEnter();
}

void TskSkinButton::MouseLeave() {
  Leave();
  if (!Designing()) TskSkinCustomControl::MouseLeave();
}

void TskSkinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  if (button == TMouseButton::mbLeft && m_canFocused && !Focused()) {
    try {
      SetFocus();
    } catch (const EInvalidOperation&) {
    }
    if (!*alive || !Focused()) return;
  }
  TskSkinCustomControl::MouseDown(button, shift, x, y);
  if (!*alive || button != TMouseButton::mbLeft) return;
  // The toolkit captures on a plain press only; a double click must hold the mouse too,
  // or its release outside would never reach the button.
  if (HandleAllocated() && GetCapture() != Handle()) SetCapture(Handle());
  m_core.held = true;
  if (!m_core.down) {
    m_core.mouseInside = true;
    SetDown(true);
    m_core.wasDown = false;
    if (m_core.repeatMode && m_core.groupIndex == 0) m_core.StartRepeat();
    else if (m_core.groupIndex != 0) Click();
  } else if (m_core.groupIndex != 0) {
    m_core.wasDown = true;
  }
}

void TskSkinButton::MouseMove(TShiftState shift, int x, int y) {
  TskSkinCustomControl::MouseMove(shift, x, y);
  // While the button holds the mouse its window hears every move, inside or not.
  if (!m_core.held) return;
  const bool inside = ClientRect().Contains({x, y});
  if (inside && !m_core.mouseInside) Enter();
  else if (!inside && m_core.mouseInside) Leave();
}

void TskSkinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  if (button == TMouseButton::mbLeft && m_core.held) {
    m_core.held = false;
    const bool inside = ClientRect().Contains({x, y});
    if (m_core.groupIndex == 0) {
      m_core.StopRepeat();
      if (inside) {
        SetDown(false);
        Click();
      } else {
        m_core.down = false;
      }
    } else if (m_core.down && m_core.allowAllUp && m_core.wasDown && inside) {
      SetDown(false);
      Click();
    }
    if (!*alive) return;
  }
  TskSkinCustomControl::MouseUp(button, shift, x, y);
}

void TskSkinButton::KeyDown(WORD& key, TShiftState shift) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_canFocused && key == VK_SPACE) {
    SetDown(true);
    if (m_core.repeatMode) Click();
  } else if (m_canFocused && key == VK_RETURN) {
    key = 0;  // handled here, not again as the form's dialog key
    Click();
  }
  if (!*alive || key == 0) return;
  TskSkinCustomControl::KeyDown(key, shift);
}

void TskSkinButton::KeyUp(WORD& key, TShiftState shift) {
  std::shared_ptr<bool> alive = m_alive;
  if (m_canFocused && key == VK_SPACE && m_core.down) {
    SetDown(false);
    Click();
  }
  if (!*alive) return;
  TskSkinCustomControl::KeyUp(key, shift);
}

void TskSkinButton::EnabledChanged() {
  m_core.StopMorph();
  m_core.StopRepeat();
  m_core.k = 0;
  m_core.mouseInside = false;
  TskSkinCustomControl::EnabledChanged();
  Invalidate();
}

bool TskSkinButton::DialogChar(WPARAM ch) {
  if (ch >= 0x80 || !IsAccel(static_cast<char>(ch), Caption()) || !Enabled() || !Visible()) return false;
  if (m_canFocused) {
    if (!CanFocus()) return false;
    std::shared_ptr<bool> alive = m_alive;
    try {
      SetFocus();
    } catch (const EInvalidOperation&) {
    }
    // A focus handler elsewhere may refuse it (or end the form): no click then.
    if (!*alive || !Focused()) return true;
  }
  Click();
  return true;
}

void TskSkinButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      TskSkinCustomControl::WndProc(m);
      UpdateActiveDefaults(this);
      if (m_canFocused) m_core.ChangeLook();
      return;
    case WM_KILLFOCUS:
      TskSkinCustomControl::WndProc(m);
      m_core.StopRepeat();
      if (m_core.groupIndex == 0) m_core.down = false;
      UpdateActiveDefaults(nullptr);
      m_core.ChangeLook();
      return;
    case CM_DIALOGKEY:
      if (m.WParam == VK_RETURN && m_activeDefault && Enabled() && Visible()) {
        Click();
        m.Result = 1;
        return;
      }
      if (m.WParam == VK_ESCAPE && m_cancel && m_canFocused && CanFocus() &&
          !(KeyboardShiftState() & ssShift)) {
        Click();
        m.Result = 1;
        return;
      }
      m.Result = 0;
      return;
    case CM_DIALOGCHAR:
      m.Result = DialogChar(m.WParam) ? 1 : 0;
      return;
    case WM_ERASEBKGND:
      // Outside a paint the button draws itself here, so a parent's repaint shows it.
      if (!PaintingFromMessage() && Width() > 0 && Height() > 0)
        if (HDC dc = reinterpret_cast<HDC>(m.WParam)) {
          TBitmap buffer;
          RenderTo(buffer);
          DC source(buffer.Image());
          dc->BitBlt(0, 0, buffer.Width(), buffer.Height(), source, 0, 0, SRCCOPY);
        }
      m.Result = 1;
      return;
    default:
      break;
  }
  TskSkinCustomControl::WndProc(m);
}

bool TskSkinButton::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (m_core.ReadProperty(name, v)) return true;
  if (SameText(name, "Down")) SetDown(v.AsBool());
  else if (SameText(name, "GroupIndex")) SetGroupIndex(v.AsInt());
  else if (SameText(name, "CanFocused")) SetCanFocused(v.AsBool());
  else if (SameText(name, "Default")) SetDefault(v.AsBool());
  else if (SameText(name, "Cancel")) SetCancel(v.AsBool());
  else if (SameText(name, "ModalResult")) SetModalResult(v.AsInt());
  else if (SameText(name, "Action")) reader.ReadLink<TAction>(v, [this](TAction* a) { SetAction(a); });
  else return TskSkinCustomControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinButton::PropertyObject(std::string_view name) {
  if (SameText(name, "Glyph")) return &m_core.Glyph();
  return TskSkinCustomControl::PropertyObject(name);
}

// ---- TskSkinSpeedButton

TskSkinSpeedButton::TskSkinSpeedButton(TComponent* owner)
    : TskGraphicSkinCustomControl(owner), m_core(*this) {
  m_controlStyle &= ~csClickEvents;
  m_controlStyle |= csCaptureMouse | csDoubleClicks;
  m_core.isActive = [this] { return Active(); };
  m_core.repaint = [this] { Invalidate(); };
  m_core.repeatClick = [this] { Click(); };
  SetSkinDataName("toolbutton");
  SetBounds(0, 0, 25, 25);
}

TskSkinSpeedButton::~TskSkinSpeedButton() = default;

TskToolImageSource* TskSkinSpeedButton::ParentToolBar() const {
  return dynamic_cast<TskToolImageSource*>(Parent());
}

bool TskSkinSpeedButton::PressedLook() const {
  return m_core.down && (m_core.groupIndex != 0 || m_core.mouseInside);
}

SkinButtonLook TskSkinSpeedButton::CurrentLook() const {
  const bool enabled = Enabled();
  if (m_core.hasRecord) {
    if (!enabled && !m_core.fields.disabledSkinRect.IsEmpty()) return SkinButtonLook::Disabled;
    if (PressedLook()) return SkinButtonLook::Down;
    if (m_core.mouseInside) return SkinButtonLook::Active;
    if (m_core.Morphing() && m_core.k == 1) return SkinButtonLook::Active;
    if (m_transparent) return SkinButtonLook::None;
    return SkinButtonLook::Normal;
  }
  if (PressedLook()) return SkinButtonLook::Down;
  if (Active()) return SkinButtonLook::Active;
  return enabled ? SkinButtonLook::Normal : SkinButtonLook::Disabled;
}

std::string TskSkinSpeedButton::ShownCaption() const { return m_showCaption ? Caption() : std::string(); }

ButtonGlyph TskSkinSpeedButton::GlyphFor(SkinButtonLook look) const {
  ButtonGlyph g;
  if (!m_core.Glyph().Empty()) {
    g.strip = &m_core.Glyph();
    g.cellCount = m_core.numGlyphs;
    g.cell = GlyphCell(look, Active(), Enabled(), m_core.numGlyphs);
    return g;
  }
  if (TskToolImageSource* bar = ParentToolBar()) {
    const bool hot = look == SkinButtonLook::Active || look == SkinButtonLook::Down;
    if (hot && bar->HotImages()) g.list = bar->HotImages();
    else if (!Enabled() && bar->DisabledImages()) g.list = bar->DisabledImages();
    else g.list = bar->Images();
    g.listIndex = m_imageIndex;
  }
  return g;
}

ButtonLookContext TskSkinSpeedButton::LookContext() const {
  ButtonLookContext ctx;
  ctx.element = &m_element;
  ctx.defaultFont = &DefaultFont();
  ctx.useSkinFont = UseSkinFont();
  ctx.data = SkinData();
  ctx.enabled = Enabled();
  ctx.caption = ShownCaption();
  ctx.width = Width();
  ctx.height = Height();
  return ctx;
}

void TskSkinSpeedButton::SetDown(bool on) {
  if (m_core.SetDownState(on, !m_transparent)) ReleaseGroupSiblings(this);
}

void TskSkinSpeedButton::SetShowCaption(bool on) {
  if (on == m_showCaption) return;
  m_showCaption = on;
  if (m_widthWithCaption > 0 && m_widthWithoutCaption > 0)
    SetWidth(on ? m_widthWithCaption : m_widthWithoutCaption);
  else
    Invalidate();
}

void TskSkinSpeedButton::SetImageIndex(int i) {
  m_imageIndex = i;
  if (ParentToolBar()) Invalidate();
}

void TskSkinSpeedButton::SetFlat(bool on) {
  m_flat = on;
  SetTransparent(on);
}

void TskSkinSpeedButton::SetTransparent(bool on) {
  m_transparent = on;
  if (on) m_controlStyle &= ~csOpaque;
  else m_controlStyle |= csOpaque;
  // Whether the look fades depends on it: the record's fields are copied again.
  m_link.Forget();
  Invalidate();
}

// OnClick only: bound to an action, OnClick is the action's handler unless one of the
// button's own was there first.
void TskSkinSpeedButton::Click() { TskGraphicSkinCustomControl::Click(); }

void TskSkinSpeedButton::SetAction(TAction* action) {
  m_core.SetAction(action, [this](bool on) { SetDown(on); });
}

void TskSkinSpeedButton::ReadSkinRecord() {
  TskGraphicSkinCustomControl::ReadSkinRecord();
  m_core.ReadRecord(SkinRecord(), m_custom.ReadAnew());
  // A see-through button shows no state image to fade.
  if (m_transparent) m_core.fields.morphing = false;
}

void TskSkinSpeedButton::BeginSkinChange() {
  TskGraphicSkinCustomControl::BeginSkinChange();
  m_core.hasRecord = false;
}

void TskSkinSpeedButton::ApplySkin() {
  TskGraphicSkinCustomControl::ApplySkin();
  m_core.SkinApplied(Active());
}

void TskSkinSpeedButton::DrawSkinImage(TBitmap& bitmap) {
  const ButtonLookContext ctx = LookContext();
  if (m_core.k > 0 && m_core.k < 1 && Enabled() && !m_transparent) {
    DrawMorphedLooks(bitmap, m_core, ctx, GlyphFor(SkinButtonLook::Normal), GlyphFor(SkinButtonLook::Active));
    return;
  }
  SkinButtonLook look = CurrentLook();
  if (look == SkinButtonLook::None) look = SkinButtonLook::Normal;  // Paint draws the see-through look
  DrawSkinnedLook(bitmap, m_core, ctx, look, GlyphFor(look));
}

void TskSkinSpeedButton::DrawDefaultImage(TBitmap& bitmap) {
  TCanvas& c = bitmap.Canvas();
  const Rect r(0, 0, Width(), Height());
  const bool pressed = PressedLook();
  const bool active = !pressed && Active();
  const bool plain = !pressed && !active;
  const bool flatLook = m_flat && !Designing();
  DrawDefaultFace(c, r, pressed, active, !(plain && flatLook && m_transparent), !(plain && flatLook));
  DefaultLookFont(c, DefaultFont(), SkinData(), Enabled());
  const SkinButtonLook look = CurrentLook();
  m_core.DrawContent(c, r, ShownCaption(), GlyphFor(look), pressed);
}

void TskSkinSpeedButton::DrawTransparent(TCanvas& canvas) {
  if (m_core.hasRecord) {
    MakeSkinCaptionFont(canvas.Font(), DefaultFont(), &m_core.fields.font, UseSkinFont(),
                        Enabled() ? m_core.fields.font.FontColor : m_core.fields.disabledFontColor,
                        SkinData());
    m_core.DrawContent(canvas, m_element.sized.clientRect, ShownCaption(), GlyphFor(SkinButtonLook::Normal), false);
    return;
  }
  DefaultLookFont(canvas, DefaultFont(), SkinData(), Enabled());
  m_core.DrawContent(canvas, Rect(0, 0, Width(), Height()), ShownCaption(),
                     GlyphFor(CurrentLook()), false);
}

void TskSkinSpeedButton::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  ReadSkinRecord();
  const bool seeThrough = m_transparent && !PressedLook() && !Active() &&
                          (!m_core.hasRecord || CurrentLook() == SkinButtonLook::None) &&
                          (m_core.hasRecord || (m_flat && !Designing()));
  if (seeThrough) {
    DrawTransparent(Canvas());
    return;
  }
  TskGraphicSkinCustomControl::Paint();
}

void TskSkinSpeedButton::MouseEnter() {
  if (Designing() || !Enabled()) {
    TskGraphicSkinCustomControl::MouseEnter();
    return;
  }
  m_core.mouseInside = true;
  if (!(m_core.groupIndex != 0 && m_core.down)) {
    if (m_core.down) {
      m_core.k = 1;
      Invalidate();
    } else {
      m_core.ChangeLook();
    }
  }
  if (m_core.down && m_core.held && m_core.repeatMode && m_core.groupIndex == 0) m_core.StartRepeat();
  TskGraphicSkinCustomControl::MouseEnter();
}

void TskSkinSpeedButton::MouseLeave() {
  if (!Designing()) {
    m_core.mouseInside = false;
    if (!(m_core.groupIndex != 0 && m_core.down)) {
      if (m_core.down) Invalidate();
      else m_core.ChangeLook();
    }
    m_core.StopRepeat();
  }
  TskGraphicSkinCustomControl::MouseLeave();
}

void TskSkinSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskGraphicSkinCustomControl::MouseDown(button, shift, x, y);
  if (!*alive || button != TMouseButton::mbLeft) return;
  m_core.held = true;
  if (!m_core.down) {
    m_core.mouseInside = true;
    SetDown(true);
    m_core.wasDown = false;
    if (m_core.repeatMode && m_core.groupIndex == 0) m_core.StartRepeat();
    else if (m_core.groupIndex != 0) Click();
  } else if (m_core.groupIndex != 0) {
    m_core.wasDown = true;
  }
}

void TskSkinSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskGraphicSkinCustomControl::MouseUp(button, shift, x, y);
  if (!*alive || button != TMouseButton::mbLeft || !m_core.held) return;
  m_core.held = false;
  const bool inside = ClientRect().Contains({x, y});
  if (m_core.groupIndex == 0) {
    m_core.StopRepeat();
    if (inside) {
      SetDown(false);
      Click();
    } else {
      m_core.down = false;
    }
  } else if (m_core.down && m_core.allowAllUp && m_core.wasDown && inside) {
    SetDown(false);
    Click();
  }
}

void TskSkinSpeedButton::EnabledChanged() {
  m_core.StopMorph();
  m_core.StopRepeat();
  m_core.k = 0;
  m_core.mouseInside = false;
  TskGraphicSkinCustomControl::EnabledChanged();
  Invalidate();
}

void TskSkinSpeedButton::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR) {
    // The accelerator of a caption that shows: the button cannot take the focus, it clicks.
    const bool mine = m_showCaption && m.WParam < 0x80 && IsAccel(static_cast<char>(m.WParam), Caption()) &&
                      Enabled() && Visible();
    m.Result = mine ? 1 : 0;
    if (mine) Click();
    return;
  }
  TskGraphicSkinCustomControl::WndProc(m);
}

bool TskSkinSpeedButton::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (m_core.ReadProperty(name, v)) return true;
  if (SameText(name, "Down")) SetDown(v.AsBool());
  else if (SameText(name, "GroupIndex")) SetGroupIndex(v.AsInt());
  else if (SameText(name, "ShowCaption")) SetShowCaption(v.AsBool());
  else if (SameText(name, "WidthWithCaption")) SetWidthWithCaption(v.AsInt());
  else if (SameText(name, "WidthWithoutCaption")) SetWidthWithoutCaption(v.AsInt());
  else if (SameText(name, "ImageIndex")) SetImageIndex(v.AsInt());
  else if (SameText(name, "Flat")) SetFlat(v.AsBool());
  else if (SameText(name, "Transparent")) SetTransparent(v.AsBool());
  else if (SameText(name, "Action")) reader.ReadLink<TAction>(v, [this](TAction* a) { SetAction(a); });
  else return TskGraphicSkinCustomControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinSpeedButton::PropertyObject(std::string_view name) {
  if (SameText(name, "Glyph")) return &m_core.Glyph();
  return TskGraphicSkinCustomControl::PropertyObject(name);
}
