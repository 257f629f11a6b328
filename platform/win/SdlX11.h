// The few X11 calls the SDL host needs beyond SDL (window shapes, the pointer, the bell), looked up at
// run time so that nothing links against X11 and other desktops simply go without.
#pragma once

#include <vector>

#include "platform/gfx/Geometry.h"

struct SDL_Window;

// Whether the window lives on X11 and the SHAPE extension can be used.
bool X11CanShape(SDL_Window* window);
// Sets the window's bounding shape to the union of `rects` (window coordinates), or back
// to the whole window when `rects` is nullptr. Returns false where shapes are unavailable.
bool X11SetShape(SDL_Window* window, const std::vector<Rect>* rects);
// Keeps X protocol errors from ending the program: Xlib's default answer to one (a window
// of another program that went away while we talked to it, say, a clipboard reader) is
// to exit. Returns false where the program does not run on X11.
bool X11KeepAliveOnErrors();
// The pointer's screen position as the X server has it now, into `screen`; false where
// the window does not live on X11.
bool X11PointerPosition(SDL_Window* window, Point* screen);
// Rings the desktop bell; false where there is none.
bool X11Bell(SDL_Window* window);

// A lost connection to the X server no longer ends the process inside Xlib: the loss is
// noted for X11DisplayLost, and the functions here do nothing from then on. Where Xlib
// cannot return from a loss (no exit handler for `window`'s display, or no window yet)
// the process still ends there, with status 1 and a line on stderr.
void X11WatchConnection(SDL_Window* window);
bool X11DisplayLost();
// The descriptor of the connection of `window`'s display; -1 where it is not X11.
int X11ConnectionDescriptor(SDL_Window* window);
