// The about page's place, text and address.
#include "about/AboutPage.h"

#include "platform/sys/FileIo.h"
#include "platform/web/Url.h"

std::filesystem::path AboutPagePath(std::string_view programFolder) {
  return std::filesystem::path(std::string(programFolder) + "README.HTM");
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
  WriteFileAtomically(path, AboutPageHtml(texts));
}

std::string AboutPageAddress(const std::filesystem::path& path) {
  std::string url = PathToFileUrl(std::filesystem::absolute(path).string());
  return "File" + url.substr(4);
}
