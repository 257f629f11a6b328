// X11 window shapes, the pointer and the bell for the SDL host, through functions looked up at run time.
#include "platform/win/SdlX11.h"

#include <dlfcn.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

// The SHAPE extension's numbers.
constexpr int ShapeOpSet = 0;
constexpr int ShapeKindBounding = 0;
constexpr int RectanglesUnsorted = 0;

using ShapeRectanglesFn = void (*)(Display*, ::Window, int, int, int, XRectangle*, int, int, int);
using ShapeMaskFn = void (*)(Display*, ::Window, int, int, int, Pixmap, int);
using ShapeQueryFn = int (*)(Display*, int*, int*);
using BellFn = int (*)(Display*, int);
using QueryPointerFn = int (*)(Display*, ::Window, ::Window*, ::Window*, int*, int*, int*, int*, unsigned*);
using FlushFn = int (*)(Display*);
using ErrorHandler = int (*)(Display*, XErrorEvent*);
using SetErrorHandlerFn = ErrorHandler (*)(ErrorHandler);
using IOErrorHandler = int (*)(Display*);
using SetIOErrorHandlerFn = IOErrorHandler (*)(IOErrorHandler);
using IOErrorExitHandler = void (*)(Display*, void*);
using SetIOErrorExitHandlerFn = void (*)(Display*, IOErrorExitHandler, void*);

struct X11Functions {
  ShapeRectanglesFn shapeRectangles = nullptr;
  ShapeMaskFn shapeMask = nullptr;
  ShapeQueryFn shapeQuery = nullptr;
  BellFn bell = nullptr;
  QueryPointerFn queryPointer = nullptr;
  FlushFn flush = nullptr;
  SetErrorHandlerFn setErrorHandler = nullptr;
  SetIOErrorHandlerFn setIOErrorHandler = nullptr;
  SetIOErrorExitHandlerFn setIOErrorExitHandler = nullptr;  // libX11 1.7 and later

  X11Functions() {
    if (void* ext = dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL)) {
      shapeRectangles = reinterpret_cast<ShapeRectanglesFn>(dlsym(ext, "XShapeCombineRectangles"));
      shapeMask = reinterpret_cast<ShapeMaskFn>(dlsym(ext, "XShapeCombineMask"));
      shapeQuery = reinterpret_cast<ShapeQueryFn>(dlsym(ext, "XShapeQueryExtension"));
    }
    if (void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL)) {
      bell = reinterpret_cast<BellFn>(dlsym(x11, "XBell"));
      queryPointer = reinterpret_cast<QueryPointerFn>(dlsym(x11, "XQueryPointer"));
      flush = reinterpret_cast<FlushFn>(dlsym(x11, "XFlush"));
      setErrorHandler = reinterpret_cast<SetErrorHandlerFn>(dlsym(x11, "XSetErrorHandler"));
      setIOErrorHandler = reinterpret_cast<SetIOErrorHandlerFn>(dlsym(x11, "XSetIOErrorHandler"));
      setIOErrorExitHandler = reinterpret_cast<SetIOErrorExitHandlerFn>(dlsym(x11, "XSetIOErrorExitHandler"));
    }
  }
};

const X11Functions& Functions() {
  static const X11Functions functions;
  return functions;
}

// Set once the connection is gone; read by every function here before it talks to Xlib.
bool g_lost = false;
// The display whose loss returns to the program instead of ending it.
Display* g_watched = nullptr;

bool X11Info(SDL_Window* window, Display** display, ::Window* xwindow) {
  if (!window || g_lost) return false;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  *display = info.info.x11.display;
  *xwindow = info.info.x11.window;
  return *display && *xwindow;
}

}  // namespace

bool X11CanShape(SDL_Window* window) {
  const X11Functions& f = Functions();
  Display* display = nullptr;
  ::Window xwindow = 0;
  if (!f.shapeRectangles || !f.shapeMask || !f.shapeQuery || !X11Info(window, &display, &xwindow))
    return false;
  int eventBase = 0, errorBase = 0;
  return f.shapeQuery(display, &eventBase, &errorBase) != 0;
}

bool X11SetShape(SDL_Window* window, const std::vector<Rect>* rects) {
  if (!X11CanShape(window)) return false;
  const X11Functions& f = Functions();
  Display* display = nullptr;
  ::Window xwindow = 0;
  X11Info(window, &display, &xwindow);
  if (!rects) {
    f.shapeMask(display, xwindow, ShapeKindBounding, 0, 0, 0 /* None: no shape */, ShapeOpSet);
  } else {
    std::vector<XRectangle> xr;
    xr.reserve(rects->size());
    for (const Rect& r : *rects) {
      if (r.IsEmpty()) continue;
      XRectangle x;
      x.x = static_cast<short>(std::clamp(r.left, -32768, 32767));
      x.y = static_cast<short>(std::clamp(r.top, -32768, 32767));
      x.width = static_cast<unsigned short>(std::clamp(r.Width(), 0, 65535));
      x.height = static_cast<unsigned short>(std::clamp(r.Height(), 0, 65535));
      xr.push_back(x);
    }
    // An empty list is a window with no visible pixels, as an empty region is.
    f.shapeRectangles(display, xwindow, ShapeKindBounding, 0, 0, xr.empty() ? nullptr : xr.data(),
                      static_cast<int>(xr.size()), ShapeOpSet, RectanglesUnsorted);
  }
  if (f.flush) f.flush(display);
  return true;
}

namespace {
// Protocol errors come late and about requests long made; none of them is worth ending the
// program over, so they are dropped.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// Runs inside the Xlib call that found the connection broken; it only takes note.
int NoteLostConnection(Display* display) {
  g_lost = true;
  if (display != g_watched) {
    // Xlib ends the process when this returns; say why first.
    std::fprintf(stderr, "%s: the connection to the display was lost\n", program_invocation_short_name);
  }
  return 0;
}

// Returning from here lets the Xlib call return with an error instead of ending the process.
void ReturnFromLostConnection(Display*, void*) {}
}  // namespace

bool X11KeepAliveOnErrors() {
  const X11Functions& f = Functions();
  if (!f.setErrorHandler) return false;
  f.setErrorHandler(&IgnoreError);
  if (f.setIOErrorHandler) f.setIOErrorHandler(&NoteLostConnection);
  return true;
}

void X11WatchConnection(SDL_Window* window) {
  const X11Functions& f = Functions();
  Display* display = nullptr;
  ::Window xwindow = 0;
  if (g_watched || !f.setIOErrorExitHandler || !X11Info(window, &display, &xwindow)) return;
  f.setIOErrorExitHandler(display, &ReturnFromLostConnection, nullptr);
  g_watched = display;
}

bool X11DisplayLost() { return g_lost; }

int X11ConnectionDescriptor(SDL_Window* window) {
  Display* display = nullptr;
  ::Window xwindow = 0;
  if (!X11Info(window, &display, &xwindow)) return -1;
  return ConnectionNumber(display);
}

bool X11Bell(SDL_Window* window) {
  const X11Functions& f = Functions();
  Display* display = nullptr;
  ::Window xwindow = 0;
  if (!f.bell || !X11Info(window, &display, &xwindow)) return false;
  f.bell(display, 0);
  if (f.flush) f.flush(display);
  return true;
}

bool X11PointerPosition(SDL_Window* window, Point* screen) {
  const X11Functions& f = Functions();
  Display* display = nullptr;
  ::Window xwindow = 0;
  if (!f.queryPointer || !X11Info(window, &display, &xwindow)) return false;
  ::Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  // False when the pointer is on another screen; root_x and root_y are still that screen's.
  f.queryPointer(display, xwindow, &root, &child, &rootX, &rootY, &winX, &winY, &mask);
  if (!root) return false;
  *screen = {rootX, rootY};
  return true;
}
