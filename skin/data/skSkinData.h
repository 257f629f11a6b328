// The skin data object (pictures, frame geometry and records of one loaded skin, found by
// name), its skin messages, and the interface texts object.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "skin/data/skSkinPackage.h"
#include "skin/data/skSkinRecords.h"
#include "toolkit/Classes.h"

class SkinIni;
class TControl;
class TWinControl;
class TskSkinData;

// Skin messages: first parameter the sending skin data object, second SkinMessageParam.
inline constexpr unsigned SKINMSG_BEFORECHANGE = 0x400 + 201;
inline constexpr unsigned SKINMSG_CHANGED = 0x400 + 202;
inline constexpr unsigned SKINMSG_AFTERCHANGE = 0x400 + 203;
inline constexpr unsigned SKINMSG_STRINGSCHANGED = 0x400 + 250;
inline constexpr int SkinMessageParam = 1000;

class TskResourceStrData : public TComponent {
 public:
  explicit TskResourceStrData(TComponent* owner = nullptr);  // the default entries, CharSet 1
  ~TskResourceStrData() override;

  const std::vector<std::string>& ResStrings() const { return m_resStrings; }
  void SetResStrings(std::vector<std::string> entries) { m_resStrings = std::move(entries); }
  int CharSet() const { return m_charSet; }
  void SetCharSet(int charSet) { m_charSet = charSet; }

  // The text after the first "=" of the first entry whose name matches without regard to
  // ASCII letter case; empty when there is none.
  std::string FindString(std::string_view name) const;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 private:
  std::vector<std::string> m_resStrings;
  int m_charSet = 1;
};

// What draws from a skin (skinned controls, menus, a hint): the frame of a form tells each
// one bound to the skin data that changes, before the load and after it.
class TskSkinChangeable {
 public:
  virtual TskSkinData* SkinData() const = 0;
  // Before the skin data reloads: forget the record and every pointer into the skin.
  virtual void BeginSkinChange() = 0;
  // After it reloaded: read the record again, take the size it allows and repaint.
  virtual void ApplySkin() = 0;

 protected:
  ~TskSkinChangeable() = default;
};

// The skin-change protocol over a form: its controls depth first, parents before their
// children, then its other components; only those bound to `data` take part, or all when
// `data` is null.
void BeginSkinChangeIn(TWinControl* root, const TskSkinData* data);
void ApplySkinIn(TWinControl* root, const TskSkinData* data);

// The 115 default entries, "NAME=text", in their order.
const std::vector<std::string>& DefaultSkinResStrings();
// The system's own text for an interface text name (empty for other names).
std::string_view SkinBuiltInText(std::string_view name);
// What a skinned part shows for an interface text: the linked strings object's text when
// the skin data object has one, else the built-in text.
std::string SkinInterfaceText(const TskSkinData* data, std::string_view name);

// The skin holder of a form: owned by it, linked by name from the form's resource. Every
// reference to it (frame, controls, menus) asks for its removal notice.
class TskSkinData : public TComponent {
 public:
  explicit TskSkinData(TComponent* owner = nullptr);
  ~TskSkinData() override;

  TskCompressedStoredSkin* CompressedStoredSkin() const { return m_storedSkin; }
  // Links the package and loads it at once; errors of the load reach the caller. While a
  // form resource is read this runs when links are set, after the stored bytes are in.
  void SetCompressedStoredSkin(TskCompressedStoredSkin* skin);
  TskResourceStrData* ResourceStrData() const { return m_resourceStrData; }
  // Links the texts and tells every form (also when unlinking).
  void SetResourceStrData(TskResourceStrData* strings);

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

  // Empties, unpacks and reads the package, announcing the change before and after. A
  // stored skin without bytes changes nothing; a version of 4 or more leaves this empty.
  // A damaged package leaves this empty and rethrows.
  void LoadStoredSkin(const TskCompressedStoredSkin& skin);
  // Steps after the pictures: skin texts, picture names, geometry, window records and the
  // record lists, from the package's definition text.
  void ReadDefinition(const SkinIni& ini);

  int FindObjectIndex(std::string_view name) const;
  int FindControlIndex(std::string_view name) const;
  void FreeRecords();
  void ClearSkin();
  void BroadcastSkinMessage(unsigned message);

  // Counts loads and clears, so a user can tell that its cached record positions are stale.
  unsigned Generation() const { return m_generation; }
  bool SkinEmpty() const { return m_skinEmpty; }
  const Bitmap& Picture() const { return m_picture; }
  const Bitmap& InactivePicture() const { return m_inactivePicture; }
  const Bitmap& Mask() const { return m_mask; }
  const std::string& PictureName() const { return m_pictureName; }
  const std::string& InactivePictureName() const { return m_inactivePictureName; }
  const std::string& MaskName() const { return m_maskName; }
  const std::vector<Bitmap>& ActivePictures() const { return m_activePictures; }
  const std::vector<std::string>& ActivePictureNames() const { return m_activePictureNames; }

  const std::string& SkinName() const { return m_skinName; }
  const std::string& SkinAuthor() const { return m_skinAuthor; }
  const std::string& AuthorEmail() const { return m_authorEmail; }
  const std::string& AuthorURL() const { return m_authorURL; }
  const std::string& SkinComments() const { return m_skinComments; }

  const SkinFormInfo& FormInfo() const { return m_formInfo; }
  const TskDataSkinPopupWindow& PopupWindow() const { return *m_popupWindow; }
  const TskDataSkinHintWindow& HintWindow() const { return *m_hintWindow; }
  const std::vector<std::unique_ptr<TskDataSkinObject>>& ObjectList() const { return m_objects; }
  const std::vector<std::unique_ptr<TskDataSkinControl>>& ControlList() const { return m_controls; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void ReadPackage(std::span<const std::uint8_t> plain);

  TskCompressedStoredSkin* m_storedSkin = nullptr;
  TskResourceStrData* m_resourceStrData = nullptr;

  bool m_skinEmpty = true;
  unsigned m_generation = 0;
  Bitmap m_picture, m_inactivePicture, m_mask;
  std::string m_pictureName, m_inactivePictureName, m_maskName;
  std::vector<Bitmap> m_activePictures;
  std::vector<std::string> m_activePictureNames;
  std::string m_skinName, m_skinAuthor, m_authorEmail, m_authorURL, m_skinComments;
  SkinFormInfo m_formInfo;
  std::unique_ptr<TskDataSkinPopupWindow> m_popupWindow;
  std::unique_ptr<TskDataSkinHintWindow> m_hintWindow;
  std::vector<std::unique_ptr<TskDataSkinObject>> m_objects;
  std::vector<std::unique_ptr<TskDataSkinControl>> m_controls;
};
