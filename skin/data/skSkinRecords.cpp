// Reading and writing of the skin definition's value forms and records.
#include "skin/data/skSkinRecords.h"

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

#include "skin/data/skIniReader.h"
#include "skin/data/skSkinErrors.h"

namespace {

template <typename E, std::size_t N>
using WordTable = std::array<std::pair<std::string_view, E>, N>;

constexpr WordTable<SkinImageEffect, 6> kEffects{{
    {"iebrightness", SkinImageEffect::Brightness},
    {"iedarkness", SkinImageEffect::Darkness},
    {"iegrayscale", SkinImageEffect::Grayscale},
    {"ienoise", SkinImageEffect::Noise},
    {"iesplitblur", SkinImageEffect::SplitBlur},
    {"ieinvert", SkinImageEffect::Invert},
}};
constexpr WordTable<SkinMorphKind, 7> kMorphs{{
    {"mkdefault", SkinMorphKind::Default},
    {"mkgradient", SkinMorphKind::Gradient},
    {"mkleftgradient", SkinMorphKind::LeftGradient},
    {"mkrightgradient", SkinMorphKind::RightGradient},
    {"mkleftslide", SkinMorphKind::LeftSlide},
    {"mkrightslide", SkinMorphKind::RightSlide},
    {"mkpush", SkinMorphKind::Push},
}};
constexpr WordTable<SkinCommand, 7> kCommands{{
    {"cmclose", SkinCommand::Close},
    {"cmmaximize", SkinCommand::Maximize},
    {"cmminimize", SkinCommand::Minimize},
    {"cmsysmenu", SkinCommand::SysMenu},
    {"cmdefault", SkinCommand::Default},
    {"cmrollup", SkinCommand::RollUp},
    {"cmminimizetotray", SkinCommand::MinimizeToTray},
}};
constexpr WordTable<SkinAlignment, 3> kAlignments{{
    {"taleftjustify", SkinAlignment::LeftJustify},
    {"tarightjustify", SkinAlignment::RightJustify},
    {"tacenter", SkinAlignment::Center},
}};
constexpr std::array<std::string_view, 4> kStyleWords{"fsbold", "fsitalic", "fsunderline",
                                                      "fsstrikeout"};

template <typename E, std::size_t N>
E FindWord(const WordTable<E, N>& table, std::string_view word, E otherwise) {
  for (const auto& [text, value] : table)
    if (text == word) return value;
  return otherwise;
}

template <typename E, std::size_t N>
std::string_view WordOf(const WordTable<E, N>& table, E value) {
  for (const auto& [text, v] : table)
    if (v == value) return text;
  return table.front().first;
}

// Keeps digits, cuts at commas, and converts the first `count` pieces strictly.
template <std::size_t Count>
std::array<int, Count> ParsePieces(std::string_view value) {
  std::array<std::string, Count> pieces;
  std::size_t piece = 0;
  std::string accumulator;
  for (char c : value) {
    if (c == ',') {
      if (piece < Count) pieces[piece] = std::move(accumulator);
      accumulator.clear();
      ++piece;
    } else if (c >= '0' && c <= '9') {
      accumulator += c;
    }
  }
  if (piece < Count) pieces[piece] = std::move(accumulator);
  std::array<int, Count> numbers{};
  for (std::size_t i = 0; i < Count; ++i) numbers[i] = StrToIntStrict(pieces[i]);
  return numbers;
}

}  // namespace

SkinFontStyles ParseSkinFontStyle(std::string_view value) {
  SkinFontStyles style = 0;
  for (std::size_t i = 0; i < kStyleWords.size(); ++i)
    if (value.find(kStyleWords[i]) != std::string_view::npos) style |= 1u << i;
  return style;
}

std::string SkinFontStyleText(SkinFontStyles style) {
  std::string text;
  for (std::size_t i = 0; i < kStyleWords.size(); ++i) {
    if (!(style & (1u << i))) continue;
    if (!text.empty()) text += ',';
    text += kStyleWords[i];
  }
  return text;
}

SkinAlignment ParseSkinAlignment(std::string_view value) {
  return FindWord(kAlignments, value, SkinAlignment::RightJustify);
}
std::string_view SkinAlignmentText(SkinAlignment value) { return WordOf(kAlignments, value); }

SkinImageEffect ParseSkinImageEffect(std::string_view value) {
  return FindWord(kEffects, value, SkinImageEffect::Grayscale);
}
std::string_view SkinImageEffectText(SkinImageEffect value) { return WordOf(kEffects, value); }

SkinMorphKind ParseSkinMorphKind(std::string_view value) {
  return FindWord(kMorphs, value, SkinMorphKind::Default);
}
std::string_view SkinMorphKindText(SkinMorphKind value) { return WordOf(kMorphs, value); }

SkinCommand ParseSkinCommand(std::string_view value) {
  return FindWord(kCommands, value, SkinCommand::MinimizeToTray);
}
std::string_view SkinCommandText(SkinCommand value) { return WordOf(kCommands, value); }

Point ParseSkinPoint(std::string_view value) {
  const auto n = ParsePieces<2>(value);
  return {n[0], n[1]};
}

Rect ParseSkinRect(std::string_view value) {
  const auto n = ParsePieces<4>(value);
  return {n[0], n[1], n[2], n[3]};
}

std::string SkinPointText(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

std::string SkinRectText(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

void SkinFieldVisitor::Font(std::string_view prefix, std::string& name, int& height,
                            SkinFontStyles& style, Color& color) {
  const std::string p(prefix);
  Text(p + "name", name, SkinDefaultFontName);
  Integer(p + "height", height, SkinDefaultFontHeight);
  FontStyle(p + "style", style);
  Colour(p + "color", color, 0);
}

// ---- reader

std::string SkinFieldReader::Word(std::string_view key, std::string_view defaultValue) const {
  return m_ini.ReadString(m_section, key, defaultValue);
}

void SkinFieldReader::Integer(std::string_view key, int& value, int defaultValue) {
  value = m_ini.ReadInteger(m_section, key, defaultValue);
}
void SkinFieldReader::Colour(std::string_view key, Color& value, Color defaultValue) {
  value = static_cast<Color>(m_ini.ReadInteger(m_section, key, static_cast<int>(defaultValue)));
}
void SkinFieldReader::Boolean(std::string_view key, bool& value) {
  value = m_ini.ReadInteger(m_section, key, 0) == 1;
}
void SkinFieldReader::PointValue(std::string_view key, Point& value) {
  value = ParseSkinPoint(Word(key, "0,0"));
}
void SkinFieldReader::RectValue(std::string_view key, Rect& value) {
  value = ParseSkinRect(Word(key, "0,0,0,0"));
}
void SkinFieldReader::Text(std::string_view key, std::string& value, std::string_view defaultValue) {
  value = Word(key, defaultValue);
}
void SkinFieldReader::FontStyle(std::string_view key, SkinFontStyles& value) {
  value = ParseSkinFontStyle(Word(key, ""));
}
void SkinFieldReader::Alignment(std::string_view key, SkinAlignment& value) {
  value = ParseSkinAlignment(Word(key, "tacenter"));
}
void SkinFieldReader::ImageEffect(std::string_view key, SkinImageEffect& value) {
  value = ParseSkinImageEffect(Word(key, "iebrightness"));
}
void SkinFieldReader::MorphKind(std::string_view key, SkinMorphKind& value) {
  value = ParseSkinMorphKind(Word(key, "mkdefault"));
}
void SkinFieldReader::Command(std::string_view key, SkinCommand& value) {
  value = ParseSkinCommand(Word(key, "cmdefault"));
}

// ---- writer

void SkinFieldWriter::Integer(std::string_view key, int& value, int) {
  m_out.WriteInteger(m_section, key, value);
}
void SkinFieldWriter::Colour(std::string_view key, Color& value, Color) {
  m_out.WriteInteger(m_section, key, static_cast<int>(value));
}
void SkinFieldWriter::Boolean(std::string_view key, bool& value) {
  m_out.WriteInteger(m_section, key, value ? 1 : 0);
}
void SkinFieldWriter::PointValue(std::string_view key, Point& value) {
  m_out.WriteString(m_section, key, SkinPointText(value));
}
void SkinFieldWriter::RectValue(std::string_view key, Rect& value) {
  m_out.WriteString(m_section, key, SkinRectText(value));
}
void SkinFieldWriter::Text(std::string_view key, std::string& value, std::string_view) {
  m_out.WriteString(m_section, key, value);
}
void SkinFieldWriter::FontStyle(std::string_view key, SkinFontStyles& value) {
  m_out.WriteString(m_section, key, SkinFontStyleText(value));
}
void SkinFieldWriter::Alignment(std::string_view key, SkinAlignment& value) {
  m_out.WriteString(m_section, key, SkinAlignmentText(value));
}
void SkinFieldWriter::ImageEffect(std::string_view key, SkinImageEffect& value) {
  m_out.WriteString(m_section, key, SkinImageEffectText(value));
}
void SkinFieldWriter::MorphKind(std::string_view key, SkinMorphKind& value) {
  m_out.WriteString(m_section, key, SkinMorphKindText(value));
}
void SkinFieldWriter::Command(std::string_view key, SkinCommand& value) {
  m_out.WriteString(m_section, key, SkinCommandText(value));
}

// ---- records

void TskDataSkinRecord::ReadData(const SkinIni& ini) {
  SkinFieldReader reader(ini, Name);
  VisitFields(reader);
}

void TskDataSkinRecord::WriteData(SkinIniWriter& out) const {
  SkinFieldWriter writer(out, Name);
  // The visit takes fields by reference for reading; the writer only looks at them.
  const_cast<TskDataSkinRecord*>(this)->VisitFields(writer);
}

namespace {
void VisitCorners(SkinFieldVisitor& v, Point& lt, Point& rt, Point& lb, Point& rb,
                  std::string_view prefix = "") {
  const std::string p(prefix);
  v.PointValue(p + "lefttoppoint", lt);
  v.PointValue(p + "righttoppoint", rt);
  v.PointValue(p + "leftbottompoint", lb);
  v.PointValue(p + "rightbottompoint", rb);
}

void VisitStretch(SkinFieldVisitor& v, bool& left, bool& right, bool& top, bool& bottom) {
  v.Boolean("leftstretch", left);
  v.Boolean("rightstretch", right);
  v.Boolean("topstretch", top);
  v.Boolean("bottomstretch", bottom);
}

void VisitUpDownButtons(SkinFieldVisitor& v, Rect& up, Rect& activeUp, Rect& downUp, Rect& down,
                        Rect& activeDown, Rect& downDown) {
  v.RectValue("upbuttonrect", up);
  v.RectValue("activeupbuttonrect", activeUp);
  v.RectValue("downupbuttonrect", downUp);
  v.RectValue("downbuttonrect", down);
  v.RectValue("activedownbuttonrect", activeDown);
  v.RectValue("downdownbuttonrect", downDown);
}
}  // namespace

void TskDataSkinObject::VisitFields(SkinFieldVisitor& v) {
  v.Text("hint", Hint);
  v.PictureIndex("activepictureindex", ActivePictureIndex);
  v.Boolean("skinrectinapicture", SkinRectInAPicture);
  v.RectValue("skinrect", SkinRect);
  v.RectValue("activeskinrect", ActiveSkinRect);
  v.RectValue("inactiveskinrect", InActiveSkinRect);
  v.Boolean("morphing", Morphing);
  v.MorphKind("morphkind", MorphKind);
}

void TskDataSkinButton::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinObject::VisitFields(v);
  v.RectValue("downrect", DownRect);
  v.RectValue("disableskinrsect", DisableSkinRect);  // the key is spelled so
}

void TskDataSkinStdButton::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinButton::VisitFields(v);
  v.Command("command", Command);
  v.RectValue("restorerect", RestoreRect);
  v.RectValue("restoreactiverect", RestoreActiveRect);
  v.RectValue("restoredownrect", RestoreDownRect);
  v.RectValue("restoreinactiverect", RestoreInActiveRect);
}

void TskDataSkinCaption::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinObject::VisitFields(v);
  v.RectValue("textrect", TextRect);
  v.Font("font", FontName, FontHeight, FontStyle, FontColor);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Alignment("alignment", Alignment);
  v.Boolean("shadow", Shadow);
  v.Colour("shadowcolor", ShadowColor);
  v.Colour("activeshadowcolor", ActiveShadowColor);
  v.RectValue("framerect", FrameRect);
  v.RectValue("activeframerect", ActiveFrameRect);
  v.RectValue("frametextrect", FrameTextRect);
  v.Integer("frameleftoffset", FrameLeftOffset);
  v.Integer("framerightoffset", FrameRightOffset);
}

void TskDataSkinAnimate::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinObject::VisitFields(v);
  v.Integer("countframes", CountFrames, 1);
  v.Boolean("cycle", Cycle);
  v.Boolean("buttonstyle", ButtonStyle);
  v.Integer("timerinterval", TimerInterval, 50);
  v.Command("command", Command);
}

void TskDataSkinMenuItem::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinObject::VisitFields(v);
  v.Integer("itemleftoffset", ItemLeftOffset);
  v.Integer("itemrightoffset", ItemRightOffset);
  v.RectValue("dividerrect", DividerRect);
  v.Integer("dividerleftoffset", DividerLeftOffset);
  v.Integer("dividerrightoffset", DividerRightOffset);
  v.RectValue("textrect", TextRect);
  v.Font("font", FontName, FontHeight, FontStyle, FontColor);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Colour("unenabledfontcolor", UnEnabledFontColor);
}

void TskDataSkinMainMenuItem::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinObject::VisitFields(v);
  v.Integer("itemleftoffset", ItemLeftOffset);
  v.Integer("itemrightoffset", ItemRightOffset);
  v.RectValue("downrect", DownRect);
  v.RectValue("textrect", TextRect);
  v.Font("font", FontName, FontHeight, FontStyle, FontColor);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Colour("downfontcolor", DownFontColor);
  v.Colour("unenabledfontcolor", UnEnabledFontColor);
}

void TskDataUserObject::VisitFields(SkinFieldVisitor& v) { v.RectValue("skinrect", SkinRect); }

void TskDataSkinControl::VisitFields(SkinFieldVisitor& v) {
  v.PictureIndex("pictureindex", PictureIndex);
  v.PictureIndex("maskpictureindex", MaskPictureIndex);
  v.RectValue("skinrect", SkinRect);
}

void TskDataSkinCustomControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  VisitCorners(v, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint);
  v.RectValue("clientrect", ClientRect);
}

void TskDataSkinPanelControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.PictureIndex("bgpictureindex", BGPictureIndex);
  v.RectValue("captionrect", CaptionRect);
  v.Alignment("alignment", Alignment);
  SkinFontFields::Visit(v);
  v.RectValue("checkimagerect", CheckImageRect);
  v.RectValue("uncheckimagerect", UnCheckImageRect);
}

void TskDataSkinButtonControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  SkinFontFields::Visit(v);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Colour("downfontcolor", DownFontColor);
  v.Colour("disabledfontcolor", DisabledFontColor);
  v.RectValue("activeskinrect", ActiveSkinRect);
  v.RectValue("downskinrect", DownSkinRect);
  v.RectValue("disabledskinrect", DisabledSkinRect);
  v.Boolean("morphing", Morphing);
  v.MorphKind("morphkind", MorphKind);
}

void TskDataSkinMenuButtonControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinButtonControl::VisitFields(v);
  v.RectValue("trackbuttonrect", TrackButtonRect);
}

void TskDataSkinEditControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("activeskinrect", ActiveSkinRect);
  SkinFontFields::Visit(v);
  v.Colour("disabledfontcolor", DisabledFontColor);
  v.Colour("activefontcolor", ActiveFontColor);
  v.RectValue("buttonrect", ButtonRect);
  v.RectValue("activebuttonrect", ActiveButtonRect);
  v.RectValue("downbuttonrect", DownButtonRect);
  v.RectValue("unenabledbuttonrect", UnEnabledButtonRect);
}

void TskDataSkinMemoControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinEditControl::VisitFields(v);
  v.Colour("bgcolor", BGColor);
  v.Colour("activebgcolor", ActiveBGColor);
}

void TskDataSkinListBox::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("itemrect", ItemRect);
  v.RectValue("activeitemrect", ActiveItemRect);
  v.RectValue("focusitemrect", FocusItemRect);
  v.Integer("itemleftoffset", ItemLeftOffset);
  v.Integer("itemrightoffset", ItemRightOffset);
  v.RectValue("itemtextrect", ItemTextRect);
  SkinFontFields::Visit(v);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Colour("focusfontcolor", FocusFontColor);
  v.RectValue("captionrect", CaptionRect);
  CaptionFont.Visit(v, "captionfont");
  v.RectValue("upbuttonrect", UpButtonRect);
  v.RectValue("activeupbuttonrect", ActiveUpButtonRect);
  v.RectValue("downupbuttonrect", DownUpButtonRect);
  v.RectValue("downbuttonrect", DownButtonRect);
  v.RectValue("activedownbuttonrect", ActiveDownButtonRect);
  v.RectValue("downdownbuttonrect", DownDownButtonRect);
  v.RectValue("checkbuttonrect", CheckButtonRect);
  v.RectValue("activecheckbuttonrect", ActiveCheckButtonRect);
  v.RectValue("downcheckbuttonrect", DownCheckButtonRect);
  v.Text("vscrollbarname", VScrollBarName, "vscrollbar");
  v.Text("hscrollbarname", HScrollBarName, "hscrollbar");
  v.Text("bothhscrollbarname", BothHScrollBarName, "bothhscrollbar");
}

void TskDataSkinCheckListBox::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinListBox::VisitFields(v);
  v.RectValue("itemcheckrect", ItemCheckRect);
  v.RectValue("checkimagerect", CheckImageRect);
  v.RectValue("uncheckimagerect", UnCheckImageRect);
}

void TskDataSkinComboBox::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("itemrect", ItemRect);
  v.RectValue("focusitemrect", FocusItemRect);
  v.Integer("itemleftoffset", ItemLeftOffset);
  v.Integer("itemrightoffset", ItemRightOffset);
  v.RectValue("itemtextrect", ItemTextRect);
  SkinFontFields::Visit(v);
  v.Colour("focusfontcolor", FocusFontColor);
  v.Text("listboxname", ListBoxName);
  v.RectValue("buttonrect", ButtonRect);
  v.RectValue("activebuttonrect", ActiveButtonRect);
  v.RectValue("downbuttonrect", DownButtonRect);
  v.RectValue("unenabledbuttonrect", UnEnabledButtonRect);
}

void TskDataSkinStdLabelControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  SkinFontFields::Visit(v);
  v.Colour("activefontcolor", ActiveFontColor, 16711680);
}

void TskDataSkinScrollBarControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("trackarea", TrackArea);
  VisitUpDownButtons(v, UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect,
                     ActiveDownButtonRect, DownDownButtonRect);
  v.RectValue("thumbrect", ThumbRect);
  v.RectValue("activethumbrect", ActiveThumbRect);
  v.RectValue("downthumbrect", DownThumbRect);
  v.Integer("thumboffset1", ThumbOffset1);
  v.Integer("thumboffset2", ThumbOffset2);
  v.Boolean("thumbtransparent", ThumbTransparent);
  v.Colour("thumbtransparentcolor", ThumbTransparentColor);
  v.RectValue("glyphrect", GlyphRect);
  v.RectValue("activeglyphrect", ActiveGlyphRect);
  v.RectValue("downglyphrect", DownGlyphRect);
}

void TskDataSkinUpDownControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  VisitUpDownButtons(v, UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect,
                     ActiveDownButtonRect, DownDownButtonRect);
}

void TskDataSkinUpDownControl::ReadData(const SkinIni& ini) {
  TskDataSkinCustomControl::ReadData(ini);
  LeftTopPoint = RightTopPoint = LeftBottomPoint = RightBottomPoint = Point{};
  ClientRect = Rect{};
}

void TskDataSkinExPanelControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("rollhskinrect", RollHSkinRect);
  v.RectValue("rollvskinrect", RollVSkinRect);
  v.Integer("rollleftoffset", RollLeftOffset);
  v.Integer("rollrightoffset", RollRightOffset);
  v.Integer("rolltopoffset", RollTopOffset);
  v.Integer("rollbottomoffset", RollBottomOffset);
  v.RectValue("rollvcaptionrect", RollVCaptionRect);
  v.RectValue("rollhcaptionrect", RollHCaptionRect);
  v.RectValue("closebuttonrect", CloseButtonRect);
  v.RectValue("closebuttonactiverect", CloseButtonActiveRect);
  v.RectValue("closebuttondownrect", CloseButtonDownRect);
  v.RectValue("hrollbuttonrect", HRollButtonRect);
  v.RectValue("hrollbuttonactiverect", HRollButtonActiveRect);
  v.RectValue("hrollbuttondownrect", HRollButtonDownRect);
  v.RectValue("hrestorebuttonrect", HRestoreButtonRect);
  v.RectValue("hrestorebuttonactiverect", HRestoreButtonActiveRect);
  v.RectValue("hrestorebuttondownrect", HRestoreButtonDownRect);
  v.RectValue("vrollbuttonrect", VRollButtonRect);
  v.RectValue("vrollbuttonactiverect", VRollButtonActiveRect);
  v.RectValue("vrollbuttondownrect", VRollButtonDownRect);
  v.RectValue("vrestorebuttonrect", VRestoreButtonRect);
  v.RectValue("vrestorebuttonactiverect", VRestoreButtonActiveRect);
  v.RectValue("vrestorebuttondownrect", VRestoreButtonDownRect);
  v.RectValue("captionrect", CaptionRect);
  SkinFontFields::Visit(v);
}

void TskDataSkinCheckRadioControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  SkinFontFields::Visit(v);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Colour("unenabledfontcolor", UnEnabledFontColor);
  v.Colour("framefontcolor", FrameFontColor);
  v.RectValue("activeskinrect", ActiveSkinRect);
  v.RectValue("checkimagearea", CheckImageArea);
  v.RectValue("textarea", TextArea);
  v.RectValue("checkimagerect", CheckImageRect);
  v.RectValue("uncheckimagerect", UnCheckImageRect);
  v.RectValue("activecheckimagerect", ActiveCheckImageRect);
  v.RectValue("activeuncheckimagerect", ActiveUnCheckImageRect);
  v.RectValue("unenabledcheckimagerect", UnEnabledCheckImageRect);
  v.RectValue("unenableduncheckimagerect", UnEnabledUnCheckImageRect);
  v.Boolean("morphing", Morphing);
  v.MorphKind("morphkind", MorphKind);
}

void TskDataSkinGaugeControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("progressarea", ProgressArea);
  v.RectValue("progressrect", ProgressRect);
  v.Integer("beginoffset", BeginOffset);
  v.Integer("endoffset", EndOffset);
  v.Boolean("vertical", Vertical);
  SkinFontFields::Visit(v);
  v.Boolean("progresstransparent", ProgressTransparent);
  v.Colour("progresstransparentcolor", ProgressTransparentColor);
}

void TskDataSkinTrackBarControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("trackarea", TrackArea);
  v.RectValue("buttonrect", ButtonRect);
  v.RectValue("activebuttonrect", ActiveButtonRect);
  v.Boolean("vertical", Vertical);
  v.Boolean("buttontransparent", ButtonTransparent);
  v.Colour("buttontransparentcolor", ButtonTransparentColor);
}

void TskDataSkinLabelControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  SkinFontFields::Visit(v);
}

void TskDataSkinSpinEditControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("activeskinrect", ActiveSkinRect);
  SkinFontFields::Visit(v);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Colour("disabledfontcolor", DisabledFontColor);
  VisitUpDownButtons(v, UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect,
                     ActiveDownButtonRect, DownDownButtonRect);
}

void TskDataSkinScrollBoxControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.PictureIndex("bgpictureindex", BGPictureIndex);
}

void TskDataSkinControlBar::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinCustomControl::VisitFields(v);
  v.RectValue("itemrect", ItemRect);
  v.PictureIndex("bgpictureindex", BGPictureIndex);
}

void TskDataSkinMainMenuBar::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  v.RectValue("itemsrect", ItemsRect);
  v.Text("menubaritem", MenuBarItem);
  v.Text("closebutton", CloseButton);
  v.Text("minbutton", MinButton);
  v.Text("maxbutton", MaxButton);
  v.Text("sysmenubutton", SysMenuButton);
  v.Colour("trackmarkcolor", TrackMarkColor);
  v.Colour("trackmarkactivecolor", TrackMarkActiveColor);
}

void TskDataSkinTabControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  v.RectValue("tabrect", TabRect);
  v.RectValue("activetabrect", ActiveTabRect);
  v.RectValue("focustabrect", FocusTabRect);
  v.RectValue("mouseintabrect", MouseInTabRect);
  v.RectValue("clientrect", ClientRect);
  v.PictureIndex("bgpictureindex", BGPictureIndex);
  VisitCorners(v, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint);
  v.Integer("tableftoffset", TabLeftOffset);
  v.Integer("tabrightoffset", TabRightOffset);
  v.RectValue("tabsbgrect", TabsBGRect);
  SkinFontFields::Visit(v);
  v.Colour("activefontcolor", ActiveFontColor);
  v.Colour("focusfontcolor", FocusFontColor);
  v.Colour("mouseinfontcolor", MouseInFontColor);
  v.Text("updown", UpDown);
}

void TskDataSkinGridControl::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  v.RectValue("fixedcellrect", FixedCellRect);
  v.RectValue("selectcellrect", SelectCellRect);
  v.RectValue("focuscellrect", FocusCellRect);
  v.Integer("fixedcellleftoffset", FixedCellLeftOffset);
  v.Integer("fixedcellrightoffset", FixedCellRightOffset);
  v.RectValue("fixedcelltextrect", FixedCellTextRect);
  v.Integer("cellleftoffset", CellLeftOffset);
  v.Integer("cellrightoffset", CellRightOffset);
  v.RectValue("celltextrect", CellTextRect);
  v.Colour("linescolor", LinesColor);
  v.Colour("bgcolor", BGColor);
  SkinFontFields::Visit(v);
  v.Colour("selectfontcolor", SelectFontColor);
  v.Colour("focusfontcolor", FocusFontColor);
  FixedFont.Visit(v, "fixedfont");
}

void TskDataSkinTreeView::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  SkinFontFields::Visit(v);
  v.Colour("bgcolor", BGColor);
}

void TskDataSkinListView::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  SkinFontFields::Visit(v);
  v.Colour("bgcolor", BGColor);
}

void TskDataSkinRichEdit::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  SkinFontFields::Visit(v);
  v.Colour("bgcolor", BGColor);
}

void TskDataSkinBevel::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  v.Colour("lightcolor", LightColor);
  v.Colour("darkcolor", DarkColor);
}

void TskDataSkinSlider::VisitFields(SkinFieldVisitor& v) {
  TskDataSkinControl::VisitFields(v);
  v.Colour("bgcolor", BGColor);
  v.RectValue("hrulerrect", HRulerRect);
  v.RectValue("hthumbrect", HThumbRect);
  v.RectValue("vrulerrect", VRulerRect);
  v.RectValue("vthumbrect", VThumbRect);
  v.Integer("edgesize", EdgeSize);
  v.Colour("pointscolor", PointsColor);
}

// ---- factories

namespace {
template <typename T, typename Base>
std::unique_ptr<Base> Make(std::string name) {
  return std::make_unique<T>(std::move(name));
}

template <typename Base>
using Maker = std::unique_ptr<Base> (*)(std::string);

constexpr std::array<std::pair<std::string_view, Maker<TskDataSkinObject>>, 8> kObjectTypes{{
    {"menuitem", Make<TskDataSkinMenuItem, TskDataSkinObject>},
    {"mainmenubaritem", Make<TskDataSkinMainMenuBarItem, TskDataSkinObject>},
    {"stdbutton", Make<TskDataSkinStdButton, TskDataSkinObject>},
    {"mainmenubarbutton", Make<TskDataSkinMainMenuBarButton, TskDataSkinObject>},
    {"button", Make<TskDataSkinButton, TskDataSkinObject>},
    {"caption", Make<TskDataSkinCaption, TskDataSkinObject>},
    {"animate", Make<TskDataSkinAnimate, TskDataSkinObject>},
    {"userobject", Make<TskDataUserObject, TskDataSkinObject>},
}};

constexpr std::array<std::pair<std::string_view, Maker<TskDataSkinControl>>, 28> kControlTypes{{
    {"panel", Make<TskDataSkinPanelControl, TskDataSkinControl>},
    {"expanel", Make<TskDataSkinExPanelControl, TskDataSkinControl>},
    {"menubutton", Make<TskDataSkinMenuButtonControl, TskDataSkinControl>},
    {"button", Make<TskDataSkinButtonControl, TskDataSkinControl>},
    {"checkradio", Make<TskDataSkinCheckRadioControl, TskDataSkinControl>},
    {"gauge", Make<TskDataSkinGaugeControl, TskDataSkinControl>},
    {"splitter", Make<TskDataSkinSplitterControl, TskDataSkinControl>},
    {"trackbar", Make<TskDataSkinTrackBarControl, TskDataSkinControl>},
    {"label", Make<TskDataSkinLabelControl, TskDataSkinControl>},
    {"stdlabel", Make<TskDataSkinStdLabelControl, TskDataSkinControl>},
    {"updown", Make<TskDataSkinUpDownControl, TskDataSkinControl>},
    {"grid", Make<TskDataSkinGridControl, TskDataSkinControl>},
    {"tab", Make<TskDataSkinTabControl, TskDataSkinControl>},
    {"mainmenubar", Make<TskDataSkinMainMenuBar, TskDataSkinControl>},
    {"controlbar", Make<TskDataSkinControlBar, TskDataSkinControl>},
    {"memo", Make<TskDataSkinMemoControl, TskDataSkinControl>},
    {"edit", Make<TskDataSkinEditControl, TskDataSkinControl>},
    {"checklistbox", Make<TskDataSkinCheckListBox, TskDataSkinControl>},
    {"listbox", Make<TskDataSkinListBox, TskDataSkinControl>},
    {"combobox", Make<TskDataSkinComboBox, TskDataSkinControl>},
    {"scrollbar", Make<TskDataSkinScrollBarControl, TskDataSkinControl>},
    {"spinedit", Make<TskDataSkinSpinEditControl, TskDataSkinControl>},
    {"scrollbox", Make<TskDataSkinScrollBoxControl, TskDataSkinControl>},
    {"treeview", Make<TskDataSkinTreeView, TskDataSkinControl>},
    {"bevel", Make<TskDataSkinBevel, TskDataSkinControl>},
    {"slider", Make<TskDataSkinSlider, TskDataSkinControl>},
    {"listview", Make<TskDataSkinListView, TskDataSkinControl>},
    {"richedit", Make<TskDataSkinRichEdit, TskDataSkinControl>},
}};

template <typename Base, std::size_t N>
std::unique_ptr<Base> CreateFrom(const std::array<std::pair<std::string_view, Maker<Base>>, N>& table,
                                 std::string_view type, std::string name) {
  for (const auto& [typeName, make] : table)
    if (typeName == type) return make(std::move(name));
  return nullptr;
}
}  // namespace

std::unique_ptr<TskDataSkinObject> CreateSkinObjectRecord(std::string_view type, std::string name) {
  return CreateFrom(kObjectTypes, type, std::move(name));
}

std::unique_ptr<TskDataSkinControl> CreateSkinControlRecord(std::string_view type, std::string name) {
  return CreateFrom(kControlTypes, type, std::move(name));
}

// ---- window records and frame geometry

void TskDataSkinPopupWindow::VisitFields(SkinFieldVisitor& v) {
  v.PictureIndex("windowpictureindex", WindowPictureIndex);
  v.PictureIndex("maskpictureindex", MaskPictureIndex);
  VisitCorners(v, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint);
  v.RectValue("itemsrect", ItemsRect);
  v.Colour("scrollmarkercolor", ScrollMarkerColor);
  v.Colour("scrollmarkeractivecolor", ScrollMarkerActiveColor);
  VisitStretch(v, LeftStretch, RightStretch, TopStretch, BottomStretch);
}

void TskDataSkinPopupWindow::ReadData(const SkinIni& ini) {
  SkinFieldReader reader(ini, "POPUPWINDOW");
  VisitFields(reader);
}

void TskDataSkinPopupWindow::WriteData(SkinIniWriter& out) const {
  SkinFieldWriter writer(out, "POPUPWINDOW");
  const_cast<TskDataSkinPopupWindow*>(this)->VisitFields(writer);
}

void TskDataSkinHintWindow::VisitFields(SkinFieldVisitor& v) {
  v.PictureIndex("windowpictureindex", WindowPictureIndex);
  v.PictureIndex("maskpictureindex", MaskPictureIndex);
  VisitCorners(v, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint);
  v.RectValue("clientrect", ClientRect);
  SkinFontFields::Visit(v);
  VisitStretch(v, LeftStretch, RightStretch, TopStretch, BottomStretch);
}

void TskDataSkinHintWindow::ReadData(const SkinIni& ini) {
  SkinFieldReader reader(ini, "HINTWINDOW");
  VisitFields(reader);
}

void TskDataSkinHintWindow::WriteData(SkinIniWriter& out) const {
  SkinFieldWriter writer(out, "HINTWINDOW");
  const_cast<TskDataSkinHintWindow*>(this)->VisitFields(writer);
}

void SkinFormInfo::VisitFields(SkinFieldVisitor& v) {
  VisitCorners(v, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint);
  v.RectValue("clientrect", ClientRect);
  v.PictureIndex("bgpictureindex", BGPictureIndex);
  v.PictureIndex("mdibgpictureindex", MDIBGPictureIndex);
  VisitStretch(v, LeftStretch, RightStretch, TopStretch, BottomStretch);
  v.RectValue("maskrectarea", MaskRectArea);
  VisitCorners(v, HitTestLeftTopPoint, HitTestRightTopPoint, HitTestLeftBottomPoint,
               HitTestRightBottomPoint, "hittest");
  v.RectValue("buttonsrect", ButtonsRect);
  v.RectValue("captionrect", CaptionRect);
  v.Integer("buttonsoffset", ButtonsOffset);
  v.Boolean("buttonsinleft", ButtonsInLeft);
  v.Boolean("mainmenupopupup", MainMenuPopupUp);
  v.Integer("borderwidth", BorderWidth);
  v.Boolean("autorenderinginactiveimage", AutoRenderingInActiveImage);
  v.ImageEffect("inactiveeffect", InActiveEffect);
}

void SkinFormInfo::ReadData(const SkinIni& ini, std::string_view maskName) {
  SkinFieldReader reader(ini, "FORMINFO");
  VisitFields(reader);
  if (!maskName.empty()) {
    // F1: the shaped area always covers the client area.
    if (MaskRectArea.IsEmpty()) {
      MaskRectArea = ClientRect;
    } else {
      MaskRectArea = {std::min(MaskRectArea.left, ClientRect.left),
                      std::min(MaskRectArea.top, ClientRect.top),
                      std::max(MaskRectArea.right, ClientRect.right),
                      std::max(MaskRectArea.bottom, ClientRect.bottom)};
    }
    // F2: hit-test points left unset fall back to the corner points.
    const auto fill = [](Point& hit, Point corner) {
      if (hit.x == 0 || hit.y == 0) hit = corner;
    };
    fill(HitTestLeftTopPoint, LeftTopPoint);
    fill(HitTestRightTopPoint, RightTopPoint);
    fill(HitTestLeftBottomPoint, LeftBottomPoint);
    fill(HitTestRightBottomPoint, RightBottomPoint);
  }
  // F3: corner points are pulled into the client rect, unless the corners are degenerate.
  if (RightBottomPoint.x != LeftTopPoint.x && RightBottomPoint.y != LeftTopPoint.y) {
    const Rect& c = ClientRect;
    LeftTopPoint = {std::max(LeftTopPoint.x, c.left), std::max(LeftTopPoint.y, c.top)};
    RightTopPoint = {std::min(RightTopPoint.x, c.right), std::max(RightTopPoint.y, c.top)};
    LeftBottomPoint = {std::max(LeftBottomPoint.x, c.left), std::min(LeftBottomPoint.y, c.bottom)};
    RightBottomPoint = {std::min(RightBottomPoint.x, c.right), std::min(RightBottomPoint.y, c.bottom)};
  }
}

void SkinFormInfo::WriteData(SkinIniWriter& out) const {
  SkinFieldWriter writer(out, "FORMINFO");
  const_cast<SkinFormInfo*>(this)->VisitFields(writer);
}
