// TskSkinSplitter: strip image along the bar, thickness and minimum size from the skin.
#include "skin/controls/skSkinSplitter.h"

#include "toolkit/Reader.h"

TskSkinSplitter::TskSkinSplitter(TComponent* owner) : TSplitter(owner) {
  m_controlStyle |= csOpaque;
  SetSkinDataName("vsplitter");
}

TskSkinSplitter::~TskSkinSplitter() = default;

void TskSkinSplitter::SetSkinData(TskSkinData* data) {
  m_link.SetData(data);
  ApplySkin();
}

void TskSkinSplitter::Notification(TComponent* component, TOperation operation) {
  TSplitter::Notification(component, operation);
  if (operation != TOperation::opRemove || !m_link.Removed(component)) return;
  BeginSkinChange();
  if (!HasState(csDestroying)) ApplySkin();
}

void TskSkinSplitter::ReadSkinRecord() {
  m_link.Lookup();
  m_picture = nullptr;
  m_skinRect = Rect();
  m_parts = NinePartGeometry();
  const TskDataSkinControl* record = m_link.Record();
  if (!record) return;
  m_skinRect = record->SkinRect;
  m_picture = SkinActivePicture(SkinData(), record->PictureIndex);
  if (const auto* custom = dynamic_cast<const TskDataSkinCustomControl*>(record))
    m_parts = {custom->LeftTopPoint, custom->RightTopPoint, custom->LeftBottomPoint,
               custom->RightBottomPoint, custom->ClientRect};
}

void TskSkinSplitter::BeginSkinChange() {
  m_link.Forget();
  m_picture = nullptr;
}

void TskSkinSplitter::ApplySkin() {
  ReadSkinRecord();
  int thickness = m_defaultSize;
  if (m_link.Record()) {
    const int skinThickness = AlongWidth() ? m_skinRect.Height() : m_skinRect.Width();
    // A record without a usable rectangle would make the bar vanish.
    if (skinThickness > 0) thickness = skinThickness;
  }
  if (AlongWidth()) SetHeight(thickness);
  else SetWidth(thickness);
  SetMinSize(thickness);
  Invalidate();
}

void TskSkinSplitter::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  ReadSkinRecord();
  const TAlign align = Align();
  if (!m_link.Record() || !m_picture || align == TAlign::alNone || align == TAlign::alClient ||
      align == TAlign::alCustom) {
    TSplitter::Paint();
    return;
  }
  TBitmap strip;
  if (AlongWidth()) {
    strip.SetSize(Width(), m_skinRect.Height());
    BuildHStripImage(strip.Image(), m_parts.leftTop.x, m_skinRect.Width() - m_parts.rightTop.x,
                     m_skinRect, *m_picture, Width());
  } else {
    strip.SetSize(m_skinRect.Width(), Height());
    BuildVStripImage(strip.Image(), m_parts.leftTop.y, m_skinRect.Height() - m_parts.leftBottom.y,
                     m_skinRect, *m_picture, Height());
  }
  Canvas().Draw(0, 0, &strip);
}

bool TskSkinSplitter::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData"))
    ReadSkinDataLink(v, reader, [this](TskSkinData* d) { SetSkinData(d); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else if (SameText(name, "DefaultSize")) SetDefaultSize(v.AsInt());
  else return TSplitter::ReadProperty(name, v, reader);
  return true;
}
