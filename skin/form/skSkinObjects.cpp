// Frame objects: drawing from the skin (with morphs and the inactive look), the default
// button look, caption text, and the mouse behaviour that runs the window commands.
#include "skin/form/skSkinObjects.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "skin/controls/skImageDraw.h"
#include "skin/data/skEffectBmp.h"
#include "skin/data/skSkinData.h"
#include "skin/form/skFrameGeometry.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

namespace {

// Copies `src` of a skin picture onto `dest` of a canvas, scaling when the sizes differ.
// The picture is only read: the source context is never drawn on.
void DrawPictureRect(DC& canvas, const Rect& dest, const Bitmap& picture, const Rect& src) {
  if (dest.IsEmpty() || src.IsEmpty() || picture.IsEmpty()) return;
  DC source(const_cast<Bitmap&>(picture));
  if (dest.GetSize() == src.GetSize()) {
    canvas.BitBlt(dest.left, dest.top, dest.Width(), dest.Height(), source, src.left, src.top, SRCCOPY);
  } else {
    const int old = canvas.SetStretchBltMode(COLORONCOLOR);
    canvas.StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), source, src.left, src.top, src.Width(),
                      src.Height(), SRCCOPY);
    canvas.SetStretchBltMode(old);
  }
}

// A rectangle of a picture as an image of the given size.
Bitmap CutImage(const Bitmap& picture, const Rect& src, Size size) {
  Bitmap out(std::max(0, size.cx), std::max(0, size.cy));
  if (!out.IsEmpty()) CopySkinRect(out, out.Bounds(), picture, src);
  return out;
}

void DrawBitmap(DC& canvas, const Bitmap& image, Point at) {
  if (image.IsEmpty()) return;
  DrawPictureRect(canvas, Rect::FromSize(at, image.GetSize()), image, image.Bounds());
}

const Bitmap* PictureAt(const TskSkinData* data, int index) {
  if (!data || index < 0 || index >= static_cast<int>(data->ActivePictures().size())) return nullptr;
  return &data->ActivePictures()[static_cast<std::size_t>(index)];
}

FontSpec CaptionFontSpec(const std::string& face, int height, SkinFontStyles style) {
  FontSpec f;
  f.face = face.empty() ? std::string(SkinDefaultFontName) : face;
  f.height = height;
  f.bold = (style & SkinFontBold) != 0;
  f.italic = (style & SkinFontItalic) != 0;
  f.underline = (style & SkinFontUnderline) != 0;
  f.strikeOut = (style & SkinFontStrikeOut) != 0;
  return f;
}

}  // namespace

// ---- TskActiveSkinObject

TskActiveSkinObject::TskActiveSkinObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinObject* record)
    : Parent(parent), SkinData(data) {
  if (data) Picture = &data->Picture();
  if (!record) return;
  IDName = record->Name;
  Hint = record->Hint;
  ActivePicture = PictureAt(data, record->ActivePictureIndex);
  SkinRectInAPicture = record->SkinRectInAPicture;
  SkinRect = record->SkinRect;
  ActiveSkinRect = ActivePicture ? record->ActiveSkinRect : Rect{};
  InActiveSkinRect = record->InActiveSkinRect;
  Morphing = record->Morphing && !ActiveSkinRect.IsEmpty();
  MorphKind = static_cast<int>(record->MorphKind);
  ObjectRect = SkinRect;
}

bool TskActiveSkinObject::CanMorphing() const { return Morphing && MorphInProgress(); }

void TskActiveSkinObject::ReDraw() { Parent->RequestObjectRedraw(this); }

void TskActiveSkinObject::DrawMorph(DC& canvas, const Bitmap& normal, const Rect& normalRect, const Rect& activeRect) {
  if (!ActivePicture) return;
  const Size size = ObjectRect.GetSize();
  TskEffectBmp a(CutImage(normal, normalRect, size));
  TskEffectBmp b(CutImage(*ActivePicture, activeRect, size));
  a.MorphWith(MorphKind, b, MorphKf);
  a.DrawTo(canvas, ObjectRect.left, ObjectRect.top);
}

void TskActiveSkinObject::Draw(DC& canvas, bool update) {
  if (Enabled && !Parent->IsFormActive() && !InActiveSkinRect.IsEmpty() && ActivePicture) {
    DrawPictureRect(canvas, ObjectRect, *ActivePicture, InActiveSkinRect);
    return;
  }
  const Bitmap* normal = NormalPicture();
  if (Morphing && MorphInProgress()) {
    if (normal) DrawMorph(canvas, *normal, SkinRect, ActiveSkinRect);
    return;
  }
  if (!Active || ActiveSkinRect.IsEmpty()) {
    if (!update && !SkinRectInAPicture) return;  // the frame image already shows it
    if (normal) DrawPictureRect(canvas, ObjectRect, *normal, SkinRect);
    return;
  }
  DrawPictureRect(canvas, ObjectRect, *ActivePicture, ActiveSkinRect);
}

void TskActiveSkinObject::MouseDown(TMouseButton button, int x, int y) {
  if (Parent->ObjectEvents().OnMouseDownEvent) Parent->ObjectEvents().OnMouseDownEvent(IDName, x, y, ObjectRect, button);
}

void TskActiveSkinObject::MouseUp(TMouseButton button, int x, int y) {
  if (MouseIn && Parent->ObjectEvents().OnMouseUpEvent) Parent->ObjectEvents().OnMouseUpEvent(IDName, x, y, ObjectRect, button);
}

void TskActiveSkinObject::MouseMove(int x, int y) {
  if (Parent->ObjectEvents().OnMouseMoveEvent) Parent->ObjectEvents().OnMouseMoveEvent(IDName, x, y, ObjectRect);
}

void TskActiveSkinObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  if (!ActiveSkinRect.IsEmpty()) ReDraw();
  if (Parent->ObjectEvents().OnMouseEnterEvent) Parent->ObjectEvents().OnMouseEnterEvent(IDName);
}

void TskActiveSkinObject::MouseLeave() {
  MouseIn = false;
  Active = false;
  if (!ActiveSkinRect.IsEmpty()) ReDraw();
  if (Parent->ObjectEvents().OnMouseLeaveEvent) Parent->ObjectEvents().OnMouseLeaveEvent(IDName);
}

// ---- TskUserObject

void TskUserObject::Draw(DC& canvas, bool) {
  if (Parent->ObjectEvents().OnPaintEvent) Parent->ObjectEvents().OnPaintEvent(IDName, canvas, ObjectRect);
}

// ---- TskSkinButtonObject

TskSkinButtonObject::TskSkinButtonObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinButton* record)
    : TskActiveSkinObject(parent, data, record) {
  if (!record) return;
  DisableSkinRect = record->DisableSkinRect;
  DownRect = record->DownRect;
  // A skin that asks its menus to open upwards (a frame with its caption at the bottom)
  // has the buttons drop theirs up too.
  PopupUp = data && data->FormInfo().MainMenuPopupUp;
}

bool TskSkinButtonObject::CanMorphing() const {
  // A pressed button shows its down image; it does not morph under it.
  return !(FDown && MouseIn && !DownRect.IsEmpty()) && TskActiveSkinObject::CanMorphing();
}

bool TskSkinButtonObject::DrawStateImage(DC& canvas) {
  if (!ActivePicture) return false;
  if (!Enabled && !DisableSkinRect.IsEmpty()) {
    DrawPictureRect(canvas, ObjectRect, *ActivePicture, DisableSkinRect);
    return true;
  }
  if (FDown && MouseIn && !DownRect.IsEmpty()) {
    DrawPictureRect(canvas, ObjectRect, *ActivePicture, DownRect);
    return true;
  }
  return false;
}

void TskSkinButtonObject::Draw(DC& canvas, bool update) {
  if (DrawStateImage(canvas)) return;
  TskActiveSkinObject::Draw(canvas, update);
}

void TskSkinButtonObject::SetDown(bool down) {
  FDown = down;
  if (Morphing && Active) MorphKf = 1;
  Parent->DrawObjectNow(this);
  if (Morphing && !down) ReDraw();
}

void TskSkinButtonObject::MouseDown(TMouseButton button, int x, int y) {
  if (!Enabled) return;
  if (button == TMouseButton::mbLeft && !FDown) {
    SetDown(true);
    if (MenuItem && MenuItem->Count() > 0) {
      Parent->DropDownMenu(MenuItem, ObjectRect, PopupUp);
      // Nothing opened (no visible item): nothing will set the button up later.
      if (!Parent->SkinMenuVisible()) SetDown(false);
    }
  }
  TskActiveSkinObject::MouseDown(button, x, y);
}

void TskSkinButtonObject::MouseUp(TMouseButton button, int x, int y) {
  if (!Enabled) return;
  if (button == TMouseButton::mbLeft && !MenuItem && FDown) SetDown(false);
  TskActiveSkinObject::MouseUp(button, x, y);
}

void TskSkinButtonObject::MouseEnter() {
  MouseIn = true;
  Active = true;
  if (FDown && !DownRect.IsEmpty()) {
    if (Morphing) MorphKf = 1;
    Parent->DrawObjectNow(this);
  } else if (!ActiveSkinRect.IsEmpty()) {
    ReDraw();
  }
  if (Parent->ObjectEvents().OnMouseEnterEvent) Parent->ObjectEvents().OnMouseEnterEvent(IDName);
}

void TskSkinButtonObject::MouseLeave() {
  MouseIn = false;
  Active = false;
  if (!(MenuItem && FDown)) {
    Parent->DrawObjectNow(this);
    ReDraw();
  }
  if (Parent->ObjectEvents().OnMouseLeaveEvent) Parent->ObjectEvents().OnMouseLeaveEvent(IDName);
}

// ---- TskSkinStdButtonObject

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinObjectHost* parent, TskSkinData* data,
                                               const TskDataSkinStdButton* record)
    : TskSkinButtonObject(parent, data, record) {
  if (!record) {
    SkinSupport = false;
    SkinRectInAPicture = true;
    SkinRect = ActiveSkinRect = DownRect = Rect(0, 0, 1, 1);
    return;
  }
  Command = record->Command;
  RestoreRect = record->RestoreRect;
  RestoreActiveRect = ActivePicture ? record->RestoreActiveRect : Rect{};
  RestoreInActiveRect = record->RestoreInActiveRect;
  RestoreDownRect = record->RestoreDownRect;
}

bool TskSkinStdButtonObject::CanMorphing() const {
  if (!SkinSupport) return false;
  return TskSkinButtonObject::CanMorphing();
}

bool TskSkinStdButtonObject::InRestoreState() const {
  switch (Command) {
    case SkinCommand::Maximize: return Parent->WindowState() == TskWindowState::Maximized;
    case SkinCommand::Minimize: return Parent->WindowState() == TskWindowState::Minimized;
    case SkinCommand::RollUp: return Parent->RollUpState();
    default: return false;
  }
}

void TskSkinStdButtonObject::Draw(DC& canvas, bool update) {
  if (!SkinSupport) {
    DrawDefault(canvas);
    return;
  }
  const bool formActive = Parent->IsFormActive();
  if (Enabled && (formActive || InActiveSkinRect.IsEmpty())) {
    if (Command == SkinCommand::SysMenu && Parent->ShowIcon() && SkinRectInAPicture) {
      if (TCustomForm* f = Parent->Form(); f && !f->Icon().Empty()) {
        const Bitmap& icon = f->Icon().Image();
        canvas.AlphaBlend(ObjectRect.left, ObjectRect.top, icon, icon.Bounds());
      }
      MorphKf = 0;
      return;
    }
    if (InRestoreState() && !RestoreRect.IsEmpty() && ActivePicture) {
      if (!formActive && !RestoreInActiveRect.IsEmpty()) {
        DrawPictureRect(canvas, ObjectRect, *ActivePicture, RestoreInActiveRect);
      } else if (FDown && MouseIn && !RestoreDownRect.IsEmpty()) {
        DrawPictureRect(canvas, ObjectRect, *ActivePicture, RestoreDownRect);
      } else if (Morphing && MorphInProgress() && !RestoreActiveRect.IsEmpty()) {
        DrawMorph(canvas, *ActivePicture, RestoreRect, RestoreActiveRect);
      } else if (Active && !RestoreActiveRect.IsEmpty()) {
        DrawPictureRect(canvas, ObjectRect, *ActivePicture, RestoreActiveRect);
      } else {
        // The frame picture shows the normal glyph, so the restore glyph is always drawn.
        DrawPictureRect(canvas, ObjectRect, *ActivePicture, RestoreRect);
      }
      return;
    }
  }
  TskSkinButtonObject::Draw(canvas, update);
}

void TskSkinStdButtonObject::DrawDefault(DC& canvas) {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  if (w < 1 || h < 1) return;
  if (Command == SkinCommand::SysMenu && Parent->ShowIcon()) {
    if (TCustomForm* f = Parent->Form(); f && !f->Icon().Empty()) {
      const Bitmap& icon = f->Icon().Image();
      canvas.AlphaBlend(ObjectRect.left, ObjectRect.top, icon, icon.Bounds());
    }
    return;
  }
  Bitmap image(w, h);
  DC dc(image);
  const Rect all{0, 0, w, h};
  if (FDown && MouseIn) {
    dc.FillRect(all.Inflated(-1, -1), RGB(133, 147, 181));
    dc.FrameRect(all, RGB(0, 0, 128));
  } else if (MouseIn) {
    dc.FillRect(all.Inflated(-1, -1), RGB(182, 189, 210));
    dc.FrameRect(all, RGB(0, 0, 128));
  } else {
    dc.FillRect(all, clBtnFace);
  }
  const Color glyph = Enabled ? ColorToRGB(clBtnText) : ColorToRGB(clBtnShadow);
  int a = w / 2 - 5, b = h / 2 - 4;
  if (FDown && MouseIn) {
    a = w / 2 - 4;
    b = h / 2 - 3;
  }
  dc.SelectPen(Pen{PS_SOLID, 1, glyph});
  auto line = [&](int x0, int y0, int x1, int y1) {
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
  };
  auto outline = [&](int l, int t, int r, int bt) { dc.FrameRect({l, t, r, bt}, glyph); };
  const bool restore = InRestoreState() && Command != SkinCommand::RollUp;
  switch (Command) {
    case SkinCommand::Close:
      line(a + 1, b + 1, a + 9, b + 9);
      line(a + 9, b + 1, a + 1, b + 9);
      line(a + 2, b + 1, a + 10, b + 9);
      line(a + 8, b + 1, a, b + 9);
      break;
    case SkinCommand::Maximize:
    case SkinCommand::Minimize:
      if (restore) {
        outline(a + 2, b, a + 10, b + 6);
        outline(a + 2, b, a + 10, b + 2);
        outline(a, b + 4, a + 7, b + 10);
        outline(a, b + 4, a + 7, b + 6);
      } else if (Command == SkinCommand::Maximize) {
        outline(a, b, a + 11, b + 10);
        outline(a, b, a + 11, b + 2);
      } else {
        line(a + 1, b + 8, a + 9, b + 8);
        line(a + 1, b + 9, a + 9, b + 9);
      }
      break;
    case SkinCommand::SysMenu: outline(a + 1, b + 3, a + 9, b + 6); break;
    case SkinCommand::RollUp:
      for (int i = 0; i <= 4; ++i) {
        if (Parent->RollUpState()) line(a + 5 - i, b + 6 - i, a + 5 + i, b + 6 - i);
        else line(a + 1 + i, b + 6 - i, a + 9 - i, b + 6 - i);
      }
      break;
    case SkinCommand::MinimizeToTray: dc.FillRect({a + 2, b + 2, a + 7, b + 7}, glyph); break;
    default: break;
  }
  DrawBitmap(canvas, image, ObjectRect.TopLeft());
}

void TskSkinStdButtonObject::DoCommand() {
  switch (Command) {
    case SkinCommand::Close: Parent->CloseForm(); break;
    case SkinCommand::Maximize:
      Parent->ChangeWindowState(Parent->WindowState() == TskWindowState::Maximized ? TskWindowState::Normal
                                                                                  : TskWindowState::Maximized);
      break;
    case SkinCommand::Minimize:
      if (Parent->AlwaysMinimizeToTray()) Parent->HideToTray();
      else
        Parent->ChangeWindowState(Parent->WindowState() == TskWindowState::Minimized ? TskWindowState::Normal
                                                                                    : TskWindowState::Minimized);
      break;
    case SkinCommand::RollUp: Parent->SetRollUpState(!Parent->RollUpState()); break;
    case SkinCommand::MinimizeToTray: Parent->HideToTray(); break;
    case SkinCommand::SysMenu:  // dropped down at mouse down
    case SkinCommand::Default: break;
  }
}

void TskSkinStdButtonObject::MouseDown(TMouseButton button, int, int) {
  if (!Enabled || button != TMouseButton::mbLeft || FDown) return;
  SetDown(true);
  if (Command == SkinCommand::SysMenu) {
    // The system menu is this button's menu; the menu's closing sets the button up.
    MenuItem = Parent->SystemMenuItem();
    if (MenuItem) Parent->DropDownMenu(MenuItem, ObjectRect, PopupUp);
    if (!Parent->SkinMenuVisible()) SetDown(false);
  }
}

void TskSkinStdButtonObject::MouseUp(TMouseButton button, int x, int y) {
  const bool run = Active && button == TMouseButton::mbLeft;
  if (Command == SkinCommand::Close) {
    TskSkinButtonObject::MouseUp(button, x, y);
    if (run) DoCommand();
    return;
  }
  if (run) DoCommand();
  TskSkinButtonObject::MouseUp(button, x, y);
}

void TskSkinStdButtonObject::DblClick() {
  if (Command == SkinCommand::SysMenu) Parent->CloseForm();
}

// ---- TskSkinAnimateObject

TskSkinAnimateObject::TskSkinAnimateObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinAnimate* record)
    : TskActiveSkinObject(parent, data, record) {
  if (!record) return;
  CountFrames = std::max(1, record->CountFrames);
  Cycle = record->Cycle;
  ButtonStyle = record->ButtonStyle;
  TimerInterval = std::max(25, record->TimerInterval);
  Command = record->Command;
  PopupUp = data && data->FormInfo().MainMenuPopupUp;
}

void TskSkinAnimateObject::Draw(DC& canvas, bool) {
  if (!ActivePicture) return;
  const int w = SkinRect.Width(), h = SkinRect.Height();
  const int k = std::clamp(CurrentFrame, 1, CountFrames);
  const Rect src = Rect::FromSize(ActiveSkinRect.left + w * (k - 1), ActiveSkinRect.top, w, h);
  DrawPictureRect(canvas, ObjectRect, *ActivePicture, src);
}

bool TskSkinAnimateObject::Tick(int elapsedMs) {
  if (!Active) return false;
  Elapsed += elapsedMs;
  if (Elapsed < TimerInterval) return true;
  if (Increment) {
    CurrentFrame = CurrentFrame >= CountFrames ? 1 : CurrentFrame + 1;
    if (!Cycle && CurrentFrame == CountFrames) Active = false;
  } else {
    CurrentFrame = CurrentFrame <= 1 ? CountFrames : CurrentFrame - 1;
    if (CurrentFrame == 1) Active = false;
  }
  Elapsed = 25;
  Parent->DrawObjectNow(this);
  return Active;
}

void TskSkinAnimateObject::MouseEnter() {
  MouseIn = true;
  if (ButtonStyle) {
    Active = true;
    Increment = true;
    Parent->StartAnimation();
  }
  if (Parent->ObjectEvents().OnMouseEnterEvent) Parent->ObjectEvents().OnMouseEnterEvent(IDName);
}

void TskSkinAnimateObject::MouseLeave() {
  if (!MouseIn) return;
  MouseIn = false;
  if (ButtonStyle) {
    Active = true;
    Increment = false;
    Parent->StartAnimation();
  }
  if (Parent->ObjectEvents().OnMouseLeaveEvent) Parent->ObjectEvents().OnMouseLeaveEvent(IDName);
}

void TskSkinAnimateObject::MouseUp(TMouseButton button, int x, int y) {
  TskActiveSkinObject::MouseUp(button, x, y);
  if (!(MouseIn && ButtonStyle && button == TMouseButton::mbLeft)) return;
  switch (Command) {
    case SkinCommand::SysMenu:
      if (TMenuItem* menu = Parent->SystemMenuItem()) Parent->DropDownMenu(menu, ObjectRect, PopupUp);
      break;
    case SkinCommand::Default:
      if (MenuItem) Parent->DropDownMenu(MenuItem, ObjectRect, PopupUp);
      break;
    case SkinCommand::Close: Parent->CloseForm(); break;
    case SkinCommand::Maximize:
      Parent->ChangeWindowState(Parent->WindowState() == TskWindowState::Maximized ? TskWindowState::Normal
                                                                                  : TskWindowState::Maximized);
      break;
    case SkinCommand::Minimize:
      if (Parent->AlwaysMinimizeToTray()) Parent->HideToTray();
      else
        Parent->ChangeWindowState(Parent->WindowState() == TskWindowState::Minimized ? TskWindowState::Normal
                                                                                    : TskWindowState::Minimized);
      break;
    case SkinCommand::RollUp: Parent->SetRollUpState(!Parent->RollUpState()); break;
    case SkinCommand::MinimizeToTray: Parent->HideToTray(); break;
  }
}

void TskSkinAnimateObject::DblClick() {
  if (Command == SkinCommand::SysMenu) Parent->CloseForm();
}

// ---- TskSkinCaptionObject

TskSkinCaptionObject::TskSkinCaptionObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinCaption* record)
    : TskActiveSkinObject(parent, data, record) {
  if (!record) return;
  FontName = record->FontName;
  FontStyle = record->FontStyle;
  FontHeight = record->FontHeight;
  FontColor = record->FontColor;
  ActiveFontColor = record->ActiveFontColor;
  ShadowColor = record->ShadowColor;
  ActiveShadowColor = record->ActiveShadowColor;
  Shadow = record->Shadow;
  Alignment = record->Alignment;
  TextRect = record->TextRect;
  FrameRect = record->FrameRect;
  ActiveFrameRect = record->ActiveFrameRect;
  FrameTextRect = record->FrameTextRect;
  FrameLeftOffset = record->FrameLeftOffset;
  FrameRightOffset = record->FrameRightOffset;
}

Rect TskSkinCaptionObject::TextArea() const {
  Rect a = TextRect;
  a.right = ObjectRect.Width() + TextRect.right - SkinRect.Width();
  if (!FrameRect.IsEmpty()) {
    a.left += FrameTextRect.left;
    a.top += FrameTextRect.top;
    a.right += FrameTextRect.right - FrameRect.Width();
  }
  return a;
}

void TskSkinCaptionObject::DrawText(DC& canvas, Point offset, bool active) {
  const std::string caption = Parent->CaptionText();
  if (caption.empty() || TextRect.IsEmpty()) return;
  const Rect area = TextArea().Translated(offset);
  if (area.Width() < 1) return;
  const Font font(CaptionFontSpec(FontName, FontHeight, FontStyle));
  auto measure = [&](std::string_view t) { return font.TextWidth(t); };
  const std::string text = EllipsisText(caption, area.Width(), measure);
  const Size extent = font.TextExtent(text);
  const int y = area.top + area.Height() / 2 - extent.cy / 2;
  int x = area.left;
  if (Alignment == SkinAlignment::RightJustify) x = area.right - extent.cx;
  else if (Alignment == SkinAlignment::Center) x = area.left + area.Width() / 2 - extent.cx / 2;
  DCState state(canvas);
  if (!FrameRect.IsEmpty() && ActivePicture) {
    const Rect& frame = active && !ActiveFrameRect.IsEmpty() ? ActiveFrameRect : FrameRect;
    Bitmap backing;
    BuildHStripImage(backing, FrameLeftOffset, FrameRightOffset, frame, *ActivePicture,
                     FrameRect.Width() + extent.cx - FrameTextRect.Width());
    DrawBitmap(canvas, backing, {x - FrameTextRect.left, y - FrameTextRect.top});
  }
  canvas.SelectFont(font);
  canvas.SetBkMode(TRANSPARENT);
  if (Shadow) {
    canvas.SetTextColor(active ? ActiveShadowColor : ShadowColor);
    canvas.TextOut(x + 1, y + 1, text);
  }
  canvas.SetTextColor(active ? ActiveFontColor : FontColor);
  canvas.TextOut(x, y, text);
}

Bitmap TskSkinCaptionObject::CaptionImage(bool active) {
  const Size size = ObjectRect.GetSize();
  Bitmap image(std::max(0, size.cx), std::max(0, size.cy));
  if (image.IsEmpty()) return image;
  const Bitmap* source = active ? ActivePicture : Picture;
  const Rect src = active ? ActiveSkinRect : SkinRect;
  if (source && SkinData) {
    const SkinFormInfo& fi = SkinData->FormInfo();
    const int l = fi.LeftTopPoint.x - SkinRect.left;
    const int r = SkinRect.right - fi.RightTopPoint.x;
    if (l == 0 && r == 0) {
      CopySkinRect(image, image.Bounds(), *source, src);
    } else {
      Bitmap strip;
      BuildHStripImage(strip, std::max(0, l), std::max(0, r), src, *source, size.cx);
      CopySkinRect(image, image.Bounds(), strip, strip.Bounds());
    }
  }
  DC dc(image);
  DrawText(dc, {0, 0}, active);
  return image;
}

void TskSkinCaptionObject::Draw(DC& canvas, bool) {
  const bool inactiveEffect = SkinData && SkinData->FormInfo().AutoRenderingInActiveImage && !Active;
  const int effect = SkinData ? static_cast<int>(SkinData->FormInfo().InActiveEffect) : 0;
  if (Morphing && MorphInProgress()) {
    TskEffectBmp a(CaptionImage(false));
    TskEffectBmp b(CaptionImage(true));
    a.MorphWith(MorphKind, b, MorphKf);
    if (inactiveEffect) a.ApplyImageEffect(effect);
    a.DrawTo(canvas, ObjectRect.left, ObjectRect.top);
    return;
  }
  if (ActiveSkinRect.IsEmpty() || (!Active && !Morphing)) {
    DrawText(canvas, ObjectRect.TopLeft(), Active);
    return;
  }
  if (Active) {
    DrawBitmap(canvas, CaptionImage(true), ObjectRect.TopLeft());
    return;
  }
  TskEffectBmp normal(CaptionImage(false));
  if (inactiveEffect) normal.ApplyImageEffect(effect);
  normal.DrawTo(canvas, ObjectRect.left, ObjectRect.top);
}

void TskSkinCaptionObject::MouseEnter() {
  MouseIn = true;
  if (Parent->ObjectEvents().OnMouseEnterEvent) Parent->ObjectEvents().OnMouseEnterEvent(IDName);
}

void TskSkinCaptionObject::MouseLeave() {
  MouseIn = false;
  if (Parent->ObjectEvents().OnMouseLeaveEvent) Parent->ObjectEvents().OnMouseLeaveEvent(IDName);
}

void TskSkinCaptionObject::MouseDown(TMouseButton button, int x, int y) {
  if (Parent->ObjectEvents().OnMouseDownEvent) Parent->ObjectEvents().OnMouseDownEvent(IDName, x, y, ObjectRect, button);
}

void TskSkinCaptionObject::MouseUp(TMouseButton button, int x, int y) {
  if (Parent->ObjectEvents().OnMouseUpEvent) Parent->ObjectEvents().OnMouseUpEvent(IDName, x, y, ObjectRect, button);
}
