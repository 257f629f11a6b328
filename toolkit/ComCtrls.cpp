// TToolBar: edges, flat look and the image list its buttons draw from.
#include "toolkit/ComCtrls.h"

#include "toolkit/Reader.h"

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  m_controlStyle |= csAcceptsControls | csOpaque;
  SetAlign(TAlign::alTop);
  SetBounds(0, 0, 150, 29);
}

void TToolBar::SetEdgeBorders(TEdgeBorders e) {
  if (e == m_edgeBorders) return;
  m_edgeBorders = e;
  Realign();
  Invalidate();
}

void TToolBar::SetFlat(bool on) {
  m_flat = on;
  Invalidate();
}

void TToolBar::SetShowCaptions(bool on) {
  m_showCaptions = on;
  Invalidate();
}

void TToolBar::SetTransparent(bool on) {
  m_transparent = on;
  if (on) m_controlStyle &= ~csOpaque;
  else m_controlStyle |= csOpaque;
  Invalidate();
}

void TToolBar::SetImages(TImageList* images) {
  m_images = images;
  if (images) images->FreeNotification(this);
  Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == m_images) m_images = nullptr;
}

Rect TToolBar::AdjustClientRect() const {
  Rect r = ClientRect();
  if (m_edgeBorders & ebLeft) r.left += 2;
  if (m_edgeBorders & ebTop) r.top += 2;
  if (m_edgeBorders & ebRight) r.right -= 2;
  if (m_edgeBorders & ebBottom) r.bottom -= 2;
  return r;
}

void TToolBar::Paint() {
  TCanvas& c = Canvas();
  Rect r = ClientRect();
  if (!m_transparent) {
    c.Brush().SetColor(GetColor());
    c.FillRect(r);
  }
  auto line = [&](Rect a, Color col) {
    c.Brush().SetColor(col);
    c.FillRect(a);
  };
  // Etched edges: a shadow line with a highlight line beside it.
  if (m_edgeBorders & ebTop) {
    line(Rect(0, 0, r.right, 1), clBtnShadow);
    line(Rect(0, 1, r.right, 2), clBtnHighlight);
  }
  if (m_edgeBorders & ebBottom) {
    line(Rect(0, r.bottom - 2, r.right, r.bottom - 1), clBtnShadow);
    line(Rect(0, r.bottom - 1, r.right, r.bottom), clBtnHighlight);
  }
  if (m_edgeBorders & ebLeft) {
    line(Rect(0, 0, 1, r.bottom), clBtnShadow);
    line(Rect(1, 0, 2, r.bottom), clBtnHighlight);
  }
  if (m_edgeBorders & ebRight) {
    line(Rect(r.right - 2, 0, r.right - 1, r.bottom), clBtnShadow);
    line(Rect(r.right - 1, 0, r.right, r.bottom), clBtnHighlight);
  }
}

bool TToolBar::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "EdgeBorders"))
    SetEdgeBorders(v.AsSet({{"ebLeft", ebLeft}, {"ebTop", ebTop}, {"ebRight", ebRight}, {"ebBottom", ebBottom}}));
  else if (SameText(name, "Flat")) SetFlat(v.AsBool());
  else if (SameText(name, "ShowCaptions")) SetShowCaptions(v.AsBool());
  else if (SameText(name, "Transparent")) SetTransparent(v.AsBool());
  else if (SameText(name, "ButtonWidth")) SetButtonWidth(v.AsInt());
  else if (SameText(name, "ButtonHeight")) SetButtonHeight(v.AsInt());
  else if (SameText(name, "Images"))
    reader.ReadLink<TImageList>(v, [this](TImageList* l) { SetImages(l); });
  else return TCustomControl::ReadProperty(name, v, reader);
  return true;
}
