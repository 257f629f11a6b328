// Controls: TControl (bounds, alignment, anchors, visibility, font, colour, hints, mouse),
// TWinControl (a window of the window system made on demand, children, focus, keys, Tab
// order), TGraphicControl (drawn on its parent) and TCustomControl (a window with a canvas).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/win/WinTypes.h"
#include "toolkit/Classes.h"
#include "toolkit/DragDrop.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"
#include "toolkit/Messages.h"

class TWinControl;
class TCustomForm;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

using TAnchors = std::uint32_t;
constexpr TAnchors akLeft = 1;
constexpr TAnchors akTop = 2;
constexpr TAnchors akRight = 4;
constexpr TAnchors akBottom = 8;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char32_t& key)>;
using TContextPopupEvent = std::function<void(TObject* sender, Point mousePos, bool& handled)>;
using TMouseWheelEvent = std::function<void(TObject* sender, TShiftState shift, int delta, Point mousePos, bool& handled)>;

// ControlStyle flags.
using TControlStyle = std::uint32_t;
constexpr TControlStyle csAcceptsControls = 1u << 0;
constexpr TControlStyle csCaptureMouse = 1u << 1;
constexpr TControlStyle csClickEvents = 1u << 2;
constexpr TControlStyle csSetCaption = 1u << 3;
constexpr TControlStyle csOpaque = 1u << 4;
constexpr TControlStyle csDoubleClicks = 1u << 5;
constexpr TControlStyle csFixedWidth = 1u << 6;
constexpr TControlStyle csFixedHeight = 1u << 7;
constexpr TControlStyle csReplicatable = 1u << 8;
constexpr TControlStyle csNoStdEvents = 1u << 9;
constexpr TControlStyle csParentBackground = 1u << 10;

// ControlState flags.
using TControlState = std::uint32_t;
constexpr TControlState csLButtonDown = 1u << 0;
constexpr TControlState csClicked = 1u << 1;
constexpr TControlState csAlignmentNeeded = 1u << 2;
constexpr TControlState csFocusing = 1u << 3;
constexpr TControlState csCreating = 1u << 4;
constexpr TControlState csCustomPaint = 1u << 5;
constexpr TControlState csDestroyingHandle = 1u << 6;
constexpr TControlState csRecreating = 1u << 7;

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();
// The part of a hint before '|' and the part after it.
std::string GetShortHint(std::string_view hint);
std::string GetLongHint(std::string_view hint);
// The standard cursor for a cursor identifier.
HCURSOR CursorHandle(TCursor cursor);

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return m_parent; }
  virtual void SetParent(TWinControl* parent);
  // The form the control is on (its top-most parent when that is a form), or nullptr.
  TCustomForm* GetParentForm() const;

  int Left() const { return m_left; }
  int Top() const { return m_top; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  void SetLeft(int v) { SetBounds(v, m_top, m_width, m_height); }
  void SetTop(int v) { SetBounds(m_left, v, m_width, m_height); }
  void SetWidth(int v) { SetBounds(m_left, m_top, v, m_height); }
  void SetHeight(int v) { SetBounds(m_left, m_top, m_width, v); }
  // Every move and resize goes through here, alignment included, so subclasses that must
  // keep a size (a skin's fixed height) override it.
  virtual void SetBounds(int left, int top, int width, int height);
  Rect BoundsRect() const { return Rect::FromSize(m_left, m_top, m_width, m_height); }
  void SetBoundsRect(const Rect& r) { SetBounds(r.left, r.top, r.Width(), r.Height()); }
  // The client area in the control's own coordinates.
  virtual Rect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientWidth(int w);
  virtual void SetClientHeight(int h);
  // Screen position of the client area's top-left corner.
  virtual Point ClientOrigin() const;
  Point ClientToScreen(Point p) const;
  Point ScreenToClient(Point p) const;

  TAlign Align() const { return m_align; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return m_anchors; }
  void SetAnchors(TAnchors anchors);

  bool Visible() const { return m_visible; }
  virtual void SetVisible(bool on);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent visible up to a shown form.
  virtual bool Showing() const;
  bool Enabled() const { return m_enabled; }
  virtual void SetEnabled(bool on);

  Color GetColor() const { return m_color; }
  void SetColor(Color c);
  bool ParentColor() const { return m_parentColor; }
  void SetParentColor(bool on);
  TFont& Font() { return *m_font; }
  const TFont& Font() const { return *m_font; }
  void SetFont(const TFont& font) { m_font->Assign(&font); }
  bool ParentFont() const { return m_parentFont; }
  void SetParentFont(bool on);
  TCursor Cursor() const { return m_cursor; }
  void SetCursor(TCursor c);
  const std::string& Hint() const { return m_hint; }
  void SetHint(std::string_view hint) { m_hint = hint; }
  bool ShowHint() const { return m_showHint; }
  void SetShowHint(bool on);
  bool ParentShowHint() const { return m_parentShowHint; }
  void SetParentShowHint(bool on);
  TPopupMenu* PopupMenu() const { return m_popupMenu; }
  void SetPopupMenu(TPopupMenu* menu);

  // The control's text: a button's caption, an edit's contents.
  virtual std::string Text() const;
  virtual void SetText(std::string_view text);
  std::string Caption() const { return Text(); }
  void SetCaption(std::string_view text) { SetText(text); }

  TControlStyle ControlStyle() const { return m_controlStyle; }
  void SetControlStyle(TControlStyle s) { m_controlStyle = s; }
  TControlState ControlState() const { return m_controlState; }
  void SetControlState(TControlState s) { m_controlState = s; }

  virtual void Invalidate();
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // Sends a message straight to the control's handler (no window involved).
  LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
  // The control's message handler as a replaceable method: every message (from the
  // window, from Perform, from the parent for a windowless control) goes through it. A
  // component that takes over a control (a skinned frame) sets its own and calls the one
  // it replaced; unlike the window's procedure this survives a recreated window. The
  // default runs WndProc; setting an empty method restores it.
  using TWndMethod = std::function<void(TMessage&)>;
  TWndMethod WindowProc();
  void SetWindowProc(TWndMethod method) { m_windowProc = std::move(method); }
  // Hands a message to the current WindowProc.
  void Dispatch(TMessage& message);
  // The control's message handler; subclasses override it and pass on what they do not
  // handle. Unhandled messages end in DefaultHandler.
  virtual void WndProc(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // A click as the user makes it: OnClick.
  virtual void Click();
  // A control bound to an action asks it to refresh its state (run on idle).
  virtual void InitiateAction() {}
  virtual void DblClick();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;

  // Drag and drop. With dmAutomatic a left press starts dragging the control.
  TDragMode DragMode() const { return m_dragMode; }
  void SetDragMode(TDragMode m) { m_dragMode = m; }
  TDragKind DragKind() const { return m_dragKind; }
  void SetDragKind(TDragKind k) { m_dragKind = k; }
  TCursor DragCursor() const { return m_dragCursor; }
  void SetDragCursor(TCursor c) { m_dragCursor = c; }
  void BeginDrag(bool immediate, int threshold = -1);
  bool Dragging() const;
  // Asked while a drag passes over the control; a control accepts when it has a handler
  // that says so.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);
  virtual void DoStartDrag();
  virtual void DoEndDrag(TObject* target, int x, int y);
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

  void SetParentComponent(TComponent* parent) override;
  void Loaded() override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

  // Anchors: the parent's client size the control's position was last fitted to.
  void UpdateAnchorRules();
  void AnchorToParentSize(Size parentClient);

 protected:
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Resize();
  // Called when the control's own font changes (ParentFont goes off) or follows its parent.
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void VisibleChanged();
  virtual void EnabledChanged();
  virtual void TextChanged();
  // Shows the popup menu for a screen point; true when one was shown (or the event
  // handled it).
  virtual bool DoContextPopup(Point screen);
  void Notification(TComponent* component, TOperation operation) override;
  void RequestAlign();
  // Invalidate the part of the parent this control covers.
  void InvalidateControl(bool isVisible, bool isOpaque);
  bool UpdatingFromParent() const { return m_updatingFromParent; }
  // Moves without alignment or events (for the parent's layout).
  void UpdateBoundsRect(const Rect& r);

  TWinControl* m_parent = nullptr;
  int m_left = 0;
  int m_top = 0;
  int m_width = 0;
  int m_height = 0;
  TControlStyle m_controlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState m_controlState = 0;
  std::string m_text;

 private:
  friend class TWinControl;
  friend class TApplication;
  void HandleMouseMessage(TMessage& m);
  void ParentFontChanged();
  void ParentColorChanged();
  bool EffectiveShowHint() const;

  TAlign m_align = TAlign::alNone;
  TAnchors m_anchors = akLeft | akTop;
  Size m_anchorBase;
  bool m_anchorBaseValid = false;
  bool m_visible = true;
  bool m_enabled = true;
  Color m_color = clWindow;
  bool m_parentColor = false;
  std::unique_ptr<TFont> m_font;
  bool m_parentFont = true;
  bool m_updatingFromParent = false;
  TCursor m_cursor = crDefault;
  std::string m_hint;
  bool m_showHint = false;
  bool m_parentShowHint = true;
  TPopupMenu* m_popupMenu = nullptr;
  TWndMethod m_windowProc;
  TDragMode m_dragMode = TDragMode::dmManual;
  TDragKind m_dragKind = TDragKind::dkDrag;
  TCursor m_dragCursor = crDrag;
};

// What a window is created with; subclasses adjust it in CreateParams.
struct TCreateParams {
  std::string caption;
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  HWND parent = nullptr;
  // Empty: the toolkit's own window class; otherwise a class of the platform (an edit),
  // which the control takes over.
  std::string windowClass;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // Children (windowed and graphic) in z-order, the bottom first.
  int ControlCount() const { return static_cast<int>(m_controls.size()); }
  TControl* Controls(int index) const { return m_controls.at(static_cast<std::size_t>(index)); }
  bool ContainsControl(const TControl* control) const;
  // The topmost visible child control at a client point (graphic controls only when
  // `graphicOnly`), or nullptr.
  TControl* ControlAtPos(Point client, bool allowDisabled, bool graphicOnly = false) const;

  // The window: made on first request (the parent's first).
  HWND Handle();
  bool HandleAllocated() const { return m_handle != nullptr; }
  void HandleNeeded() { (void)Handle(); }
  // Destroys and makes the window again; text and state survive.
  void RecreateWnd();
  void DestroyHandle();
  // The control that owns a window of the toolkit, or nullptr.
  static TWinControl* FindControl(HWND hwnd);

  bool TabStop() const { return m_tabStop; }
  void SetTabStop(bool on);
  int TabOrder() const;
  void SetTabOrder(int order);
  // The windowed children in Tab order.
  const std::vector<TWinControl*>& TabList() const { return m_tabList; }
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The next (or previous) control that takes the focus by Tab after `current`, among all
  // the controls inside this one; wraps around.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const;
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  void DisableAlign();
  void EnableAlign();
  void Realign();

  std::string Text() const override;
  void SetText(std::string_view text) override;
  void SetBounds(int left, int top, int width, int height) override;
  Rect ClientRect() const override;
  Point ClientOrigin() const override;
  void SetVisible(bool on) override;
  void SetEnabled(bool on) override;
  bool Showing() const override;
  void Invalidate() override;
  void Repaint() override;
  void Update() override;

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseWheelEvent OnMouseWheel;

  void Loaded() override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

  // Paints the graphic children over a context of this control's client area.
  void PaintControls(HDC dc);

 protected:
  friend class TControl;
  friend class TCustomForm;
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // Runs once the window exists (and after a recreate): the place to send it state.
  virtual void CreateWindowHandleDone();
  // Lays the children out inside `rect`; the default does Align and Anchors.
  virtual void AlignControls(Rect& rect);
  // The area children are aligned in (the client area less borders subclasses keep).
  virtual Rect AdjustClientRect() const;
  // A child came, went, moved or was resized outside this control's own layout; a parent
  // that scrolls its content measures it again.
  virtual void ChildLayoutChanged(TControl*) {}
  virtual void PaintWindow(HDC dc);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  // Whether the control handles this key itself (arrows in a list, Tab in a memo), so
  // the form does not use it for navigation.
  virtual bool WantsKey(WORD key, TShiftState shift) const;
  // Whether typed characters are text for this control (an edit, a list that searches
  // as one types); where they are not, they act as the form's accelerators. The default
  // asks the window (WM_GETDLGCODE) and counts an OnKeyPress handler as taking them.
  virtual bool TakesCharacters();
  virtual void DoEnter();
  virtual void DoExit();
  void EnabledChanged() override;
  void FontChanged() override;
  void ColorChanged() override;
  void VisibleChanged() override;
  // The saved window procedure that DefaultHandler calls.
  WNDPROC DefWndProc() const { return m_defWndProc; }
  void NotifyControls(UINT msg);

 private:
  friend class TApplication;
  friend struct TWinControlAccess;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void CreateHandle();
  void UpdateBoundsFromWindow();
  void AlignAll();
  bool RouteMouseToChild(TMessage& m);
  void HandleKey(TMessage& m);
  LRESULT MainWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void CollectTabControls(std::vector<TWinControl*>& out) const;
  void InitWindowProc(HWND hwnd);

  HWND m_handle = nullptr;
  WNDPROC m_defWndProc;
  WNDPROC m_ownProc;
  std::vector<TControl*> m_controls;
  std::vector<TWinControl*> m_tabList;
  bool m_tabStop = false;
  int m_pendingTabOrder = -1;
  int m_alignLevel = 0;
  bool m_alignPending = false;
  bool m_inAlign = false;
  TControl* m_mouseCapture = nullptr;  // graphic child that got the button press
  std::string m_savedText;
};

// A control with no window, drawn on its parent inside its bounds.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  // A canvas over the parent's window, with its origin at the control and clipped to it.
  TCanvas& Canvas();

  void WndProc(TMessage& message) override;

 protected:
  virtual void Paint();

 private:
  friend class TWinControl;
  std::unique_ptr<class TControlCanvas> m_canvas;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas& Canvas();

 protected:
  virtual void Paint();
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<class TControlCanvas> m_canvas;
};

// A canvas over a control: while the control paints, the paint context; otherwise a
// context fetched from the window system and given back at the next message.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl* control) : m_control(control) {}
  ~TControlCanvas() override;
  // Uses `dc` (not owned) until EndPaint.
  void BeginPaint(HDC dc);
  void EndPaint();
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* m_control;
  HWND m_window = nullptr;
  HDC m_fetched = nullptr;
  bool m_painting = false;
};
