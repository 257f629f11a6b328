// TskSkinStdLabel (the platform's label with its font from the "stdlabel" section) and
// TskSkinLabel (a label drawn on a skin image from a "label" section).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "skin/controls/skSkinCtrls.h"
#include "toolkit/StdCtrls.h"

class TskSkinStdLabel : public TLabel, public TskSkinChangeable {
 public:
  explicit TskSkinStdLabel(TComponent* owner);
  ~TskSkinStdLabel() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  void SetSkinDataName(std::string_view name) { m_link.SetName(name); }
  TFont& DefaultFont() { return *m_defaultFont; }
  void SetDefaultFont(const TFont& font) { m_defaultFont->Assign(&font); }
  bool UseSkinFont() const { return m_useSkinFont; }
  void SetUseSkinFont(bool on);
  // Hides the label's own: the size is measured in the font the label draws with.
  void SetAutoSize(bool on);

  void ReadSkinRecord();
  void BeginSkinChange() override;
  void ApplySkin() override;
  int SkinIndex() const { return m_link.Index(); }
  // The font the text is drawn in now (record, DefaultFont or Font, by the rules).
  void MakeTextFont(TFont& out);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  TPersistent* PropertyObject(std::string_view name) override;
  void Loaded() override;

 protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void AdjustSkinBounds();

  SkinRecordLink m_link{*this};
  std::unique_ptr<TFont> m_defaultFont;
  bool m_useSkinFont = true;
  bool m_hasFields = false;
  SkinFontFields m_fields;
};

class TskSkinLabel : public TskGraphicSkinCustomControl {
 public:
  explicit TskSkinLabel(TComponent* owner);

  TAlignment Alignment() const { return m_alignment; }
  void SetAlignment(TAlignment a);

  void DrawDefaultImage(TBitmap& bitmap) override;
  void DrawSkinImage(TBitmap& bitmap) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void TextChanged() override { Invalidate(); }

 private:
  void DrawText(TCanvas& canvas, const Rect& area);
  TAlignment m_alignment = TAlignment::taLeftJustify;
};
