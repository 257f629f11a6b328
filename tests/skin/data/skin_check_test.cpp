// The skin checker on the sample definition and damaged copies of it: each problem with
// its file and line, errors apart from warnings.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "SkinTestFiles.h"
#include "skin/data/skSkinCheck.h"

namespace {

std::string Texts(const std::vector<SkinProblem>& problems) {
  std::string out;
  for (const SkinProblem& p : problems) out += SkinProblemText(p) + "\n";
  return out;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The 1-based line on which `needle` starts.
int LineOf(const std::string& text, const std::string& needle) {
  const std::size_t at = text.find(needle);
  if (at == std::string::npos) return -1;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

TEST(SkinCheck, TheSampleHasOnlyItsWarnings) {
  SampleSkinFolder folder("check");
  const auto problems = CheckSkinDefinition(folder.Definition());
  for (const SkinProblem& p : problems) EXPECT_FALSE(p.error) << SkinProblemText(p);
  // Its header type is read by no record, and it has no plain "label" record.
  const std::string text = Texts(problems);
  EXPECT_NE(text.find("type \"header\" is no control type"), std::string::npos) << text;
  EXPECT_NE(text.find("no control record \"label\""), std::string::npos) << text;
}

TEST(SkinCheck, EachDamageIsReportedOnItsLine) {
  struct Case {
    std::string find, replace;  // the edit of sample.ini; the problem is on the replaced line
    std::string message;
    bool error = true;
    int errors = 1;
  } cases[] = {
      {"skinrect=46,16,136,35\ntextrect", "skinrct=46,16,136,35\ntextrect", "unknown key \"skinrct\" in [caption]; did you mean \"skinrect\"?"},
      {"[rollup]", "[rollupp]", "unknown section [rollupp]"},
      {"fontheight=12\nfontstyle", "fontheight=twelve\nfontstyle", "\"fontheight\" in [HINTWINDOW]: \"twelve\" is not a whole number"},
      {"alignment=taleftjustify", "alignment=taleft", "\"taleft\" is not an alignment"},
      {"fontstyle=fsbold", "fontstyle=fsbold,fsbolt", "\"fsbolt\" is not a style"},
      {"morphkind=mkgradient", "morphkind=mkgradiant", "is not a morph kind"},
      {"command=cmclose", "command=cmclos", "is not a command"},
      {"clientrect=13,46,265,107", "clientrect=13,46,,107", "is not a rectangle left,top,right,bottom"},
      {"lefttoppoint=40,46", "lefttoppoint=40", "is not a point x,y"},
      {"[button]\npictureindex=1", "[button]\npictureindex=3", "picture 3 is outside the list of 3 active pictures"},
      {"windowpictureindex=2\nmaskpictureindex=-1\nlefttoppoint=4,4", "windowpictureindex=2\nmaskpictureindex=0\nlefttoppoint=4,4",
       "the mask picture 0 of [POPUPWINDOW] is 120x96, its picture 80x110"},
      {"disabledskinrect=72,0,96,21", "disabledskinrect=72,0,301,21", "\"disabledskinrect\" in [button]: 72,0,301,21 lies outside picture 1 (300x150)"},
      {"captionrect=46,16,136,35", "captionrect=46,16,278,35", "lies outside the main picture (277x116)"},
      {"mask=mask.bmp", "mask=buttons.bmp", "the mask is 120x96, the main picture 277x116", true, 2},  // and the mask area outside it
      {"0=buttons.bmp", "0=missing.bmp", "picture \"missing.bmp\""},
      {"activepicturescount=3", "activepicturescount=4", "\"activepicturescount\" is 4 but key \"3\" is missing"},
      {"skinname=Sample Slate", "skinname=Sample Slate\nskinname=Again", "key \"skinname\" repeats the one of line 3", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replace);
    SampleSkinFolder folder("checkbad");
    std::string text = ReadText(folder.Definition());
    const std::size_t at = text.find(c.find);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, c.find.size(), c.replace);
    WriteTestFile(folder.Definition(), text);
    // The line of the replacement's first differing part.
    std::size_t same = 0;
    while (same < c.find.size() && same < c.replace.size() && c.find[same] == c.replace[same]) ++same;
    const int line = LineOf(text, c.replace) + static_cast<int>(std::count(c.replace.begin(), c.replace.begin() + static_cast<long>(std::min(same + 1, c.replace.size())), '\n'));

    const auto problems = CheckSkinDefinition(folder.Definition());
    const std::string expected = folder.Definition() + ":" + std::to_string(line) + (c.error ? ": error: " : ": warning: ");
    bool found = false;
    for (const SkinProblem& p : problems)
      found = found || (SkinProblemText(p).starts_with(expected) && p.text.find(c.message) != std::string::npos);
    EXPECT_TRUE(found) << "wanted " << expected << c.message << "\ngot:\n" << Texts(problems);
    int errors = 0;
    for (const SkinProblem& p : problems) errors += p.error ? 1 : 0;
    EXPECT_EQ(errors, c.error ? c.errors : 0) << Texts(problems);
  }
}

// An unknown key is answered with the nearest known key of its section when a slip of
// typing explains it, and with none otherwise.
TEST(SkinCheck, TheSuggestionIsTheNearestKnownKey) {
  struct Case {
    const char* key;
    const char* suggestion;  // empty: none
  } cases[] = {
      {"skinrct", "skinrect"},        // a letter left out
      {"textrext", "textrect"},       // a letter changed
      {"alignmnet", "alignment"},     // two letters swapped
      {"shadowcolour", "shadowcolor"},  // a letter too many
      {"xfontheightx", "fontheight"},   // one at each end
      {"shadw", "shadow"},             // a short key, one letter out
      {"hadowx", "shadow"},            // a short key, two slips: as far as a suggestion goes
      {"shadwx", "shadow"},            // the same, with the first letter right
      {"zzzz", ""},
      {"activepicture", ""},          // too far from every key of [caption]
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    SampleSkinFolder folder("checknear");
    std::string text = ReadText(folder.Definition());
    const std::size_t at = text.find("[caption]\n") + 10;
    text.insert(at, std::string(c.key) + "=1\n");
    WriteTestFile(folder.Definition(), text);
    const std::string got = Texts(CheckSkinDefinition(folder.Definition()));
    const std::string head = "unknown key \"" + std::string(c.key) + "\" in [caption]";
    const std::size_t line = got.find(head);
    ASSERT_NE(line, std::string::npos) << got;
    const std::string rest = got.substr(line + head.size(), got.find('\n', line) - line - head.size());
    EXPECT_EQ(rest, *c.suggestion ? "; did you mean \"" + std::string(c.suggestion) + "\"?" : "");
  }
}

TEST(SkinCheck, AMissingFileAndMissingSections) {
  EXPECT_EQ(Texts(CheckSkinDefinition("/nonexistent/skin.ini")), "/nonexistent/skin.ini: error: cannot be read\n");
  SampleSkinFolder folder("checkempty");
  WriteTestFile(folder.Definition(), std::string("; nothing\n[VERSION]\nskinname=x\n"));
  const std::string text = Texts(CheckSkinDefinition(folder.Definition()));
  for (const char* section : {"PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
    EXPECT_NE(text.find(folder.Definition() + ": error: lacks the section [" + std::string(section) + "]"), std::string::npos) << text;
  EXPECT_EQ(text.find("[VERSION]"), std::string::npos) << text;
}

}  // namespace
