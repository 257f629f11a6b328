// The about window's handlers: its language, the generated page, the address line,
// history, the maker's pages and the export to a browser outside the program.
#include "about/Taboutform.h"

#include <filesystem>
#include <optional>
#include <span>

#include "about/MainModule.h"
#include "about/MakerSite.h"
#include "assets/skin/KavriSkinData.h"
#include "platform/sys/Shell.h"
#include "platform/sys/StringPack.h"
#include "platform/win/WinApi.h"
#include "skin/controls/skSkinBoxCtrls.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinLabel.h"
#include "skin/controls/skSkinPanel.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/WebBrowser.h"

Taboutform* aboutform = nullptr;

namespace {

// The glyph followed by a faded copy for the disabled look (a strip of two cells): the
// back and forward buttons tell by it whether there is somewhere to go. The bottom-left
// pixel's colour is the transparent key and stays as it is.
Bitmap WithDisabledCell(const Bitmap& glyph) {
  const int w = glyph.Width(), h = glyph.Height();
  Bitmap strip(w * 2, h);
  const Pixel key = glyph.At(0, h - 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Pixel p = glyph.At(x, y);
      strip.Set(x, y, p);
      if (p == key) {
        strip.Set(w + x, y, p);
        continue;
      }
      const int grey = (PixelR(p) * 30 + PixelG(p) * 59 + PixelB(p) * 11) / 100;
      const int faded = 160 + grey / 4;
      strip.Set(w + x, y, MakePixel(faded, faded, faded));
    }
  return strip;
}

}  // namespace

Taboutform::Taboutform(TComponent* owner) : TForm(owner) {}

Taboutform::~Taboutform() {
  if (aboutform == this) aboutform = nullptr;
}

void Taboutform::DeclareBindings(THandlerRegistry& r) {
  TForm::DeclareBindings(r);
  r.Add("FormCreate", this, &Taboutform::FormCreate);
  r.Add("FormShow", this, &Taboutform::FormShow);
  r.Add("skSkinButton1Click", this, &Taboutform::skSkinButton1Click);
  r.Add("Edit_inputKeyDown", this, &Taboutform::Edit_inputKeyDown);
  r.Add("skSkinSB_backwordClick", this, &Taboutform::skSkinSB_backwordClick);
  r.Add("skSkinSB_forwardClick", this, &Taboutform::skSkinSB_forwardClick);
  r.Add("skSkinSB_aboutClick", this, &Taboutform::skSkinSB_aboutClick);
  r.Add("skSkinSB_homeClick", this, &Taboutform::skSkinSB_homeClick);
  r.Add("skSkinSB_emailClick", this, &Taboutform::skSkinSB_emailClick);
  r.Add("skSkinSB_bbsClick", this, &Taboutform::skSkinSB_bbsClick);
  r.Add("skSkinSpeedButton1Click", this, &Taboutform::skSkinSpeedButton1Click);
  r.Add("WebBrowserDownloadBegin", this, &Taboutform::WebBrowserDownloadBegin);
  r.Add("WebBrowserNavigateComplete2", this, &Taboutform::WebBrowserNavigateComplete2);

  r.Field("WebBrowser", WebBrowser);
  r.Field("skSkinPanel2", skSkinPanel2);
  r.Field("note", note);
  r.Field("skSkinButton1", skSkinButton1);
  r.Field("Edit_input", Edit_input);
  r.Field("skSkinSB_backword", skSkinSB_backword);
  r.Field("skSkinSB_forward", skSkinSB_forward);
  r.Field("skSkinSB_about", skSkinSB_about);
  r.Field("skSkinSB_home", skSkinSB_home);
  r.Field("skSkinSB_email", skSkinSB_email);
  r.Field("skSkinSB_bbs", skSkinSB_bbs);
  r.Field("skSkinSpeedButton1", skSkinSpeedButton1);
}

void Taboutform::DoCreate() {
  LoadGlyphs();
  // The home button's design hint names the address it opens, which lives in one place.
  skSkinSB_home->SetHint("访问主页 " + MakerHomeUrl());
  if (auto* frame = dynamic_cast<TskSkinForm*>(FindComponent("skSkinForm1")))
    frame->DefCaptionFont().spec = FontSpec{"Arial", 14, true};
  TForm::DoCreate();
}

void Taboutform::LoadGlyphs() {
  struct GlyphOf {
    TskSkinSpeedButton* button;
    const char* name;
  };
  for (const GlyphOf& g : {GlyphOf{skSkinSB_backword, "about_back"}, GlyphOf{skSkinSB_forward, "about_forward"},
                           GlyphOf{skSkinSB_about, "about_about"}, GlyphOf{skSkinSB_home, "about_home"},
                           GlyphOf{skSkinSB_email, "about_email"}, GlyphOf{skSkinSB_bbs, "about_guestbook"},
                           GlyphOf{skSkinSpeedButton1, "about_export"}}) {
    std::span<const unsigned char> bytes = KavriGlyph(g.name);
    if (bytes.empty()) continue;
    TBitmap& glyph = g.button->Glyph();
    glyph.LoadFromStream(bytes);
    glyph.SetImage(WithDisabledCell(glyph.Image()));
    g.button->SetNumGlyphs(2);
  }
}

void Taboutform::FormCreate(TObject*) {
  m_aboutLanguage = MainModule().currentLanguage();
  // A damaged pack is reported; the window is still made, in its design texts. The page
  // is written once, below, so a folder that takes no page is reported once.
  try {
    ApplyAboutPack(m_aboutLanguage);
  } catch (...) {
    Application->HandleException(this);
  }
  // The label keeps its width and is cut off at the narrower panel's edge.
  skSkinPanel2->SetWidth(40);
  m_currentUrl = AboutPageAddress(AboutPagePath(MainModule().pageFolder()));
  ShowAboutPage();
}

void Taboutform::SetAboutLanguage(std::string_view name) {
  if (ApplyAboutPack(name)) ShowAboutPage();
}

bool Taboutform::ApplyAboutPack(std::string_view name) {
  std::optional<std::filesystem::path> file = MainModule().aboutPackFile(name);
  if (!file) return false;
  const StringPack pack = StringPack::Load(*file);
  const std::string id = MainModule().softwareId();
  note->SetCaption(pack.Text(1));
  skSkinButton1->SetCaption(pack.Text(2));
  skSkinSB_backword->SetHint(pack.Text(3));
  skSkinSB_forward->SetHint(pack.Text(4));
  skSkinSB_about->SetHint(pack.Text(5));
  skSkinSB_home->SetHint(pack.Text(6));
  skSkinSB_email->SetHint(pack.Text(7));
  skSkinSB_bbs->SetHint(pack.Text(8));
  skSkinSpeedButton1->SetHint(pack.Text(9));
  SetCaption(pack.Text(10));
  Edit_input->SetHint(pack.Text(11));
  m_page.text1 = pack.Text(12);
  m_page.text2 = pack.Text(13);
  m_page.sign1 = "[" + id + "] " + pack.Text(14);
  m_page.sign2 = pack.Text(15);
  m_page.title = pack.Text(16) + id;
  return true;
}

void Taboutform::ShowAboutPage() {
  try {
    skSkinSB_aboutClick(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void Taboutform::FormShow(TObject*) {
  const std::string current = MainModule().currentLanguage();
  if (m_aboutLanguage != current) {
    m_aboutLanguage = current;
    try {
      SetAboutLanguage(m_aboutLanguage);
    } catch (...) {
      Application->HandleException(this);
    }
  }
  // Focused once the window is on the screen.
  SetActiveControl(Edit_input);
}

void Taboutform::skSkinSB_aboutClick(TObject*) {
  const std::filesystem::path page = AboutPagePath(MainModule().pageFolder());
  WriteAboutPage(page, m_page);
  WebBrowser->Navigate(AboutPageAddress(page));
}

void Taboutform::skSkinButton1Click(TObject*) { WebBrowser->Navigate(Edit_input->Text()); }

void Taboutform::Edit_inputKeyDown(TObject* sender, WORD& key, TShiftState) {
  if (key == VK_RETURN) skSkinButton1Click(sender);
}

void Taboutform::skSkinSB_backwordClick(TObject*) {
  if (WebBrowser->GoBack()) skSkinSB_forward->SetEnabled(true);
  else skSkinSB_backword->SetEnabled(false);
}

void Taboutform::skSkinSB_forwardClick(TObject*) {
  if (!WebBrowser->GoForward()) skSkinSB_forward->SetEnabled(false);
}

void Taboutform::WebBrowserDownloadBegin(TObject*) { WebBrowser->SetViewCursor(crAppStart); }

void Taboutform::WebBrowserNavigateComplete2(TObject*, const std::string&) {
  const std::string location = WebBrowser->LocationURL();
  if (location != m_currentUrl) {
    m_currentUrl = location;
    skSkinSB_backword->SetEnabled(true);
  }
  Edit_input->SetText(location);
  WebBrowser->SetViewCursor(crDefault);
}

void Taboutform::skSkinSB_homeClick(TObject*) { WebBrowser->Navigate(MakerHomeUrl()); }

void Taboutform::skSkinSB_bbsClick(TObject*) { WebBrowser->Navigate(MakerGuestBookUrl()); }

void Taboutform::skSkinSB_emailClick(TObject*) { ShellOpen(MakerMailUrl()); }

void Taboutform::skSkinSpeedButton1Click(TObject*) {
  // A browser outside the program is whatever the desktop opens addresses with; a
  // failure to start it is not reported.
  const std::string location = WebBrowser->LocationURL();
  if (!location.empty()) ShellOpen(location);
}
