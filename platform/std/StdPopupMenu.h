// StdPopupMenu: a minimal modal popup menu in the classic look, for the controls' default
// context menus: mouse and keyboard operable, closed by a click outside or Escape.
#pragma once

#include <string>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/win/WinTypes.h"

struct StdMenuItem {
  int id = 0;
  std::string text;  // "&" marks the access key; "&&" is a plain ampersand
  bool enabled = true;
  bool separator = false;
};

// Shows `items` with the top-left corner at `screen` (moved to stay on the work area),
// runs messages until an enabled item is chosen or the menu is dismissed, and returns the
// chosen id, or 0. `owner` gets the keyboard back afterwards.
int TrackStdPopupMenu(HWND owner, Point screen, const std::vector<StdMenuItem>& items);

// The menu window while one is open (for tests and for closing it from outside), else
// nullptr; EndStdPopupMenu dismisses it without a choice.
HWND ActiveStdPopupMenu();
void EndStdPopupMenu();
