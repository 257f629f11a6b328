// The gallery watching a skin definition on the headless host: an edited picture is on
// screen within a second, a broken definition keeps the last good skin and shows its
// errors with their lines, and mending it loads again.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "../skin/data/SkinTestFiles.h"
#include "platform/win/HeadlessHost.h"
#include "platform/win/WindowSystem.h"
#include "toolkit/Forms.h"
#include "tools/kavri-gallery/Gallery.h"
#include "tools/kavri-gallery/SkinWatch.h"

namespace {

constexpr Color kFirst = RGB(10, 200, 30);
constexpr Color kSecond = RGB(220, 40, 160);

class GalleryWatch : public ::testing::Test {
 protected:
  void SetUp() override {
    auto host = std::make_unique<HeadlessHost>(Size{1400, 1000});
    m_host = host.get();
    WindowSystem::Install(std::move(host));
    Application->Initialize();
    m_form = CreateGalleryForm({});
  }
  void TearDown() override {
    m_watch.reset();
    delete m_form;
    WindowSystem::Shutdown();
  }

  // The sample skin, with the controls picture (the button's) one solid colour.
  void PaintControls(Color c) {
    SaveBmpFile(Bitmap(300, 150, ColorToPixel(c)), 24,
                m_folder.Path("controls.bmp").string());
  }
  void EditDefinition(const std::string& find, const std::string& replace) {
    std::ifstream in(m_folder.Definition(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    in.close();
    const std::size_t at = text.find(find);
    ASSERT_NE(at, std::string::npos) << find;
    text.replace(at, find.size(), replace);
    // Saved as editors do: a new file renamed over the old one.
    WriteTestFile(m_folder.Path("sample.ini.new"), text);
    std::filesystem::rename(m_folder.Path("sample.ini.new"), m_folder.Definition());
  }
  // Runs the virtual clock until the watch has loaded again; false after a second.
  bool WaitForReload() {
    const int before = m_watch->Reloads();
    for (unsigned t = 0; t < 1000; t += 50) {
      m_host->AdvanceClock(50);
      m_host->Pump();
      if (m_watch->Reloads() > before) return true;
    }
    return false;
  }
  // Pixels of colour `c` inside the normal button.
  int ButtonPixels(Color c) {
    auto* button = dynamic_cast<TControl*>(m_form->FindComponent("Bu_Normal"));
    EXPECT_NE(button, nullptr);
    if (!button) return 0;
    m_host->Pump();
    const Bitmap screen = m_host->Screenshot();
    const Point o = button->ClientOrigin();
    int n = 0;
    for (int y = o.y; y < o.y + button->Height(); ++y)
      for (int x = o.x; x < o.x + button->Width(); ++x) n += screen.GetPixelColor(x, y) == c ? 1 : 0;
    return n;
  }
  std::string Strip() {
    std::string text;
    for (const std::string& line : m_watch->StripLines()) text += line + "\n";
    return text;
  }

  SampleSkinFolder m_folder{"watch"};
  HeadlessHost* m_host = nullptr;
  TForm* m_form = nullptr;
  std::unique_ptr<GallerySkinWatch> m_watch;
};

TEST_F(GalleryWatch, EditsAppearAndABrokenSkinKeepsTheLastGoodOne) {
  PaintControls(kFirst);
  m_watch = std::make_unique<GallerySkinWatch>(m_form, m_folder.Definition());
  m_form->Show();
  m_host->Pump();
  const int area = ButtonPixels(kFirst);
  EXPECT_GT(area, 100) << Strip();
  EXPECT_NE(Strip().find(": loaded"), std::string::npos) << Strip();

  // A picture changed on disk is on screen within a second.
  PaintControls(kSecond);
  ASSERT_TRUE(WaitForReload());
  EXPECT_EQ(ButtonPixels(kFirst), 0);
  EXPECT_GT(ButtonPixels(kSecond), 100);

  // A picture index outside the list: the skin stays, the strip names the line.
  EditDefinition("[button]\npictureindex=1", "[button]\npictureindex=7");
  ASSERT_TRUE(WaitForReload());
  EXPECT_GT(ButtonPixels(kSecond), 100);
  const std::string strip = Strip();
  EXPECT_NE(strip.find("not loaded, the skin on screen is the last good one"), std::string::npos) << strip;
  EXPECT_NE(strip.find(m_folder.Definition() + ":186: error: \"pictureindex\" in [button]: picture 7 is outside"),
            std::string::npos) << strip;

  // Mended, and the picture changed meanwhile: loaded again.
  PaintControls(kFirst);
  EditDefinition("[button]\npictureindex=7", "[button]\npictureindex=1");
  ASSERT_TRUE(WaitForReload());
  EXPECT_GT(ButtonPixels(kFirst), 100);
  EXPECT_NE(Strip().find(": loaded"), std::string::npos) << Strip();

  // A picture that is no picture: found by the check before anything is built.
  WriteTestFile(m_folder.Path("controls.bmp"), std::string("not a picture"));
  ASSERT_TRUE(WaitForReload());
  EXPECT_GT(ButtonPixels(kFirst), 100);
  EXPECT_NE(Strip().find("controls.bmp"), std::string::npos) << Strip();
}

TEST_F(GalleryWatch, FilesTheDefinitionDoesNotNameAreNotReloadsAndABadFirstLoadShowsTheProgramSkin) {
  PaintControls(kFirst);
  EditDefinition("[FORMINFO]", "[FORMINF]");
  m_watch = std::make_unique<GallerySkinWatch>(m_form, m_folder.Definition());
  m_form->Show();
  m_host->Pump();
  EXPECT_EQ(ButtonPixels(kFirst), 0);  // the program's own skin
  EXPECT_NE(Strip().find("lacks the section [FORMINFO]"), std::string::npos) << Strip();
  WriteTestFile(m_folder.Path("notes.txt"), std::string("unrelated"));
  EXPECT_FALSE(WaitForReload());
  EditDefinition("[FORMINF]", "[FORMINFO]");
  ASSERT_TRUE(WaitForReload());
  EXPECT_GT(ButtonPixels(kFirst), 100);
}

}  // namespace
