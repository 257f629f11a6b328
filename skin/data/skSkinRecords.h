// Skin definition records: value forms, the field visitor that reads and writes them, the
// frame object and control record classes, and the popup and hint window records.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

class SkinIni;
class SkinIniWriter;

// The face name a font field takes when its key is missing.
inline constexpr std::string_view SkinDefaultFontName = "宋体";
inline constexpr int SkinDefaultFontHeight = 14;

// Font style bits as the definition's style words set them.
enum SkinFontStyle : unsigned {
  SkinFontBold = 1u << 0,
  SkinFontItalic = 1u << 1,
  SkinFontUnderline = 1u << 2,
  SkinFontStrikeOut = 1u << 3,
};
using SkinFontStyles = unsigned;

enum class SkinAlignment { LeftJustify, RightJustify, Center };
enum class SkinImageEffect { Brightness, Darkness, Grayscale, Noise, SplitBlur, Invert };
enum class SkinMorphKind { Default, Gradient, LeftGradient, RightGradient, LeftSlide, RightSlide, Push };
enum class SkinCommand { Close, Maximize, Minimize, SysMenu, Default, RollUp, MinimizeToTray };

// The words of each value form, as read (exact comparison) and as written.
SkinFontStyles ParseSkinFontStyle(std::string_view value);
std::string SkinFontStyleText(SkinFontStyles style);
SkinAlignment ParseSkinAlignment(std::string_view value);
std::string_view SkinAlignmentText(SkinAlignment value);
SkinImageEffect ParseSkinImageEffect(std::string_view value);
std::string_view SkinImageEffectText(SkinImageEffect value);
SkinMorphKind ParseSkinMorphKind(std::string_view value);
std::string_view SkinMorphKindText(SkinMorphKind value);
SkinCommand ParseSkinCommand(std::string_view value);
std::string_view SkinCommandText(SkinCommand value);

// Points and rects keep only digits and commas; an empty piece is a ConvertError. Pieces
// beyond the second (point) or fourth (rect) are ignored.
Point ParseSkinPoint(std::string_view value);
Rect ParseSkinRect(std::string_view value);
std::string SkinPointText(Point p);
std::string SkinRectText(const Rect& r);

// One pass over a record's keys in reading order; a reader fills the fields, a writer
// writes them. Defaults are those of a missing key.
class SkinFieldVisitor {
 public:
  virtual ~SkinFieldVisitor() = default;
  virtual void Integer(std::string_view key, int& value, int defaultValue = 0) = 0;
  virtual void Colour(std::string_view key, Color& value, Color defaultValue = 0) = 0;
  virtual void Boolean(std::string_view key, bool& value) = 0;
  virtual void PointValue(std::string_view key, Point& value) = 0;
  virtual void RectValue(std::string_view key, Rect& value) = 0;
  virtual void Text(std::string_view key, std::string& value, std::string_view defaultValue = {}) = 0;
  virtual void FontStyle(std::string_view key, SkinFontStyles& value) = 0;
  virtual void Alignment(std::string_view key, SkinAlignment& value) = 0;
  virtual void ImageEffect(std::string_view key, SkinImageEffect& value) = 0;
  virtual void MorphKind(std::string_view key, SkinMorphKind& value) = 0;
  virtual void Command(std::string_view key, SkinCommand& value) = 0;

  // A picture index: an integer defaulting to -1.
  void PictureIndex(std::string_view key, int& value) { Integer(key, value, -1); }
  // The four keys prefix + "name", "height", "style", "color".
  void Font(std::string_view prefix, std::string& name, int& height, SkinFontStyles& style,
            Color& color);
};

// Reads the keys of one section.
class SkinFieldReader : public SkinFieldVisitor {
 public:
  SkinFieldReader(const SkinIni& ini, std::string_view section) : m_ini(ini), m_section(section) {}
  void Integer(std::string_view key, int& value, int defaultValue) override;
  void Colour(std::string_view key, Color& value, Color defaultValue) override;
  void Boolean(std::string_view key, bool& value) override;
  void PointValue(std::string_view key, Point& value) override;
  void RectValue(std::string_view key, Rect& value) override;
  void Text(std::string_view key, std::string& value, std::string_view defaultValue) override;
  void FontStyle(std::string_view key, SkinFontStyles& value) override;
  void Alignment(std::string_view key, SkinAlignment& value) override;
  void ImageEffect(std::string_view key, SkinImageEffect& value) override;
  void MorphKind(std::string_view key, SkinMorphKind& value) override;
  void Command(std::string_view key, SkinCommand& value) override;

 private:
  std::string Word(std::string_view key, std::string_view defaultValue) const;
  const SkinIni& m_ini;
  std::string m_section;
};

// Writes the keys into one section in their written forms. It never changes the fields.
class SkinFieldWriter : public SkinFieldVisitor {
 public:
  SkinFieldWriter(SkinIniWriter& out, std::string_view section) : m_out(out), m_section(section) {}
  void Integer(std::string_view key, int& value, int defaultValue) override;
  void Colour(std::string_view key, Color& value, Color defaultValue) override;
  void Boolean(std::string_view key, bool& value) override;
  void PointValue(std::string_view key, Point& value) override;
  void RectValue(std::string_view key, Rect& value) override;
  void Text(std::string_view key, std::string& value, std::string_view defaultValue) override;
  void FontStyle(std::string_view key, SkinFontStyles& value) override;
  void Alignment(std::string_view key, SkinAlignment& value) override;
  void ImageEffect(std::string_view key, SkinImageEffect& value) override;
  void MorphKind(std::string_view key, SkinMorphKind& value) override;
  void Command(std::string_view key, SkinCommand& value) override;

 private:
  SkinIniWriter& m_out;
  std::string m_section;
};

// Records are plain data read by the frame and the controls; their public fields are
// named after their definition keys. Each class visits its base's keys first, then its
// own, in reading order; the read and write operations are that one visit.
class TskDataSkinRecord {
 public:
  explicit TskDataSkinRecord(std::string name) : Name(std::move(name)) {}
  virtual ~TskDataSkinRecord() = default;
  TskDataSkinRecord(const TskDataSkinRecord&) = delete;
  TskDataSkinRecord& operator=(const TskDataSkinRecord&) = delete;

  // Reads the section named by the record name.
  virtual void ReadData(const SkinIni& ini);
  virtual void WriteData(SkinIniWriter& out) const;
  // The type name of the definition's entry lists that selects this class.
  virtual std::string_view TypeName() const = 0;
  // Runs `v` over the keys without reading or writing them (the skin checker learns a
  // record's keys and their forms from it).
  void DescribeFields(SkinFieldVisitor& v) { VisitFields(v); }

  std::string Name;

 protected:
  virtual void VisitFields(SkinFieldVisitor& v) = 0;
};

// ---- frame object records ("SKINOBJECTS")

class TskDataSkinObject : public TskDataSkinRecord {
 public:
  using TskDataSkinRecord::TskDataSkinRecord;
  std::string Hint;
  int ActivePictureIndex = -1;
  bool SkinRectInAPicture = false;
  Rect SkinRect, ActiveSkinRect, InActiveSkinRect;
  bool Morphing = false;
  SkinMorphKind MorphKind = SkinMorphKind::Default;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinButton : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  std::string_view TypeName() const override { return "button"; }
  Rect DownRect, DisableSkinRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinStdButton : public TskDataSkinButton {
 public:
  using TskDataSkinButton::TskDataSkinButton;
  std::string_view TypeName() const override { return "stdbutton"; }
  SkinCommand Command = SkinCommand::Close;
  Rect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinMainMenuBarButton : public TskDataSkinStdButton {
 public:
  using TskDataSkinStdButton::TskDataSkinStdButton;
  std::string_view TypeName() const override { return "mainmenubarbutton"; }
};

class TskDataSkinCaption : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  std::string_view TypeName() const override { return "caption"; }
  Rect TextRect;
  std::string FontName;
  int FontHeight = 0;
  SkinFontStyles FontStyle = 0;
  Color FontColor = 0, ActiveFontColor = 0;
  SkinAlignment Alignment = SkinAlignment::LeftJustify;
  bool Shadow = false;
  Color ShadowColor = 0, ActiveShadowColor = 0;
  Rect FrameRect, ActiveFrameRect, FrameTextRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinAnimate : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  std::string_view TypeName() const override { return "animate"; }
  int CountFrames = 0;
  bool Cycle = false, ButtonStyle = false;
  int TimerInterval = 0;
  SkinCommand Command = SkinCommand::Close;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinMenuItem : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  std::string_view TypeName() const override { return "menuitem"; }
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  Rect DividerRect;
  int DividerLeftOffset = 0, DividerRightOffset = 0;
  Rect TextRect;
  std::string FontName;
  int FontHeight = 0;
  SkinFontStyles FontStyle = 0;
  Color FontColor = 0, ActiveFontColor = 0, UnEnabledFontColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

// Has no type name of its own; only its descendant is listed.
class TskDataSkinMainMenuItem : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  Rect DownRect, TextRect;
  std::string FontName;
  int FontHeight = 0;
  SkinFontStyles FontStyle = 0;
  Color FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinMainMenuBarItem : public TskDataSkinMainMenuItem {
 public:
  using TskDataSkinMainMenuItem::TskDataSkinMainMenuItem;
  std::string_view TypeName() const override { return "mainmenubaritem"; }
};

// Reads only "skinrect", none of the common keys.
class TskDataUserObject : public TskDataSkinObject {
 public:
  using TskDataSkinObject::TskDataSkinObject;
  std::string_view TypeName() const override { return "userobject"; }

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

// ---- control records ("SKINCONTROLS")

class TskDataSkinControl : public TskDataSkinRecord {
 public:
  using TskDataSkinRecord::TskDataSkinRecord;
  int PictureIndex = -1;
  int MaskPictureIndex = -1;
  Rect SkinRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinCustomControl : public TskDataSkinControl {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  Point LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
  Rect ClientRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

// The four font fields shared by many control classes.
struct SkinFontFields {
  std::string FontName;
  int FontHeight = 0;
  SkinFontStyles FontStyle = 0;
  Color FontColor = 0;
  void Visit(SkinFieldVisitor& v, std::string_view prefix = "font") {
    v.Font(prefix, FontName, FontHeight, FontStyle, FontColor);
  }
};

class TskDataSkinPanelControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "panel"; }
  int BGPictureIndex = -1;
  Rect CaptionRect;
  SkinAlignment Alignment = SkinAlignment::LeftJustify;
  Rect CheckImageRect, UnCheckImageRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinButtonControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "button"; }
  Color ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
  Rect ActiveSkinRect, DownSkinRect, DisabledSkinRect;
  bool Morphing = false;
  SkinMorphKind MorphKind = SkinMorphKind::Default;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinMenuButtonControl : public TskDataSkinButtonControl {
 public:
  using TskDataSkinButtonControl::TskDataSkinButtonControl;
  std::string_view TypeName() const override { return "menubutton"; }
  Rect TrackButtonRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinEditControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "edit"; }
  Rect ActiveSkinRect;
  Color DisabledFontColor = 0, ActiveFontColor = 0;
  Rect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinMemoControl : public TskDataSkinEditControl {
 public:
  using TskDataSkinEditControl::TskDataSkinEditControl;
  std::string_view TypeName() const override { return "memo"; }
  Color BGColor = 0, ActiveBGColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinListBox : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "listbox"; }
  Rect ItemRect, ActiveItemRect, FocusItemRect;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  Rect ItemTextRect;
  Color ActiveFontColor = 0, FocusFontColor = 0;
  Rect CaptionRect;
  SkinFontFields CaptionFont;  // "captionfontname", ... "captionfontcolor"
  Rect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
  Rect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
  Rect CheckButtonRect, ActiveCheckButtonRect, DownCheckButtonRect;
  std::string VScrollBarName, HScrollBarName, BothHScrollBarName;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinCheckListBox : public TskDataSkinListBox {
 public:
  using TskDataSkinListBox::TskDataSkinListBox;
  std::string_view TypeName() const override { return "checklistbox"; }
  Rect ItemCheckRect, CheckImageRect, UnCheckImageRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinComboBox : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "combobox"; }
  Rect ItemRect, FocusItemRect;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  Rect ItemTextRect;
  Color FocusFontColor = 0;
  std::string ListBoxName;
  Rect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

// Derives from the plain control: no corner points, no client rect.
class TskDataSkinStdLabelControl : public TskDataSkinControl, public SkinFontFields {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "stdlabel"; }
  Color ActiveFontColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinSplitterControl : public TskDataSkinCustomControl {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "splitter"; }
};

class TskDataSkinScrollBarControl : public TskDataSkinCustomControl {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "scrollbar"; }
  Rect TrackArea;
  Rect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
  Rect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
  Rect ThumbRect, ActiveThumbRect, DownThumbRect;
  int ThumbOffset1 = 0, ThumbOffset2 = 0;
  bool ThumbTransparent = false;
  Color ThumbTransparentColor = 0;
  Rect GlyphRect, ActiveGlyphRect, DownGlyphRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

// Its corner points and client rect are always zero, whatever the text says.
class TskDataSkinUpDownControl : public TskDataSkinCustomControl {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "updown"; }
  void ReadData(const SkinIni& ini) override;
  Rect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
  Rect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinExPanelControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "expanel"; }
  Rect RollHSkinRect, RollVSkinRect;
  int RollLeftOffset = 0, RollRightOffset = 0, RollTopOffset = 0, RollBottomOffset = 0;
  Rect RollVCaptionRect, RollHCaptionRect;
  Rect CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect;
  Rect HRollButtonRect, HRollButtonActiveRect, HRollButtonDownRect;
  Rect HRestoreButtonRect, HRestoreButtonActiveRect, HRestoreButtonDownRect;
  Rect VRollButtonRect, VRollButtonActiveRect, VRollButtonDownRect;
  Rect VRestoreButtonRect, VRestoreButtonActiveRect, VRestoreButtonDownRect;
  Rect CaptionRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinCheckRadioControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "checkradio"; }
  Color ActiveFontColor = 0, UnEnabledFontColor = 0, FrameFontColor = 0;
  Rect ActiveSkinRect, CheckImageArea, TextArea, CheckImageRect, UnCheckImageRect;
  Rect ActiveCheckImageRect, ActiveUnCheckImageRect, UnEnabledCheckImageRect,
      UnEnabledUnCheckImageRect;
  bool Morphing = false;
  SkinMorphKind MorphKind = SkinMorphKind::Default;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinGaugeControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "gauge"; }
  Rect ProgressArea, ProgressRect;
  int BeginOffset = 0, EndOffset = 0;
  bool Vertical = false;
  bool ProgressTransparent = false;
  Color ProgressTransparentColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinTrackBarControl : public TskDataSkinCustomControl {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "trackbar"; }
  Rect TrackArea, ButtonRect, ActiveButtonRect;
  bool Vertical = false, ButtonTransparent = false;
  Color ButtonTransparentColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinLabelControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "label"; }

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinSpinEditControl : public TskDataSkinCustomControl, public SkinFontFields {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "spinedit"; }
  Rect ActiveSkinRect;
  Color ActiveFontColor = 0, DisabledFontColor = 0;
  Rect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect;
  Rect DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinScrollBoxControl : public TskDataSkinCustomControl {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "scrollbox"; }
  int BGPictureIndex = -1;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinControlBar : public TskDataSkinCustomControl {
 public:
  using TskDataSkinCustomControl::TskDataSkinCustomControl;
  std::string_view TypeName() const override { return "controlbar"; }
  Rect ItemRect;
  int BGPictureIndex = -1;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinMainMenuBar : public TskDataSkinControl {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "mainmenubar"; }
  Rect ItemsRect;
  std::string MenuBarItem, CloseButton, MinButton, MaxButton, SysMenuButton;
  Color TrackMarkColor = 0, TrackMarkActiveColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinTabControl : public TskDataSkinControl, public SkinFontFields {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "tab"; }
  Rect TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect, ClientRect;
  int BGPictureIndex = -1;
  Point LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
  int TabLeftOffset = 0, TabRightOffset = 0;
  Rect TabsBGRect;
  Color ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
  std::string UpDown;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinGridControl : public TskDataSkinControl, public SkinFontFields {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "grid"; }
  Rect FixedCellRect, SelectCellRect, FocusCellRect;
  int FixedCellLeftOffset = 0, FixedCellRightOffset = 0;
  Rect FixedCellTextRect;
  int CellLeftOffset = 0, CellRightOffset = 0;
  Rect CellTextRect;
  Color LinesColor = 0, BGColor = 0;
  Color SelectFontColor = 0, FocusFontColor = 0;
  SkinFontFields FixedFont;  // "fixedfontname", ... "fixedfontcolor"

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

// The text views: a font and a background colour each.
class TskDataSkinTreeView : public TskDataSkinControl, public SkinFontFields {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "treeview"; }
  Color BGColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinListView : public TskDataSkinControl, public SkinFontFields {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "listview"; }
  Color BGColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinRichEdit : public TskDataSkinControl, public SkinFontFields {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "richedit"; }
  Color BGColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinBevel : public TskDataSkinControl {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "bevel"; }
  Color LightColor = 0, DarkColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

class TskDataSkinSlider : public TskDataSkinControl {
 public:
  using TskDataSkinControl::TskDataSkinControl;
  std::string_view TypeName() const override { return "slider"; }
  Color BGColor = 0;
  Rect HRulerRect, HThumbRect, VRulerRect, VThumbRect;
  int EdgeSize = 0;
  Color PointsColor = 0;

 protected:
  void VisitFields(SkinFieldVisitor& v) override;
};

// The record class an entry's type name selects (exact comparison); none for other names.
std::unique_ptr<TskDataSkinObject> CreateSkinObjectRecord(std::string_view type, std::string name);
std::unique_ptr<TskDataSkinControl> CreateSkinControlRecord(std::string_view type, std::string name);

// ---- the two window records, read from fixed sections

class TskDataSkinPopupWindow {
 public:
  void ReadData(const SkinIni& ini);
  void WriteData(SkinIniWriter& out) const;
  void VisitFields(SkinFieldVisitor& v);

  int WindowPictureIndex = -1;
  int MaskPictureIndex = -1;
  Point LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
  Rect ItemsRect;
  Color ScrollMarkerColor = 0, ScrollMarkerActiveColor = 0;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
};

class TskDataSkinHintWindow : public SkinFontFields {
 public:
  void ReadData(const SkinIni& ini);
  void WriteData(SkinIniWriter& out) const;
  void VisitFields(SkinFieldVisitor& v);

  int WindowPictureIndex = -1;
  int MaskPictureIndex = -1;
  Point LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
  Rect ClientRect;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
};

// The frame geometry of "FORMINFO" (all coordinates in the main picture).
struct SkinFormInfo {
  Point LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
  Rect ClientRect;
  int BGPictureIndex = -1;
  int MDIBGPictureIndex = -1;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
  Rect MaskRectArea;
  Point HitTestLeftTopPoint, HitTestRightTopPoint, HitTestLeftBottomPoint, HitTestRightBottomPoint;
  Rect ButtonsRect, CaptionRect;
  int ButtonsOffset = 0;
  bool ButtonsInLeft = false;
  bool MainMenuPopupUp = false;
  int BorderWidth = 0;
  bool AutoRenderingInActiveImage = false;
  SkinImageEffect InActiveEffect = SkinImageEffect::Brightness;

  void VisitFields(SkinFieldVisitor& v);
  // Reads the keys, then completes them (F1 to F3); `maskName` is the "PICTURES" mask.
  void ReadData(const SkinIni& ini, std::string_view maskName);
  void WriteData(SkinIniWriter& out) const;
};
