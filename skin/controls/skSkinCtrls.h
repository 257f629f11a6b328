// The skinned control base: record lookup by section name, off-screen painting from the
// skin or in a default look, skin-change handling, and the walk a frame uses to pass a
// skin change to every skinned control of its window.
#pragma once

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

// A form component that carries a skin data object. A form resource links a control's
// SkinData to such a component by name; the control forgets the skin data when the
// component is destroyed.
class TskSkinDataProvider {
 public:
  virtual TskSkinData* ProvidedSkinData() = 0;

 protected:
  ~TskSkinDataProvider() = default;
};

// What the skin-change walk needs of every skinned control, windowed or not.
class TskSkinnedControl {
 public:
  virtual TskSkinData* SkinData() const = 0;
  // Before the skin data reloads: forget the record (and every pointer into the skin).
  virtual void BeginSkinChange() = 0;
  // After it reloaded: read the record again, take the size it allows and repaint.
  virtual void ApplySkin() = 0;

 protected:
  ~TskSkinnedControl() = default;
};

// The skin-change protocol over a window's controls, depth first, parents before their
// children: only controls bound to `data` take part, or all when `data` is null.
void BeginSkinChangeControls(TWinControl* root, const TskSkinData* data);
void ApplySkinControls(TWinControl* root, const TskSkinData* data);

// Where a control finds its record: the skin data object, the section name and the
// position of the record found by the last lookup.
class SkinRecordLink {
 public:
  TskSkinData* Data() const { return m_data; }
  void SetData(TskSkinData* data) { m_data = data; }
  const std::string& Name() const { return m_name; }
  void SetName(std::string_view name) { m_name = name; }
  // A skin is there to read: a skin data object that is not empty.
  bool SkinAvailable() const { return m_data && !m_data->SkinEmpty(); }
  // Looks the record up again by exact name; -1 without skin or without that section.
  int Lookup();
  int Index() const { return m_index; }
  void Forget() { m_index = -1; }
  // The record of the last lookup, or nullptr.
  const TskDataSkinControl* Record() const;

 private:
  TskSkinData* m_data = nullptr;
  std::string m_name;
  int m_index = -1;
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

// The active picture `index` of a skin, or nullptr when the index is out of range.
const Bitmap* SkinActivePicture(const TskSkinData* data, int index);
// The character set skin-drawn text takes: the linked interface texts' when present.
int SkinCharset(const TskSkinData* data, int fallback);
// A caption font from a record's font fields: face, height and style from the record
// when `useSkinFont`, else `defaultFont`; colour `color` whenever a record exists.
void MakeSkinCaptionFont(TFont& out, const TFont& defaultFont, const SkinFontFields* fields,
                         bool useSkinFont, Color color, const TskSkinData* data);

// A windowed skinned control (it has a window, can take the focus and can be cut to a
// region).
class TskSkinControl : public TCustomControl, public TskSkinnedControl {
 public:
  explicit TskSkinControl(TComponent* owner);
  ~TskSkinControl() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  virtual void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  virtual void SetSkinDataName(std::string_view name);
  // Links to a form component that carries the skin data (see TskSkinDataProvider).
  void SetSkinDataProvider(TComponent* provider);

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

  SkinRecordLink m_link;

 private:
  TComponent* m_provider = nullptr;
  bool m_paintMessage = false;
};

// TskSkinControl with the element geometry, default size and caption font.
class TskSkinCustomControl : public TskSkinControl {
 public:
  explicit TskSkinCustomControl(TComponent* owner);
  ~TskSkinCustomControl() override;

  TFont& DefaultFont() { return *m_defaultFont; }
  const TFont& DefaultFont() const { return *m_defaultFont; }
  void SetDefaultFont(const TFont& font);
  int DefaultWidth() const { return m_defaultWidth; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return m_defaultHeight; }
  void SetDefaultHeight(int h);
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on);

  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  virtual void DefaultFontChanged();
  virtual void FitSizeToSkin(int& width, int& height);
  virtual void UpdateRegion();

  SkinResizeMode ResizeMode() const { return m_element.mode; }
  const SkinElement& Element() const { return m_element; }
  // The window region currently set (none: rectangular).
  const std::optional<Region>& CurrentRegion() const { return m_region; }

  void SetBounds(int left, int top, int width, int height) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  void CreateWindowHandleDone() override;

  SkinElement m_element;

 private:
  void SetWindowRegion(std::optional<Region> region);
  std::unique_ptr<TFont> m_defaultFont;
  int m_defaultWidth = 0;
  int m_defaultHeight = 0;
  bool m_useSkinFont = true;
  std::optional<Region> m_region;
};

// A windowless skinned control drawn on its parent; opaque.
class TskGraphicSkinControl : public TGraphicControl, public TskSkinnedControl {
 public:
  explicit TskGraphicSkinControl(TComponent* owner);
  ~TskGraphicSkinControl() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  virtual void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  void SetSkinDataName(std::string_view name) { m_link.SetName(name); }
  void SetSkinDataProvider(TComponent* provider);

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

  SkinRecordLink m_link;

 private:
  TComponent* m_provider = nullptr;
};

// TskGraphicSkinControl with the element geometry, default size and caption font.
class TskGraphicSkinCustomControl : public TskGraphicSkinControl {
 public:
  explicit TskGraphicSkinCustomControl(TComponent* owner);
  ~TskGraphicSkinCustomControl() override;

  TFont& DefaultFont() { return *m_defaultFont; }
  const TFont& DefaultFont() const { return *m_defaultFont; }
  void SetDefaultFont(const TFont& font);
  int DefaultWidth() const { return m_defaultWidth; }
  void SetDefaultWidth(int w);
  int DefaultHeight() const { return m_defaultHeight; }
  void SetDefaultHeight(int h);
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on);

  void ReadSkinRecord() override;
  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  void ApplySkin() override;
  void BeginSkinChange() override;
  virtual void DefaultFontChanged();
  virtual void FitSizeToSkin(int& width, int& height);

  SkinResizeMode ResizeMode() const { return m_element.mode; }
  const SkinElement& Element() const { return m_element; }

  void SetBounds(int left, int top, int width, int height) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;

 protected:
  SkinElement m_element;

 private:
  std::unique_ptr<TFont> m_defaultFont;
  int m_defaultWidth = 0;
  int m_defaultHeight = 0;
  bool m_useSkinFont = true;
};

// Reads a SkinData link of a form resource: a component that carries a skin data object.
void ReadSkinDataLink(const TStreamValue& value, TReader& reader,
                      std::function<void(TComponent*)> assign);
// The skin data a provider component carries (nullptr for none).
TskSkinData* ProviderSkinData(TComponent* provider);

// Registers every skinned control class with the toolkit's class registry, so form
// resources can name them. Safe to call more than once.
void RegisterSkinControlClasses();
