// String lists: sorting and duplicates, name=value pairs, text forms and UTF-8 files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "toolkit/Strings.h"

namespace {

std::string Joined(const TStrings& s) {
  std::string r;
  for (int i = 0; i < s.Count(); ++i) r += (i ? "|" : "") + s[i];
  return r;
}

TEST(TkStrings, SortedListKeepsOrderAndFindsByBinarySearch) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "banana", "apple2"}) list.Add(s);
  EXPECT_EQ(Joined(list), "Apple|apple2|banana|fig|pear");
  EXPECT_EQ(list.IndexOf("FIG"), 3);
  EXPECT_EQ(list.IndexOf("grape"), -1);
  int at = -1;
  EXPECT_FALSE(list.Find("cherry", at));
  EXPECT_EQ(at, 3);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
}

struct DuplicateCase {
  TDuplicates mode;
  const char* expected;
  bool throws;
};

class TkStringsDuplicates : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(TkStringsDuplicates, AddingAnEqualStringToASortedList) {
  const DuplicateCase& c = GetParam();
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(c.mode);
  list.Add("b");
  list.Add("a");
  if (c.throws) {
    EXPECT_THROW(list.Add("A"), EStringListError);
  } else {
    list.Add("A");
  }
  EXPECT_EQ(Joined(list), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TkStringsDuplicates,
    ::testing::Values(DuplicateCase{TDuplicates::dupIgnore, "a|b", false},
                      DuplicateCase{TDuplicates::dupAccept, "a|A|b", false},
                      DuplicateCase{TDuplicates::dupError, "a|b", true}));

TEST(TkStrings, CaseSensitiveListsTellLettersApart) {
  TStringList list;
  list.SetCaseSensitive(true);
  list.Add("Key");
  EXPECT_EQ(list.IndexOf("key"), -1);
  list.SetCaseSensitive(false);
  EXPECT_EQ(list.IndexOf("key"), 0);
}

TEST(TkStrings, NameValuePairs) {
  TStringList list;
  list.SetText("MI_MINCAPTION=Mi&nimize\nEMPTY=\nnoequals\nEXPR=a=b\n");
  EXPECT_EQ(list.Values("mi_mincaption"), "Mi&nimize");
  EXPECT_EQ(list.Values("EXPR"), "a=b");  // only the first '=' splits
  EXPECT_EQ(list.Values("noequals"), "");
  EXPECT_EQ(list.IndexOfName("noequals"), -1);
  EXPECT_EQ(list.Names(3), "EXPR");
  EXPECT_EQ(list.ValueFromIndex(3), "a=b");
  list.SetValues("Expr", "c");
  EXPECT_EQ(list[3], "Expr=c");
  list.SetValues("NEW", "1");
  EXPECT_EQ(list[4], "NEW=1");
  list.SetValues("MI_MINCAPTION", "");  // an empty value removes the entry
  EXPECT_EQ(list.IndexOfName("MI_MINCAPTION"), -1);
  EXPECT_EQ(list.Count(), 4);
}

TEST(TkStrings, TextRoundTripAndLineBreakForms) {
  TStringList list;
  list.SetText("one\r\ntwo\rthree\n\nfive");
  EXPECT_EQ(Joined(list), "one|two|three||five");
  EXPECT_EQ(list.Text(), "one\ntwo\nthree\n\nfive\n");
  TStringList again;
  again.SetText(list.Text());
  EXPECT_TRUE(again.Equals(list));
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  list.SetText("\n");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "");
}

TEST(TkStrings, CommaTextQuotesWhatNeedsIt) {
  TStringList list{"plain", "with space", "a,b", "say \"hi\"", ""};
  std::string text = list.CommaText();
  EXPECT_EQ(text, "plain,\"with space\",\"a,b\",\"say \"\"hi\"\"\",\"\"");
  TStringList back;
  back.SetCommaText(text);
  EXPECT_TRUE(back.Equals(list));
  back.SetCommaText("x y, z,");
  EXPECT_EQ(Joined(back), "x|y|z|");
}

TEST(TkStrings, ObjectsMoveWithTheirStrings) {
  TStringList list;
  TObject a, b;
  list.AddObject("b", &b);
  list.AddObject("a", &a);
  list.SetSorted(true);
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOfObject(&b), 1);
  list.SetSorted(false);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Objects(0), &b);
  list.Move(0, 1);
  EXPECT_EQ(list[1], "b");
  EXPECT_EQ(list.Objects(1), &b);
}

TEST(TkStrings, ChangeEventsFireOnceForAnUpdateBlock) {
  TStringList list;
  int changes = 0, changings = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.OnChanging = [&](TObject*) { ++changings; };
  list.Add("a");
  EXPECT_EQ(changes, 1);
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.Delete(0);
  EXPECT_EQ(changes, 1);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(changings, 2);
  list.SetText("x\ny");  // one change for the whole text
  EXPECT_EQ(changes, 3);
}

TEST(TkStrings, BadIndexesThrow) {
  TStringList list{"a"};
  EXPECT_THROW(list.Get(1), EStringListError);
  EXPECT_THROW(list.Get(-1), EStringListError);
  EXPECT_THROW(list.Delete(5), EStringListError);
  EXPECT_THROW(list.Insert(3, "x"), EStringListError);
  EXPECT_THROW(list.Move(0, 4), EStringListError);
  EXPECT_EQ(list.Count(), 1);
}

TEST(TkStrings, FilesAreUtf8AndTheMarkIsDropped) {
  std::string path = std::string(KAVRI_BINARY_DIR) + "/tk_strings_file.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "\xEF\xBB\xBF" << "\xE7\x88\xB1\r\nsecond";
  }
  TStringList list;
  list.LoadFromFile(path);
  EXPECT_EQ(Joined(list), "\xE7\x88\xB1|second");
  list.Add("third");
  list.SaveToFile(path);
  TStringList back;
  back.LoadFromFile(path);
  EXPECT_TRUE(back.Equals(list));
  std::remove(path.c_str());
  EXPECT_THROW(back.LoadFromFile(path), EFOpenError);
  EXPECT_EQ(back.Count(), 3);  // a failed load keeps the list
  EXPECT_THROW(list.SaveToFile("/nonexistent-dir/x.txt"), EFCreateError);
}

TEST(TkStrings, AssignCopiesAndRejectsOtherClasses) {
  TStringList a{"1", "2"};
  TStringList b;
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(a));
  TStringList self{"x"};
  self.Assign(&self);
  EXPECT_EQ(self.Count(), 1);
}

}  // namespace
