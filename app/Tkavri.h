// Tkavri: the main window — input memo, face and size boxes, styles, cell strings, the
// convert button, the output memo, the language box and help — and its start and end.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "toolkit/Forms.h"

class HelpPageOpener;
class TskSkinCustomComboBox;
class TskSkinFontComboBox;
class TImage;
class TCustomMemo;
class TAdvPanel;

class Tkavri : public TForm {
 public:
  explicit Tkavri(TComponent* owner);
  ~Tkavri() override;

  // Controls the window works with, found by name when its resource is read. Where only a
  // caption, hint or text is used the field is of the most general class, so the skinned
  // classes can take the plain ones' places in the resource.
  TControl* La_inputtext = nullptr;
  TControl* La_inputtype = nullptr;
  TControl* La_inputsize = nullptr;
  TControl* La_ForeFill = nullptr;
  TControl* La_BackFill = nullptr;
  TControl* La_Language = nullptr;
  TControl* La_FillSize = nullptr;
  TControl* Bu_Convert = nullptr;
  TControl* SB_FontBold = nullptr;
  TControl* SB_FontItalic = nullptr;
  TControl* SB_help = nullptr;
  TControl* SB_about = nullptr;
  TskSkinFontComboBox* skSkinFontComboBox1 = nullptr;
  TskSkinCustomComboBox* skSkinFontSizeComboBox1 = nullptr;
  TskSkinCustomComboBox* skSkinFontSizeComboBox2 = nullptr;
  TskSkinCustomComboBox* CbSelect = nullptr;
  TWinControl* Ed_word = nullptr;
  TWinControl* Ed_Back = nullptr;
  TCustomMemo* Me_inputtext = nullptr;
  TCustomMemo* Me_output_text = nullptr;
  TImage* Image_preview = nullptr;

  // Event handlers, wired by name from the resource.
  void FormCreate(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormResize(TObject* sender);
  void FormDestroy(TObject* sender);
  void Me_inputtextChange(TObject* sender);
  void Bu_ConvertClick(TObject* sender);
  void skSkinFontComboBox1Change(TObject* sender);
  void skSkinFontSizeComboBox1Change(TObject* sender);
  void skSkinFontSizeComboBox2Change(TObject* sender);
  void SB_FontBoldClick(TObject* sender);
  void SB_FontItalicClick(TObject* sender);
  void Ed_wordExit(TObject* sender);
  void Ed_BackExit(TObject* sender);
  void CbSelectChange(TObject* sender);
  void SB_helpClick(TObject* sender);
  void SB_aboutClick(TObject* sender);

  // The notice strip, made by the start-up sequence (nullptr before and after).
  TAdvPanel* AdvPanel() const { return m_advPanel.get(); }

  // A fresh copy of the displayed input memo into Image_preview.
  void MemoSend2Img();
  // The art of Image_preview's bitmap into Me_output_text.
  void Turn_to_txt();
  void Inifile_read();
  void Inifile_write();
  // The names of the installed packs; the caller owns the list.
  std::unique_ptr<TStringList> SearchLanguagePack();
  // Applies the main window texts of pack `name`; nothing changes when it is not installed.
  void SetActiveLanguage(std::string_view name);

 protected:
  void DeclareBindings(THandlerRegistry& registry) override;
  void DoCreate() override;

 private:
  void LoadGlyphs();
  void TellUser(const std::string& text);
  void CreateNoticePanel();

  bool m_closing = false;  // the close query runs (its message box may be up)
  std::unique_ptr<HelpPageOpener> m_help;
  std::unique_ptr<TAdvPanel> m_advPanel;
};

// The main window once Application->CreateForm has made it.
extern Tkavri* kavri;

// The resource text of Tkavri, registered for the class by RegisterKavriForm.
std::string_view TkavriFormText();
void RegisterKavriForm();
