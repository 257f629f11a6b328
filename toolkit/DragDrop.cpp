// The drag manager: follows the pointer from BeginDrag to the drop, asking the controls
// under it, through a message hook while the source holds the mouse.
#include "toolkit/DragDrop.h"

#include <cstdlib>
#include <memory>

#include "platform/win/WinApi.h"
#include "toolkit/Controls.h"

namespace {

// Clears the drag's links when its source or target goes during the drag.
class TDragWatcher : public TComponent {
 public:
  TDragWatcher() : TComponent(nullptr) {}
  TControl* source = nullptr;
  TControl* target = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override;
};

struct DragSession {
  std::unique_ptr<TDragWatcher> watch;
  Point start;
  int threshold = 5;
  bool started = false;
  bool accepted = false;
  HHOOK hook = 0;
  HWND capture = nullptr;
};

std::unique_ptr<DragSession>& Session() {
  static std::unique_ptr<DragSession> session;
  return session;
}

void Finish(bool drop, Point screen);

void TDragWatcher::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op != TOperation::opRemove) return;
  if (c == target) target = nullptr;
  if (c == source) {
    source = nullptr;
    // Nothing left to drag: the session ends without a drop.
    PostMessage(Session() && Session()->capture ? Session()->capture : nullptr, WM_NULL, 0, 0);
  }
}

TControl* FindTarget(Point screen, Point& local) {
  HWND h = WindowFromPoint(screen);
  TWinControl* w = nullptr;
  for (HWND p = h; p && !w; p = GetParent(p)) w = TWinControl::FindControl(p);
  if (!w) return nullptr;
  Point client = w->ScreenToClient(screen);
  TControl* c = w->ControlAtPos(client, false, true);
  if (!c) c = w;
  local = c->ScreenToClient(screen);
  return c;
}

void Start() {
  DragSession& s = *Session();
  s.started = true;
  if (TControl* source = s.watch->source) {
    // A press that became a drag is no click.
    source->SetControlState(source->ControlState() & ~csClicked);
    source->DoStartDrag();
  }
}

void DragTo(Point screen) {
  DragSession& s = *Session();
  TControl* source = s.watch->source;
  if (!source) return;
  Point local;
  TControl* t = FindTarget(screen, local);
  if (t != s.watch->target) {
    if (TControl* old = s.watch->target) {
      bool ignored = false;
      Point oldLocal = old->ScreenToClient(screen);
      old->DragOver(source, oldLocal.x, oldLocal.y, TDragState::dsDragLeave, ignored);
    }
    s.watch->target = t;
    s.accepted = false;
    if (t) {
      t->FreeNotification(s.watch.get());
      t->DragOver(source, local.x, local.y, TDragState::dsDragEnter, s.accepted);
    }
  } else if (t) {
    t->DragOver(source, local.x, local.y, TDragState::dsDragMove, s.accepted);
  }
  if (Session()) SetCursor(CursorHandle(s.accepted ? source->DragCursor() : crNo));
}

bool DragHook(MSG& msg) {
  if (!Session()) return false;
  DragSession& s = *Session();
  if (!s.watch->source) {
    Finish(false, msg.pt);
    return false;
  }
  switch (msg.message) {
    case WM_MOUSEMOVE:
      if (!s.started) {
        if (std::abs(msg.pt.x - s.start.x) < s.threshold && std::abs(msg.pt.y - s.start.y) < s.threshold)
          return false;
        Start();
      }
      DragTo(msg.pt);
      return true;
    case WM_LBUTTONUP:
      if (!s.started) {
        // Released before it became a drag: a plain click after all.
        Finish(false, msg.pt);
        return false;
      }
      Finish(true, msg.pt);
      // Passed on, so whoever holds the mouse for the source lets it go.
      return false;
    case WM_RBUTTONDOWN:
      Finish(false, msg.pt);
      return true;
    case WM_KEYDOWN:
      if (msg.wParam == static_cast<WPARAM>(VK_ESCAPE) && s.started) {
        Finish(false, msg.pt);
        return true;
      }
      return false;
    default:
      return false;
  }
}

void Finish(bool drop, Point screen) {
  std::unique_ptr<DragSession> s = std::move(Session());
  if (!s) return;
  if (s->hook && WindowSystem::HasCurrent()) WindowSystem::Current().RemoveMessageHook(s->hook);
  if (s->capture && GetCapture() == s->capture) ReleaseCapture();
  if (!s->started) return;
  TControl* source = s->watch->source;
  TControl* target = s->watch->target;
  bool dropped = drop && target && s->accepted && source;
  if (dropped) {
    Point local = target->ScreenToClient(screen);
    // The target may end the source's life; the watcher tells.
    target->DragDrop(source, local.x, local.y);
    source = s->watch->source;
    target = s->watch->target;
  }
  if (source) {
    Point local = source->ScreenToClient(screen);
    source->DoEndDrag(dropped ? target : nullptr, local.x, local.y);
  }
  SetCursor(CursorHandle(crArrow));
}

}  // namespace

void BeginDrag(TControl* source, bool immediate, int threshold, Point start) {
  if (!source || Session()) return;
  auto s = std::make_unique<DragSession>();
  s->watch = std::make_unique<TDragWatcher>();
  s->watch->source = source;
  source->FreeNotification(s->watch.get());
  s->start = start;
  s->threshold = threshold < 0 ? 5 : threshold;
  TWinControl* holder = dynamic_cast<TWinControl*>(source);
  if (!holder) holder = source->Parent();
  if (holder && holder->HandleAllocated()) {
    s->capture = holder->Handle();
    SetCapture(s->capture);
  }
  s->hook = WindowSystem::Current().SetMessageHook(&DragHook);
  Session() = std::move(s);
  if (immediate) {
    Start();
    if (Session()) DragTo(Session()->start);
  }
}

void EndDrag(bool drop) {
  if (Session()) Finish(drop, WindowSystem::Current().GetCursorPos());
}

bool Dragging() { return Session() && Session()->started; }

TControl* DragSource() { return Session() ? Session()->watch->source : nullptr; }
