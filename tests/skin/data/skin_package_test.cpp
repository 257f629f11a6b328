// Skin package streams, package files and the import from a definition file.
#include <gtest/gtest.h>

#include <filesystem>

#include "SkinTestFiles.h"
#include "platform/gfx/Bmp.h"
#include "skin/data/skIniReader.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinErrors.h"
#include "skin/data/skSkinPackage.h"

namespace {

std::vector<std::uint8_t> Inflated(const TskCompressedStoredSkin& skin) {
  std::vector<std::uint8_t> plain;
  skin.DecompressTo(plain);
  return plain;
}

std::vector<std::uint8_t> PackageFile(std::int32_t version, std::int32_t length,
                                      const std::vector<std::uint8_t>& stream) {
  SkinPackageWriter out;
  out.WriteInt32(version);
  out.WriteInt32(length);
  std::vector<std::uint8_t> bytes = out.Bytes();
  bytes.insert(bytes.end(), stream.begin(), stream.end());
  return bytes;
}

const std::vector<std::string> kMinimalText = {"[VERSION]", "skinname=minimal", "[FORMINFO]",
                                               "clientrect=1,2,3,4"};

TEST(SkinPackage, CompressesAtLevelNineAndInflatesBack) {
  std::vector<std::uint8_t> plain(10000);
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<std::uint8_t>(i * i % 251);
  const auto packed = CompressSkinStream(plain);
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(packed[0], 0x78);
  EXPECT_EQ(packed[1], 0xDA);
  std::vector<std::uint8_t> target = {9, 9};
  InflateSkinStream(packed, target);  // appended at the target's end
  ASSERT_EQ(target.size(), plain.size() + 2);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), target.begin() + 2));
}

TEST(SkinPackage, DamagedStreamsAreCompressionErrors) {
  std::vector<std::uint8_t> plain(5000, 'a');
  const auto packed = CompressSkinStream(plain);
  auto flipped = packed;
  flipped[1] ^= 0xFF;  // header check fails
  auto cut = packed;
  cut.resize(packed.size() / 2);  // no end marker
  auto corrupted = packed;
  corrupted[packed.size() - 2] ^= 0x55;  // checksum fails
  for (const auto& bad : {flipped, cut, corrupted, std::vector<std::uint8_t>{1, 2, 3}}) {
    std::vector<std::uint8_t> target;
    try {
      InflateSkinStream(bad, target);
      ADD_FAILURE() << "accepted a damaged stream of " << bad.size() << " bytes";
    } catch (const SkinCompressionError& e) {
      EXPECT_STREQ(e.what(), "compression error");
    }
  }
}

TEST(SkinPackage, ImportReadsBackSamePicturesAndTextLineForLine) {
  SampleSkinFolder folder("roundtrip");
  TskCompressedStoredSkin skin;
  skin.ImportFromDefinitionFile(folder.Definition());
  ASSERT_FALSE(skin.IsEmpty());

  const auto plain = Inflated(skin);
  SkinPackageReader in(plain);
  EXPECT_EQ(in.ReadInt32(), 3);
  EXPECT_EQ(in.ReadFlaggedBitmap(), LoadBmpFile(folder.Path("main.bmp").string()));
  // The empty inactive picture is the single byte 1, and the mask's flag follows at once.
  const std::size_t before = in.Remaining();
  EXPECT_TRUE(in.ReadFlaggedBitmap().IsEmpty());
  EXPECT_EQ(before - in.Remaining(), 1u);
  const Bitmap mask = in.ReadFlaggedBitmap();
  EXPECT_EQ(mask, LoadBmpFile(folder.Path("mask.bmp").string()));
  EXPECT_EQ(mask.Format(), PixelFormat::Bits1);
  ASSERT_EQ(in.ReadInt32(), 3);
  for (const char* name : {"buttons.bmp", "controls.bmp", "popup.bmp"})
    EXPECT_EQ(in.ReadBitmapImage(), LoadBmpFile(folder.Path(name).string())) << name;
  const auto text = ReadTestFile(folder.Definition());
  EXPECT_EQ(in.ReadLines(), SplitSkinLines(std::string(text.begin(), text.end())));
}

TEST(SkinPackage, ImportWithoutRequiredSectionChangesNothing) {
  SampleSkinFolder folder("sections");
  TskCompressedStoredSkin skin;
  skin.SetCompressedData({1, 2, 3});
  for (const char* section : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"}) {
    auto text = ReadTestFile(folder.Definition());
    std::string s(text.begin(), text.end());
    const std::string header = std::string("[") + section + "]";
    s.replace(s.find(header), header.size(), "[renamed]");
    WriteTestFile(folder.Path("partial.ini"), s);
    skin.ImportFromDefinitionFile(folder.Path("partial.ini").string());
    EXPECT_EQ(skin.CompressedData(), (std::vector<std::uint8_t>{1, 2, 3})) << section;
  }
}

TEST(SkinPackage, ImportWithMissingPictureEndsEmpty) {
  SampleSkinFolder folder("missing");
  std::filesystem::remove(folder.Path("popup.bmp"));
  TskCompressedStoredSkin skin;
  skin.SetCompressedData({1, 2, 3});
  EXPECT_THROW(skin.ImportFromDefinitionFile(folder.Definition()), std::runtime_error);
  EXPECT_TRUE(skin.IsEmpty());
}

TEST(SkinPackage, ImportRejectsDamagedPicture) {
  SampleSkinFolder folder("damaged");
  WriteTestFile(folder.Path("buttons.bmp"), std::string("BM not a picture at all"));
  TskCompressedStoredSkin skin;
  EXPECT_THROW(skin.ImportFromDefinitionFile(folder.Definition()), InvalidGraphic);
  EXPECT_TRUE(skin.IsEmpty());
}

TEST(SkinPackage, VersionTwoReadsSamePicturesAsVersionThree) {
  const auto picture = SaveBmp(PatternBitmap(20, 10, 30, 5), 8);
  const auto mask = SaveBmp(MaskBitmap(20, 10), 1);
  const auto active = SaveBmp(PatternBitmap(7, 9, 500, 6), 24);
  TskSkinData v2, v3;
  TskCompressedStoredSkin s2, s3;
  SetPlainPackage(s2, PlainPackage(2, picture, {}, mask, {active}, kMinimalText, 2));
  SetPlainPackage(s3, PlainPackage(3, picture, {}, mask, {active}, kMinimalText));
  v2.LoadStoredSkin(s2);
  v3.LoadStoredSkin(s3);
  ASSERT_FALSE(v2.SkinEmpty());
  EXPECT_EQ(v2.Picture(), v3.Picture());
  EXPECT_EQ(v2.Mask(), v3.Mask());
  EXPECT_TRUE(v2.InactivePicture().IsEmpty());
  ASSERT_EQ(v2.ActivePictures().size(), 1u);
  EXPECT_EQ(v2.ActivePictures()[0], v3.ActivePictures()[0]);
  EXPECT_EQ(v2.SkinName(), "minimal");
  EXPECT_EQ(v2.FormInfo().ClientRect, Rect(1, 2, 3, 4));
}

TEST(SkinPackage, NoActivePicturesGoesStraightToText) {
  const auto plain = PlainPackage(3, {}, {}, {}, {}, kMinimalText);
  // version, three flags of 1, N = 0, then the text.
  ASSERT_GE(plain.size(), 11u);
  EXPECT_EQ(std::vector<std::uint8_t>(plain.begin() + 4, plain.begin() + 11),
            (std::vector<std::uint8_t>{1, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(plain[11], '[');
  TskSkinData data;
  TskCompressedStoredSkin skin;
  SetPlainPackage(skin, plain);
  data.LoadStoredSkin(skin);
  EXPECT_FALSE(data.SkinEmpty());
  EXPECT_TRUE(data.ActivePictures().empty());
  EXPECT_EQ(data.SkinName(), "minimal");
}

TEST(SkinPackage, AnyNonZeroFlagIsAnEmptyPicture) {
  auto plain = PlainPackage(3, {}, {}, {}, {}, kMinimalText);
  plain[5] = 7;
  TskSkinData data;
  TskCompressedStoredSkin skin;
  SetPlainPackage(skin, plain);
  data.LoadStoredSkin(skin);
  EXPECT_TRUE(data.InactivePicture().IsEmpty());
  EXPECT_EQ(data.SkinName(), "minimal");
}

TEST(SkinPackage, DamagedPackagesRaiseTheirErrors) {
  const auto picture = SaveBmp(PatternBitmap(20, 10, 30, 5), 8);
  auto lyingSize = picture;
  lyingSize[2] = 0xFF;  // the size field claims more bytes than follow
  lyingSize[5] = 0x7F;
  auto notBmp = picture;
  notBmp[0] = 'X';
  auto brokenHeader = picture;
  brokenHeader[14] = 3;  // an info header size no reader knows
  struct Case { std::vector<std::uint8_t> plain; std::string message; };
  const auto valid = PlainPackage(3, picture, {}, {}, {}, kMinimalText);
  std::vector<Case> cases = {
      {PlainPackage(3, lyingSize, {}, {}, {}, kMinimalText), "Bitmap image is not valid"},
      {PlainPackage(3, notBmp, {}, {}, {}, kMinimalText), "Bitmap image is not valid"},
      {PlainPackage(3, brokenHeader, {}, {}, {}, kMinimalText), "Bitmap image is not valid"},
      {std::vector<std::uint8_t>(valid.begin(), valid.begin() + 2), "Stream read error"},
      {std::vector<std::uint8_t>(valid.begin(), valid.begin() + 4), "Stream read error"},
  };
  // A count far above the images present: the first missing image ends the load.
  auto lyingCount = PlainPackage(3, {}, {}, {}, {}, {});
  lyingCount[7] = 0xFF;
  lyingCount[8] = 0xFF;
  lyingCount[9] = 0xFF;
  lyingCount[10] = 0x7F;
  cases.push_back({lyingCount, "Bitmap image is not valid"});
  for (const Case& c : cases) {
    TskCompressedStoredSkin skin;
    SetPlainPackage(skin, c.plain);
    TskSkinData data;
    try {
      data.LoadStoredSkin(skin);
      ADD_FAILURE() << "accepted, expected " << c.message;
    } catch (const std::exception& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_TRUE(data.SkinEmpty());
    EXPECT_TRUE(data.Picture().IsEmpty());
  }
}

class PackageFileTest : public ::testing::Test {
 protected:
  std::filesystem::path m_path = std::filesystem::temp_directory_path() /
                                 ("kavri-skin-file-" + std::to_string(::getpid()) + ".skp");
  void TearDown() override { std::filesystem::remove(m_path); }
};

TEST_F(PackageFileTest, SavedFileLoadsBack) {
  TskCompressedStoredSkin a, b;
  SetPlainPackage(a, PlainPackage(3, {}, {}, {}, {}, kMinimalText));
  a.SaveToPackageFile(m_path.string());
  auto bytes = ReadTestFile(m_path);
  bytes.push_back(0xEE);  // bytes after the stream are ignored
  WriteTestFile(m_path, bytes);
  b.LoadFromPackageFile(m_path.string());
  EXPECT_EQ(a.CompressedData(), b.CompressedData());
}

TEST_F(PackageFileTest, VersionFourAndLengthZeroLeaveComponentEmpty) {
  const auto stream = CompressSkinStream(PlainPackage(3, {}, {}, {}, {}, kMinimalText));
  for (const auto& file : {PackageFile(4, static_cast<int>(stream.size()), stream),
                           PackageFile(3, 0, stream)}) {
    WriteTestFile(m_path, file);
    TskCompressedStoredSkin skin;
    skin.SetCompressedData({1});
    skin.LoadFromPackageFile(m_path.string());
    EXPECT_TRUE(skin.IsEmpty());
    // A skin data object linked to it loads nothing and keeps what it had.
    TskSkinData data;
    data.SetCompressedStoredSkin(&skin);
    EXPECT_TRUE(data.SkinEmpty());
  }
}

TEST_F(PackageFileTest, VersionFourInsideTheStreamLoadsNothing) {
  TskCompressedStoredSkin skin;
  SetPlainPackage(skin, PlainPackage(4, {}, {}, {}, {}, kMinimalText));
  TskSkinData data;
  data.LoadStoredSkin(skin);
  EXPECT_TRUE(data.SkinEmpty());
  EXPECT_EQ(data.SkinName(), "");
}

TEST_F(PackageFileTest, ShortFileIsStreamReadErrorKeepingCopiedBytes) {
  const std::vector<std::uint8_t> stream = {0x78, 0xDA, 1, 2, 3};
  struct Case { std::vector<std::uint8_t> file; std::size_t kept; };
  const Case cases[] = {
      {PackageFile(3, 100000, stream), stream.size()},
      {std::vector<std::uint8_t>{3, 0}, 0},
      {std::vector<std::uint8_t>{3, 0, 0, 0, 5}, 0},
      {PackageFile(3, -1, stream), 0},
  };
  for (const Case& c : cases) {
    WriteTestFile(m_path, c.file);
    TskCompressedStoredSkin skin;
    try {
      skin.LoadFromPackageFile(m_path.string());
      ADD_FAILURE() << "accepted a short file of " << c.file.size() << " bytes";
    } catch (const StreamReadError& e) {
      EXPECT_STREQ(e.what(), "Stream read error");
    }
    EXPECT_EQ(skin.CompressedData().size(), c.kept);
  }
}

TEST_F(PackageFileTest, MissingFileNamesIt) {
  TskCompressedStoredSkin skin;
  try {
    skin.LoadFromPackageFile("/nonexistent/kavri.skp");
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/kavri.skp"), std::string::npos);
  }
}

}  // namespace

namespace {

// Each damaged sample ends in its clear error (or, for a newer version, in an empty
// skin), and never leaves a half-loaded skin behind.
TEST(SkinMalformedSamples, GiveClearErrors) {
  const std::string dir = std::string(KAVRI_TEST_INPUTS) + "/malformed/";
  struct Case { const char* file; const char* message; };
  const Case cases[] = {
      {"skin-short.skp", "Stream read error"},
      {"skin-version4.skp", nullptr},
      {"skin-damaged-stream.skp", "compression error"},
      {"skin-lying-picture.skp", "Bitmap image is not valid"},
      {"skin-huge-count.skp", "Bitmap image is not valid"},
      {"skin-bad-rect.ini", "'' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    const std::string path = dir + c.file;
    TskCompressedStoredSkin stored;
    TskSkinData data;
    try {
      if (path.ends_with(".ini"))
        stored.ImportFromDefinitionFile(path);
      else
        stored.LoadFromPackageFile(path);
      data.SetCompressedStoredSkin(&stored);
      if (c.message) ADD_FAILURE() << c.file << ": no error, expected " << c.message;
    } catch (const std::exception& e) {
      EXPECT_STREQ(e.what(), c.message) << c.file;
    }
    EXPECT_TRUE(data.SkinEmpty()) << c.file;
    EXPECT_EQ(data.FindControlIndex("p"), -1) << c.file;
  }
}

}  // namespace
