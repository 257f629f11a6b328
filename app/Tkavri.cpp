// The main window's handlers and methods: start-up, conversion, settings, languages, help.
#include "app/Tkavri.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/HelpPage.h"
#include "about/MainModule.h"
#include "about/MakerSite.h"
#include "about/TAdvPanel.h"
#include "about/Taboutform.h"
#include "app/KavriState.h"
#include "app/LanguagePacks.h"
#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "assets/skin/KavriSkinData.h"
#include "core/ArtScan.h"
#include "core/CellString.h"
#include "core/FontSizes.h"
#include "core/MemoCapture.h"
#include "platform/gfx/Font.h"
#include "platform/sys/StringPack.h"
#include "skin/controls/skSkinButtons.h"
#include "skin/controls/skSkinComboBox.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowSystem.h"
#include "toolkit/Buttons.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Edits.h"

Tkavri* kavri = nullptr;

namespace {

// Selects item `index` of a box, whose text becomes the item's (the box fires its change
// event when that differs from the text before). An index outside the list selects
// nothing and leaves the box as it is.
void SelectItem(TskSkinCustomComboBox* box, int index) {
  if (index >= 0 && index < box->Items().Count()) box->SetItemIndex(index);
}

void FillBox(TskSkinCustomComboBox* box, const std::vector<std::string>& items) {
  box->Items().BeginUpdate();
  for (const std::string& item : items) box->Items().Add(item);
  box->Items().EndUpdate();
}

void ToggleStyle(TFont& font, TFontStyles flag) { font.SetStyle(font.Style() ^ flag); }

// The number a size box item stands for: its text, read as a decimal integer.
int SizeOfItem(const TskSkinCustomComboBox* box) { return std::stoi(box->Text()); }

// Runs one step of a sequence; its failure shows the standard error box and the
// sequence goes on.
void Guarded(TObject* sender, const std::function<void()>& step) {
  try {
    step();
  } catch (...) {
    Application->HandleException(sender);
  }
}

}  // namespace

Tkavri::Tkavri(TComponent* owner) : TForm(owner) {}

Tkavri::~Tkavri() {
  // OnDestroy is this window's own handler: it has to run while the object is still a
  // Tkavri, not from the base destructor.
  BeforeDestruction();
  m_help.reset();
  m_advPanel.reset();
  if (kavri == this) kavri = nullptr;
}

void Tkavri::DeclareBindings(THandlerRegistry& r) {
  TForm::DeclareBindings(r);
  r.Add("FormCreate", this, &Tkavri::FormCreate);
  r.Add("FormCloseQuery", this, &Tkavri::FormCloseQuery);
  r.Add("FormResize", this, &Tkavri::FormResize);
  r.Add("FormDestroy", this, &Tkavri::FormDestroy);
  r.Add("Me_inputtextChange", this, &Tkavri::Me_inputtextChange);
  r.Add("Bu_ConvertClick", this, &Tkavri::Bu_ConvertClick);
  r.Add("skSkinFontComboBox1Change", this, &Tkavri::skSkinFontComboBox1Change);
  r.Add("skSkinFontSizeComboBox1Change", this, &Tkavri::skSkinFontSizeComboBox1Change);
  r.Add("skSkinFontSizeComboBox2Change", this, &Tkavri::skSkinFontSizeComboBox2Change);
  r.Add("SB_FontBoldClick", this, &Tkavri::SB_FontBoldClick);
  r.Add("SB_FontItalicClick", this, &Tkavri::SB_FontItalicClick);
  r.Add("Ed_wordExit", this, &Tkavri::Ed_wordExit);
  r.Add("Ed_BackExit", this, &Tkavri::Ed_BackExit);
  r.Add("CbSelectChange", this, &Tkavri::CbSelectChange);
  r.Add("SB_helpClick", this, &Tkavri::SB_helpClick);
  r.Add("SB_aboutClick", this, &Tkavri::SB_aboutClick);

  r.Field("La_inputtext", La_inputtext);
  r.Field("La_inputtype", La_inputtype);
  r.Field("La_inputsize", La_inputsize);
  r.Field("La_ForeFill", La_ForeFill);
  r.Field("La_BackFill", La_BackFill);
  r.Field("La_Language", La_Language);
  r.Field("La_FillSize", La_FillSize);
  r.Field("Bu_Convert", Bu_Convert);
  r.Field("SB_FontBold", SB_FontBold);
  r.Field("SB_FontItalic", SB_FontItalic);
  r.Field("SB_help", SB_help);
  r.Field("SB_about", SB_about);
  r.Field("skSkinFontComboBox1", skSkinFontComboBox1);
  r.Field("skSkinFontSizeComboBox1", skSkinFontSizeComboBox1);
  r.Field("skSkinFontSizeComboBox2", skSkinFontSizeComboBox2);
  r.Field("CbSelect", CbSelect);
  r.Field("Ed_word", Ed_word);
  r.Field("Ed_Back", Ed_Back);
  r.Field("Me_inputtext", Me_inputtext);
  r.Field("Me_output_text", Me_output_text);
  r.Field("Image_preview", Image_preview);
}

void Tkavri::DoCreate() {
  // The glyphs are pictures of the program, not of the resource text.
  LoadGlyphs();
  TForm::DoCreate();
}

void Tkavri::LoadGlyphs() {
  struct GlyphOf {
    TControl* control;
    const char* name;
  };
  for (const GlyphOf& g : {GlyphOf{Bu_Convert, "main_convert"}, GlyphOf{SB_FontBold, "main_bold"},
                           GlyphOf{SB_FontItalic, "main_italic"}, GlyphOf{SB_help, "main_help"},
                           GlyphOf{SB_about, "main_about"}}) {
    std::span<const unsigned char> bytes = KavriGlyph(g.name);
    if (bytes.empty()) continue;
    if (auto* speed = dynamic_cast<TskSkinSpeedButton*>(g.control)) speed->Glyph().LoadFromStream(bytes);
    if (auto* push = dynamic_cast<TskSkinButton*>(g.control)) push->Glyph().LoadFromStream(bytes);
  }
}

void Tkavri::TellUser(const std::string& text) {
  MessageBox(HandleAllocated() ? Handle() : nullptr, text.c_str(), Application->Title().c_str(),
             MB_OK | MB_ICONINFORMATION);
}

// Start-up: settings, the size and face boxes, the stored language.
void Tkavri::FormCreate(TObject*) {
  SoftwareId = "KAVRI";
  SoftwareVersion = "10";
  // A damaged settings file or pack is reported and the start-up goes on without it.
  Guarded(this, [this] { Inifile_read(); });

  FillBox(skSkinFontSizeComboBox1, Make_Font_Size());
  FillBox(skSkinFontSizeComboBox2, Make_Font_Size());
  SelectItem(skSkinFontSizeComboBox1,
             FontSize < skSkinFontSizeComboBox1->Items().Count() ? FontSize : kFallbackSizeIndex);
  SelectItem(skSkinFontSizeComboBox2, InitialDisplaySizeIndex(Me_output_text->Font().Size()));

  // The face box fills itself when its window is made; before that it is filled here, from
  // the same list, so the stored index means the same face either way.
  if (skSkinFontComboBox1->Items().Count() == 0) skSkinFontComboBox1->Reset();
  SelectItem(skSkinFontComboBox1, FontType < skSkinFontComboBox1->Items().Count() ? FontType : 1);

  Guarded(this, [this] {
    std::unique_ptr<TStringList> packs = SearchLanguagePack();
    CbSelect->Items().Assign(packs.get());
    for (int i = 0; i < CbSelect->Items().Count(); ++i)
      if (CbSelect->Items()[i] == CurrentLanguage) SetActiveLanguage(CurrentLanguage);
  });

  Guarded(this, [this] { CreateNoticePanel(); });
}

void Tkavri::CreateNoticePanel() {
  m_advPanel = std::make_unique<TAdvPanel>(this);
  m_advPanel->SetNoticeText(NoticeText);
  m_advPanel->Software = SoftwareId;
  m_advPanel->Version = SoftwareVersion;
  m_advPanel->User = AnonymousUserId();
  m_advPanel->ShowsLeft = NoticeShowsLeft;
  m_advPanel->RestCount = NoticeRestCount;
  m_advPanel->CountStartup();
  m_advPanel->CheckOnline();
  m_advPanel->ShowNotice(Width());
}

void Tkavri::FormResize(TObject*) {
  if (m_advPanel && !HasState(csDestroying)) m_advPanel->ShowNotice(Width());
}

void Tkavri::FormDestroy(TObject*) { m_advPanel.reset(); }

void Tkavri::FormCloseQuery(TObject*, bool& canClose) {
  // A close request that comes while the box of the one before is up waits for that one.
  if (m_closing) {
    canClose = false;
    return;
  }
  m_closing = true;
  if (m_advPanel) {
    NoticeShowsLeft = m_advPanel->ShowsLeft;
    NoticeRestCount = m_advPanel->RestCount;
  }
  // Closing never fails: a settings file that cannot be written is reported, no more.
  Guarded(this, [this] { Inifile_write(); });
  m_closing = false;
  canClose = true;
}

void Tkavri::Me_inputtextChange(TObject*) { MemoSend2Img(); }

void Tkavri::Bu_ConvertClick(TObject*) {
  Image_preview->SetHeight(Me_inputtext->Height());
  Me_output_text->Font().SetColor(Me_inputtext->Font().GetColor());
  MemoSend2Img();
  Turn_to_txt();
}

void Tkavri::skSkinFontComboBox1Change(TObject*) {
  Me_inputtext->Font().SetName(skSkinFontComboBox1->Text());
  FontType = skSkinFontComboBox1->ItemIndex();
}

void Tkavri::skSkinFontSizeComboBox1Change(TObject*) {
  Me_inputtext->Font().SetSize(SizeOfItem(skSkinFontSizeComboBox1));
  FontSize = skSkinFontSizeComboBox1->ItemIndex();
}

void Tkavri::skSkinFontSizeComboBox2Change(TObject*) {
  Me_output_text->Font().SetSize(SizeOfItem(skSkinFontSizeComboBox2));
}

void Tkavri::SB_FontBoldClick(TObject*) { ToggleStyle(Me_inputtext->Font(), fsBold); }

void Tkavri::SB_FontItalicClick(TObject*) { ToggleStyle(Me_inputtext->Font(), fsItalic); }

void Tkavri::Ed_wordExit(TObject*) { Ed_word->SetText(NormalizeCellString(Ed_word->Text())); }

void Tkavri::Ed_BackExit(TObject*) { Ed_Back->SetText(NormalizeCellString(Ed_Back->Text())); }

void Tkavri::CbSelectChange(TObject*) {
  CurrentLanguage = CbSelect->Text();
  SetActiveLanguage(CurrentLanguage);
  if (m_advPanel) m_advPanel->SetNoticeText(NoticeText);
}

void Tkavri::SB_helpClick(TObject*) {
  // Whether the page exists is the handler's business; that none could be started, or all
  // gave up, is told.
  m_help = std::make_unique<HelpPageOpener>(CurrentProgramFiles().dataFolder + "help.htm",
                                            [this](const std::string& text) { TellUser(text); });
}

void Tkavri::SB_aboutClick(TObject*) {
  // Not modal; a second click brings the one window forward.
  if (aboutform) aboutform->Show();
}

void Tkavri::MemoSend2Img() {
  std::unique_ptr<Bitmap> capture = MemoToBitmap(Me_inputtext->Handle());
  Image_preview->Picture().Bitmap().SetImage(std::move(*capture));
}

void Tkavri::Turn_to_txt() {
  const Bitmap& capture = Image_preview->Picture().Bitmap().Image();
  std::vector<std::string> lines = ScanArtLines(capture, Ed_word->Text(), Ed_Back->Text());
  TStrings& out = Me_output_text->Lines();
  out.BeginUpdate();
  out.Clear();
  for (const std::string& line : lines) out.Add(line);
  out.EndUpdate();
}

void Tkavri::Inifile_read() {
  const ProgramFiles files = CurrentProgramFiles();
  PrepareSettingsFile(files, SoftwareId + ".ini");
  std::optional<WindowGeometry> g =
      ReadSettings(files.settingsFolder, [this](const std::string& text) { TellUser(text); });
  if (!g) return;
  // The limits the frame keeps to in its size loop, and where the desktop has room.
  MINMAXINFO limits{};
  limits.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  limits.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessage(Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  std::vector<Rect> workAreas;
  for (const Monitor& m : WindowSystem::Current().Monitors()) workAreas.push_back(m.work);
  const WindowGeometry fitted =
      PlaceOnWorkArea(*g, workAreas, {limits.ptMinTrackSize.x, limits.ptMinTrackSize.y},
                      {limits.ptMaxTrackSize.x, limits.ptMaxTrackSize.y});
  SetWidth(fitted.width);
  SetHeight(fitted.height);
  SetLeft(fitted.left);
  SetTop(fitted.top);
}

void Tkavri::Inifile_write() {
  std::optional<WindowGeometry> g;
  if (StoresGeometry(Screen->Width(), Width())) g = WindowGeometry{Left(), Top(), Width(), Height()};
  // An installed copy whose settings file went away meanwhile starts again from the default
  // rather than losing this session's settings.
  const ProgramFiles files = CurrentProgramFiles();
  PrepareSettingsFile(files, SoftwareId + ".ini");
  WriteSettings(files.settingsFolder, g, [this](const std::string& text) { TellUser(text); });
}

std::unique_ptr<TStringList> Tkavri::SearchLanguagePack() {
  auto list = std::make_unique<TStringList>();
  for (const std::string& name : SearchLanguagePacks(CurrentProgramFiles().languageFolders)) list->Add(name);
  return list;
}

void Tkavri::SetActiveLanguage(std::string_view name) {
  std::optional<std::filesystem::path> file = MainPackFile(CurrentProgramFiles().languageFolders, name);
  if (!file) return;
  const StringPack pack = StringPack::Load(*file);
  SetCaption(pack.Text(1));
  La_inputtext->SetCaption(pack.Text(2));
  La_inputtype->SetCaption(pack.Text(3));
  La_inputsize->SetCaption(pack.Text(4));
  La_ForeFill->SetCaption(pack.Text(5));
  La_BackFill->SetCaption(pack.Text(6));
  La_Language->SetCaption(pack.Text(7));
  // The display size label keeps its caption; its text is kept as the hint it never shows.
  La_FillSize->SetHint(pack.Text(8));
  Bu_Convert->SetHint(pack.Text(9));
  SB_help->SetHint(pack.Text(10));
  SB_about->SetHint(pack.Text(11));
  NoticeText = pack.Text(12);
  SB_FontBold->SetHint(pack.Text(13));
  SB_FontItalic->SetHint(pack.Text(14));
  CbSelect->SetHint(pack.Text(15));
}
