// The skinned control base: record lookup by section name, off-screen painting from the
// skin or in a default look, and skin-change handling.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"
#include "skin/controls/skImageDraw.h"
#include "skin/data/skSkinData.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/Controls.h"

// Where a control finds its record: the skin data object (whose removal notice the owning
// control asks for), the section name and the position of the record. The lookup runs
// again only when the skin data, its generation or the name changed since the last one.
class SkinRecordLink {
 public:
  explicit SkinRecordLink(TComponent& owner) : m_owner(owner) {}
  TskSkinData* Data() const { return m_data; }
  // Links `data` (asking for its removal notice) and forgets the record.
  void SetData(TskSkinData* data);
  // A component is being destroyed: true when it was the skin data, which is then unlinked.
  bool Removed(const TComponent* component);
  const std::string& Name() const { return m_name; }
  void SetName(std::string_view name) { m_name = name; }
  // A skin is there to read: a skin data object that is not empty.
  bool SkinAvailable() const { return m_data && !m_data->SkinEmpty(); }
  // The record position for the current skin and name; -1 without skin or section. True
  // in `changed` when it was looked up anew.
  int Lookup(bool* changed = nullptr);
  int Index() const { return m_index; }
  void Forget();
  // The record of the last lookup, or nullptr.
  const TskDataSkinControl* Record() const;

 private:
  TComponent& m_owner;
  TskSkinData* m_data = nullptr;
  std::string m_name;
  int m_index = -1;
  bool m_valid = false;  // m_index answers m_readName in m_readGeneration
  std::string m_readName;
  unsigned m_readGeneration = 0;
};

// The element geometry of a custom control, copied from its record, with the values
// derived for the control's current size.
struct SkinElement {
  Rect skinRect;
  NinePartGeometry parts;  // as the record gives them, relative to skinRect
  NinePartGeometry sized;  // derived for the current size
  const Bitmap* picture = nullptr;  // owned by the skin data object
  const Bitmap* mask = nullptr;
  SkinResizeMode mode = SkinResizeMode::NoImage;

  void Clear() { *this = SkinElement(); }
  // Copies geometry and pictures from a record; a record without geometry is Fixed with
  // an empty skin rect and no pictures.
  void Read(const TskSkinData& data, const TskDataSkinControl& record);
  // FitSizeToSkin: derives the geometry for a size and forces what the mode fixes. A
  // Fixed element with an empty skin rect leaves the size alone rather than vanish.
  void Fit(int& width, int& height);
  // DrawSkinImage with `r` as the skin rect (a state image shares the geometry). The
  // bitmap takes the size the mode gives (through TBitmap, so its canvas follows).
  void Compose(TBitmap& dest, const Rect& r, int width, int height) const;
  // The window region at a size from the mask; none without mask or when the size is
  // smaller than the fixed parts.
  std::optional<Region> MaskRegion(int width, int height) const;
};

// The default look's button face, shared by every skinned control drawn without a record:
// the frame of a hot or pressed face and its fills.
inline constexpr Color kDefaultFaceFrame = 0x800000;
inline constexpr Color kDefaultFacePressedFill = 11899781;
inline constexpr Color kDefaultFaceHotFill = 13811126;
struct DefaultFaceColors {
  Color frame;
  Color fill;
};
// The plain, hot or pressed face (pressed wins).
constexpr DefaultFaceColors DefaultFace(bool pressed, bool hot) {
  if (pressed) return {kDefaultFaceFrame, kDefaultFacePressedFill};
  if (hot) return {kDefaultFaceFrame, kDefaultFaceHotFill};
  return {clBtnShadow, clBtnFace};
}

// The active picture `index` of a skin, or nullptr when the index is out of range.
const Bitmap* SkinActivePicture(const TskSkinData* data, int index);
// The character set skin-drawn text takes: the linked interface texts' when present.
int SkinCharset(const TskSkinData* data, int fallback);
// A caption font from a record's font fields: face, height and style from the record
// when `useSkinFont`, else `defaultFont`; colour `color` whenever a record exists.
void MakeSkinCaptionFont(TFont& out, const TFont& defaultFont, const SkinFontFields* fields,
                         bool useSkinFont, Color color, const TskSkinData* data);

// The skin operations a custom control (windowed or not) overrides; what SkinCustomCore
// calls back for its shared steps.
class SkinCustomHost {
 public:
  virtual void ReadSkinRecord() = 0;
  virtual void FitSizeToSkin(int& width, int& height) = 0;
  virtual void DefaultFontChanged() = 0;
  virtual void UpdateRegion() {}

 protected:
  ~SkinCustomHost() = default;
};

// What the windowed and windowless custom controls share: the element geometry, default
// size and caption font, and the steps of reading a record, applying a skin and fitting
// a requested size.
class SkinCustomCore {
 public:
  SkinCustomCore(TControl& control, SkinCustomHost& host, SkinRecordLink& link);
  ~SkinCustomCore();

  TFont& DefaultFont() { return *m_defaultFont; }
  void SetDefaultFont(const TFont& font);
  int DefaultWidth() const { return m_defaultWidth; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return m_defaultHeight; }
  void SetDefaultHeight(int h);
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on);

  SkinElement element;

  // Looks the record up; the element is read again only when the record changed, and
  // fitted again only when the size did.
  void ReadRecord();
  // Whether the last ReadRecord looked the record up anew (the skin or the name changed),
  // so users that copy fields from it copy them again.
  bool ReadAnew() const { return m_readAnew; }
  void Forget();
  void FitSizeToSkin(int& width, int& height);
  // The bounds-change step before the bounds are applied: true when the requested size
  // was fitted to the skin (the caller then updates its region and repaints).
  bool FitBounds(int& width, int& height);
  // ApplySkin up to the repaint: false when it resized the control (which repainted).
  bool Apply();
  bool ReadProperty(std::string_view name, const TStreamValue& value);
  TPersistent* PropertyObject(std::string_view name);

 private:
  TControl& m_control;
  SkinCustomHost& m_host;
  SkinRecordLink& m_link;
  std::unique_ptr<TFont> m_defaultFont;
  int m_defaultWidth = 0;
  int m_defaultHeight = 0;
  bool m_useSkinFont = true;
  int m_fitWidth = -1, m_fitHeight = -1;  // the size `element` was fitted to
  bool m_readAnew = true;
};

// A windowed skinned control (it has a window, can take the focus and can be cut to a
// region).
class TskSkinControl : public TCustomControl, public TskSkinChangeable {
 public:
  explicit TskSkinControl(TComponent* owner);
  ~TskSkinControl() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  virtual void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  virtual void SetSkinDataName(std::string_view name);

  virtual void ReadSkinRecord();
  virtual void DrawDefaultImage(TBitmap& bitmap);
  virtual void DrawSkinImage(TBitmap& bitmap);
  void ApplySkin() override;
  void BeginSkinChange() override;
  virtual void EndSkinChange();

  // The record index of the last lookup (-1: none).
  int SkinIndex() const { return m_link.Index(); }
  const TskDataSkinControl* SkinRecord() const { return m_link.Record(); }
  // Paints the control as it shows into a bitmap of its size (what Paint copies).
  void RenderTo(TBitmap& bitmap);

  void WndProc(TMessage& message) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  bool Designing() const { return HasState(csDesigning); }
  bool PaintingFromMessage() const { return m_paintMessage; }

  SkinRecordLink m_link{*this};

 private:
  bool m_paintMessage = false;
};

// TskSkinControl with the element geometry, default size and caption font.
class TskSkinCustomControl : public TskSkinControl, public SkinCustomHost {
 public:
  explicit TskSkinCustomControl(TComponent* owner);
  ~TskSkinCustomControl() override;

  TFont& DefaultFont() { return m_custom.DefaultFont(); }
  const TFont& DefaultFont() const { return const_cast<SkinCustomCore&>(m_custom).DefaultFont(); }
  void SetDefaultFont(const TFont& font) { m_custom.SetDefaultFont(font); }
  int DefaultWidth() const { return m_custom.DefaultWidth(); }
  void SetDefaultWidth(int w) { m_custom.SetDefaultWidth(w); }
  int DefaultHeight() const { return m_custom.DefaultHeight(); }
  void SetDefaultHeight(int h) { m_custom.SetDefaultHeight(h); }
  bool UseSkinFont() const { return m_custom.UseSkinFont(); }
  void SetUseSkinFont(bool on) { m_custom.SetUseSkinFont(on); }

  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  void DefaultFontChanged() override;
  void FitSizeToSkin(int& width, int& height) override;
  void UpdateRegion() override;

  SkinResizeMode ResizeMode() const { return m_element.mode; }
  const SkinElement& Element() const { return m_element; }
  // The window region currently set (none: rectangular).
  const std::optional<Region>& CurrentRegion() const { return m_region; }

  void SetBounds(int left, int top, int width, int height) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void CreateWindowHandleDone() override;

  SkinCustomCore m_custom{*this, *this, m_link};
  SkinElement& m_element = m_custom.element;

 private:
  void SetWindowRegion(std::optional<Region> region);
  std::optional<Region> m_region;
};

// A windowless skinned control drawn on its parent; opaque.
class TskGraphicSkinControl : public TGraphicControl, public TskSkinChangeable {
 public:
  explicit TskGraphicSkinControl(TComponent* owner);
  ~TskGraphicSkinControl() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  virtual void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  void SetSkinDataName(std::string_view name) { m_link.SetName(name); }

  virtual void ReadSkinRecord();
  virtual void DrawDefaultImage(TBitmap& bitmap);
  virtual void DrawSkinImage(TBitmap& bitmap);
  void ApplySkin() override;
  void BeginSkinChange() override;

  int SkinIndex() const { return m_link.Index(); }
  const TskDataSkinControl* SkinRecord() const { return m_link.Record(); }
  void RenderTo(TBitmap& bitmap);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  bool Designing() const { return HasState(csDesigning); }

  SkinRecordLink m_link{*this};
};

// TskGraphicSkinControl with the element geometry, default size and caption font.
class TskGraphicSkinCustomControl : public TskGraphicSkinControl, public SkinCustomHost {
 public:
  explicit TskGraphicSkinCustomControl(TComponent* owner);
  ~TskGraphicSkinCustomControl() override;

  TFont& DefaultFont() { return m_custom.DefaultFont(); }
  const TFont& DefaultFont() const { return const_cast<SkinCustomCore&>(m_custom).DefaultFont(); }
  void SetDefaultFont(const TFont& font) { m_custom.SetDefaultFont(font); }
  int DefaultWidth() const { return m_custom.DefaultWidth(); }
  void SetDefaultWidth(int w) { m_custom.SetDefaultWidth(w); }
  int DefaultHeight() const { return m_custom.DefaultHeight(); }
  void SetDefaultHeight(int h) { m_custom.SetDefaultHeight(h); }
  bool UseSkinFont() const { return m_custom.UseSkinFont(); }
  void SetUseSkinFont(bool on) { m_custom.SetUseSkinFont(on); }

  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  void DefaultFontChanged() override;
  void FitSizeToSkin(int& width, int& height) override;

  SkinResizeMode ResizeMode() const { return m_element.mode; }
  const SkinElement& Element() const { return m_element; }

  void SetBounds(int left, int top, int width, int height) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  SkinCustomCore m_custom{*this, *this, m_link};
  SkinElement& m_element = m_custom.element;
};

// Reads a SkinData link of a form resource: a TskSkinData component of the form.
void ReadSkinDataLink(const TStreamValue& value, TReader& reader, std::function<void(TskSkinData*)> assign);

// Registers every skinned control class with the toolkit's class registry, so form
// resources can name them. Safe to call more than once.
void RegisterSkinControlClasses();
