// Skinned combo boxes: layout, looks, the popup list's opening and closing, mouse (with the
// drag that opens and picks in one move), keys, wheel and the typed search.
#include "skin/controls/skSkinComboBox.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "platform/sys/Utf8.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowSystem.h"
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/form/skPopupWindow.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Reader.h"

namespace {

// Posted by the press watch: close the list without taking its row.
constexpr UINT CM_SKCOMBOCLOSE = CM_BASE + 121;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

int CharCount(std::string_view text) {
  int n = 0;
  for (std::size_t pos = 0; pos < text.size(); ++n) pos += DecodeUtf8(text, pos).length;
  return n;
}

void FillColor(Bitmap& image, const Rect& r, Color c) {
  DC dc(image);
  dc.FillRect(r, ColorToRGB(c));
}

}  // namespace

SkinComboBoxFields ReadSkinComboBoxFields(const TskDataSkinComboBox& r) {
  SkinComboBoxFields f;
  f.itemRect = r.ItemRect;
  f.focusItemRect = r.FocusItemRect.IsEmpty() ? r.ItemRect : r.FocusItemRect;
  f.itemLeftOffset = r.ItemLeftOffset;
  f.itemRightOffset = r.ItemRightOffset;
  f.itemTextRect = r.ItemTextRect;
  f.font = r;
  f.focusFontColor = r.FocusFontColor;
  f.listBoxName = r.ListBoxName;
  f.buttonRect = r.ButtonRect;
  f.activeButtonRect = r.ActiveButtonRect;
  f.downButtonRect = r.DownButtonRect;
  return f;
}

// ---- the popup list

TskPopupListBox::TskPopupListBox(TComponent* owner, TskSkinCustomComboBox* combo)
    : TskSkinCustomListBox(owner), m_combo(combo) {
  TControl::SetVisible(false);
  SetTabStop(false);
  ListBox().SetTabStop(false);
  SetSkinDataName("");
}

TskPopupListBox::~TskPopupListBox() = default;

void TskPopupListBox::CreateParams(TCreateParams& p) {
  TskSkinCustomListBox::CreateParams(p);
  // A top-level window over everything that never takes the activation or the focus.
  p.parent = nullptr;
  p.style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (Enabled() ? 0 : WS_DISABLED);
  p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | (m_alphaBlend ? WS_EX_LAYERED : 0);
}

void TskPopupListBox::SetAlphaBlend(bool on, int value) {
  m_alphaValue = std::clamp(value, 0, 255);
  if (on == m_alphaBlend) return;
  m_alphaBlend = on;
  // The layered style comes with the window.
  if (HandleAllocated() && !m_shown) DestroyHandle();
}

void TskPopupListBox::ShowAt(Point screen) {
  SetBounds(screen.x, screen.y, Width(), Height());
  if (HandleAllocated() && m_alphaBlend != ((GetWindowLong(Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0))
    DestroyHandle();
  HandleNeeded();
  if (m_alphaBlend) SetLayeredWindowAttributes(Handle(), 0, static_cast<BYTE>(m_alphaValue), LWA_ALPHA);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  m_shown = true;
  m_pressedInside = false;
  SetVisible(true);
  UpdateScrollBars();
  Invalidate();
  ListBox().Invalidate();
}

void TskPopupListBox::HideList() {
  m_shown = false;
  SetVisible(false);
}

int TskPopupListBox::TrackAt(Point screen) {
  TskListBox& list = ListBox();
  if (!m_shown || !list.HandleAllocated()) return -1;
  const Point p = list.ScreenToClient(screen);
  const Rect client = list.ClientRect();
  const int count = Items().Count();
  if (count == 0) return -1;
  if (p.x >= client.left && p.x < client.right && (p.y < client.top || p.y >= client.bottom)) {
    // Above or below the rows with the button held: the list scrolls a row at a time.
    const int rows = std::max(1, client.Height() / std::max(1, list.ItemHeight()));
    const int top = TopIndex();
    if (p.y < client.top) {
      SetTopIndex(std::max(0, top - 1));
      SetItemIndex(TopIndex());
    } else {
      SetTopIndex(top + 1);
      SetItemIndex(std::min(count - 1, TopIndex() + rows - 1));
    }
    return -1;
  }
  if (!client.Contains(p)) return -1;
  const int i = list.ItemAtPos(p, true);
  if (i >= 0 && i != ItemIndex()) SetItemIndex(i);
  return i;
}

bool TskPopupListBox::InnerListMouse(TMessage& m) {
  TskListBox& list = ListBox();
  const Point p = LParamToPoint(m.LParam);
  const int row = list.ClientRect().Contains(p) ? list.ItemAtPos(p, true) : -1;
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      // The row under the pointer is the one a click takes.
      if (row >= 0 && row != ItemIndex()) SetItemIndex(row);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Neither the focus nor the capture moves to the list.
      m_pressedInside = true;
      if (row >= 0 && row != ItemIndex()) SetItemIndex(row);
      return true;
    case WM_LBUTTONUP:
      if (row >= 0 && m_combo) {
        if (row != ItemIndex()) SetItemIndex(row);
        m_combo->ListRowAccepted();
      }
      return true;
    default:
      return true;
  }
}

// ---- the combo box

TskSkinCustomComboBox::TskSkinCustomComboBox(TComponent* owner) : TskSkinCustomControl(owner) {
  // Clicks are items chosen, not presses on the box.
  m_controlStyle = (m_controlStyle | csOpaque | csCaptureMouse) & ~csClickEvents;
  SetSkinDataName("combobox");
  Font().SetName(SkinDefaultFontName);
  Font().SetHeight(SkinDefaultFontHeight);
  Font().SetColor(clWindowText);
  SetTabStop(true);
  m_popup = new TskPopupListBox(this, this);
  SetBounds(0, 0, 120, 20);
}

TskSkinCustomComboBox::~TskSkinCustomComboBox() { RemoveHook(); }

TStrings& TskSkinCustomComboBox::Items() const { return m_popup->Items(); }

int TskSkinCustomComboBox::ItemIndex() const { return m_popup ? m_popup->ItemIndex() : -1; }

void TskSkinCustomComboBox::SetItemIndex(int index) {
  std::shared_ptr<bool> alive = m_alive;
  m_popup->SetItemIndex(index);
  const int i = m_popup->ItemIndex();
  if (Items().Count() > 0 && i != -1) SetText(Items().Get(i));
  if (!*alive) return;
  m_savedIndex = i;
  Invalidate();
  if (!HasState(csLoading) && !HasState(csReading) && !Designing()) Click();
}

void TskSkinCustomComboBox::SetStyle(TskSkinCustomComboBoxStyle style) {
  if (style == m_style) return;
  if (m_dropped) CloseUp(false);
  m_style = style;
  if (style == TskSkinCustomComboBoxStyle::skcbEditStyle) {
    const bool hadFocus = Focused();
    SetTabStop(false);
    m_edit = CreateEdit();
    m_edit->SetHideSelection(m_hideSelection);
    m_edit->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) { EditKeyDown(key, shift); };
    m_edit->OnKeyUp = [this](TObject*, WORD& key, TShiftState shift) { EditKeyUp(key, shift); };
    m_edit->OnChange = [this](TObject*) { EditChanged(); };
    m_edit->OnExit = [this](TObject*) {
      if (m_dropped) CloseUp(false);
    };
    m_edit->SetParent(this);
    m_textToEdit = true;
    m_edit->SetText(Text());
    m_textToEdit = false;
    PlaceEdit();
    if (hadFocus && m_edit->CanFocus()) m_edit->SetFocus();
  } else {
    TCustomEdit* edit = m_edit;
    m_edit = nullptr;
    if (edit) {
      edit->OnKeyDown = nullptr;
      edit->OnKeyUp = nullptr;
      edit->OnChange = nullptr;
      edit->OnExit = nullptr;
      edit->BeforeDestruction();
      delete edit;
    }
    SetTabStop(true);
  }
  Layout();
  Invalidate();
}

namespace {

// The text entry of an edit-style combo: the skinned edits' read-only rules and context
// menu, the menu drawn from the combo's skin and captioned from the frame's texts.
class TskComboInnerEdit : public TskCustomEdit {
 public:
  explicit TskComboInnerEdit(TskSkinCustomComboBox* combo) : TskCustomEdit(combo), m_combo(combo) {
    SetBorderStyle(TBorderStyle::bsNone);
  }

 protected:
  const TskSkinData* MenuTexts() const override {
    const TskSkinForm* frame = TskSkinForm::Find(GetParentForm());
    return frame ? frame->SkinData() : m_combo->SkinData();
  }
  TskSkinData* MenuSkin() const override { return m_combo->SkinData(); }

 private:
  TskSkinCustomComboBox* m_combo;
};

}  // namespace

TCustomEdit* TskSkinCustomComboBox::CreateEdit() { return new TskComboInnerEdit(this); }

void TskSkinCustomComboBox::SetDropDownCount(int n) {
  if (n > 0) m_dropDownCount = n;
}

bool TskSkinCustomComboBox::Sorted() const { return m_popup->Sorted(); }
void TskSkinCustomComboBox::SetSorted(bool on) { m_popup->SetSorted(on); }

void TskSkinCustomComboBox::SetUseSkinSize(bool on) {
  if (on == m_useSkinSize) return;
  m_useSkinSize = on;
  ApplySkin();
}

void TskSkinCustomComboBox::SetHideSelection(bool on) {
  m_hideSelection = on;
  if (m_edit) m_edit->SetHideSelection(on);
}

void TskSkinCustomComboBox::SetAlphaBlend(bool on) {
  m_alphaBlend = on;
  m_popup->SetAlphaBlend(on, m_alphaBlendValue);
}

void TskSkinCustomComboBox::SetAlphaBlendValue(int v) {
  m_alphaBlendValue = std::clamp(v, 0, 255);
  m_popup->SetAlphaBlend(m_alphaBlend, m_alphaBlendValue);
}

void TskSkinCustomComboBox::SetListBoxCaption(std::string_view caption) {
  m_listBoxCaption = caption;
  m_popup->SetCaption(caption);
}

bool TskSkinCustomComboBox::ListBoxCaptionMode() const { return m_popup->CaptionMode(); }
void TskSkinCustomComboBox::SetListBoxCaptionMode(bool on) { m_popup->SetCaptionMode(on); }
TImageList* TskSkinCustomComboBox::Images() const { return m_popup->Images(); }

void TskSkinCustomComboBox::SetImages(TImageList* images) {
  m_popup->SetImages(images);
  Invalidate();
}

int TskSkinCustomComboBox::ImageIndex() const { return m_popup->ImageIndex(); }

void TskSkinCustomComboBox::SetImageIndex(int index) {
  m_popup->SetImageIndex(index);
  Invalidate();
}

void TskSkinCustomComboBox::Notification(TComponent* component, TOperation operation) {
  TskSkinCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_edit) m_edit = nullptr;
  if (component == m_popup) {
    RemoveHook();
    m_popup = nullptr;
    m_dropped = false;
  }
}

void TskSkinCustomComboBox::TextChanged() {
  std::shared_ptr<bool> alive = m_alive;
  Invalidate();
  if (m_style == TskSkinCustomComboBoxStyle::skcbEditStyle && m_edit && !m_textFromEdit && m_edit->Text() != Text()) {
    m_textToEdit = true;
    m_edit->SetText(Text());
    m_textToEdit = false;
  }
  if (*alive) Fire(OnChange, this);
}

void TskSkinCustomComboBox::EnabledChanged() {
  if (!Enabled() && m_dropped) CloseUp(false);
  m_buttonHot = m_buttonPressed = false;
  TskSkinCustomControl::EnabledChanged();
  Invalidate();
}

// ---- skin and layout

void TskSkinCustomComboBox::ReadSkinRecord() {
  TskSkinCustomControl::ReadSkinRecord();
  if (!m_custom.ReadAnew()) return;
  const auto* record = dynamic_cast<const TskDataSkinComboBox*>(SkinRecord());
  m_comboSkinned = record != nullptr;
  m_fields = record ? ReadSkinComboBoxFields(*record) : SkinComboBoxFields();
  Layout();
}

void TskSkinCustomComboBox::BeginSkinChange() {
  TskSkinCustomControl::BeginSkinChange();
  m_comboSkinned = false;
  m_fields = SkinComboBoxFields();
}

void TskSkinCustomComboBox::ApplySkin() {
  TskSkinCustomControl::ApplySkin();
  ReadSkinRecord();
  Layout();
  Invalidate();
}

void TskSkinCustomComboBox::SetSkinData(TskSkinData* data) {
  TskSkinCustomControl::SetSkinData(data);
  if (m_dropped) m_popup->SetSkinData(data);
}

void TskSkinCustomComboBox::FitSizeToSkin(int& width, int& height) {
  const int requested = height;
  TskSkinCustomControl::FitSizeToSkin(width, height);
  // Without the skin's size the control keeps the height it is given.
  if (!m_useSkinSize) height = requested;
}

void TskSkinCustomComboBox::SetBounds(int left, int top, int width, int height) {
  TskSkinCustomControl::SetBounds(left, top, width, height);
  Layout();
}

void TskSkinCustomComboBox::Layout() {
  const int w = Width(), h = Height();
  if (!m_comboSkinned) {
    m_buttonRect = Rect(w - 19, 2, w - 2, h - 2);
    m_itemArea = Rect(2, 2, m_buttonRect.left - 1, h - 2);
  } else {
    const Rect& skin = m_element.skinRect;
    const int dw = w - skin.Width(), dh = h - skin.Height();
    m_buttonRect = m_fields.buttonRect;
    // A button in the right fixed part follows the right edge.
    if (m_buttonRect.left >= m_element.parts.rightTop.x) m_buttonRect.Translate(dw, 0);
    m_itemArea = m_element.parts.clientRect;
    m_itemArea.right += dw;
    if (!m_useSkinSize) {
      m_buttonRect.bottom += dh;
      m_itemArea.bottom += dh;
    }
  }
  m_itemArea.right = std::max(m_itemArea.left, m_itemArea.right);
  m_itemArea.bottom = std::max(m_itemArea.top, m_itemArea.bottom);
  PlaceEdit();
}

void TskSkinCustomComboBox::PlaceEdit() {
  if (!m_edit) return;
  const Rect& a = m_itemArea;
  const int th = std::min(a.Height(), m_edit->Font().Handle().Metrics().height);
  const Rect r = Rect::FromSize(a.left, a.top + (a.Height() - th) / 2, a.Width(), std::max(0, th));
  if (m_edit->BoundsRect() != r) m_edit->SetBounds(r.left, r.top, r.Width(), r.Height());
}

// ---- looks

void TskSkinCustomComboBox::DrawDefaultButton(TCanvas& c) {
  const Rect& b = m_buttonRect;
  if (b.IsEmpty()) return;
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  const auto [frame, fill] = DefaultFace(m_buttonPressed, m_buttonHot);
  c.Brush().SetColor(fill);
  c.FillRect(b);
  c.Brush().SetColor(frame);
  c.FrameRect(b);
  DrawMarkerArrow(*c.Handle(), b, Enabled() ? clBlack : clBtnShadow, skArrowDown);
}

void TskSkinCustomComboBox::DrawItemContent(TCanvas& canvas, const Rect& r, Color textColor) {
  HDC dc = canvas.Handle();
  int indent = 0;
  if (TImageList* images = m_popup->Images()) {
    const int index = m_popup->ImageIndex() < 0 ? ItemIndex() : m_popup->ImageIndex();
    if (index >= 0 && index < images->Count())
      images->Draw(canvas, r.left, r.top + (r.Height() - images->Height()) / 2, index, Enabled());
    indent = images->Width() + 2;
  }
  dc->SelectFont(canvas.Font().Handle());
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(ColorToRGB(textColor));
  DrawItemText(*dc, Text(), r, indent);
}

void TskSkinCustomComboBox::DrawItemArea(TBitmap& bitmap) {
  const Rect a = m_itemArea;
  if (a.IsEmpty()) return;
  const bool focused = Focused();
  TCanvas& c = bitmap.Canvas();
  if (!m_comboSkinned) {
    FillColor(bitmap.Image(), a, focused ? clHighlight : clWindow);
    c.SetFont(Font());
    const Color color = !Enabled() ? clGrayText : focused ? clHighlightText : Font().GetColor();
    DrawItemContent(c, a.Inflated(-2, 0), color);
    if (focused) c.DrawFocusRect(a);
    bitmap.Modified();
    return;
  }
  const Bitmap* picture = m_element.picture;
  const Rect source =
      picture ? (focused ? m_fields.focusItemRect : m_fields.itemRect).Intersected(picture->Bounds()) : Rect();
  if (!source.IsEmpty()) {
    Bitmap strip;
    BuildHStripImage(strip, m_fields.itemLeftOffset, m_fields.itemRightOffset, source, *picture, a.Width());
    const Rect to = m_useSkinSize ? Rect::FromSize(a.left, a.top, strip.Width(), strip.Height()) : a;
    CopySkinRect(bitmap.Image(), to, strip, strip.Bounds());
  }
  Rect text = m_fields.itemTextRect;
  text.Translate(a.left, a.top);
  text.right += a.Width() - m_fields.itemRect.Width();
  if (!m_useSkinSize) text.bottom += a.Height() - m_fields.itemRect.Height();
  const Color color = focused ? m_fields.focusFontColor : m_fields.font.FontColor;
  MakeSkinCaptionFont(c.Font(), DefaultFont(), &m_fields.font, UseSkinFont(), color, SkinData());
  DrawItemContent(c, text, color);
  bitmap.Modified();
}

void TskSkinCustomComboBox::DrawDefaultImage(TBitmap& bitmap) {
  TskSkinCustomControl::DrawDefaultImage(bitmap);
  TCanvas& c = bitmap.Canvas();
  const Rect all(0, 0, Width(), Height());
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clBtnShadow);
  c.FrameRect(all);
  FillColor(bitmap.Image(), all.Inflated(-1, -1), clWindow);
  DrawDefaultButton(c);
  if (m_style == TskSkinCustomComboBoxStyle::skcbFixedStyle) DrawItemArea(bitmap);
}

void TskSkinCustomComboBox::DrawResizeButton(TBitmap& bitmap) {
  const TskSkinData* data = SkinData();
  const int index = data ? data->FindControlIndex("resizebutton") : -1;
  const auto* record = index >= 0 && static_cast<std::size_t>(index) < data->ControlList().size()
                           ? dynamic_cast<const TskDataSkinButtonControl*>(data->ControlList()[index].get())
                           : nullptr;
  if (!record) {
    DrawDefaultButton(bitmap.Canvas());
    return;
  }
  SkinElement element;
  element.Read(*data, *record);
  Rect source = record->SkinRect;
  if (m_buttonPressed && m_buttonHot && !record->DownSkinRect.IsEmpty()) source = record->DownSkinRect;
  else if (m_buttonHot && !record->ActiveSkinRect.IsEmpty()) source = record->ActiveSkinRect;
  int w = m_buttonRect.Width(), h = m_buttonRect.Height();
  element.Fit(w, h);
  TBitmap image;
  element.Compose(image, source, w, h);
  if (!image.Empty()) CopySkinRect(bitmap.Image(), m_buttonRect, image.Image(), image.Image().Bounds());
  DrawMarkerArrow(*bitmap.Canvas().Handle(), m_buttonRect, record->FontColor, skArrowDown);
}

void TskSkinCustomComboBox::DrawSkinImage(TBitmap& bitmap) {
  if (m_useSkinSize || m_element.mode != SkinResizeMode::Horizontal) {
    TskSkinCustomControl::DrawSkinImage(bitmap);
  } else {
    // Composed at the skin's height and stretched to the control's.
    TBitmap strip;
    m_element.Compose(strip, m_element.skinRect, Width(), Height());
    bitmap.SetSize(Width(), Height());
    FillColor(bitmap.Image(), bitmap.Image().Bounds(), clBtnFace);
    if (!strip.Empty()) CopySkinRect(bitmap.Image(), bitmap.Image().Bounds(), strip.Image(), strip.Image().Bounds());
  }
  const Bitmap* picture = m_element.picture;
  if (m_comboSkinned && picture) {
    if (!m_useSkinSize) {
      DrawResizeButton(bitmap);
    } else if (m_buttonHot) {
      // The normal button is part of the control image.
      const Rect& source = m_buttonPressed ? m_fields.downButtonRect : m_fields.activeButtonRect;
      if (!source.IsEmpty()) CopySkinRect(bitmap.Image(), m_buttonRect, *picture, source);
    }
  } else if (!m_comboSkinned) {
    DrawDefaultButton(bitmap.Canvas());
  }
  if (m_style == TskSkinCustomComboBoxStyle::skcbFixedStyle) DrawItemArea(bitmap);
  bitmap.Modified();
}

// ---- the list

void TskSkinCustomComboBox::DropDown() {
  if (m_dropped || !m_popup || Items().Count() == 0 || !HandleAllocated()) return;
  TskPopupListBox& list = *m_popup;
  const int count = Items().Count();
  list.SetSkinDataName(m_comboSkinned ? m_fields.listBoxName : "");
  list.SetSkinData(SkinData());
  list.Font().Assign(&Font());
  list.SetWidth(m_listBoxWidth > 0 ? m_listBoxWidth : Width());
  list.SetRowCount(std::min(m_dropDownCount, count));
  Point at = ClientToScreen({0, Height()});
  const Rect work = SkinMenuWorkArea(Handle(), at);
  // Near the bottom of the work area the list opens above the combo.
  if (static_cast<long long>(at.y) + list.Height() > work.bottom) at.y = at.y - Height() - list.Height();
  if (m_edit && m_edit->CanFocus() && !m_edit->Focused()) m_edit->SetFocus();
  list.SetBounds(at.x, at.y, list.Width(), list.Height());
  list.HandleNeeded();
  m_savedIndex = ItemIndex();
  if (m_savedIndex == 0 && count >= 2) {
    list.SetItemIndex(1);
    list.SetItemIndex(0);
  }
  if (m_savedIndex >= 0) list.SetTopIndex(m_savedIndex);
  m_dropped = true;
  m_popup->SetAlphaBlend(m_alphaBlend, m_alphaBlendValue);
  list.ShowAt(at);
  // A press anywhere but on the combo, its edit and its list closes the list.
  HWND self = Handle();
  HWND popup = list.Handle();
  m_hook = WindowSystem::Current().SetMessageHook([self, popup](MSG& msg) {
    const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                       msg.message == WM_MBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN ||
                       msg.message == WM_NCRBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK;
    if (press && msg.hwnd != self && !IsChild(self, msg.hwnd) && msg.hwnd != popup && !IsChild(popup, msg.hwnd))
      PostMessage(self, CM_SKCOMBOCLOSE, 0, 0);
    return false;
  });
  Invalidate();
}

void TskSkinCustomComboBox::RemoveHook() {
  if (m_hook && WindowSystem::HasCurrent()) WindowSystem::Current().RemoveMessageHook(m_hook);
  m_hook = 0;
}

void TskSkinCustomComboBox::CloseUp(bool accept) {
  if (!m_dropped) return;
  std::shared_ptr<bool> alive = m_alive;
  m_dropped = false;
  m_dragOpen = false;
  RemoveHook();
  m_popup->HideList();
  const int index = m_popup->ItemIndex();
  const int count = Items().Count();
  if (index < 0) {
    m_popup->SetItemIndex(m_savedIndex);
  } else if (accept && index < count) {
    const std::string item = Items().Get(index);
    m_savedIndex = index;
    if (m_edit) {
      m_edit->SetText(item);
      if (*alive && m_edit) m_edit->SelectAll();
    } else {
      SetText(item);
    }
    if (!*alive) return;
    Invalidate();
    Click();
    if (!*alive) return;
  } else if (!accept) {
    m_popup->SetItemIndex(m_savedIndex);
  }
  Invalidate();
  if (accept) Fire(OnCloseUp, this);
}

void TskSkinCustomComboBox::ListRowAccepted() { PostMessage(Handle(), CM_SKCOMBOCLOSE, 1, 0); }

int TskSkinCustomComboBox::FindPrefix(std::string_view prefix, int start) const {
  const TStrings& items = Items();
  const int n = items.Count();
  if (n == 0) return -1;
  start = ((start % n) + n) % n;
  for (int k = 0; k < n; ++k) {
    const int i = (start + k) % n;
    if (StartsWithNoCase(items.Get(i), prefix)) return i;
  }
  return -1;
}

void TskSkinCustomComboBox::StepSelection(int delta, bool commit) {
  const int count = Items().Count();
  if (count == 0) return;
  const int current = ItemIndex();
  const int next = current < 0 ? 0 : std::clamp(current + delta, 0, count - 1);
  if (next == current) return;
  if (commit) SetItemIndex(next);
  else m_popup->SetItemIndex(next);
}

// ---- mouse

void TskSkinCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::MouseDown(button, shift, x, y);
  if (!*alive || button != TMouseButton::mbLeft || !Enabled() || Designing()) return;
  const bool fixed = m_style == TskSkinCustomComboBoxStyle::skcbFixedStyle;
  if (!fixed && !m_buttonRect.Contains({x, y})) return;
  if (fixed && CanFocus() && !Focused()) {
    SetFocus();
    if (!*alive) return;
  }
  if (m_dropped) {
    CloseUp(false);
    return;
  }
  m_buttonPressed = true;
  Invalidate();
  DropDown();
  if (!*alive) return;
  if (m_dropped) {
    m_dragOpen = true;
    m_enteredList = false;
    if (HandleAllocated() && GetCapture() != Handle()) SetCapture(Handle());
  }
}

void TskSkinCustomComboBox::MouseMove(TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::MouseMove(shift, x, y);
  if (!*alive || Designing()) return;
  const bool hot = ClientRect().Contains({x, y}) && m_buttonRect.Contains({x, y});
  if (hot != m_buttonHot) {
    m_buttonHot = hot;
    Invalidate();
  }
  if (!m_dragOpen || !m_dropped) return;
  const Point screen = ClientToScreen({x, y});
  if (m_popup->BoundsRect().Contains(screen)) {
    m_enteredList = true;
    m_popup->TrackAt(screen);
  } else if (m_enteredList) {
    m_popup->TrackAt(screen);
  }
}

void TskSkinCustomComboBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  std::shared_ptr<bool> alive = m_alive;
  const bool dragged = button == TMouseButton::mbLeft && m_dragOpen;
  if (button == TMouseButton::mbLeft) {
    m_dragOpen = false;
    m_buttonPressed = false;
    Invalidate();
  }
  TskSkinCustomControl::MouseUp(button, shift, x, y);
  if (!*alive || !dragged || !m_dropped) return;
  const Point screen = ClientToScreen({x, y});
  TskListBox& list = m_popup->ListBox();
  const Point p = list.ScreenToClient(screen);
  const int row = list.HandleAllocated() && list.ClientRect().Contains(p) ? list.ItemAtPos(p, true) : -1;
  if (row >= 0) {
    if (row != m_popup->ItemIndex()) m_popup->SetItemIndex(row);
    CloseUp(true);
  } else if (m_enteredList) {
    CloseUp(false);
  }
  // A plain click leaves the list open.
}

void TskSkinCustomComboBox::MouseLeave() {
  if (m_buttonHot && !Designing()) {
    m_buttonHot = false;
    Invalidate();
  }
  TskSkinCustomControl::MouseLeave();
}

// ---- keys

bool TskSkinCustomComboBox::WantsKey(WORD key, TShiftState) const {
  return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT || key == VK_PRIOR ||
         key == VK_NEXT || (m_dropped && (key == VK_RETURN || key == VK_ESCAPE));
}

void TskSkinCustomComboBox::KeyDown(WORD& key, TShiftState shift) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::KeyDown(key, shift);
  if (!*alive || key == 0 || m_style != TskSkinCustomComboBoxStyle::skcbFixedStyle) return;
  const bool alt = (shift & ssAlt) != 0;
  const int count = Items().Count();
  const int index = ItemIndex();
  switch (key) {
    case VK_RETURN:
      if (!m_dropped) return;
      CloseUp(true);
      break;
    case VK_ESCAPE:
      if (!m_dropped) return;
      CloseUp(false);
      break;
    case VK_UP:
    case VK_LEFT:
      if (alt && key == VK_UP) CloseUp(false);
      else if (!alt) StepSelection(-1, true);
      break;
    case VK_DOWN:
    case VK_RIGHT:
      if (alt && key == VK_DOWN) DropDown();
      else if (!alt) StepSelection(1, true);
      break;
    case VK_PRIOR:
      if (count > 0) SetItemIndex(std::max(0, index - m_dropDownCount - 1));
      break;
    case VK_NEXT:
      if (count > 0) SetItemIndex(std::min(count - 1, index + m_dropDownCount - 1));
      break;
    default:
      return;
  }
  key = 0;
}

void TskSkinCustomComboBox::KeyPress(char32_t& key) {
  std::shared_ptr<bool> alive = m_alive;
  TskSkinCustomControl::KeyPress(key);
  if (!*alive || key < 32 || m_style != TskSkinCustomComboBoxStyle::skcbFixedStyle) return;
  const DWORD now = GetMessageTime();
  const std::string ch = EncodeUtf8(key);
  if (m_autoComplete && m_searchStarted && now - m_lastKeyTime <= kAutoCompleteMs) m_search += ch;
  else m_search = ch;
  m_lastKeyTime = now;
  m_searchStarted = true;
  // One character searches after the current item, so repeating it cycles through the
  // items that begin with it; a longer text searches from the top.
  const int found = m_search == ch ? FindPrefix(m_search, ItemIndex() + 1) : FindPrefix(m_search, 0);
  if (found >= 0) SetItemIndex(found);
}

void TskSkinCustomComboBox::EditKeyDown(WORD& key, TShiftState shift) {
  const bool alt = (shift & ssAlt) != 0;
  const int count = Items().Count();
  const int index = ItemIndex();
  switch (key) {
    case VK_BACK:
      if (m_dropped) CloseUp(false);
      return;
    case VK_RETURN:
      if (m_dropped) {
        CloseUp(true);
        key = 0;
      }
      return;
    case VK_ESCAPE:
      if (m_dropped) {
        CloseUp(false);
        key = 0;
      }
      return;
    case VK_PRIOR:
    case VK_NEXT:
      if (!m_dropped || count == 0) return;
      m_popup->SetItemIndex(key == VK_PRIOR ? std::max(0, index - m_dropDownCount - 1)
                                            : std::min(count - 1, index + m_dropDownCount - 1));
      key = 0;
      return;
    case VK_UP:
    case VK_DOWN: {
      if (alt) {
        if (key == VK_UP) CloseUp(false);
        else DropDown();
        key = 0;
        return;
      }
      const int step = key == VK_UP ? -1 : 1;
      key = 0;
      if (count == 0) return;
      const int next = index < 0 ? 0 : std::clamp(index + step, 0, count - 1);
      std::shared_ptr<bool> alive = m_alive;
      m_popup->SetItemIndex(next);
      SetText(Items().Get(next));
      if (!*alive) return;
      if (m_edit) m_edit->SelectAll();
      m_savedIndex = next;
      Click();
      return;
    }
    default:
      return;
  }
}

void TskSkinCustomComboBox::EditKeyUp(WORD& key, TShiftState) {
  if (!m_autoComplete || !m_edit || key < 48) return;
  const DWORD now = GetMessageTime();
  if (m_completeStarted && now - m_lastCompleteTime < kEditCompleteMs) return;
  m_lastCompleteTime = now;
  m_completeStarted = true;
  const std::string typed = m_edit->Text();
  if (typed.empty()) return;
  const int found = FindPrefix(typed, 0);
  if (found < 0) return;
  const std::string item = Items().Get(found);
  m_popup->SetItemIndex(found);
  std::shared_ptr<bool> alive = m_alive;
  m_textToEdit = true;
  m_edit->SetText(item);
  m_textToEdit = false;
  if (!*alive || !m_edit) return;
  // What was typed stays; the rest of the item is selected, so typing on replaces it.
  const int typedChars = CharCount(typed);
  m_edit->SetSelStart(typedChars);
  m_edit->SetSelLength(CharCount(item) - typedChars);
  m_textFromEdit = true;
  SetText(item);
  m_textFromEdit = false;
}

void TskSkinCustomComboBox::EditChanged() {
  if (m_textToEdit || !m_edit) return;
  const std::string text = m_edit->Text();
  if (!text.empty()) {
    const int found = FindPrefix(text, 0);
    if (found >= 0) {
      if (m_autoComplete) m_popup->SetItemIndex(found);
      else m_popup->SetTopIndex(found);
    }
  }
  m_textFromEdit = true;
  SetText(text);
  m_textFromEdit = false;
}

void TskSkinCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_SKCOMBOCLOSE:
      CloseUp(m.WParam != 0);
      return;
    case WM_MOUSEWHEEL:
      if (m_style == TskSkinCustomComboBoxStyle::skcbFixedStyle && Enabled()) {
        bool handled = false;
        const int delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
        if (OnMouseWheel) OnMouseWheel(this, KeyboardShiftState(), delta, LParamToPoint(m.LParam), handled);
        // Closed, the selection is taken at once; open, only the list moves.
        if (!handled) StepSelection(delta <= 0 ? 1 : -1, !m_dropped);
      }
      m.Result = 1;
      return;
    case WM_SETFOCUS:
      TskSkinCustomControl::WndProc(m);
      if (m_edit && m_edit->CanFocus()) m_edit->SetFocus();
      Invalidate();
      return;
    case WM_KILLFOCUS:
      TskSkinCustomControl::WndProc(m);
      if (m_style == TskSkinCustomComboBoxStyle::skcbFixedStyle && m_dropped) CloseUp(false);
      Invalidate();
      return;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != Handle() && m_dragOpen) {
        m_dragOpen = false;
        m_buttonPressed = false;
        Invalidate();
      }
      break;
    case WM_DESTROY:
      if (m_dropped) {
        m_dropped = false;
        RemoveHook();
        if (m_popup) m_popup->HideList();
      }
      break;
    default:
      break;
  }
  TskSkinCustomControl::WndProc(m);
}

// ---- resources

bool TskSkinCustomComboBox::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "ItemIndex")) SetItemIndex(v.AsInt());
  else if (SameText(name, "Style"))
    SetStyle(static_cast<TskSkinCustomComboBoxStyle>(v.AsEnum({{"skcbEditStyle", 0}, {"skcbFixedStyle", 1}})));
  else if (SameText(name, "DropDownCount")) SetDropDownCount(v.AsInt());
  else if (SameText(name, "ListBoxWidth")) SetListBoxWidth(v.AsInt());
  else if (SameText(name, "Sorted")) SetSorted(v.AsBool());
  else if (SameText(name, "UseSkinSize")) SetUseSkinSize(v.AsBool());
  else if (SameText(name, "AutoComplete")) SetAutoComplete(v.AsBool());
  else if (SameText(name, "HideSelection")) SetHideSelection(v.AsBool());
  else if (SameText(name, "AlphaBlend")) SetAlphaBlend(v.AsBool());
  else if (SameText(name, "AlphaBlendValue")) SetAlphaBlendValue(v.AsInt());
  else if (SameText(name, "ListBoxCaption")) SetListBoxCaption(v.AsString());
  else if (SameText(name, "ListBoxCaptionMode")) SetListBoxCaptionMode(v.AsBool());
  else if (SameText(name, "ImageIndex")) SetImageIndex(v.AsInt());
  else if (SameText(name, "Images")) reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetImages(l); });
  else if (SameText(name, "OnChange")) OnChange = reader.ReadHandler<TNotifyEvent>(v);
  else if (SameText(name, "OnCloseUp")) OnCloseUp = reader.ReadHandler<TNotifyEvent>(v);
  else return TskSkinCustomControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinCustomComboBox::PropertyObject(std::string_view name) {
  if (SameText(name, "Items")) return &Items();
  return TskSkinCustomControl::PropertyObject(name);
}

void TskSkinCustomComboBox::Loaded() {
  TskSkinCustomControl::Loaded();
  m_savedIndex = ItemIndex();
}
