// The message record controls handle and the framework's own control messages.
#pragma once

#include "platform/win/WinConst.h"
#include "platform/win/WinTypes.h"

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// The platform's context-menu request; the toolkit sends it itself when the right button
// goes up over a control (wParam the window, lParam the screen point).
constexpr UINT WM_CONTEXTMENU = 0x007B;

// Control messages: sent between controls of the framework, never by the window system.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;

// Notifications a parent receives from a child window, passed back to the child control
// as CN_ messages (CN_BASE + the platform message) so each control handles its own.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + 0x0111;      // WM_COMMAND
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + 0x0133;   // WM_CTLCOLOREDIT
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + 0x0134;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + 0x0138;
constexpr UINT CN_DRAWITEM = CN_BASE + 0x002B;       // WM_DRAWITEM
constexpr UINT CN_MEASUREITEM = CN_BASE + 0x002C;
constexpr UINT CN_VKEYTOITEM = CN_BASE + 0x002E;
constexpr UINT CN_CHARTOITEM = CN_BASE + 0x002F;
