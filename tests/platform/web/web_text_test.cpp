// Addresses, page charsets and damaged pages: resolution tables, conversion to UTF-8,
// and layouts of broken HTML that must neither fail nor draw outside the page.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gfx/DC.h"
#include "platform/sys/Utf8.h"
#include "platform/web/Charset.h"
#include "platform/web/PageDocument.h"
#include "platform/web/PageImage.h"
#include "platform/web/Url.h"

namespace {

struct ResolveCase {
  const char* base;
  const char* ref;
  const char* expected;
};

TEST(WebUrl, ResolvesReferencesAgainstThePage) {
  const ResolveCase cases[] = {
      {"http://a.org/b/c/d.html?q", "g.png", "http://a.org/b/c/g.png"},
      {"http://a.org/b/c/d.html", "./g", "http://a.org/b/c/g"},
      {"http://a.org/b/c/d.html", "../g", "http://a.org/b/g"},
      {"http://a.org/b/c/d.html", "../../../../g", "http://a.org/g"},
      {"http://a.org/b/c/d.html", "/g", "http://a.org/g"},
      {"http://a.org/b/c/d.html", "//other.org/x", "http://other.org/x"},
      {"http://a.org/b/c/d.html?q", "?y", "http://a.org/b/c/d.html?y"},
      {"http://a.org/b/c/d.html?q", "#f", "http://a.org/b/c/d.html?q#f"},
      {"http://a.org/b/c/d.html", "..", "http://a.org/b/"},
      {"http://a.org", "x", "http://a.org/x"},
      {"http://a.org/b/", "HTTPS://Example.ORG", "https://example.org/"},
      {"file:///opt/k/README.HTM", "bk.gif", "file:///opt/k/bk.gif"},
      {"file:///opt/k/README.HTM", "../lib/x.css", "file:///opt/lib/x.css"},
      {"", "File:///opt/k/README.HTM", "file:///opt/k/README.HTM"},
      {"file:///a/b.html", "mailto:x@y.z", "mailto:x@y.z"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveUrl(c.base, c.ref), c.expected) << c.base << " + " << c.ref;
}

TEST(WebUrl, TypedAddressesAreMadeWhole) {
  const std::pair<const char*, const char*> cases[] = {
      {"  example.org/x ", "http://example.org/x"},
      {"Example.org", "http://example.org/"},
      {"/tmp/a b#c.html", "file:///tmp/a%20b%23c.html"},
      {"File:///tmp/x.html", "file:///tmp/x.html"},
      {"http://h/a/./b/../c", "http://h/a/c"},
      {"", ""},
  };
  for (const auto& [typed, expected] : cases) EXPECT_EQ(NormalizeUrl(typed), expected) << typed;
}

TEST(WebUrl, FileAddressesBecomePaths) {
  EXPECT_EQ(FileUrlToPath("file:///tmp/a%20b%23c.html#frag"), "/tmp/a b#c.html");
  EXPECT_EQ(FileUrlToPath("file://localhost/x"), "/x");
  EXPECT_EQ(FileUrlToPath("file:///bad%zz%4"), "/bad%zz%4");
  EXPECT_EQ(FileUrlToPath(PathToFileUrl("/tmp/%41 ?")), "/tmp/%41 ?");
  EXPECT_THROW(FileUrlToPath("file://otherhost/x"), std::invalid_argument);
  EXPECT_THROW(FileUrlToPath("http://h/x"), std::invalid_argument);
  EXPECT_EQ(UrlScheme("C:/x"), "");  // a drive letter, not a scheme
}

TEST(WebCharset, PagesBecomeWellFormedUtf8) {
  const std::string gbk = "<meta charset=\"gb2312\"><p>\xD6\xD0\xCE\xC4</p>";
  EXPECT_EQ(PageTextToUtf8(gbk, ""), "<meta charset=\"gb2312\"><p>中文</p>");
  // A page that declares the double-byte code page but is valid UTF-8 stays as it is.
  const std::string utf8 = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">中文";
  EXPECT_EQ(PageTextToUtf8(utf8, ""), utf8);
  EXPECT_EQ(PageTextToUtf8("\xEF\xBB\xBFok", ""), "ok");
  // The server's word comes before the page's.
  EXPECT_EQ(PageTextToUtf8("<meta charset=gbk>\xE9", "text/html; charset=iso-8859-1"), "<meta charset=gbk>é");
  // Undeclared and unknown charsets read as Windows-1252; NUL and bytes nothing decodes
  // become U+FFFD.
  EXPECT_EQ(PageTextToUtf8("\x93q\x94", ""), "“q”");
  EXPECT_EQ(PageTextToUtf8("a\x81", "text/html; charset=no-such-charset"), "a\xEF\xBF\xBD");
  const std::string nul("a\0b", 3);
  EXPECT_EQ(PageTextToUtf8(nul, ""), "a\xEF\xBF\xBD" "b");
  // A truncated double-byte character at the end.
  EXPECT_EQ(PageTextToUtf8("<meta charset=gbk>\xD6", ""), "<meta charset=gbk>\xEF\xBF\xBD");
  EXPECT_EQ(CharsetFromMeta("<META HTTP-EQUIV='x' CONTENT='text/html; CHARSET=Big5'>"), "big5");
}

TEST(WebImage, DamagedPicturesAreRefusedWithAReason) {
  const std::string cases[] = {
      std::string("\x89PNG\r\n\x1a\n\0\0", 10),
      std::string("GIF89a\0\0\0\0", 10),
      std::string("GIF8", 4),
      std::string("\xFF\xD8\xFF\xE0\x00\x01", 6),
      std::string("BM\x10\0\0\0", 6),
      "plain text",
      "",
  };
  for (const auto& bytes : cases) {
    EXPECT_THROW(DecodePageImage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}),
                 PageImageError)
        << bytes.size();
  }
  // A JPEG's size comes from its frame header.
  const std::string jpeg("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xC0\x00\x0B\x08\x00\x07\x00\x09\x01\x01\x11\x00", 21);
  const PageImage img = DecodePageImage({reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size()});
  EXPECT_EQ(img.size, (Size{9, 7}));
  EXPECT_FALSE(img.pixels);
}

TEST(WebDocument, DamagedPagesLayOutAndDrawOnlyInsideTheClip) {
  const std::string cases[] = {
      "<table><tr><td>a<td><table><tr><td>b</table></tr></td>",
      "<p style='width:-5px;font-size:999999px'>x</p>",
      "<ul><li>one<ol><li>two<li style='list-style-type:lower-roman'>three</ol>",
      "<div style='position:fixed;top:-100000px'>up</div><img src='nowhere.png' width=10000 height=10000>",
      "<<<>>><a href='&#0;'>\xFF\xFE</a><!-- unterminated",
      "<style>@media screen { p { color: red; </style><p>x",
      "<div style='overflow:hidden;width:10px;height:10px'><p>long long long text</p></div>",
      "<body style='background-image:url(x.png);background-repeat:repeat'>",
      std::string(2000, '<') + std::string(2000, 'b'),
      // Spans that made the table layout crash before they were kept in bounds.
      "<table><tr><td rowspan=55555555555555555>a<td colspan=-5>b<tr><td ROWSPAN = '2'>c</table>",
      "<table><tr><td rowspan=\"&#57;&#57;&#57;&#57;&#57;&#57;&#57;&#57;&#57;&#57;\" title='>'>c</table>",
  };
  for (const auto& html : cases) {
    PageDocument doc;
    doc.Load(PageTextToUtf8(html, ""), "file:///nonexistent/page.html");
    ASSERT_TRUE(doc.Loaded());
    doc.Layout(200, {200, 100});
    Bitmap target(300, 200, MakePixel(1, 2, 3));
    DC dc(target);
    doc.Draw(dc, {0, 0}, {50, 50, 250, 150});
    int outside = 0;
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 300; ++x) {
        if (!Rect{50, 50, 250, 150}.Contains({x, y}) && target.At(x, y) != MakePixel(1, 2, 3)) ++outside;
      }
    }
    EXPECT_EQ(outside, 0) << html.substr(0, 60);
  }
}

}  // namespace
