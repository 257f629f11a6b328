// Taboutform: the about window, a small browser around the generated about page, with
// the address line, back and forward, the maker's pages and the export to another browser.
#pragma once

#include <string>
#include <string_view>

#include "about/AboutPage.h"
#include "toolkit/Forms.h"

class TskSkinEdit;
class TskSkinSpeedButton;
class TskSkinStdLabel;
class TskSkinPanel;
class TWebBrowser;

class Taboutform : public TForm {
 public:
  explicit Taboutform(TComponent* owner);
  ~Taboutform() override;

  TWebBrowser* WebBrowser = nullptr;
  TskSkinPanel* skSkinPanel2 = nullptr;
  TskSkinStdLabel* note = nullptr;
  TControl* skSkinButton1 = nullptr;
  TskSkinEdit* Edit_input = nullptr;
  TskSkinSpeedButton* skSkinSB_backword = nullptr;
  TskSkinSpeedButton* skSkinSB_forward = nullptr;
  TskSkinSpeedButton* skSkinSB_about = nullptr;
  TskSkinSpeedButton* skSkinSB_home = nullptr;
  TskSkinSpeedButton* skSkinSB_email = nullptr;
  TskSkinSpeedButton* skSkinSB_bbs = nullptr;
  TskSkinSpeedButton* skSkinSpeedButton1 = nullptr;

  // The pack last applied to this window, and the last location that differed from the
  // page first shown.
  const std::string& AboutLanguage() const { return m_aboutLanguage; }
  const std::string& CurrentUrl() const { return m_currentUrl; }
  const AboutPageTexts& PageTexts() const { return m_page; }

  // Applies the about texts of pack `name` and shows the page again in them; nothing
  // changes when the pack is not installed.
  void SetAboutLanguage(std::string_view name);

  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void skSkinButton1Click(TObject* sender);
  void Edit_inputKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void skSkinSB_backwordClick(TObject* sender);
  void skSkinSB_forwardClick(TObject* sender);
  // Writes the about page and shows it; FileError when it cannot be written.
  void skSkinSB_aboutClick(TObject* sender);
  void skSkinSB_homeClick(TObject* sender);
  void skSkinSB_emailClick(TObject* sender);
  void skSkinSB_bbsClick(TObject* sender);
  void skSkinSpeedButton1Click(TObject* sender);
  void WebBrowserDownloadBegin(TObject* sender);
  void WebBrowserNavigateComplete2(TObject* sender, const std::string& url);

 protected:
  void DeclareBindings(THandlerRegistry& registry) override;
  void DoCreate() override;

 private:
  void LoadGlyphs();
  // The texts of pack `name`; false when it is not installed.
  bool ApplyAboutPack(std::string_view name);
  // The page shown again; a failure goes to the error box, and the window goes on.
  void ShowAboutPage();

  std::string m_aboutLanguage;
  std::string m_currentUrl;
  AboutPageTexts m_page;
};

// The about window once Application->CreateForm has made it.
extern Taboutform* aboutform;

// The resource text of Taboutform, registered for the class by RegisterAboutForm.
std::string_view TaboutformFormText();
void RegisterAboutForm();
