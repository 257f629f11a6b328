// Loading, clearing and lookups of the skin data object; skin message broadcast; the
// interface texts object and the built-in texts.
#include "skin/data/skSkinData.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/win/WinApi.h"
#include "skin/data/skIniReader.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Reader.h"

namespace {

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

template <typename List>
int FindByName(const List& list, std::string_view name) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i]->Name == name) return static_cast<int>(i);
  return -1;
}

// Splits "name:type" at its first ":"; without one both are empty.
std::pair<std::string, std::string> SplitEntry(const std::string& entry) {
  const std::size_t colon = entry.find(':');
  if (colon == std::string::npos) return {};
  return {entry.substr(0, colon), entry.substr(colon + 1)};
}

// How many names of a numbered list to keep. Up to a size no real skin reaches this is the
// count itself (missing names are empty); beyond it, names past the last numbered key
// present are dropped, so a lying count costs no time or memory.
int ListCount(const SkinIni& ini, std::string_view section, int count) {
  constexpr int kPlainLimit = 4096;
  return count <= kPlainLimit ? count : std::min(count, ini.LastIndexKey(section) + 1);
}

template <typename Record, typename Create>
void BuildList(const SkinIni& ini, std::string_view section, Create create,
               std::vector<std::unique_ptr<Record>>& list) {
  // Entries past the last numbered key are missing and make no record.
  const int count = std::min(ini.ReadInteger(section, "count", 0), ini.LastIndexKey(section) + 1);
  for (int i = 0; i < count; ++i) {
    auto [name, type] = SplitEntry(ini.ReadString(section, std::to_string(i), ""));
    std::unique_ptr<Record> record = create(type, std::move(name));
    if (!record) continue;  // a type in neither table, such as the stored skin's header
    list.push_back(std::move(record));
    list.back()->ReadData(ini);
  }
}

}  // namespace

// ---- the skin-change walk

namespace {

template <class Step>
void ForEachChangeable(TWinControl* root, const TskSkinData* data, Step step) {
  std::vector<TControl*> children;
  for (int i = 0; i < root->ControlCount(); ++i) children.push_back(root->Controls(i));
  for (TControl* c : children) {
    if (auto* s = dynamic_cast<TskSkinChangeable*>(c); s && (!data || s->SkinData() == data)) step(*s);
    if (auto* w = dynamic_cast<TWinControl*>(c)) ForEachChangeable(w, data, step);
  }
}

template <class Step>
void WalkForm(TWinControl* root, const TskSkinData* data, Step step) {
  if (!root) return;
  ForEachChangeable(root, data, step);
  std::vector<TComponent*> others;
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (!dynamic_cast<TControl*>(root->Components(i))) others.push_back(root->Components(i));
  for (TComponent* c : others)
    if (auto* s = dynamic_cast<TskSkinChangeable*>(c); s && (!data || s->SkinData() == data)) step(*s);
}

}  // namespace

void BeginSkinChangeIn(TWinControl* root, const TskSkinData* data) {
  WalkForm(root, data, [](TskSkinChangeable& s) { s.BeginSkinChange(); });
}

void ApplySkinIn(TWinControl* root, const TskSkinData* data) {
  WalkForm(root, data, [](TskSkinChangeable& s) { s.ApplySkin(); });
}

// ---- interface texts

const std::vector<std::string>& DefaultSkinResStrings() {
  static const std::vector<std::string> entries = {
      "MI_MINCAPTION=Mi&nimize",
      "MI_MAXCAPTION=Ma&ximize",
      "MI_CLOSECAPTION=&Close",
      "MI_RESTORECAPTION=&Restore",
      "MI_MINTOTRAYCAPTION=Minimize to &Tray",
      "MI_ROLLUPCAPTION=Ro&llUp",
      "MINBUTTON_HINT=Minimize",
      "MAXBUTTON_HINT=Maximize",
      "CLOSEBUTTON_HINT=Close",
      "TRAYBUTTON_HINT=Minimize to Tray",
      "ROLLUPBUTTON_HINT=Roll Up",
      "MENUBUTTON_HINT=System menu",
      "EDIT_UNDO=Undo",
      "EDIT_COPY=Copy",
      "EDIT_CUT=Cut",
      "EDIT_PASTE=Paste",
      "EDIT_DELETE=Delete",
      "EDIT_SELECTALL=Select All",
      "MSG_BTN_YES=&Yes",
      "MSG_BTN_NO=&No",
      "MSG_BTN_OK=OK",
      "MSG_BTN_CANCEL=Cancel",
      "MSG_BTN_ABORT=&Abort",
      "MSG_BTN_RETRY=&Retry",
      "MSG_BTN_IGNORE=&Ignore",
      "MSG_BTN_ALL=&All",
      "MSG_BTN_NOTOALL=N&oToAll",
      "MSG_BTN_YESTOALL=Y&esToAll",
      "MSG_BTN_HELP=&Help",
      "MSG_BTN_OPEN=&Open",
      "MSG_BTN_SAVE=&Save",
      "MSG_BTN_CLOSE=&Close",
      "MSG_BTN_BACK_HINT=Go to the last folder visited",
      "MSG_BTN_UP_HINT=Up one level",
      "MSG_BTN_NEWFOLDER_HINT=Create a new folder",
      "MSG_BTN_VIEWMENU_HINT=View menu",
      "MSG_BTN_STRETCH_HINT=Stretch picture",
      "MSG_FILENAME=File name:",
      "MSG_FILETYPE=File type:",
      "MSG_NEWFOLDER=New Folder",
      "MSG_LV_DETAILS=Details",
      "MSG_LV_ICON=Large icons",
      "MSG_LV_SMALLICON=Small icons",
      "MSG_LV_LIST=List",
      "MSG_PREVIEWSKIN=Skin preview",
      "MSG_PREVIEWBUTTON=Button",
      "MSG_CAP_WARNING=Warning",
      "MSG_CAP_ERROR=Error",
      "MSG_CAP_INFORMATION=Information",
      "MSG_CAP_CONFIRM=Confirm",
      "CALC_CAP=Calculator",
      "ERROR=Error",
      "COLORGRID_CAP=Basic colors",
      "CUSTOMCOLORGRID_CAP=Custom colors",
      "ADDCUSTOMCOLORBUTTON_CAP=Add to custom colors",
      "FONTDLG_COLOR=Color:",
      "FONTDLG_NAME=Name:",
      "FONTDLG_SIZE=Size:",
      "FONTDLG_HEIGHT=Height:",
      "FONTDLG_EXAMPLE=Example:",
      "FONTDLG_STYLE=Style:",
      "FONTDLG_SCRIPT=Script:",
      "DB_DELETE_QUESTION=Delete the record?",
      "DB_MULTIPLEDELETE_QUESTION=Delete all selected records?",
      "NODISKINDRIVE=There is no disk in Drive or Drive is not ready",
      "NOVALIDDRIVEID=Not a valid drive ID",
      "FLV_NAME=Name",
      "FLV_SIZE=Size",
      "FLV_TYPE=Type",
      "FLV_LOOKIN=Look in: ",
      "FLV_MODIFIED=Modified",
      "FLV_ATTRIBUTES=Attributes",
      "FLV_DISKSIZE=Disk size",
      "FLV_FREESPACE=Free space",
      "PRNDLG_NAME=Name:",
      "PRNDLG_PRINTER=Printer",
      "PRNDLG_PROPERTIES=&Properties...",
      "PRNDLG_TYPE=Type:",
      "PRNDLG_STATUS=Status:",
      "PRNDLG_WHERE=Where:",
      "PRNDLG_COMMENT=Comment:",
      "PRNDLG_PRINTRANGE=Print range",
      "PRNDLG_COPIES=Copies",
      "PRNDLG_NUMCOPIES=Number of copies:",
      "PRNDLG_COLLATE=Collate",
      "PRNDLG_ALL=&All",
      "PRNDLG_PAGES=Pa&ges",
      "PRNDLG_SELECTION=&Selection",
      "PRNDLG_PRINTTOFILE=Print to &file",
      "PRNDLG_FROM=from:",
      "PRNDLG_TO=to:",
      "PRNDLG_ORIENTATION=Orientation",
      "PRNDLG_PAPER=Paper",
      "PRNDLG_PORTRAIT=P&ortrait",
      "PRNDLG_LANDSCAPE=&Landscape",
      "PRNDLG_SOURCE=Source:",
      "PRNDLG_SIZE=Size:",
      "PRNDLG_MARGINS=Margins (millimeters)",
      "PRNDLG_MARGINS_INCHES=Margins (inches)",
      "PRNDLG_LEFT=Left:",
      "PRNDLG_RIGHT=Right:",
      "PRNDLG_TOP=Top:",
      "PRNDLG_BOTTOM=Bottom:",
      "PRNDLG_WARNING=There are no printers in your system!",
      "FIND_NEXT=Find &next",
      "FIND_WHAT=Fi&nd what:",
      "FIND_DIRECTION=Direction",
      "FIND_DIRECTIONUP=&Up",
      "FIND_DIRECTIONDOWN=&Down",
      "FIND_MATCH_CASE=Match &case",
      "FIND_MATCH_WHOLE_WORD_ONLY=Match &whole word only",
      "FIND_REPLACE_WITH=Rep&lace with:",
      "FIND_REPLACE=&Replace",
      "FIND_REPLACE_All=Replace &all",
      "FIND_REPLACE_CLOSE=Close",
  };
  return entries;
}

std::string_view SkinBuiltInText(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 18> texts{{
      {"EDIT_UNDO", "撤销"},
      {"EDIT_CUT", "剪切"},
      {"EDIT_COPY", "复制"},
      {"EDIT_PASTE", "粘贴"},
      {"EDIT_DELETE", "删除"},
      {"EDIT_SELECTALL", "全部选择"},
      {"MI_MINCAPTION", "最小化(&N)"},
      {"MI_MAXCAPTION", "最大化(&X)"},
      {"MI_RESTORECAPTION", "恢复(&R)"},
      {"MI_ROLLUPCAPTION", "卷起(&L)"},
      {"MI_CLOSECAPTION", "关闭(&C)"},
      {"MI_MINTOTRAYCAPTION", "最小化到系统托盘区(&T)"},
      {"CLOSEBUTTON_HINT", "关闭"},
      {"MAXBUTTON_HINT", "最大化"},
      {"MINBUTTON_HINT", "最小化"},
      {"MENUBUTTON_HINT", "系统菜单"},
      {"ROLLUPBUTTON_HINT", "卷起"},
      {"TRAYBUTTON_HINT", "最小化到系统托盘区"},
  }};
  for (const auto& [key, text] : texts)
    if (key == name) return text;
  return {};
}

std::string SkinInterfaceText(const TskSkinData* data, std::string_view name) {
  if (data && data->ResourceStrData()) return data->ResourceStrData()->FindString(name);
  return std::string(SkinBuiltInText(name));
}

TskResourceStrData::TskResourceStrData(TComponent* owner)
    : TComponent(owner), m_resStrings(DefaultSkinResStrings()) {}

TskResourceStrData::~TskResourceStrData() = default;

bool TskResourceStrData::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "ResStrings.Strings") || SameText(name, "ResStrings")) SetResStrings(v.AsStringList());
  else if (SameText(name, "CharSet")) SetCharSet(v.AsInt());
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

std::string TskResourceStrData::FindString(std::string_view name) const {
  for (const std::string& entry : m_resStrings) {
    const std::size_t eq = entry.find('=');
    if (eq == std::string::npos) continue;  // an entry without "=" has no text to give
    if (SameTextAscii(std::string_view(entry).substr(0, eq), name)) return entry.substr(eq + 1);
  }
  return {};
}

// ---- skin data object

TskSkinData::TskSkinData(TComponent* owner)
    : TComponent(owner),
      m_popupWindow(std::make_unique<TskDataSkinPopupWindow>()),
      m_hintWindow(std::make_unique<TskDataSkinHintWindow>()) {}

TskSkinData::~TskSkinData() {
  BeforeDestruction();
  m_skinEmpty = true;
}

void TskSkinData::SetCompressedStoredSkin(TskCompressedStoredSkin* skin) {
  if (m_storedSkin && m_storedSkin != skin) RemoveFreeNotification(m_storedSkin);
  m_storedSkin = skin;
  if (!skin) return;
  FreeNotification(skin);
  if (!HasState(csDesigning)) LoadStoredSkin(*skin);
}

void TskSkinData::SetResourceStrData(TskResourceStrData* strings) {
  if (m_resourceStrData && m_resourceStrData != strings) RemoveFreeNotification(m_resourceStrData);
  m_resourceStrData = strings;
  if (strings) FreeNotification(strings);
  if (!HasState(csDesigning)) BroadcastSkinMessage(SKINMSG_STRINGSCHANGED);
}

void TskSkinData::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == m_storedSkin) m_storedSkin = nullptr;
  if (component == m_resourceStrData) m_resourceStrData = nullptr;
}

bool TskSkinData::ReadProperty(std::string_view name, const TStreamValue& v, TReader& reader) {
  if (SameText(name, "CompressedStoredSkin"))
    reader.ReadLink<TskCompressedStoredSkin>(v, [this](TskCompressedStoredSkin* s) { SetCompressedStoredSkin(s); });
  else if (SameText(name, "ResourceStrData"))
    reader.ReadLink<TskResourceStrData>(v, [this](TskResourceStrData* s) { SetResourceStrData(s); });
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

void TskSkinData::LoadStoredSkin(const TskCompressedStoredSkin& skin) {
  if (skin.IsEmpty()) return;
  m_skinEmpty = true;
  BroadcastSkinMessage(SKINMSG_BEFORECHANGE);
  ClearSkin();
  try {
    std::vector<std::uint8_t> plain;
    skin.DecompressTo(plain);
    SkinPackageReader version(plain);
    if (version.ReadInt32() >= 4) return;
    ReadPackage(plain);
  } catch (...) {
    ClearSkin();  // whatever the failed load had read goes
    throw;
  }
  m_skinEmpty = false;
  ++m_generation;
  BroadcastSkinMessage(SKINMSG_CHANGED);
  BroadcastSkinMessage(SKINMSG_AFTERCHANGE);
}

void TskSkinData::ReadPackage(std::span<const std::uint8_t> plain) {
  SkinPackageReader in(plain);
  const std::int32_t version = in.ReadInt32();
  m_picture = in.ReadFlaggedBitmap();
  m_inactivePicture = in.ReadFlaggedBitmap();
  m_mask = in.ReadFlaggedBitmap();
  if (version == 2) {
    in.ReadFlaggedBitmap();
    in.ReadFlaggedBitmap();
  }
  const std::int32_t count = in.ReadInt32();
  // Each image is checked against the bytes left, so a lying count ends in an error
  // rather than in a large allocation.
  for (std::int32_t i = 0; i < count; ++i) m_activePictures.push_back(in.ReadBitmapImage());
  ReadDefinition(SkinIni(in.ReadLines()));
}

void TskSkinData::ReadDefinition(const SkinIni& ini) {
  m_skinName = ini.ReadString("VERSION", "skinname", "");
  m_skinAuthor = ini.ReadString("VERSION", "skinauthor", "");
  m_authorEmail = ini.ReadString("VERSION", "authoremail", "");
  m_authorURL = ini.ReadString("VERSION", "authorurl", "");
  m_skinComments = ini.ReadString("VERSION", "skincomments", "");

  m_pictureName = ini.ReadString("PICTURES", "picture", "");
  m_inactivePictureName = ini.ReadString("PICTURES", "inactivepicture", "");
  m_maskName = ini.ReadString("PICTURES", "mask", "");
  m_activePictureNames.clear();
  const int names = ListCount(ini, "PICTURES", ini.ReadInteger("PICTURES", "activepicturescount", 0));
  for (int i = 0; i < names; ++i)
    m_activePictureNames.push_back(ini.ReadString("PICTURES", std::to_string(i), ""));

  m_formInfo.ReadData(ini, m_maskName);
  m_popupWindow->ReadData(ini);
  m_hintWindow->ReadData(ini);

  BuildList(ini, "SKINOBJECTS", CreateSkinObjectRecord, m_objects);
  BuildList(ini, "SKINCONTROLS", CreateSkinControlRecord, m_controls);
}

int TskSkinData::FindObjectIndex(std::string_view name) const { return FindByName(m_objects, name); }

int TskSkinData::FindControlIndex(std::string_view name) const { return FindByName(m_controls, name); }

void TskSkinData::FreeRecords() {
  ++m_generation;
  m_objects.clear();
  m_controls.clear();
  m_activePictures.clear();
  m_activePictureNames.clear();
  m_popupWindow->WindowPictureIndex = -1;
  m_hintWindow->WindowPictureIndex = -1;
}

void TskSkinData::ClearSkin() {
  FreeRecords();
  m_picture = Bitmap();
  m_mask = Bitmap();
  m_inactivePicture = Bitmap();
  m_pictureName.clear();
  m_maskName.clear();
  // The inactive picture's name goes with its picture, so no stale name describes it.
  m_inactivePictureName.clear();
  m_skinEmpty = true;
}

void TskSkinData::BroadcastSkinMessage(unsigned message) {
  auto* owner = dynamic_cast<TCustomForm*>(Owner());
  if (owner && owner->HasState(csDestroying)) owner = nullptr;
  const auto send = [&](TCustomForm* form) {
    ::SendMessage(form->Handle(), message, reinterpret_cast<WPARAM>(this), SkinMessageParam);
  };
  if (owner) send(owner);
  if (!Application) return;
  // A receiver may close forms while it handles the message: only forms still listed and
  // whole are sent to.
  std::vector<TCustomForm*> forms;
  for (int i = 0; i < Application->FormCount(); ++i) forms.push_back(Application->Forms(i));
  for (TCustomForm* form : forms) {
    if (form == owner) continue;
    bool listed = false;
    for (int i = 0; i < Application->FormCount() && !listed; ++i) listed = Application->Forms(i) == form;
    if (listed && !form->HasState(csDestroying)) send(form);
  }
}
