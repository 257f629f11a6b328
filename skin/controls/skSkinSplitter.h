// TskSkinSplitter: the platform's splitter bar drawn from a "hsplitter" or "vsplitter" strip.
#pragma once

#include <string>
#include <string_view>

#include "skin/controls/skSkinCtrls.h"
#include "toolkit/ExtCtrls.h"

class TskSkinSplitter : public TSplitter, public TskSkinChangeable {
 public:
  explicit TskSkinSplitter(TComponent* owner);
  ~TskSkinSplitter() override;

  TskSkinData* SkinData() const override { return m_link.Data(); }
  // Stores and applies the skin, also when set to none.
  void SetSkinData(TskSkinData* data);
  const std::string& SkinDataName() const { return m_link.Name(); }
  void SetSkinDataName(std::string_view name) { m_link.SetName(name); }
  // Thickness and minimum size without a skin record.
  int DefaultSize() const { return m_defaultSize; }
  void SetDefaultSize(int s) { m_defaultSize = s; }

  void ReadSkinRecord();
  void BeginSkinChange() override;
  void ApplySkin() override;
  int SkinIndex() const { return m_link.Index(); }

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool AlongWidth() const { return Align() == TAlign::alTop || Align() == TAlign::alBottom; }

  SkinRecordLink m_link{*this};
  int m_defaultSize = 10;
  Rect m_skinRect;
  NinePartGeometry m_parts;
  const Bitmap* m_picture = nullptr;
};
