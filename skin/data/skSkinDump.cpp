// Builds the dump text of a skin data object from the records' write operations.
#include "skin/data/skSkinDump.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/data/skIniReader.h"
#include "skin/data/skSkinData.h"

namespace {

std::string SizeText(const Bitmap& b) {
  return b.IsEmpty() ? std::string() : std::to_string(b.Width()) + "x" + std::to_string(b.Height());
}

template <typename Record>
void WriteList(SkinIniWriter& out, std::string_view section,
               const std::vector<std::unique_ptr<Record>>& list) {
  out.WriteInteger(section, "count", static_cast<int>(list.size()));
  for (std::size_t i = 0; i < list.size(); ++i)
    out.WriteString(section, std::to_string(i),
                    list[i]->Name + ":" + std::string(list[i]->TypeName()));
}

// Each record gets a writer of its own: two records may share a name, and each must
// show as its own section.
void AppendRecord(std::string& text, const TskDataSkinRecord& record) {
  SkinIniWriter out;
  out.WriteString(record.Name, "type", record.TypeName());
  record.WriteData(out);
  text += out.Text();
}

}  // namespace

std::string SkinDumpText(const TskSkinData& data) {
  SkinIniWriter out;
  out.WriteString("VERSION", "skinname", data.SkinName());
  out.WriteString("VERSION", "skinauthor", data.SkinAuthor());
  out.WriteString("VERSION", "authoremail", data.AuthorEmail());
  out.WriteString("VERSION", "authorurl", data.AuthorURL());
  out.WriteString("VERSION", "skincomments", data.SkinComments());

  out.WriteString("PICTURES", "picture", data.PictureName());
  out.WriteString("PICTURES", "inactivepicture", data.InactivePictureName());
  out.WriteString("PICTURES", "mask", data.MaskName());
  out.WriteString("PICTURES", "picture.size", SizeText(data.Picture()));
  out.WriteString("PICTURES", "inactivepicture.size", SizeText(data.InactivePicture()));
  out.WriteString("PICTURES", "mask.size", SizeText(data.Mask()));
  const auto& pictures = data.ActivePictures();
  const auto& names = data.ActivePictureNames();
  const std::size_t count = std::max(pictures.size(), names.size());
  out.WriteInteger("PICTURES", "activepicturescount", static_cast<int>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const std::string key = std::to_string(i);
    out.WriteString("PICTURES", key, i < names.size() ? names[i] : std::string());
    out.WriteString("PICTURES", key + ".size", i < pictures.size() ? SizeText(pictures[i]) : std::string());
  }

  data.FormInfo().WriteData(out);
  data.PopupWindow().WriteData(out);
  data.HintWindow().WriteData(out);
  WriteList(out, "SKINOBJECTS", data.ObjectList());
  WriteList(out, "SKINCONTROLS", data.ControlList());

  std::string text = out.Text();
  for (const auto& record : data.ObjectList()) AppendRecord(text, *record);
  for (const auto& record : data.ControlList()) AppendRecord(text, *record);
  return text;
}
