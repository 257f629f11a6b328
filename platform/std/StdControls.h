// The platform's standard controls: the window classes "EDIT" (one line; with
// ES_MULTILINE the memo) and "LISTBOX", driven by the platform's messages (StdConst.h),
// with non-client scroll bars (ScrollBars.h) and a default popup menu (StdPopupMenu.h).
//
// Edit and memo, in short:
// - Text is UTF-8 at the interface (WM_SETTEXT, WM_GETTEXT, EM_REPLACESEL, EM_GETLINE, the
//   clipboard); WM_GETTEXTLENGTH and WM_GETTEXT count bytes. Every EM_ position is a
//   character index (code points), as the platform counts characters; a memo stores line
//   breaks as CR LF, so each counts two, and every lone CR or LF that comes in (set, paste,
//   replace) is stored as CR LF. A one-line edit keeps a pasted or replaced text up to its
//   first line break.
// - Word wrap is on for a memo without WS_HSCROLL and ES_AUTOHSCROLL. Lines break after
//   blanks and before or after ideographs; a word longer than the line is broken.
// - Default margins are 1 pixel left and right (EC_USEFONTINFO: a quarter of the average
//   character width, at least 1); the text starts at the top of the client area.
// - Colours: EM_SETCOLORS sets text and background (clNone: transparent — the control
//   draws no background, so what WM_ERASEBKGND drew, e.g. an owner's subclass, shows under
//   the text). Then the parent is asked with WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when
//   read-only or disabled), wParam the HDC (text and background colour preset), lParam the
//   control; it may change the DC's text colour and return a `const Brush*` for the
//   background (BS_NULL: transparent) or 0 to keep it.
// - Frames: WS_BORDER gives a 1-pixel frame, WS_EX_CLIENTEDGE the classic 2-pixel sunken
//   edge (shadow and highlight outside, dark shadow and light inside), both drawn by the
//   default window procedure in the non-client area; scroll bars lie inside the frame.
// - Undo keeps every change (typing is grouped); EM_UNDO, WM_UNDO and Ctrl+Z undo the last
//   group, EM_CANUNDO tells whether any is left; WM_SETTEXT empties the undo list.
// - Text limit: unlimited until EM_LIMITTEXT (0 also means unlimited); it bounds typing,
//   paste and EM_REPLACESEL (EN_MAXTEXT when text was refused), not WM_SETTEXT.
// - Enter inserts a line break in a memo whatever ES_WANTRETURN says (there is no dialog
//   manager to claim it); a memo scrolls beyond its visible lines with or without
//   ES_AUTOVSCROLL, and a one-line edit scrolls sideways with or without ES_AUTOHSCROLL.
// - The context menu comes with WM_CONTEXTMENU (0x007B; lParam the screen point, or -1
//   from the keyboard, where the edit itself sends it for the menu key and Shift+F10):
//   Undo, Cut, Copy, Paste, Delete, Select All in a StdPopupMenu. A subclass replaces it by
//   answering WM_CONTEXTMENU itself.
// - Input method compositions are drawn inline at the caret, underlined, over the text;
//   the result arrives as characters.
//
// List box, in short:
// - Items of one height: the font's cell height, or what the parent answers to
//   WM_MEASUREITEM once at creation with LBS_OWNERDRAWFIXED (then WM_DRAWITEM draws each
//   visible item; without LBS_HASSTRINGS an item's LB_ADDSTRING parameter is its data).
// - LB_GETTEXT copies the item and its terminating zero: the buffer must hold
//   LB_GETTEXTLEN + 1 bytes, as on the platform. LBS_SORT compares ignoring ASCII case.
// - The vertical range is 0 to count - 1 with a page of the rows that fit (columns: the
//   horizontal range counts columns); bars the window was created with hide while there is
//   nothing to scroll, unless LBS_DISABLENOSCROLL.
// - Type-ahead: characters typed within a second of each other form a prefix searched
//   from the focus item on, ignoring case; one letter searches after the focus item, so
//   repeating it cycles through the items that begin with it.
// - LBN_SELCHANGE and LBN_DBLCLK (with LBS_NOTIFY) come for changes by the user only.
#pragma once

#include "platform/std/ScrollBars.h"
#include "platform/std/StdConst.h"

constexpr const char* kEditClassName = "EDIT";
constexpr const char* kListBoxClassName = "LISTBOX";

// Registers "EDIT" and "LISTBOX" with the current window system (once per system; later
// calls do nothing). Call after WindowSystem::Install.
void RegisterStdControls();

// The command identifiers of the edit's context menu, also accepted as WM_COMMAND by the
// edit itself (wParam's LOWORD) so a replacement menu can run them.
constexpr int kEditCmdUndo = 0xE001;
constexpr int kEditCmdCut = 0xE002;
constexpr int kEditCmdCopy = 0xE003;
constexpr int kEditCmdPaste = 0xE004;
constexpr int kEditCmdDelete = 0xE005;
constexpr int kEditCmdSelectAll = 0xE006;

// Whether the edit command can run now (the enabled state of its menu item).
bool EditCommandEnabled(HWND edit, int command);
