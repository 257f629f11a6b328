// EditControl: the state and behaviour behind one window of the "EDIT" class.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/std/EditText.h"
#include "platform/std/ScrollBars.h"
#include "platform/win/WinTypes.h"

class EditControl {
 public:
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  EditControl(HWND hwnd, DWORD style);
  EditControl(const EditControl&) = delete;
  EditControl& operator=(const EditControl&) = delete;

  bool CommandEnabled(int command) const;

 private:
  struct UndoStep {
    int pos = 0;
    std::u32string removed;
    int insertedLength = 0;
    int anchorBefore = 0;
    int caretBefore = 0;
    bool typing = false;
  };

  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  DWORD Style() const;
  bool Multiline() const { return m_multiline; }
  bool ReadOnly() const;
  bool WordWrap() const { return m_wordWrap; }

  // Text changes.
  void SetText(std::string_view utf8, bool notify);
  // Replaces the selection with `text` (already normalised); returns false when nothing
  // could be inserted because of the limit.
  bool ReplaceSelection(std::u32string text, bool undoable, bool typing);
  void ReplaceRange(int a, int b, std::u32string_view text, bool undoable, bool typing);
  std::u32string PrepareInsert(std::u32string_view text) const;
  void Undo();
  void Notify(WORD code);
  void Changed();

  // Selection and caret.
  int SelMin() const { return std::min(m_anchor, m_caret); }
  int SelMax() const { return std::max(m_anchor, m_caret); }
  void SetSelection(int anchor, int caret, bool scroll = true);
  int Normalize(int pos, bool forward) const;
  int NextChar(int pos) const;
  int PrevChar(int pos) const;
  int WordRight(int pos) const;
  int WordLeft(int pos) const;
  std::pair<int, int> WordAt(int pos) const;
  void UpdateCaret();
  int CaretLine() const;
  Point CaretPos() const;

  // Geometry.
  void UpdateFormatRect();
  void UpdateWrapWidth();
  int VisibleLines() const;
  int LineOffsetX(int line) const;  // alignment offset of a line inside the format rect
  Point PosFromChar(int index) const;
  int CharFromPoint(Point client, int* lineOut) const;
  int LineY(int line) const;

  // Scrolling.
  void ScrollTo(int topLine, int xOffset, bool notify);
  void EnsureCaretVisible();
  void UpdateScrollBars();
  LRESULT OnScroll(int bar, int code, int thumb);

  // Input.
  void OnKeyDown(int vk);
  void OnChar(char32_t ch);
  void OnMouseDown(Point p, bool shift, bool dbl);
  void OnMouseMove(Point p);
  void Copy() const;
  void Cut();
  void Paste();
  void Clear();
  void RunCommand(int command);
  // The menu key and Shift+F10 ask the window (and whoever took it over) for the menu.
  void RequestContextMenu();
  void ShowContextMenu(LPARAM lp);

  // Painting.
  void Paint(DC& dc, const Rect& update);
  void PaintLine(DC& dc, int line, int y, Color text, bool focused);
  void Invalidate();

  HWND m_hwnd;
  bool m_multiline;
  bool m_wordWrap;
  CharMetrics m_metrics;
  std::unique_ptr<Font> m_fontHandle;  // what WM_GETFONT answers
  EditText m_text;
  std::unique_ptr<NcScrollBars> m_bars;

  int m_anchor = 0;
  int m_caret = 0;
  int m_desiredX = -1;  // content x kept by up and down movements
  // The caret sits where a wrapped line ends (after End) rather than where the next begins.
  bool m_caretEol = false;
  int m_topLine = 0;
  int m_xOffset = 0;
  Rect m_format;
  bool m_customFormat = false;
  int m_leftMargin = 1;
  int m_rightMargin = 1;
  int m_limit = 0x7FFFFFFE;
  bool m_modified = false;
  bool m_focused = false;
  bool m_dragging = false;
  Point m_lastMouse;
  Color m_textColor = clDefault;
  Color m_bkColor = clDefault;
  std::u32string m_composition;
  int m_compositionCursor = 0;
  std::vector<UndoStep> m_undo;
  mutable std::string m_utf8;  // the text as UTF-8, built on demand
  mutable bool m_utf8Valid = true;
};
