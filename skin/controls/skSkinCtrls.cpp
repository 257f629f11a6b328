// The skinned control base: record lookup, off-screen painting, skin changes and regions.
#include "skin/controls/skSkinCtrls.h"

#include <vector>

#include "platform/win/WinApi.h"
#include "toolkit/Reader.h"

namespace {

void FillButtonFace(TBitmap& bitmap, const Rect& r) {
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clBtnFace);
  c.FillRect(r);
}

}  // namespace

// ---- record link and element geometry

void SkinRecordLink::SetData(TskSkinData* data) {
  if (m_data && m_data != data) m_owner.RemoveFreeNotification(m_data);
  m_data = data;
  if (data) m_owner.FreeNotification(data);
  Forget();
}

bool SkinRecordLink::Removed(const TComponent* component) {
  if (!component || component != m_data) return false;
  m_data = nullptr;
  Forget();
  return true;
}

void SkinRecordLink::Forget() {
  m_index = -1;
  m_valid = false;
}

int SkinRecordLink::Lookup(bool* changed) {
  const bool fresh = m_valid && m_readName == m_name &&
                     (m_data ? m_data->Generation() == m_readGeneration && !m_data->SkinEmpty() : m_index == -1);
  if (changed) *changed = !fresh;
  if (fresh) return m_index;
  m_index = SkinAvailable() ? m_data->FindControlIndex(m_name) : -1;
  m_valid = m_data != nullptr;
  m_readName = m_name;
  m_readGeneration = m_data ? m_data->Generation() : 0;
  return m_index;
}

const TskDataSkinControl* SkinRecordLink::Record() const {
  if (m_index < 0 || !SkinAvailable()) return nullptr;
  const auto& list = m_data->ControlList();
  if (static_cast<std::size_t>(m_index) >= list.size()) return nullptr;
  return list[static_cast<std::size_t>(m_index)].get();
}

const Bitmap* SkinActivePicture(const TskSkinData* data, int index) {
  if (!data || index < 0) return nullptr;
  const auto& pictures = data->ActivePictures();
  if (static_cast<std::size_t>(index) >= pictures.size()) return nullptr;
  return &pictures[static_cast<std::size_t>(index)];
}

int SkinCharset(const TskSkinData* data, int fallback) {
  if (data && data->ResourceStrData()) return data->ResourceStrData()->CharSet();
  return fallback;
}

void MakeSkinCaptionFont(TFont& out, const TFont& defaultFont, const SkinFontFields* fields,
                         bool useSkinFont, Color color, const TskSkinData* data) {
  out.Assign(&defaultFont);
  if (fields) {
    if (useSkinFont) {
      out.SetName(fields->FontName);
      out.SetHeight(fields->FontHeight);
      out.SetStyle(fields->FontStyle);
    }
    out.SetColor(color);
  }
  out.SetCharset(SkinCharset(data, defaultFont.Charset()));
}

void SkinElement::Read(const TskSkinData& data, const TskDataSkinControl& record) {
  Clear();
  const auto* custom = dynamic_cast<const TskDataSkinCustomControl*>(&record);
  if (!custom) {
    mode = SkinResizeMode::Fixed;
    return;
  }
  parts = {custom->LeftTopPoint, custom->RightTopPoint, custom->LeftBottomPoint,
           custom->RightBottomPoint, custom->ClientRect};
  sized = parts;
  skinRect = custom->SkinRect;
  picture = SkinActivePicture(&data, custom->PictureIndex);
  mask = SkinActivePicture(&data, custom->MaskPictureIndex);
  mode = GetSkinResizeMode(skinRect, parts);
}

void SkinElement::Fit(int& width, int& height) {
  if (mode == SkinResizeMode::Fixed && skinRect.IsEmpty()) {
    sized = parts;
    return;
  }
  SizedNinePart s = DeriveNinePart(mode, skinRect, parts, width, height);
  sized = s.parts;
  width = s.width;
  height = s.height;
}

void SkinElement::Compose(TBitmap& dest, const Rect& r, int width, int height) const {
  if (!picture || r.IsEmpty() || mode == SkinResizeMode::NoImage) return;
  Bitmap& image = dest.Image();
  switch (mode) {
    case SkinResizeMode::Fixed:
      dest.SetSize(r.Width(), r.Height());
      CopySkinRect(image, image.Bounds(), *picture, r);
      break;
    case SkinResizeMode::Both:
      dest.SetSize(width, height);
      BuildNinePartImage(image, parts, sized, r, *picture, width, height, true);
      break;
    case SkinResizeMode::Horizontal:
      dest.SetSize(width, r.Height());
      BuildHStripImage(image, parts.leftTop.x, r.Width() - parts.rightTop.x, r, *picture, width);
      break;
    case SkinResizeMode::Vertical:
      dest.SetSize(r.Width(), height);
      BuildVStripImage(image, parts.leftTop.y, r.Height() - parts.leftBottom.y, r, *picture, height);
      break;
    case SkinResizeMode::NoImage:
      break;
  }
  dest.Modified();
}

std::optional<Region> SkinElement::MaskRegion(int width, int height) const {
  if (!mask || mask->IsEmpty()) return std::nullopt;
  const Rect natural(0, 0, skinRect.Width(), skinRect.Height());
  switch (mode) {
    case SkinResizeMode::Fixed:
      return MaskToRegion(*mask);
    case SkinResizeMode::Both:
      return ResizedMaskToRegion(parts, sized, *mask, width, height);
    case SkinResizeMode::Horizontal:
    case SkinResizeMode::Vertical: {
      // A strip's mask follows the size the way its image does: compose the mask itself.
      Bitmap sizedMask;
      if (mode == SkinResizeMode::Horizontal)
        BuildHStripImage(sizedMask, parts.leftTop.x, natural.Width() - parts.rightTop.x, natural,
                         *mask, width);
      else
        BuildVStripImage(sizedMask, parts.leftTop.y, natural.Height() - parts.leftBottom.y,
                         natural, *mask, height);
      return MaskToRegion(sizedMask);
    }
    case SkinResizeMode::NoImage:
      break;
  }
  return std::nullopt;
}

// ---- resource links

void ReadSkinDataLink(const TStreamValue& value, TReader& reader, std::function<void(TskSkinData*)> assign) {
  reader.ReadLink<TskSkinData>(value, std::move(assign));
}

// ---- the shared custom core

namespace {

std::unique_ptr<TFont> MakeDefaultFont() {
  auto font = std::make_unique<TFont>();
  font->SetName(SkinDefaultFontName);
  font->SetHeight(SkinDefaultFontHeight);
  return font;
}

}  // namespace

SkinCustomCore::SkinCustomCore(TControl& control, SkinCustomHost& host, SkinRecordLink& link)
    : m_control(control), m_host(host), m_link(link), m_defaultFont(MakeDefaultFont()) {
  m_defaultFont->OnChange = [this](TObject*) {
    m_host.DefaultFontChanged();
    if (m_link.Index() == -1) m_control.Invalidate();
  };
}

SkinCustomCore::~SkinCustomCore() { m_defaultFont->OnChange = nullptr; }

void SkinCustomCore::SetDefaultFont(const TFont& font) {
  m_defaultFont->Assign(&font);
  m_host.DefaultFontChanged();
}

void SkinCustomCore::SetDefaultWidth(int w) {
  m_defaultWidth = w;
  if (m_link.Index() == -1 && w > 0) m_control.SetWidth(w);
}

void SkinCustomCore::SetDefaultHeight(int h) {
  m_defaultHeight = h;
  if (m_link.Index() == -1 && h > 0) m_control.SetHeight(h);
}

void SkinCustomCore::SetUseSkinFont(bool on) {
  if (on == m_useSkinFont) return;
  m_useSkinFont = on;
  m_control.Invalidate();
}

void SkinCustomCore::ReadRecord() {
  bool changed = false;
  m_link.Lookup(&changed);
  m_readAnew = changed;
  const TskDataSkinControl* record = m_link.Record();
  if (!record) {
    element.Clear();
    m_fitWidth = m_fitHeight = -1;
    return;
  }
  if (changed) {
    element.Read(*m_link.Data(), *record);
    m_fitWidth = m_fitHeight = -1;
  }
  if (m_fitWidth != m_control.Width() || m_fitHeight != m_control.Height()) {
    int w = m_control.Width(), h = m_control.Height();
    element.Fit(w, h);
    m_fitWidth = m_control.Width();
    m_fitHeight = m_control.Height();
  }
}

void SkinCustomCore::Forget() {
  element.Clear();
  m_fitWidth = m_fitHeight = -1;
}

void SkinCustomCore::FitSizeToSkin(int& width, int& height) {
  if (m_link.Index() == -1) return;
  element.Fit(width, height);
  m_fitWidth = width;
  m_fitHeight = height;
}

bool SkinCustomCore::FitBounds(int& width, int& height) {
  m_host.ReadSkinRecord();
  if ((width == m_control.Width() && height == m_control.Height()) || m_link.Index() == -1) return false;
  m_host.FitSizeToSkin(width, height);
  return true;
}

bool SkinCustomCore::Apply() {
  m_host.ReadSkinRecord();
  if (m_link.Index() == -1) {
    if (m_defaultWidth > 0 || m_defaultHeight > 0)
      m_control.SetBounds(m_control.Left(), m_control.Top(), m_defaultWidth > 0 ? m_defaultWidth : m_control.Width(),
                          m_defaultHeight > 0 ? m_defaultHeight : m_control.Height());
    return true;
  }
  int w = m_control.Width(), h = m_control.Height();
  m_host.FitSizeToSkin(w, h);
  if (w == m_control.Width() && h == m_control.Height()) return true;
  m_control.SetBounds(m_control.Left(), m_control.Top(), w, h);
  return false;
}

bool SkinCustomCore::ReadProperty(std::string_view name, const TStreamValue& v) {
  if (SameText(name, "DefaultWidth")) SetDefaultWidth(v.AsInt());
  else if (SameText(name, "DefaultHeight")) SetDefaultHeight(v.AsInt());
  else if (SameText(name, "UseSkinFont")) SetUseSkinFont(v.AsBool());
  else return false;
  return true;
}

TPersistent* SkinCustomCore::PropertyObject(std::string_view name) {
  return SameText(name, "DefaultFont") ? m_defaultFont.get() : nullptr;
}

// ---- TskSkinControl

TskSkinControl::TskSkinControl(TComponent* owner) : TCustomControl(owner) {}

TskSkinControl::~TskSkinControl() = default;

void TskSkinControl::SetSkinData(TskSkinData* data) {
  m_link.SetData(data);
  if (data && !data->SkinEmpty() && !Designing()) ApplySkin();
}

void TskSkinControl::SetSkinDataName(std::string_view name) { m_link.SetName(name); }

void TskSkinControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove || !m_link.Removed(component)) return;
  BeginSkinChange();
  if (!HasState(csDestroying)) ApplySkin();
}

void TskSkinControl::ReadSkinRecord() { m_link.Lookup(); }
void TskSkinControl::DrawDefaultImage(TBitmap&) {}
void TskSkinControl::DrawSkinImage(TBitmap&) {}

void TskSkinControl::ApplySkin() {
  ReadSkinRecord();
  Invalidate();
}

void TskSkinControl::BeginSkinChange() { m_link.Forget(); }
void TskSkinControl::EndSkinChange() {}

void TskSkinControl::RenderTo(TBitmap& bitmap) {
  ReadSkinRecord();
  bitmap.SetSize(Width(), Height());
  if (m_link.Index() == -1) DrawDefaultImage(bitmap);
  else DrawSkinImage(bitmap);
}

void TskSkinControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  TBitmap buffer;
  RenderTo(buffer);
  Canvas().Draw(0, 0, &buffer);
}

void TskSkinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: {
      const bool outer = m_paintMessage;
      m_paintMessage = true;
      try {
        TCustomControl::WndProc(m);
      } catch (...) {
        m_paintMessage = outer;
        throw;
      }
      m_paintMessage = outer;
      return;
    }
    case WM_ERASEBKGND:
      // The paint covers everything, so erasing would only show as flicker.
      m.Result = 1;
      return;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

bool TskSkinControl::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData"))
    ReadSkinDataLink(v, reader, [this](TskSkinData* d) { SetSkinData(d); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}

// ---- TskSkinCustomControl

TskSkinCustomControl::TskSkinCustomControl(TComponent* owner) : TskSkinControl(owner) {}

TskSkinCustomControl::~TskSkinCustomControl() = default;

void TskSkinCustomControl::ReadSkinRecord() { m_custom.ReadRecord(); }

void TskSkinCustomControl::DrawDefaultImage(TBitmap& bitmap) { FillButtonFace(bitmap, ClientRect()); }

void TskSkinCustomControl::DrawSkinImage(TBitmap& bitmap) {
  FillButtonFace(bitmap, bitmap.Image().Bounds());
  m_element.Compose(bitmap, m_element.skinRect, Width(), Height());
}

void TskSkinCustomControl::FitSizeToSkin(int& width, int& height) { m_custom.FitSizeToSkin(width, height); }

void TskSkinCustomControl::DefaultFontChanged() {}

void TskSkinCustomControl::SetBounds(int left, int top, int width, int height) {
  const bool fitted = m_custom.FitBounds(width, height);
  TskSkinControl::SetBounds(left, top, width, height);
  if (fitted) {
    UpdateRegion();
    Invalidate();
  }
}

void TskSkinCustomControl::ApplySkin() {
  if (!m_custom.Apply()) return;
  UpdateRegion();
  Invalidate();
}

void TskSkinCustomControl::BeginSkinChange() {
  TskSkinControl::BeginSkinChange();
  m_custom.Forget();
}

void TskSkinCustomControl::UpdateRegion() {
  if (!m_element.mask || SkinIndex() == -1) {
    if (m_region) SetWindowRegion(std::nullopt);
    return;
  }
  SetWindowRegion(m_element.MaskRegion(Width(), Height()));
}

void TskSkinCustomControl::SetWindowRegion(std::optional<Region> region) {
  m_region = std::move(region);
  if (HandleAllocated()) SetWindowRgn(Handle(), m_region ? new Region(*m_region) : nullptr, true);
}

void TskSkinCustomControl::CreateWindowHandleDone() {
  TskSkinControl::CreateWindowHandleDone();
  // A recreated window starts rectangular.
  if (m_region) SetWindowRgn(Handle(), new Region(*m_region), false);
}

bool TskSkinCustomControl::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  return m_custom.ReadProperty(name, v) || TskSkinControl::ReadProperty(name, v, reader);
}

TPersistent* TskSkinCustomControl::PropertyObject(std::string_view name) {
  if (TPersistent* p = m_custom.PropertyObject(name)) return p;
  return TskSkinControl::PropertyObject(name);
}

// ---- TskGraphicSkinControl

TskGraphicSkinControl::TskGraphicSkinControl(TComponent* owner) : TGraphicControl(owner) {
  m_controlStyle |= csOpaque;
}

TskGraphicSkinControl::~TskGraphicSkinControl() = default;

void TskGraphicSkinControl::SetSkinData(TskSkinData* data) {
  m_link.SetData(data);
  if (data && !data->SkinEmpty() && !Designing()) ApplySkin();
}

void TskGraphicSkinControl::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation != TOperation::opRemove || !m_link.Removed(component)) return;
  BeginSkinChange();
  if (!HasState(csDestroying)) ApplySkin();
}

void TskGraphicSkinControl::ReadSkinRecord() { m_link.Lookup(); }
void TskGraphicSkinControl::DrawDefaultImage(TBitmap&) {}
void TskGraphicSkinControl::DrawSkinImage(TBitmap&) {}

void TskGraphicSkinControl::ApplySkin() {
  ReadSkinRecord();
  Invalidate();
}

void TskGraphicSkinControl::BeginSkinChange() { m_link.Forget(); }

void TskGraphicSkinControl::RenderTo(TBitmap& bitmap) {
  ReadSkinRecord();
  bitmap.SetSize(Width(), Height());
  if (m_link.Index() == -1) DrawDefaultImage(bitmap);
  else DrawSkinImage(bitmap);
}

void TskGraphicSkinControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  TBitmap buffer;
  RenderTo(buffer);
  Canvas().Draw(0, 0, &buffer);
}

bool TskGraphicSkinControl::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "SkinData"))
    ReadSkinDataLink(v, reader, [this](TskSkinData* d) { SetSkinData(d); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else return TGraphicControl::ReadProperty(name, v, reader);
  return true;
}

// ---- TskGraphicSkinCustomControl

TskGraphicSkinCustomControl::TskGraphicSkinCustomControl(TComponent* owner) : TskGraphicSkinControl(owner) {}

TskGraphicSkinCustomControl::~TskGraphicSkinCustomControl() = default;

void TskGraphicSkinCustomControl::ReadSkinRecord() { m_custom.ReadRecord(); }

void TskGraphicSkinCustomControl::DrawDefaultImage(TBitmap& bitmap) { FillButtonFace(bitmap, ClientRect()); }

void TskGraphicSkinCustomControl::DrawSkinImage(TBitmap& bitmap) {
  FillButtonFace(bitmap, bitmap.Image().Bounds());
  m_element.Compose(bitmap, m_element.skinRect, Width(), Height());
}

void TskGraphicSkinCustomControl::FitSizeToSkin(int& width, int& height) { m_custom.FitSizeToSkin(width, height); }

void TskGraphicSkinCustomControl::DefaultFontChanged() {}

void TskGraphicSkinCustomControl::SetBounds(int left, int top, int width, int height) {
  const bool fitted = m_custom.FitBounds(width, height);
  TskGraphicSkinControl::SetBounds(left, top, width, height);
  if (fitted) Invalidate();
}

void TskGraphicSkinCustomControl::ApplySkin() {
  if (m_custom.Apply()) Invalidate();
}

void TskGraphicSkinCustomControl::BeginSkinChange() {
  TskGraphicSkinControl::BeginSkinChange();
  m_custom.Forget();
}

bool TskGraphicSkinCustomControl::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  return m_custom.ReadProperty(name, v) || TskGraphicSkinControl::ReadProperty(name, v, reader);
}

TPersistent* TskGraphicSkinCustomControl::PropertyObject(std::string_view name) {
  if (TPersistent* p = m_custom.PropertyObject(name)) return p;
  return TskGraphicSkinControl::PropertyObject(name);
}
