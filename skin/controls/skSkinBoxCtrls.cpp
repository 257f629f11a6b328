// TskCustomEdit, TskSkinEdit and TskSkinMemo: skinned frames in the non-client area, text
// backgrounds under transparent text, state colours, read-only rules and context menus.
#include "skin/controls/skSkinBoxCtrls.h"

#include <algorithm>

#include "platform/std/StdControls.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinScrollBar.h"
#include "skin/form/skSkinForm.h"
#include "skin/form/skSkinMenus.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

namespace {

// The default frame's width, and the edit's text margins.
constexpr int kDefaultInset = 2;
constexpr int kTextMargin = 2;

// Answered to the colour question for transparent text: the control draws no background.
const Brush kNullBrush{BS_NULL, 0};

std::unique_ptr<TFont> MakeEditFont() {
  auto font = std::make_unique<TFont>();
  font->SetName(SkinDefaultFontName);
  font->SetHeight(SkinDefaultFontHeight);
  font->SetColor(clBlack);
  return font;
}

int CharCount(std::string_view utf8) {
  return static_cast<int>(std::count_if(utf8.begin(), utf8.end(),
                                        [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The client area in window coordinates.
Rect WindowClientRect(HWND hwnd) {
  Rect client;
  GetClientRect(hwnd, &client);
  Point origin{0, 0};
  ClientToScreen(hwnd, &origin);
  Rect window;
  GetWindowRect(hwnd, &window);
  return client.Translated(origin.x - window.left, origin.y - window.top);
}

Point ScreenToWindow(HWND hwnd, Point screen) {
  Rect window;
  GetWindowRect(hwnd, &window);
  return {screen.x - window.left, screen.y - window.top};
}

// The window system's default knows only the platform's frames: the text area is the
// client area, the rest of the window the skin's border.
LRESULT FrameHitTest(HWND hwnd, Point windowPt) {
  Rect window;
  GetWindowRect(hwnd, &window);
  if (!Rect(0, 0, window.Width(), window.Height()).Contains(windowPt)) return HTNOWHERE;
  return WindowClientRect(hwnd).Contains(windowPt) ? HTCLIENT : HTBORDER;
}

bool PointerOver(HWND hwnd) {
  Point p;
  GetCursorPos(&p);
  return WindowFromPoint(p) == hwnd;
}

// Draws `image` over the window but its client area (the non-client paint).
void PaintNonClient(HWND hwnd, Bitmap image) {
  HDC dc = GetWindowDC(hwnd);
  if (!dc) return;
  {
    DCState state(*dc);
    dc->ExcludeClipRect(WindowClientRect(hwnd));
    DC source(image);
    dc->BitBlt(0, 0, image.Width(), image.Height(), source, 0, 0, SRCCOPY);
  }
  ReleaseDC(hwnd, dc);
}

// WM_NCCALCSIZE: the client area is the window less the insets for its proposed size.
template <typename Insets>
void CalcNonClient(TMessage& m, Insets insets) {
  Rect* r = nullptr;
  if (m.WParam) {
    if (auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)) r = &params->rgrc[0];
  } else {
    r = reinterpret_cast<Rect*>(m.LParam);
  }
  if (r) *r = insets(r->Width(), r->Height()).Apply(*r);
  m.Result = 0;
}

void Blit(DC& dc, Bitmap image) {
  DC source(image);
  dc.BitBlt(0, 0, image.Width(), image.Height(), source, 0, 0, SRCCOPY);
}

// The toolkit tells a control of the pointer over its client area only; the skinned frame
// is part of the control too. Returns true when the message is answered.
bool TrackFramePointer(TWinControl& control, TMessage& m) {
  switch (m.Msg) {
    case WM_NCMOUSEMOVE: {
      if (Application && Application->MouseControl() != &control) Application->MouseOver(&control);
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
      tme.hwndTrack = control.Handle();
      TrackMouseEvent(&tme);
      return false;
    }
    case WM_MOUSELEAVE:
      if (!PointerOver(control.Handle())) return false;
      {
        // From the text area onto the frame: still inside.
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
        tme.hwndTrack = control.Handle();
        TrackMouseEvent(&tme);
      }
      return true;
    case WM_NCMOUSELEAVE:
      // From the frame into the text area, whose own tracking takes over, or out.
      if (!PointerOver(control.Handle()) && Application) Application->MouseLeftWindow(&control);
      return true;
    default:
      return false;
  }
}

// What the read-only rules keep from the platform control: characters but Ctrl+C, the
// Delete key, and requests that change the text.
bool ReadOnlyRefuses(const TMessage& m) {
  switch (m.Msg) {
    case WM_CHAR: return m.WParam != 3;
    case WM_KEYDOWN: return m.WParam == static_cast<WPARAM>(VK_DELETE);
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO: return true;
    default: return false;
  }
}

// Messages after which transparent text needs its background again.
bool ChangesText(const TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case WM_SETTEXT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_MOVE:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case EM_LINESCROLL:
      return true;
    case CN_COMMAND:
      return HIWORD(m.WParam) == EN_CHANGE || HIWORD(m.WParam) == EN_VSCROLL ||
             HIWORD(m.WParam) == EN_HSCROLL;
    default:
      return false;
  }
}

void DrawDefaultButton(DC& dc, const Rect& r, bool pressed, bool hot) {
  const auto [frame, fill] = DefaultFace(pressed, hot);
  dc.FillRect(r, fill);
  dc.FrameRect(r, frame);
}

// The context menu opens at the pointer, or from the keyboard (-1) at the control's middle.
Point MenuPoint(HWND hwnd, LPARAM lp) {
  if (lp != -1) return LParamToPoint(lp);
  Rect r;
  GetWindowRect(hwnd, &r);
  return {r.left + r.Width() / 2, r.top + r.Height() / 2};
}

// A font for a record: face, height and style from it with `useSkinFont`, else the
// default font; the character set of the skin's interface texts; the colour given.
void AssignSkinFont(TFont& font, const TFont& defaultFont, const SkinEditFields* fields,
                    bool useSkinFont, Color color, const TskSkinData* data) {
  TFont f;
  MakeSkinCaptionFont(f, defaultFont, fields ? &fields->font : nullptr, useSkinFont, color, data);
  f.SetColor(color);
  if (!(f == font)) font.Assign(&f);
}


// The messages the skinned edit and memo answer alike before their base class sees them:
// the skinned context menu and its freeing, text drawn over a background of their own
// (erase, colour, a whole erase before each paint) and the held left button. True when
// the message is answered and goes no further.
struct SharedEditMessages {
  TWinControl& control;
  TskEditContextMenu& menu;
  bool ownBackground;
  bool& buttonHeld;
  std::function<void(LPARAM)> showMenu;
  std::function<void(DC&)> drawBackground;
  std::function<Color()> textColor;

  bool Handle(TMessage& m) const {
    switch (m.Msg) {
      case WM_CONTEXTMENU:
        if (control.PopupMenu()) return false;
        showMenu(m.LParam);
        return true;
      case SKINMSG_CLOSEMENUS:
        menu.Closed(control);
        return true;
      case skEditMsgFreeMenu:
        menu.FreeRequested(m.WParam);
        return true;
      case WM_ERASEBKGND:
        if (!ownBackground) return false;
        if (HDC dc = reinterpret_cast<HDC>(m.WParam)) drawBackground(*dc);
        m.Result = 1;
        return true;
      case CN_CTLCOLOREDIT:
      case CN_CTLCOLORSTATIC:
        if (!ownBackground) return false;
        if (HDC dc = reinterpret_cast<HDC>(m.WParam)) dc->SetTextColor(textColor());
        m.Result = reinterpret_cast<LRESULT>(&kNullBrush);
        return true;
      case WM_PAINT:
        // Text drawn without a background over what the last paint left would smear: the
        // whole update area is erased first.
        if (ownBackground && control.HandleAllocated()) {
          Rect r;
          if (GetUpdateRect(control.Handle(), &r, false)) InvalidateRect(control.Handle(), &r, true);
        }
        return false;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        buttonHeld = true;
        return false;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED:
        buttonHeld = false;
        return false;
      default:
        return false;
    }
  }
};

}  // namespace

// ---- record fields and insets

SkinEditFields ReadSkinEditFields(const TskSkinData& data, const TskDataSkinEditControl& r) {
  SkinEditFields f;
  f.picture = SkinActivePicture(&data, r.PictureIndex);
  f.skinRect = r.SkinRect;
  f.activeSkinRect = r.ActiveSkinRect.IsEmpty() ? r.SkinRect : r.ActiveSkinRect;
  f.parts = {r.LeftTopPoint, r.RightTopPoint, r.LeftBottomPoint, r.RightBottomPoint, r.ClientRect};
  f.font = static_cast<const SkinFontFields&>(r);
  f.activeFontColor = r.ActiveFontColor;
  f.disabledFontColor = r.DisabledFontColor;
  f.buttonRect = r.ButtonRect;
  f.activeButtonRect = r.ActiveButtonRect;
  f.downButtonRect = r.DownButtonRect.IsEmpty() ? r.ActiveButtonRect : r.DownButtonRect;
  f.disabledButtonRect = r.UnEnabledButtonRect;
  if (const auto* memo = dynamic_cast<const TskDataSkinMemoControl*>(&r)) {
    f.bgColor = memo->BGColor;
    f.activeBgColor = memo->ActiveBGColor;
  }
  f.usable = f.picture && !f.skinRect.IsEmpty() && f.picture->Bounds().Contains(f.skinRect);
  return f;
}

EditInsets SkinEditInsets(const SkinEditFields* fields, int width, int height, int fallback,
                          int extraRight) {
  EditInsets in{fallback, fallback, fallback + extraRight, fallback};
  if (fields && fields->usable) {
    const Rect& c = fields->parts.clientRect;
    const Rect& r = fields->skinRect;
    in = {c.left, c.top, r.Width() - c.right, r.Height() - c.bottom};
  }
  const int w = std::max(0, width), h = std::max(0, height);
  in.left = std::clamp(in.left, 0, w);
  in.right = std::clamp(in.right, 0, w - in.left);
  in.top = std::clamp(in.top, 0, h);
  in.bottom = std::clamp(in.bottom, 0, h - in.top);
  return in;
}

// ---- context menu

TskEditContextMenu::TskEditContextMenu() = default;
TskEditContextMenu::~TskEditContextMenu() = default;

void TskEditContextMenu::Open(TCustomEdit& edit, Point screen, const TskSkinData* texts,
                              TskSkinData* skin) {
  if (m_menu) {
    if (TskSkinMenu* controller = m_menu->MenuController(); controller && controller->Visible())
      controller->Hide();
    m_menu.reset();
  }
  ++m_openings;
  m_menu = std::make_unique<TskSkinPopupMenu>(&edit);
  TskSkinPopupMenu& menu = *m_menu;
  auto add = [&](std::string_view key, bool enabled, std::function<void()> run) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption(key.empty() ? std::string("-") : SkinInterfaceText(texts, key));
    item->SetEnabled(enabled);
    if (run) item->OnClick = [run = std::move(run)](TObject*) { run(); };
    menu.Items()->Add(item);
  };
  const bool readOnly = edit.ReadOnly();
  const bool selection = edit.SelLength() > 0;
  const bool wholeText = edit.SelStart() == 0 && edit.SelLength() == CharCount(edit.Text());
  TCustomEdit* e = &edit;
  add("EDIT_UNDO", edit.CanUndo() && !readOnly, [e] { e->Undo(); });
  add({}, true, nullptr);
  add("EDIT_CUT", selection && !readOnly, [e] { e->CutToClipboard(); });
  add("EDIT_COPY", selection, [e] { e->CopyToClipboard(); });
  add("EDIT_PASTE", !GetClipboardText().empty() && !readOnly, [e] { e->PasteFromClipboard(); });
  add("EDIT_DELETE", selection && !readOnly, [e] { e->ClearSelection(); });
  add({}, true, nullptr);
  add("EDIT_SELECTALL", !wholeText, [e] { e->SelectAll(); });
  // Without a frame's menu controller on the form the menu is drawn from the control's skin.
  if (!menu.MenuController() && skin && !skin->SkinEmpty()) menu.SetSkinData(skin);
  menu.Popup2(&edit, screen.x, screen.y);
}

void TskEditContextMenu::Closed(TWinControl& edit) {
  // The command that closed the menu runs after this notice; the menu goes only later.
  if (edit.HandleAllocated()) PostMessage(edit.Handle(), skEditMsgFreeMenu, m_openings, 0);
}

void TskEditContextMenu::FreeRequested(WPARAM number) {
  // A later opening has a menu of its own, which its own close will free.
  if (number == m_openings) m_menu.reset();
}

// ---- TskCustomEdit

TskCustomEdit::TskCustomEdit(TComponent* owner) : TCustomEdit(owner) {}

TskCustomEdit::~TskCustomEdit() = default;

void TskCustomEdit::SetTransparentText(bool on) {
  if (on == m_transparentText) return;
  m_transparentText = on;
  InvalidateTextArea();
}

void TskCustomEdit::InvalidateTextArea() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, true);
}

void TskCustomEdit::DrawTextBackground(DC& dc, const Rect& client) {
  if (OnDrawBackground) {
    OnDrawBackground(dc, client);
    return;
  }
  dc.FillRect(client, ColorToRGB(GetColor()));
}

Color TskCustomEdit::TransparentTextColor() const {
  return Enabled() ? ColorToRGB(Font().GetColor()) : ColorToRGB(clGrayText);
}

const TskSkinData* TskCustomEdit::MenuTexts() const { return nullptr; }

void TskCustomEdit::ShowContextMenu(LPARAM screenPoint) {
  m_menu.Open(*this, MenuPoint(Handle(), screenPoint), MenuTexts(), MenuSkin());
}

void TskCustomEdit::WndProc(TMessage& m) {
  const SharedEditMessages shared{*this, m_menu, m_transparentText, m_mouseButtonHeld,
                                  [this](LPARAM p) { ShowContextMenu(p); },
                                  [this](DC& dc) { DrawTextBackground(dc, ClientRect()); },
                                  [this] { return TransparentTextColor(); }};
  if (shared.Handle(m)) return;
  const UINT msg = m.Msg;
  const WPARAM wp = m.WParam;
  std::shared_ptr<bool> alive = m_alive;
  TCustomEdit::WndProc(m);
  if (!*alive || !m_transparentText) return;
  const TMessage seen{msg, wp, 0, 0};
  if (ChangesText(seen) || (msg == WM_MOUSEMOVE && m_mouseButtonHeld)) InvalidateTextArea();
}

void TskCustomEdit::DefaultHandler(TMessage& m) {
  // A one-line edit hands Enter and Escape to OnKeyPress only.
  if (m.Msg == WM_CHAR && (m.WParam == '\r' || m.WParam == 27) &&
      !(HandleAllocated() && (GetWindowLong(Handle(), GWL_STYLE) & ES_MULTILINE)))
    return;
  if (ReadOnly() && ReadOnlyRefuses(m)) return;
  TCustomEdit::DefaultHandler(m);
}

// ---- TskSkinEdit

TskSkinEdit::TskSkinEdit(TComponent* owner) : TskCustomEdit(owner), m_defaultFont(MakeEditFont()) {
  m_link.SetName("edit");
  SetTransparentText(true);
  SetBorderStyle(TBorderStyle::bsNone);
  Font().Assign(m_defaultFont.get());
  m_defaultFont->OnChange = [this](TObject*) { DefaultFontChanged(); };
  SetBounds(Left(), Top(), Width(), 20);
}

TskSkinEdit::~TskSkinEdit() { m_defaultFont->OnChange = nullptr; }

int TskSkinEdit::ReadSkinRecord() {
  m_link.Lookup();
  m_hasFields = false;
  m_fields = SkinEditFields{};
  if (const auto* record = dynamic_cast<const TskDataSkinEditControl*>(m_link.Record())) {
    m_fields = ReadSkinEditFields(*SkinData(), *record);
    m_hasFields = true;
  }
  return SkinIndex();
}

void TskSkinEdit::SetSkinData(TskSkinData* data) {
  m_link.SetData(data);
  if (data && !data->SkinEmpty() && !Designing()) ApplySkin();
}

void TskSkinEdit::Notification(TComponent* component, TOperation operation) {
  TskCustomEdit::Notification(component, operation);
  if (operation != TOperation::opRemove || !m_link.Removed(component)) return;
  BeginSkinChange();
  if (!HasState(csDestroying)) ApplySkin();
}

void TskSkinEdit::SetUseSkinFont(bool on) {
  if (on == m_useSkinFont) return;
  m_useSkinFont = on;
  if (!Designing()) ApplySkin();
}

void TskSkinEdit::SetDefaultWidth(int w) {
  m_defaultWidth = w;
  ReadSkinRecord();
  if (!m_hasFields && w > 0) SetWidth(w);
}

void TskSkinEdit::SetDefaultHeight(int h) {
  m_defaultHeight = h;
  ReadSkinRecord();
  if (m_hasFields) return;
  if (!m_useSkinFont) SetHeight(ComputedHeight());
  else if (h > 0) SetHeight(h);
}

void TskSkinEdit::SetButtonMode(bool on) {
  if (on == m_buttonMode) return;
  m_buttonMode = on;
  if (Designing()) SetSkinDataName(on ? "buttonedit" : "edit");
  m_buttonHot = m_buttonPressed = false;
  // Only the non-client area depends on it, so the window (and its undo) stays.
  FrameChanged();
}

void TskSkinEdit::DefaultFontChanged() {
  ReadSkinRecord();
  if (!m_hasFields) {
    AssignSkinFont(Font(), *m_defaultFont, nullptr, m_useSkinFont, StateColor(),
                   SkinData());
  } else if (!m_useSkinFont) {
    AssignSkinFont(Font(), *m_defaultFont, &m_fields, false, StateColor(), SkinData());
  }
}

EditInsets TskSkinEdit::Insets(int width, int height) {
  const bool skinned = m_hasFields && m_fields.usable;
  return SkinEditInsets(skinned ? &m_fields : nullptr, width, height, kDefaultInset,
                        (!skinned && m_buttonMode) ? std::max(0, height) : 0);
}

int TskSkinEdit::ComputedHeight() {
  // The font's height and the frame above and below the text area (the skin height less
  // the client height, where the client rect lies inside the skin rect).
  const int text = Font().Handle().Metrics().height;
  if (!(m_hasFields && m_fields.usable)) return text + 2 * kDefaultInset;
  const Rect& c = m_fields.parts.clientRect;
  return text + std::max(0, c.top) + std::max(0, m_fields.skinRect.Height() - c.bottom);
}

Color TskSkinEdit::StateColor() {
  if (!m_hasFields) return Enabled() ? m_defaultFont->GetColor() : clGrayText;
  if (!Enabled()) return m_fields.disabledFontColor;
  return ActiveLook() ? m_fields.activeFontColor : m_fields.font.FontColor;
}

void TskSkinEdit::ApplyStateColor() {
  const Color c = StateColor();
  if (Font().GetColor() != c) Font().SetColor(c);
}

Color TskSkinEdit::TransparentTextColor() const { return ColorToRGB(Font().GetColor()); }

void TskSkinEdit::SetBounds(int left, int top, int width, int height) {
  ReadSkinRecord();
  if (!m_useSkinFont) height = ComputedHeight();
  else if (m_hasFields && m_fields.usable) height = m_fields.skinRect.Height();
  TskCustomEdit::SetBounds(left, top, width, height);
}

void TskSkinEdit::BeginSkinChange() {
  m_link.Forget();
  m_hasFields = false;
  m_fields = SkinEditFields{};
}

void TskSkinEdit::ApplySkin() {
  ReadSkinRecord();
  AssignSkinFont(Font(), *m_defaultFont, m_hasFields ? &m_fields : nullptr, m_useSkinFont,
                 StateColor(), SkinData());
  int w = Width(), h = Height();
  if (!m_hasFields) {
    if (m_defaultWidth > 0) w = m_defaultWidth;
    if (m_defaultHeight > 0) h = m_defaultHeight;
  }
  SetBounds(Left(), Top(), w, h);  // takes the height the skin or the font gives
  FrameChanged();
}

void TskSkinEdit::FrameChanged() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TskSkinEdit::RedrawFrame() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TskSkinEdit::SendMargins() {
  if (HandleAllocated())
    SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextMargin, kTextMargin));
}

void TskSkinEdit::CreateParams(TCreateParams& p) {
  TskCustomEdit::CreateParams(p);
  p.style &= ~static_cast<DWORD>(WS_BORDER);
  p.exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT);
}

void TskSkinEdit::CreateWindowHandleDone() {
  TskCustomEdit::CreateWindowHandleDone();
  m_sentFont = Font().Spec();
  m_fontSent = true;
  SendMargins();
  // The platform's window measured its frame before it was taken over.
  FrameChanged();
}

void TskSkinEdit::FontChanged() {
  const FontSpec spec = Font().Spec();
  if (HandleAllocated() && m_fontSent && spec == m_sentFont) {
    // Only the colour changed: the platform control keeps its layout and scrolling.
    SendMessage(Handle(), EM_SETCOLORS, ColorToRGB(Font().GetColor()), ColorToRGB(GetColor()));
    Invalidate();
    return;
  }
  TskCustomEdit::FontChanged();
  m_fontSent = HandleAllocated();
  m_sentFont = spec;
  SendMargins();
  if (!m_useSkinFont) SetBounds(Left(), Top(), Width(), Height());
}

void TskSkinEdit::MouseEnter() {
  if (Designing()) return;
  const bool wasActive = ActiveLook();
  m_mouseInside = true;
  if (!wasActive) {
    ApplyStateColor();
    RedrawFrame();
  }
  TskCustomEdit::MouseEnter();
}

void TskSkinEdit::MouseLeave() {
  if (Designing()) return;
  m_mouseInside = false;
  if (m_buttonPressed && HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  m_buttonHot = m_buttonPressed = false;
  ApplyStateColor();
  RedrawFrame();
  TskCustomEdit::MouseLeave();
}

const TskSkinData* TskSkinEdit::MenuTexts() const {
  const TskSkinForm* frame = TskSkinForm::Find(GetParentForm());
  return frame ? frame->SkinData() : nullptr;
}

Rect TskSkinEdit::TextArea() {
  if (HandleAllocated()) return WindowClientRect(Handle());
  ReadSkinRecord();
  return Insets(Width(), Height()).Apply({0, 0, Width(), Height()});
}

Rect TskSkinEdit::ButtonRect() {
  if (!m_buttonMode) return {};
  ReadSkinRecord();
  const int w = std::max(0, Width()), h = std::max(0, Height());
  if (!(m_hasFields && m_fields.usable)) return {std::max(0, w - h), 0, w, h};
  Rect b = m_fields.buttonRect;
  if (b.left >= m_fields.parts.rightTop.x) b.Translate(w - m_fields.skinRect.Width(), 0);
  if (!m_useSkinFont) b.bottom += h - m_fields.skinRect.Height();
  return b;
}

Bitmap TskSkinEdit::FrameImage() {
  ReadSkinRecord();
  const int w = std::max(0, Width()), h = std::max(0, Height());
  Bitmap image(w, h, ColorToPixel(ColorToRGB(clWindow)));
  if (image.IsEmpty()) return image;
  DC dc(image);
  const Rect button = ButtonRect();
  if (!(m_hasFields && m_fields.usable)) {
    dc.FrameRect({0, 0, w, h}, clBtnShadow);
    dc.FrameRect({1, 1, w - 1, h - 1}, clBtnFace);
    if (m_buttonMode) DrawDefaultButton(dc, button, m_buttonPressed && m_buttonHot, m_buttonHot);
    return image;
  }
  const SkinEditFields& f = m_fields;
  const Rect& state = ActiveLook() ? f.activeSkinRect : f.skinRect;
  Bitmap strip;
  BuildHStripImage(strip, f.parts.leftTop.x, f.skinRect.Width() - f.parts.rightTop.x, state, *f.picture, w);
  if (m_useSkinFont) CopySkinRect(image, strip.Bounds(), strip, strip.Bounds());
  else CopySkinRect(image, image.Bounds(), strip, strip.Bounds());
  if (m_buttonMode) {
    Rect source;
    if (!Enabled() && !f.disabledButtonRect.IsEmpty()) source = f.disabledButtonRect;
    else if (Enabled() && m_buttonPressed && m_buttonHot) source = f.downButtonRect;
    else if (Enabled() && m_buttonHot) source = f.activeButtonRect;
    if (!source.IsEmpty()) CopySkinRect(image, button, *f.picture, source);
  }
  return image;
}

void TskSkinEdit::PaintFrame() {
  if (HandleAllocated()) PaintNonClient(Handle(), FrameImage());
}

void TskSkinEdit::DrawTextBackground(DC& dc, const Rect& client) {
  ReadSkinRecord();
  Bitmap back(std::max(0, client.Width()), std::max(0, client.Height()), ColorToPixel(ColorToRGB(clWindow)));
  if (m_hasFields && m_fields.usable && !back.IsEmpty()) {
    const SkinEditFields& f = m_fields;
    const Rect& state = ActiveLook() ? f.activeSkinRect : f.skinRect;
    const Rect& c = f.parts.clientRect;
    Bitmap strip;
    BuildHStripImage(strip, std::max(0, f.parts.leftTop.x - c.left), std::max(0, c.right - f.parts.rightTop.x),
                     c.Translated(state.left, state.top), *f.picture, back.Width());
    if (m_useSkinFont) CopySkinRect(back, strip.Bounds(), strip, strip.Bounds());
    else CopySkinRect(back, back.Bounds(), strip, strip.Bounds());
  }
  DCState saved(dc);
  dc.SetViewportOrg(client.TopLeft());
  Blit(dc, std::move(back));
}

void TskSkinEdit::SetButtonHot(bool on) {
  if (on == m_buttonHot) return;
  m_buttonHot = on;
  PaintFrame();
}

bool TskSkinEdit::OverButton(Point screen) {
  return HandleAllocated() && ButtonRect().Contains(ScreenToWindow(Handle(), screen));
}

void TskSkinEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      CalcNonClient(m, [this](int w, int h) {
        ReadSkinRecord();
        return Insets(w, h);
      });
      return;
    case WM_NCPAINT:
      PaintFrame();
      m.Result = 0;
      return;
    case WM_NCHITTEST: {
      const Point p = ScreenToWindow(Handle(), LParamToPoint(m.LParam));
      if (m_buttonMode && !Designing() && ButtonRect().Contains(p)) m.Result = kHitButton;
      else m.Result = FrameHitTest(Handle(), p);
      return;
    }
    case WM_NCMOUSEMOVE:
      TrackFramePointer(*this, m);
      if (m_buttonMode && !Designing()) SetButtonHot(m.WParam == static_cast<WPARAM>(kHitButton));
      break;
    case WM_MOUSELEAVE:
      if (TrackFramePointer(*this, m)) return;
      break;
    case WM_NCMOUSELEAVE:
      if (m_buttonHot && !m_buttonPressed) SetButtonHot(false);
      TrackFramePointer(*this, m);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (m.WParam != static_cast<WPARAM>(kHitButton) || !m_buttonMode || Designing() || !Enabled()) break;
      m_buttonPressed = true;
      m_buttonHot = true;
      SetCapture(Handle());
      PaintFrame();
      return;
    case WM_MOUSEMOVE:
      if (!m_buttonPressed) break;
      SetButtonHot(OverButton(ClientToScreen(LParamToPoint(m.LParam))));
      return;
    case WM_LBUTTONUP: {
      if (!m_buttonPressed) break;
      const bool over = OverButton(ClientToScreen(LParamToPoint(m.LParam)));
      m_buttonPressed = false;
      m_buttonHot = over;
      if (GetCapture() == Handle()) ReleaseCapture();
      PaintFrame();
      // Nothing tracked the pointer while the button held it.
      if (PointerOver(Handle())) {
        Point p;
        GetCursorPos(&p);
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        if (!WindowClientRect(Handle()).Contains(ScreenToWindow(Handle(), p))) tme.dwFlags |= TME_NONCLIENT;
        tme.hwndTrack = Handle();
        TrackMouseEvent(&tme);
      } else if (Application) {
        Application->MouseLeftWindow(this);
      }
      if (!over) return;
      std::shared_ptr<bool> alive = m_alive;
      if (!Focused() && CanFocus()) SetFocus();
      if (*alive) Fire(OnButtonClick, this);
      return;
    }
    case WM_CAPTURECHANGED:
      if (m_buttonPressed && HandleAllocated() && GetCapture() != Handle()) {
        m_buttonPressed = false;
        PaintFrame();
      }
      break;
    default:
      break;
  }
  const UINT msg = m.Msg;
  std::shared_ptr<bool> alive = m_alive;
  TskCustomEdit::WndProc(m);
  if (!*alive) return;
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      ApplyStateColor();
      RedrawFrame();
      break;
    case CM_ENABLEDCHANGED:
      if (!Enabled() && m_buttonPressed) {
        m_buttonPressed = false;
        if (GetCapture() == Handle()) ReleaseCapture();
      }
      ApplyStateColor();
      RedrawFrame();
      break;
    default:
      break;
  }
}

bool TskSkinEdit::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData"))
    ReadSkinDataLink(v, reader, [this](TskSkinData* d) { SetSkinData(d); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else if (SameText(name, "UseSkinFont")) SetUseSkinFont(v.AsBool());
  else if (SameText(name, "DefaultWidth")) SetDefaultWidth(v.AsInt());
  else if (SameText(name, "DefaultHeight")) SetDefaultHeight(v.AsInt());
  else if (SameText(name, "ButtonMode")) SetButtonMode(v.AsBool());
  else if (SameText(name, "OnButtonClick")) OnButtonClick = reader.ReadHandler<TNotifyEvent>(v);
  else return TskCustomEdit::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinEdit::PropertyObject(std::string_view name) {
  if (SameText(name, "DefaultFont")) return m_defaultFont.get();
  return TskCustomEdit::PropertyObject(name);
}

// ---- TskSkinMemo

TskSkinMemo::TskSkinMemo(TComponent* owner) : TCustomMemo(owner), m_defaultFont(MakeEditFont()) {
  m_link.SetName("memo");
  SetBorderStyle(TBorderStyle::bsNone);
  Font().Assign(m_defaultFont.get());
  m_defaultFont->OnChange = [this](TObject*) { DefaultFontChanged(); };
}

TskSkinMemo::~TskSkinMemo() {
  m_defaultFont->OnChange = nullptr;
  if (m_vScrollBar) m_vScrollBar->OnChange = nullptr;
}

int TskSkinMemo::ReadSkinRecord() {
  m_link.Lookup();
  m_hasFields = false;
  m_fields = SkinEditFields{};
  if (const auto* record = dynamic_cast<const TskDataSkinMemoControl*>(m_link.Record())) {
    m_fields = ReadSkinEditFields(*SkinData(), *record);
    m_hasFields = true;
  }
  return SkinIndex();
}

void TskSkinMemo::SetSkinData(TskSkinData* data) {
  m_link.SetData(data);
  if (data && !data->SkinEmpty() && !Designing()) ApplySkin();
}

void TskSkinMemo::Notification(TComponent* component, TOperation operation) {
  TCustomMemo::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_vScrollBar) m_vScrollBar = nullptr;
  if (!m_link.Removed(component)) return;
  BeginSkinChange();
  if (!HasState(csDestroying)) ApplySkin();
}

void TskSkinMemo::SetUseSkinFont(bool on) {
  if (on == m_useSkinFont) return;
  m_useSkinFont = on;
  if (!Designing()) ApplySkin();
}

void TskSkinMemo::SetBitMapBG(bool on) {
  if (on == m_bitmapBG) return;
  m_bitmapBG = on;
  // The text is drawn transparently or on a colour at each paint; the window stays.
  ReadSkinRecord();
  ApplyStateColors();
  RedrawFrame();
}

void TskSkinMemo::DefaultFontChanged() {
  ReadSkinRecord();
  if (!m_hasFields) {
    AssignSkinFont(Font(), *m_defaultFont, nullptr, m_useSkinFont, StateColor(), SkinData());
  } else if (!m_useSkinFont) {
    AssignSkinFont(Font(), *m_defaultFont, &m_fields, false, StateColor(), SkinData());
  }
}

EditInsets TskSkinMemo::Insets(int width, int height) {
  return SkinEditInsets(m_hasFields && m_fields.usable ? &m_fields : nullptr, width, height, kDefaultInset, 0);
}

Color TskSkinMemo::StateColor() {
  if (!Enabled()) return clGrayText;
  if (!m_hasFields) return m_defaultFont->GetColor();
  return ActiveLook() ? m_fields.activeFontColor : m_fields.font.FontColor;
}

void TskSkinMemo::ApplyStateColors() {
  const Color c = StateColor();
  if (Font().GetColor() != c) Font().SetColor(c);
  if (m_hasFields && !m_bitmapBG) {
    const Color back = ActiveLook() ? m_fields.activeBgColor : m_fields.bgColor;
    if (GetColor() != back) SetColor(back);
  }
}

void TskSkinMemo::BeginSkinChange() {
  m_link.Forget();
  m_hasFields = false;
  m_fields = SkinEditFields{};
}

void TskSkinMemo::ApplySkin() {
  ReadSkinRecord();
  AssignSkinFont(Font(), *m_defaultFont, m_hasFields ? &m_fields : nullptr, m_useSkinFont,
                 StateColor(), SkinData());
  ApplyStateColors();
  UpdateScrollBar();
  FrameChanged();
  if (m_vScrollBar && m_vScrollBar->Align() != TAlign::alNone && m_vScrollBar->Parent())
    m_vScrollBar->Parent()->Realign();
}

void TskSkinMemo::FrameChanged() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TskSkinMemo::RedrawFrame() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void TskSkinMemo::CreateParams(TCreateParams& p) {
  TCustomMemo::CreateParams(p);
  p.style &= ~static_cast<DWORD>(WS_BORDER | WS_VSCROLL | WS_HSCROLL);
  p.exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT);
}

void TskSkinMemo::CreateWindowHandleDone() {
  TCustomMemo::CreateWindowHandleDone();
  m_sentFont = Font().Spec();
  m_fontSent = true;
  // The platform's window measured its frame before it was taken over.
  FrameChanged();
}

void TskSkinMemo::FontChanged() {
  const FontSpec spec = Font().Spec();
  if (HandleAllocated() && m_fontSent && spec == m_sentFont) {
    // Only the colour changed: a new font would relayout and scroll to the caret.
    SendMessage(Handle(), EM_SETCOLORS, ColorToRGB(Enabled() ? Font().GetColor() : clGrayText),
                ColorToRGB(GetColor()));
    Invalidate();
    return;
  }
  TCustomMemo::FontChanged();
  m_fontSent = HandleAllocated();
  m_sentFont = spec;
  UpdateScrollBar();
}

void TskSkinMemo::MouseEnter() {
  if (Designing()) return;
  const bool wasActive = ActiveLook();
  m_mouseInside = true;
  if (!wasActive) {
    ApplyStateColors();
    RedrawFrame();
  }
  TCustomMemo::MouseEnter();
}

void TskSkinMemo::MouseLeave() {
  if (Designing()) return;
  m_mouseInside = false;
  ApplyStateColors();
  RedrawFrame();
  TCustomMemo::MouseLeave();
}

Rect TskSkinMemo::TextArea() {
  if (HandleAllocated()) return WindowClientRect(Handle());
  ReadSkinRecord();
  return Insets(Width(), Height()).Apply({0, 0, Width(), Height()});
}

Bitmap TskSkinMemo::FrameImage() {
  ReadSkinRecord();
  const int w = std::max(0, Width()), h = std::max(0, Height());
  Bitmap image(w, h, ColorToPixel(ColorToRGB(clWindow)));
  if (image.IsEmpty()) return image;
  if (!(m_hasFields && m_fields.usable)) {
    DC dc(image);
    dc.FrameRect({0, 0, w, h}, clBtnShadow);
    dc.FrameRect({1, 1, w - 1, h - 1}, clBtnFace);
    return image;
  }
  const SkinEditFields& f = m_fields;
  const Rect& state = ActiveLook() ? f.activeSkinRect : f.skinRect;
  const SizedNinePart sized = DeriveNinePart(SkinResizeMode::Both, f.skinRect, f.parts, w, h);
  const BorderStrips strips =
      BuildBorderStripsStretched(f.parts, sized.parts, state, *f.picture, w, h, EdgeStretch{});
  const Rect& c = f.parts.clientRect;
  auto put = [&](const Bitmap& strip, int x, int y) {
    if (!strip.IsEmpty()) CopySkinRect(image, Rect::FromSize(x, y, strip.Width(), strip.Height()), strip, strip.Bounds());
  };
  put(strips.top, 0, 0);
  put(strips.left, 0, c.top);
  put(strips.right, w - (f.skinRect.Width() - c.right), c.top);
  put(strips.bottom, 0, h - (f.skinRect.Height() - c.bottom));
  return image;
}

void TskSkinMemo::PaintFrame() {
  if (HandleAllocated()) PaintNonClient(Handle(), FrameImage());
}

void TskSkinMemo::DrawBitmapBackground(DC& dc, const Rect& client) {
  ReadSkinRecord();
  Bitmap back;
  if (m_hasFields && m_fields.usable) {
    const Rect& state = ActiveLook() ? m_fields.activeSkinRect : m_fields.skinRect;
    TileArea(back, m_fields.parts.clientRect, client.GetSize(), state, *m_fields.picture,
             client.Width(), client.Height());
  } else {
    back = Bitmap(std::max(0, client.Width()), std::max(0, client.Height()), ColorToPixel(ColorToRGB(clWindow)));
  }
  DCState saved(dc);
  dc.SetViewportOrg(client.TopLeft());
  Blit(dc, std::move(back));
}

void TskSkinMemo::SetVScrollBar(TskSkinScrollBar* bar) {
  if (bar == m_vScrollBar) return;
  if (m_vScrollBar) {
    m_vScrollBar->OnChange = nullptr;
    RemoveFreeNotification(m_vScrollBar);
  }
  m_vScrollBar = bar;
  if (!bar) return;
  FreeNotification(bar);
  bar->SetRange(0, 0, 0, 0);
  bar->OnChange = [this](TObject*) { ScrollBarMoved(); };
  UpdateScrollBar();
}

void TskSkinMemo::UpdateScrollBar() {
  if (!m_vScrollBar) return;
  if (!Enabled()) {
    m_vScrollBar->SetEnabled(false);
    return;
  }
  const int textHeight = Font().Handle().TextExtent("Wq").cy;
  const int visible = ClientHeight() / (textHeight > 0 ? textHeight : 1);
  const int count = LineCount();
  if (visible < count) {
    m_vScrollBar->SetRange(0, count, visible + 1, FirstVisibleLine());
    m_vScrollBar->SetEnabled(true);
  } else {
    m_vScrollBar->SetRange(0, 0, 0, 0);
    m_vScrollBar->SetEnabled(false);
  }
}

void TskSkinMemo::ScrollBarMoved() {
  if (!m_vScrollBar || !HandleAllocated()) return;
  const int by = m_vScrollBar->Position() - FirstVisibleLine();
  if (by != 0) SendMessage(Handle(), EM_LINESCROLL, 0, by);
  Invalidate();
}

void TskSkinMemo::ShowContextMenu(LPARAM screenPoint) {
  m_menu.Open(*this, MenuPoint(Handle(), screenPoint), SkinData(), SkinData());
}

void TskSkinMemo::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      CalcNonClient(m, [this](int w, int h) {
        ReadSkinRecord();
        return Insets(w, h);
      });
      return;
    case WM_NCPAINT:
      PaintFrame();
      m.Result = 0;
      return;
    case WM_NCHITTEST:
      m.Result = FrameHitTest(Handle(), ScreenToWindow(Handle(), LParamToPoint(m.LParam)));
      return;
    case WM_NCMOUSEMOVE:
      TrackFramePointer(*this, m);
      break;
    case WM_MOUSELEAVE:
      if (TrackFramePointer(*this, m)) return;
      break;
    case WM_NCMOUSELEAVE:
      TrackFramePointer(*this, m);
      return;
    case WM_MOUSEWHEEL: {
      bool handled = false;
      const int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
      if (OnMouseWheel) OnMouseWheel(this, KeyboardShiftState(), delta, LParamToPoint(m.LParam), handled);
      if (!handled && HandleAllocated()) {
        SendMessage(Handle(), EM_LINESCROLL, 0, delta <= 0 ? 1 : -1);
        UpdateScrollBar();
        Invalidate();
      }
      m.Result = 1;
      return;
    }
    default:
      break;
  }
  const SharedEditMessages shared{*this, m_menu, m_bitmapBG, m_mouseButtonHeld,
                                  [this](LPARAM p) { ShowContextMenu(p); },
                                  [this](DC& dc) { DrawBitmapBackground(dc, ClientRect()); },
                                  [this] { return ColorToRGB(Enabled() ? Font().GetColor() : clGrayText); }};
  if (shared.Handle(m)) return;
  const UINT msg = m.Msg;
  const WPARAM wp = m.WParam;
  std::shared_ptr<bool> alive = m_alive;
  TCustomMemo::WndProc(m);
  if (!*alive) return;
  const TMessage seen{msg, wp, 0, 0};
  const bool drag = msg == WM_MOUSEMOVE && m_mouseButtonHeld;
  if (ChangesText(seen) || drag || msg == WM_SIZE || msg == CM_ENABLEDCHANGED) UpdateScrollBar();
  if (m_bitmapBG && (ChangesText(seen) || drag)) Invalidate();
  if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == CM_ENABLEDCHANGED) {
    ApplyStateColors();
    RedrawFrame();
  }
}

void TskSkinMemo::DefaultHandler(TMessage& m) {
  if (ReadOnly() && ReadOnlyRefuses(m)) return;
  TCustomMemo::DefaultHandler(m);
}

bool TskSkinMemo::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData"))
    ReadSkinDataLink(v, reader, [this](TskSkinData* d) { SetSkinData(d); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else if (SameText(name, "UseSkinFont")) SetUseSkinFont(v.AsBool());
  else if (SameText(name, "BitMapBG")) SetBitMapBG(v.AsBool());
  else if (SameText(name, "VScrollBar"))
    reader.ReadLink<TskSkinScrollBar>(v, [this](TskSkinScrollBar* b) { SetVScrollBar(b); });
  else return TCustomMemo::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinMemo::PropertyObject(std::string_view name) {
  if (SameText(name, "DefaultFont")) return m_defaultFont.get();
  return TCustomMemo::PropertyObject(name);
}
