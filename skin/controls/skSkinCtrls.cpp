// The skinned control base: record lookup, off-screen painting, skin changes and regions.
#include "skin/controls/skSkinCtrls.h"

#include <vector>

#include "platform/win/WinApi.h"
#include "toolkit/Reader.h"

// ---- the skin-change walk

namespace {

template <class Step>
void ForEachSkinned(TWinControl* root, const TskSkinData* data, Step step) {
  if (!root) return;
  std::vector<TControl*> children;
  for (int i = 0; i < root->ControlCount(); ++i) children.push_back(root->Controls(i));
  for (TControl* c : children) {
    if (auto* s = dynamic_cast<TskSkinnedControl*>(c); s && (!data || s->SkinData() == data))
      step(*s);
    if (auto* w = dynamic_cast<TWinControl*>(c)) ForEachSkinned(w, data, step);
  }
}

void FillButtonFace(TBitmap& bitmap, const Rect& r) {
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetStyle(TBrushStyle::bsSolid);
  c.Brush().SetColor(clBtnFace);
  c.FillRect(r);
}

}  // namespace

void BeginSkinChangeControls(TWinControl* root, const TskSkinData* data) {
  ForEachSkinned(root, data, [](TskSkinnedControl& s) { s.BeginSkinChange(); });
}

void ApplySkinControls(TWinControl* root, const TskSkinData* data) {
  ForEachSkinned(root, data, [](TskSkinnedControl& s) { s.ApplySkin(); });
}

// ---- record link and element geometry

int SkinRecordLink::Lookup() {
  m_index = SkinAvailable() ? m_data->FindControlIndex(m_name) : -1;
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

TskSkinData* ProviderSkinData(TComponent* provider) {
  auto* p = dynamic_cast<TskSkinDataProvider*>(provider);
  return p ? p->ProvidedSkinData() : nullptr;
}

void ReadSkinDataLink(const TStreamValue& value, TReader& reader,
                      std::function<void(TComponent*)> assign) {
  std::string target = value.AsIdent();
  reader.ReadLink(value, [assign = std::move(assign), target](TComponent* c) {
    if (c && !dynamic_cast<TskSkinDataProvider*>(c))
      throw EReadError("Invalid property value: " + target + " is a " + c->ClassName() +
                       ", which carries no skin data");
    assign(c);
  });
}

// ---- TskSkinControl

TskSkinControl::TskSkinControl(TComponent* owner) : TCustomControl(owner) {}

TskSkinControl::~TskSkinControl() = default;

void TskSkinControl::SetSkinData(TskSkinData* data) {
  m_link.SetData(data);
  if (data && !data->SkinEmpty() && !Designing()) ApplySkin();
}

void TskSkinControl::SetSkinDataName(std::string_view name) { m_link.SetName(name); }

void TskSkinControl::SetSkinDataProvider(TComponent* provider) {
  if (m_provider && m_provider != provider) RemoveFreeNotification(m_provider);
  m_provider = provider;
  if (provider) FreeNotification(provider);
  SetSkinData(ProviderSkinData(provider));
}

void TskSkinControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove || component != m_provider) return;
  m_provider = nullptr;
  m_link.SetData(nullptr);
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
    ReadSkinDataLink(v, reader, [this](TComponent* c) { SetSkinDataProvider(c); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}

// ---- TskSkinCustomControl

namespace {

std::unique_ptr<TFont> MakeDefaultFont() {
  auto font = std::make_unique<TFont>();
  font->SetName(SkinDefaultFontName);
  font->SetHeight(SkinDefaultFontHeight);
  return font;
}

}  // namespace

TskSkinCustomControl::TskSkinCustomControl(TComponent* owner)
    : TskSkinControl(owner), m_defaultFont(MakeDefaultFont()) {
  m_defaultFont->OnChange = [this](TObject*) {
    DefaultFontChanged();
    if (SkinIndex() == -1) Invalidate();
  };
}

TskSkinCustomControl::~TskSkinCustomControl() { m_defaultFont->OnChange = nullptr; }

void TskSkinCustomControl::SetDefaultFont(const TFont& font) {
  m_defaultFont->Assign(&font);
  DefaultFontChanged();
}

void TskSkinCustomControl::SetDefaultWidth(int w) {
  m_defaultWidth = w;
  if (SkinIndex() == -1 && w > 0) SetWidth(w);
}

void TskSkinCustomControl::SetDefaultHeight(int h) {
  m_defaultHeight = h;
  if (SkinIndex() == -1 && h > 0) SetHeight(h);
}

void TskSkinCustomControl::SetUseSkinFont(bool on) {
  if (on == m_useSkinFont) return;
  m_useSkinFont = on;
  Invalidate();
}

void TskSkinCustomControl::ReadSkinRecord() {
  TskSkinControl::ReadSkinRecord();
  const TskDataSkinControl* record = SkinRecord();
  if (!record) {
    m_element.Clear();
    return;
  }
  m_element.Read(*SkinData(), *record);
  int w = Width(), h = Height();
  m_element.Fit(w, h);
}

void TskSkinCustomControl::DrawDefaultImage(TBitmap& bitmap) { FillButtonFace(bitmap, ClientRect()); }

void TskSkinCustomControl::DrawSkinImage(TBitmap& bitmap) {
  FillButtonFace(bitmap, bitmap.Image().Bounds());
  m_element.Compose(bitmap, m_element.skinRect, Width(), Height());
}

void TskSkinCustomControl::FitSizeToSkin(int& width, int& height) {
  if (SkinIndex() == -1) return;
  m_element.Fit(width, height);
}

void TskSkinCustomControl::DefaultFontChanged() {}

void TskSkinCustomControl::SetBounds(int left, int top, int width, int height) {
  ReadSkinRecord();
  bool fitted = false;
  if ((width != Width() || height != Height()) && SkinIndex() != -1) {
    FitSizeToSkin(width, height);
    fitted = true;
  }
  TskSkinControl::SetBounds(left, top, width, height);
  if (fitted) {
    UpdateRegion();
    Invalidate();
  }
}

void TskSkinCustomControl::ApplySkin() {
  ReadSkinRecord();
  if (SkinIndex() == -1) {
    if (m_defaultWidth > 0 || m_defaultHeight > 0)
      SetBounds(Left(), Top(), m_defaultWidth > 0 ? m_defaultWidth : Width(),
                m_defaultHeight > 0 ? m_defaultHeight : Height());
  } else {
    int w = Width(), h = Height();
    FitSizeToSkin(w, h);
    if (w != Width() || h != Height()) {
      SetBounds(Left(), Top(), w, h);
      return;
    }
  }
  UpdateRegion();
  Invalidate();
}

void TskSkinCustomControl::BeginSkinChange() {
  TskSkinControl::BeginSkinChange();
  m_element.Clear();
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

bool TskSkinCustomControl::ReadProperty(std::string_view name, const TStreamValue& v,
                                        TReader& reader) {
  if (SameText(name, "DefaultWidth")) SetDefaultWidth(v.AsInt());
  else if (SameText(name, "DefaultHeight")) SetDefaultHeight(v.AsInt());
  else if (SameText(name, "UseSkinFont")) SetUseSkinFont(v.AsBool());
  else return TskSkinControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskSkinCustomControl::PropertyObject(std::string_view name) {
  if (SameText(name, "DefaultFont")) return m_defaultFont.get();
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

void TskGraphicSkinControl::SetSkinDataProvider(TComponent* provider) {
  if (m_provider && m_provider != provider) RemoveFreeNotification(m_provider);
  m_provider = provider;
  if (provider) FreeNotification(provider);
  SetSkinData(ProviderSkinData(provider));
}

void TskGraphicSkinControl::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation != TOperation::opRemove || component != m_provider) return;
  m_provider = nullptr;
  m_link.SetData(nullptr);
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

bool TskGraphicSkinControl::ReadProperty(std::string_view name, const TStreamValue& v,
                                         TReader& reader) {
  if (SameText(name, "SkinData"))
    ReadSkinDataLink(v, reader, [this](TComponent* c) { SetSkinDataProvider(c); });
  else if (SameText(name, "SkinDataName")) SetSkinDataName(v.AsString());
  else return TGraphicControl::ReadProperty(name, v, reader);
  return true;
}

// ---- TskGraphicSkinCustomControl

TskGraphicSkinCustomControl::TskGraphicSkinCustomControl(TComponent* owner)
    : TskGraphicSkinControl(owner), m_defaultFont(MakeDefaultFont()) {
  m_defaultFont->OnChange = [this](TObject*) {
    DefaultFontChanged();
    if (SkinIndex() == -1) Invalidate();
  };
}

TskGraphicSkinCustomControl::~TskGraphicSkinCustomControl() { m_defaultFont->OnChange = nullptr; }

void TskGraphicSkinCustomControl::SetDefaultFont(const TFont& font) {
  m_defaultFont->Assign(&font);
  DefaultFontChanged();
}

void TskGraphicSkinCustomControl::SetDefaultWidth(int w) {
  m_defaultWidth = w;
  if (SkinIndex() == -1 && w > 0) SetWidth(w);
}

void TskGraphicSkinCustomControl::SetDefaultHeight(int h) {
  m_defaultHeight = h;
  if (SkinIndex() == -1 && h > 0) SetHeight(h);
}

void TskGraphicSkinCustomControl::SetUseSkinFont(bool on) {
  if (on == m_useSkinFont) return;
  m_useSkinFont = on;
  Invalidate();
}

void TskGraphicSkinCustomControl::ReadSkinRecord() {
  TskGraphicSkinControl::ReadSkinRecord();
  const TskDataSkinControl* record = SkinRecord();
  if (!record) {
    m_element.Clear();
    return;
  }
  m_element.Read(*SkinData(), *record);
  int w = Width(), h = Height();
  m_element.Fit(w, h);
}

void TskGraphicSkinCustomControl::DrawDefaultImage(TBitmap& bitmap) {
  FillButtonFace(bitmap, ClientRect());
}

void TskGraphicSkinCustomControl::DrawSkinImage(TBitmap& bitmap) {
  FillButtonFace(bitmap, bitmap.Image().Bounds());
  m_element.Compose(bitmap, m_element.skinRect, Width(), Height());
}

void TskGraphicSkinCustomControl::FitSizeToSkin(int& width, int& height) {
  if (SkinIndex() == -1) return;
  m_element.Fit(width, height);
}

void TskGraphicSkinCustomControl::DefaultFontChanged() {}

void TskGraphicSkinCustomControl::SetBounds(int left, int top, int width, int height) {
  ReadSkinRecord();
  bool fitted = false;
  if ((width != Width() || height != Height()) && SkinIndex() != -1) {
    FitSizeToSkin(width, height);
    fitted = true;
  }
  TskGraphicSkinControl::SetBounds(left, top, width, height);
  if (fitted) Invalidate();
}

void TskGraphicSkinCustomControl::ApplySkin() {
  ReadSkinRecord();
  if (SkinIndex() == -1) {
    if (m_defaultWidth > 0 || m_defaultHeight > 0)
      SetBounds(Left(), Top(), m_defaultWidth > 0 ? m_defaultWidth : Width(),
                m_defaultHeight > 0 ? m_defaultHeight : Height());
  } else {
    int w = Width(), h = Height();
    FitSizeToSkin(w, h);
    if (w != Width() || h != Height()) {
      SetBounds(Left(), Top(), w, h);
      return;
    }
  }
  Invalidate();
}

void TskGraphicSkinCustomControl::BeginSkinChange() {
  TskGraphicSkinControl::BeginSkinChange();
  m_element.Clear();
}

bool TskGraphicSkinCustomControl::ReadProperty(std::string_view name, const TStreamValue& v,
                                               TReader& reader) {
  if (SameText(name, "DefaultWidth")) SetDefaultWidth(v.AsInt());
  else if (SameText(name, "DefaultHeight")) SetDefaultHeight(v.AsInt());
  else if (SameText(name, "UseSkinFont")) SetUseSkinFont(v.AsBool());
  else return TskGraphicSkinControl::ReadProperty(name, v, reader);
  return true;
}

TPersistent* TskGraphicSkinCustomControl::PropertyObject(std::string_view name) {
  if (SameText(name, "DefaultFont")) return m_defaultFont.get();
  return TskGraphicSkinControl::PropertyObject(name);
}
