// Plain controls in the platform's default look: TPanel, TImage, TSplitter, TBevel, and
// the non-visual TTimer.
#pragma once

#include <memory>

#include "toolkit/Bitmaps.h"
#include "toolkit/Controls.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TBorderStyle { bsNone, bsSingle };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return m_bevelOuter; }
  void SetBevelOuter(TBevelCut b);
  TBevelCut BevelInner() const { return m_bevelInner; }
  void SetBevelInner(TBevelCut b);
  int BevelWidth() const { return m_bevelWidth; }
  void SetBevelWidth(int w);
  int BorderWidth() const { return m_borderWidth; }
  void SetBorderWidth(int w);
  TBorderStyle BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(TBorderStyle s);
  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment a);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  // Children are laid out inside the bevels and the border.
  Rect AdjustClientRect() const override;
  void TextChanged() override { Invalidate(); }

 private:
  void BordersChanged();
  TBevelCut m_bevelOuter = TBevelCut::bvRaised;
  TBevelCut m_bevelInner = TBevelCut::bvNone;
  int m_bevelWidth = 1;
  int m_borderWidth = 0;
  TBorderStyle m_borderStyle = TBorderStyle::bsNone;
  TAlignment m_alignment = TAlignment::taCenter;
};

enum class TBevelShape { bsBox, bsFrame, bsTopline, bsBottomline, bsLeftline, bsRightline, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return m_shape; }
  void SetShape(TBevelShape s);
  TBevelStyle Style() const { return m_style; }
  void SetStyle(TBevelStyle s);
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;

 private:
  TBevelShape m_shape = TBevelShape::bsBox;
  TBevelStyle m_style = TBevelStyle::bsLowered;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture& Picture() { return *m_picture; }
  // Drawing on the image draws on its bitmap (made at the control's size when the
  // picture holds none).
  TCanvas& Canvas();
  bool Stretch() const { return m_stretch; }
  void SetStretch(bool on);
  bool Center() const { return m_center; }
  void SetCenter(bool on);
  bool Proportional() const { return m_proportional; }
  void SetProportional(bool on);
  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool on);
  bool AutoSize() const { return m_autoSize; }
  void SetAutoSize(bool on);
  // Where the picture is drawn, in the control's coordinates.
  Rect DestRect() const;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  std::unique_ptr<TPicture> m_picture;
  bool m_stretch = false;
  bool m_center = false;
  bool m_proportional = false;
  bool m_transparent = false;
  bool m_autoSize = false;
};

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeEvent = std::function<void(TObject* sender, int& newSize, bool& accept)>;

// Drags the edge between the control aligned before it and the rest of the parent.
class TSplitter : public TGraphicControl {
 public:
  explicit TSplitter(TComponent* owner);

  int MinSize() const { return m_minSize; }
  void SetMinSize(int s) { m_minSize = std::max(s, 1); }
  TResizeStyle ResizeStyle() const { return m_resizeStyle; }
  void SetResizeStyle(TResizeStyle s) { m_resizeStyle = s; }
  bool Beveled() const { return m_beveled; }
  void SetBeveled(bool on);
  // The control the splitter resizes (found when a drag starts), or nullptr.
  TControl* FindControl() const;

  TNotifyEvent OnMoved;
  TCanResizeEvent OnCanResize;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;

 private:
  bool Horizontal() const;
  void UpdateSize(Point parentPos);
  int m_minSize = 30;
  TResizeStyle m_resizeStyle = TResizeStyle::rsUpdate;
  bool m_beveled = false;
  TControl* m_control = nullptr;
  bool m_dragging = false;
  Point m_downPos;      // parent coordinates
  int m_startSize = 0;  // of the resized control
  int m_maxSize = 0;
};

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool on);
  unsigned Interval() const { return m_interval; }
  void SetInterval(unsigned ms);

  TNotifyEvent OnTimer;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  void Loaded() override;

 private:
  friend struct TTimerAccess;
  void UpdateTimer();
  void Fired();
  bool m_enabled = true;
  unsigned m_interval = 1000;
  HWND m_window = nullptr;
  const void* m_windowSystem = nullptr;
};

TAlignment ReadAlignment(const TStreamValue& value);
TBevelCut ReadBevelCut(const TStreamValue& value);
