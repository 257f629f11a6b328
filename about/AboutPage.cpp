// The about page's place, text and address.
#include "about/AboutPage.h"

#include <system_error>

#include "platform/sys/FileIo.h"
#include "platform/web/Url.h"

std::filesystem::path AboutPagePath(std::string_view folder) {
  return std::filesystem::path(std::string(folder) + "README.HTM");
}

std::string AboutPageHtml(const AboutPageTexts& t) {
  const char* eol = "\r\n";
  std::string page;
  page += "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">";
  page += eol;
  page += "<style type=\"text/css\"><!--p {  font-size: 10pt; text-indent: 12pt}-->";
  page += eol;
  page += "</style></head><body bgcolor=\"#FFFFFF\" background=\"bk.gif\">";
  page += eol;
  page += "<h4 align=\"center\"><font color=\"#FF3366\">" + t.title + "</font></h4>" + eol;
  page += "<p>" + t.text1 + "</p>" + eol;
  page += "<p>" + t.text2 + "</p>" + eol;
  page += "<p align=\"right\">" + t.sign1 + "</p>" + eol;
  page += "<p align=\"right\">" + t.sign2 + "</p></body></html>" + eol;
  return page;
}

void WriteAboutPage(const std::filesystem::path& path, const AboutPageTexts& texts) {
  // An installed copy's cache folder may not exist yet; when it cannot be made, the write
  // below fails and says so.
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  WriteFileAtomically(path, AboutPageHtml(texts));
}

std::string AboutPageAddress(const std::filesystem::path& path) {
  std::string url = PathToFileUrl(std::filesystem::absolute(path).string());
  return "File" + url.substr(4);
}
