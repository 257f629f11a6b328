// Frame objects of a skinned window: caption buttons, the caption, animated pictures and
// user objects, made from the skin's object records, with their drawing and mouse rules.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Geometry.h"
#include "skin/data/skSkinRecords.h"
#include "toolkit/Controls.h"

class DC;
class TCustomForm;
class TMenuItem;
class TskActiveSkinObject;
class TskSkinData;

enum class TskWindowState { Normal = 0, Minimized = 1, Maximized = 2 };

using TskObjectEvent = std::function<void(std::string_view idName)>;
using TskObjectMouseEvent =
    std::function<void(std::string_view idName, int x, int y, const Rect& objectRect, TMouseButton button)>;
using TskObjectMoveEvent = std::function<void(std::string_view idName, int x, int y, const Rect& objectRect)>;
using TskObjectPaintEvent = std::function<void(std::string_view idName, DC& canvas, const Rect& objectRect)>;

// The events a frame fires for its objects.
struct TskObjectEvents {
  TskObjectEvent OnMouseEnterEvent;
  TskObjectEvent OnMouseLeaveEvent;
  TskObjectMouseEvent OnMouseDownEvent;
  TskObjectMouseEvent OnMouseUpEvent;
  TskObjectMoveEvent OnMouseMoveEvent;
  TskObjectPaintEvent OnPaintEvent;
};

// What a frame object asks of the frame that holds it.
class TskSkinObjectHost {
 public:
  virtual TCustomForm* Form() const = 0;
  virtual std::string CaptionText() const = 0;
  virtual bool IsFormActive() const = 0;
  virtual bool ShowIcon() const = 0;
  virtual TskWindowState WindowState() const = 0;
  virtual bool RollUpState() const = 0;
  virtual bool AlwaysMinimizeToTray() const = 0;
  virtual const TskObjectEvents& ObjectEvents() const = 0;
  // A changed object is drawn now, or by the morph timer when it morphs.
  virtual void RequestObjectRedraw(TskActiveSkinObject* object) = 0;
  virtual void DrawObjectNow(TskActiveSkinObject* object) = 0;
  virtual void StartAnimation() = 0;
  // Drops `item`'s sub-items down from the object at `objectRect` (window coordinates),
  // upwards with `popupUp`; the button holding it is set up when the menu closes.
  virtual void DropDownMenu(TMenuItem* item, const Rect& objectRect, bool popupUp) = 0;
  // The window's system menu for its current state.
  virtual TMenuItem* SystemMenuItem() = 0;
  virtual bool SkinMenuVisible() const = 0;
  virtual void ChangeWindowState(TskWindowState state) = 0;
  virtual void SetRollUpState(bool on) = 0;
  virtual void HideToTray() = 0;
  virtual void CloseForm() = 0;

 protected:
  ~TskSkinObjectHost() = default;
};

class TskActiveSkinObject {
 public:
  // `record` is null for the default buttons of an unskinned frame.
  TskActiveSkinObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinObject* record);
  virtual ~TskActiveSkinObject() = default;
  TskActiveSkinObject(const TskActiveSkinObject&) = delete;
  TskActiveSkinObject& operator=(const TskActiveSkinObject&) = delete;

  // Whether a morph towards the current state is still under way.
  virtual bool CanMorphing() const;
  // Draws at ObjectRect; `update` is true for a quick draw straight onto the window.
  virtual void Draw(DC& canvas, bool update);
  virtual void DblClick() {}
  virtual void MouseDown(TMouseButton button, int x, int y);
  virtual void MouseUp(TMouseButton button, int x, int y);
  virtual void MouseMove(int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  TskSkinObjectHost* Parent;
  double MorphKf = 0;
  bool MouseIn = false;
  const Bitmap* Picture = nullptr;        // the skin's main picture
  const Bitmap* ActivePicture = nullptr;  // the object's own picture, or none
  TskSkinData* SkinData;
  std::string IDName;
  std::string Hint;
  Rect SkinRect, ActiveSkinRect, InActiveSkinRect;
  Rect ObjectRect;
  bool Active = false;
  bool Morphing = false;
  int MorphKind = 0;
  bool Enabled = true;
  bool Visible = true;
  bool SkinRectInAPicture = false;

 protected:
  bool MorphInProgress() const { return (Active && MorphKf < 1) || (!Active && MorphKf > 0); }
  // The morph blend of two rectangles at ObjectRect's size.
  void DrawMorph(DC& canvas, const Bitmap& normal, const Rect& normalRect, const Rect& activeRect);
  // The picture the skin rect lies in.
  const Bitmap* NormalPicture() const { return SkinRectInAPicture ? ActivePicture : Picture; }
  void ReDraw();
};

class TskUserObject : public TskActiveSkinObject {
 public:
  using TskActiveSkinObject::TskActiveSkinObject;
  void Draw(DC& canvas, bool update) override;
};

class TskSkinButtonObject : public TskActiveSkinObject {
 public:
  TskSkinButtonObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinButton* record);
  bool CanMorphing() const override;
  void Draw(DC& canvas, bool update) override;
  void MouseDown(TMouseButton button, int x, int y) override;
  void MouseUp(TMouseButton button, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetDown(bool down);

  bool FDown = false;
  bool PopupUp = false;
  Rect DisableSkinRect, DownRect;
  TMenuItem* MenuItem = nullptr;

 protected:
  // Draws the disabled or down image when one applies; false otherwise.
  bool DrawStateImage(DC& canvas);
};

class TskSkinStdButtonObject : public TskSkinButtonObject {
 public:
  // A record-less default button when `record` is null.
  TskSkinStdButtonObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinStdButton* record);
  bool CanMorphing() const override;
  void Draw(DC& canvas, bool update) override;
  void DblClick() override;
  void MouseDown(TMouseButton button, int x, int y) override;
  void MouseUp(TMouseButton button, int x, int y) override;

  // Whether the button now shows its restore image (maximize while maximized, ...).
  bool InRestoreState() const;
  void DoCommand();

  bool SkinSupport = true;
  SkinCommand Command = SkinCommand::Default;
  Rect RestoreRect, RestoreActiveRect, RestoreInActiveRect, RestoreDownRect;

 private:
  void DrawDefault(DC& canvas);
};

class TskSkinAnimateObject : public TskActiveSkinObject {
 public:
  TskSkinAnimateObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinAnimate* record);
  void Draw(DC& canvas, bool update) override;
  void DblClick() override;
  void MouseUp(TMouseButton button, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // One tick of the animation timer; true when the object is still animating.
  bool Tick(int elapsedMs);

  int CurrentFrame = 1;
  int Elapsed = 25;
  int TimerInterval = 50;
  TMenuItem* MenuItem = nullptr;
  bool PopupUp = false;
  int CountFrames = 1;
  bool Cycle = false;
  bool ButtonStyle = false;
  bool Increment = true;
  SkinCommand Command = SkinCommand::Default;
};

class TskSkinCaptionObject : public TskActiveSkinObject {
 public:
  TskSkinCaptionObject(TskSkinObjectHost* parent, TskSkinData* data, const TskDataSkinCaption* record);
  void Draw(DC& canvas, bool update) override;
  void MouseDown(TMouseButton button, int x, int y) override;
  void MouseUp(TMouseButton button, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

  // The text area inside the object, in the object's own coordinates.
  Rect TextArea() const;

  std::string FontName;
  SkinFontStyles FontStyle = 0;
  int FontHeight = 14;
  Color FontColor = 0, ActiveFontColor = 0, ShadowColor = 0, ActiveShadowColor = 0;
  bool Shadow = false;
  SkinAlignment Alignment = SkinAlignment::Center;
  Rect TextRect, FrameRect, ActiveFrameRect, FrameTextRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;

 private:
  // The caption image (background and text) in the normal or active look.
  Bitmap CaptionImage(bool active);
  void DrawText(DC& canvas, Point offset, bool active);
};
