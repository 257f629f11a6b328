// The frame's client background (background picture, client texture, plain colour) and
// logo; the alpha fade of the window and of its menus; the form's cursor over the frame;
// the right-click system menu. On the headless host.
#include "SkinFormTestSupport.h"

#include "skin/form/skPopupWindow.h"
#include "toolkit/Menus.h"

namespace {

// The host, recording every opacity a window is given.
class OpacityHost : public HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  bool SetHostWindowOpacity(HostWindowId id, int alpha) override {
    alphas.push_back(alpha);
    return HeadlessHost::SetHostWindowOpacity(id, alpha);
  }
  std::vector<int> alphas;
};

class FrameClient : public SkinFormTest {
 protected:
  void SetUp() override {
    auto host = std::make_unique<OpacityHost>(Size{1280, 800}, 40);
    opacity_ = host.get();
    host_ = host.get();
    WindowSystem::Install(std::move(host));
    Application->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  }
  // The client pixel (x, y) of a form in the small skin (client origin (8, 20)).
  Pixel Client(Skinned& s, int x, int y) { return At(s.form, 8 + x, 20 + y); }
  void Repaint(Skinned& s) {
    InvalidateRect(Hwnd(s.form), nullptr, true);
    host_->Pump();
  }
  static bool Layered(TForm* f) { return (GetWindowLong(f->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }
  static std::vector<int> Steps(int from, int step, int target) {
    std::vector<int> out;
    for (int a = from; a < target; a += step) out.push_back(a);
    out.push_back(target);
    return out;
  }
  static std::vector<int> Plus(std::vector<int> v, int last) {
    v.push_back(last);
    return v;
  }
  OpacityHost* opacity_ = nullptr;
};

// A 116 x 58 window: a 100 x 30 client area, so the tiles' last row and column are cut.
TEST_F(FrameClient, TheBackgroundTilesTheWholeClientAreaFromItsOrigin) {
  struct Case {
    const char* what;
    int bgIndex;
    bool background;  // the object picture, else the frame picture's client rectangle
  };
  const Case cases[] = {
      {"the skin's background picture", 0, true},
      {"no background picture: the client rectangle", -1, false},
      {"an index that names no picture counts as none", 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestSkinOptions o;
    o.bgPictureIndex = c.bgIndex;
    Skinned s = MakeForm(TestSkinPackage(o), Rect::FromSize(100, 100, 116, 58));
    ASSERT_EQ(s.form->ClientRect(), Rect(0, 0, 100, 30));
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 100; ++x) {
        const Pixel want = c.background ? TestPicturePixel(x % 48, y % 12, 99)
                                        : TestPicturePixel(8 + x % 64, 20 + y % 20, 10);
        ASSERT_EQ(Client(s, x, y), want) << x << "," << y;
      }
    // The frame around it is untouched by the background.
    EXPECT_EQ(At(s.form, 7, 30), TestPicturePixel(7, 30, 10));
    delete s.form;
    host_->Pump();
  }
  // Without a skin: the button face over the whole client area.
  Skinned plain = MakeForm({}, Rect::FromSize(100, 100, 200, 120));
  const Rect client = plain.form->ClientRect();
  const Pixel face = ColorToPixel(ColorToRGB(clBtnFace));
  for (int y = 0; y < client.Height(); y += 3)
    for (int x = 0; x < client.Width(); x += 3) ASSERT_EQ(At(plain.form, 3 + x, 22 + y), face) << x << "," << y;
}

// A 21 x 11 logo whose bottom-left pixel is magenta, in a 100 x 30 client area: at
// (50 - 10, 15 - 5), its magenta pixels see-through when transparent.
TEST_F(FrameClient, TheLogoIsCentredKeptInsideAndDrawnByItsCornerColour) {
  const Pixel key = MakePixel(255, 0, 255);
  auto logoPixel = [&](int x, int y) {
    if (x == 0 && y == 10) return key;
    if (x == 0 && y == 0) return MakePixel(1, 2, 3);  // the key is the bottom-left corner's
    if ((x + y) % 5 == 0) return key;
    return MakePixel(10 + x, 20 + y, 30);
  };
  Bitmap logo(21, 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 21; ++x) logo.Set(x, y, logoPixel(x, y));
  TestSkinOptions o;
  o.bgPictureIndex = 0;
  Skinned s = MakeForm(TestSkinPackage(o), Rect::FromSize(100, 100, 116, 58));
  auto background = [](int x, int y) { return TestPicturePixel(x % 48, y % 12, 99); };
  for (bool transparent : {false, true}) {
    SCOPED_TRACE(transparent ? "transparent" : "opaque");
    s.frame->SetLogoBitMap(logo);
    s.frame->SetLogoBitMapTransparent(transparent);
    Repaint(s);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 100; ++x) {
        const bool inLogo = x >= 40 && x < 61 && y >= 10 && y < 21;
        Pixel want = background(x, y);
        if (inLogo) {
          const Pixel l = logoPixel(x - 40, y - 10);
          if (!(transparent && l == key)) want = l;
        }
        ASSERT_EQ(Client(s, x, y), want) << x << "," << y;
      }
  }
  // A resize keeps it centred: 140 x 30 puts it at (60, 10).
  s.form->SetBounds(100, 100, 156, 58);
  host_->Pump();
  EXPECT_EQ(Client(s, 61, 11), logoPixel(1, 1));
  EXPECT_EQ(Client(s, 59, 11), background(59, 11));
  // A logo larger than the client area starts at its corner.
  Bitmap big(180, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 180; ++x) big.Set(x, y, MakePixel(x, y, 77));
  s.frame->SetLogoBitMap(big);
  s.frame->SetLogoBitMapTransparent(false);
  Repaint(s);
  for (Point p : {Point{0, 0}, Point{1, 1}, Point{139, 29}, Point{70, 15}})
    EXPECT_EQ(Client(s, p.x, p.y), MakePixel(p.x, p.y, 77)) << p.x << "," << p.y;
  // Larger one way only: centred the other way.
  Bitmap tall(20, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 20; ++x) tall.Set(x, y, MakePixel(x, y, 55));
  s.frame->SetLogoBitMap(tall);
  Repaint(s);
  EXPECT_EQ(Client(s, 60, 0), MakePixel(0, 0, 55));
  EXPECT_EQ(Client(s, 59, 0), background(59, 0));
  EXPECT_EQ(Client(s, 79, 29), MakePixel(19, 29, 55));
}

// The fade on showing: from 0 in steps of 5 to the target, the last step clamped; a window
// that ends opaque is no longer layered.
TEST_F(FrameClient, ShowingFadesTheWindowInToItsAlpha) {
  struct Case {
    const char* what;
    bool blend, animation;
    int value;
    std::vector<int> alphas;
    bool layered;
  };
  const Case cases[] = {
      // Opaque at the end, the window drops its layered mark: the host sees 255 again.
      {"animation alone: to opaque", false, true, 200, Plus(Steps(0, 5, 255), 255), false},
      {"animation to the blend value", true, true, 200, Steps(0, 5, 200), true},
      {"the last step clamped", true, true, 203, Steps(0, 5, 203), true},
      {"blend without animation: at once", true, false, 120, {0, 120}, true},
      {"blend value 255: opaque and not layered", true, false, 255, {0, 255}, false},
      {"neither", false, false, 200, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Skinned s = MakeForm(TestSkinPackage(), {100, 100, 180, 148}, TFormBorderStyle::bsSizeable, false);
    s.frame->SetAlphaBlendValue(c.value);
    s.frame->SetAlphaBlendAnimation(c.animation);
    if (c.blend) {
      s.frame->SetAlphaBlend(true);
      EXPECT_TRUE(Layered(s.form));
    }
    opacity_->alphas.clear();
    s.form->Show();
    host_->AdvanceClock(50);
    EXPECT_EQ(opacity_->alphas, c.alphas);
    EXPECT_EQ(Layered(s.form), c.layered);
    if (c.layered) EXPECT_EQ(Hwnd(s.form)->LayeredAlpha(), c.value);
    if (c.blend && c.layered) {
      // A new value takes effect at once; hiding drops the layered mark.
      s.frame->SetAlphaBlendValue(90);
      EXPECT_EQ(Hwnd(s.form)->LayeredAlpha(), 90);
      s.form->Hide();
      host_->Pump();
      EXPECT_FALSE(Layered(s.form));
    }
    delete s.form;
    host_->Pump();
  }
}

// The first level of a menu fades in from 0 in steps of 3 to the menus' alpha value.
TEST_F(FrameClient, MenusFadeInOnlyWhenTheyOpenAChain) {
  struct Case {
    const char* what;
    bool blend, animation;
    std::vector<int> alphas;
  };
  const Case cases[] = {
      {"fade", true, true, Steps(0, 3, 190)},
      {"no animation: at once", true, false, {190}},
      {"animation without blend: opaque", false, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
    s.frame->SetMenusAlphaBlend(c.blend);
    s.frame->SetMenusAlphaBlendAnimation(c.animation);
    s.frame->SetMenusAlphaBlendValue(190);
    // The application's system menu, with a submenu.
    auto* app = new TPopupMenu(s.form);
    auto* more = new TMenuItem(app);
    more->SetName("More");
    more->SetCaption("More");
    auto* sub = new TMenuItem(app);
    sub->SetCaption("Sub");
    more->Add(sub);
    app->Items()->Add(more);
    s.frame->SetSystemMenu(app);
    opacity_->alphas.clear();
    host_->MoveMouse({130, 108});
    host_->Click({130, 108}, MouseButton::Right);
    host_->Pump();
    TskSkinMenu* menu = s.frame->SkinMenu();
    ASSERT_EQ(menu->PopupCount(), 1);
    // Some hosts get the first value only when the window shows: compare the tail.
    std::vector<int> seen = opacity_->alphas;
    if (!c.alphas.empty() && seen.size() > c.alphas.size())
      seen.erase(seen.begin(), seen.end() - static_cast<std::ptrdiff_t>(c.alphas.size()));
    EXPECT_EQ(seen, c.alphas);
    const bool layered = (GetWindowLong(menu->Popups(0)->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    EXPECT_EQ(layered, c.blend);
    // A submenu opens within the chain: at the alpha value at once, without a fade.
    TskSkinPopupWindow* first = menu->Popups(0);
    int index = -1;
    for (int i = 0; i < first->ItemCount(); ++i)
      if (first->Items(i)->MenuItem()->Name() == "More") index = i;
    ASSERT_GE(index, 0);
    const Rect r = first->Items(index)->ItemRect();
    opacity_->alphas.clear();
    host_->MoveMouse(first->ClientToScreen({r.left + r.Width() / 2, r.top + r.Height() / 2}));
    host_->AdvanceClock(700);
    ASSERT_EQ(menu->PopupCount(), 2);
    EXPECT_EQ(opacity_->alphas.empty(), !c.blend);
    for (int a : opacity_->alphas) EXPECT_EQ(a, 190);
    host_->Key(VK_ESCAPE);
    host_->Key(VK_ESCAPE);
    host_->Pump();
    delete s.form;
    host_->Pump();
  }
}

// With UseFormCursorInNCArea the form's cursor shows over the caption and the objects;
// the borders keep their sizing cursors.
TEST_F(FrameClient, TheFormsCursorOverTheFrameButTheBordersKeepTheirs) {
  TestSkinOptions o;
  o.mask = false;
  Skinned s = MakeForm(TestSkinPackage(o), {100, 100, 300, 200});
  s.form->SetCursor(crCross);
  struct Case {
    const char* what;
    Point at;  // window coordinates
    int without, with;
  };
  const Case cases[] = {
      {"client", {60, 60}, IDC_CROSS, IDC_CROSS},
      {"caption", {60, 8}, IDC_ARROW, IDC_CROSS},
      {"maximize button", {200 - 34 + 6, 10}, IDC_ARROW, IDC_CROSS},
      {"frame outside caption and objects", {5, 5}, IDC_ARROW, IDC_CROSS},
      {"left border", {1, 50}, IDC_SIZEWE, IDC_SIZEWE},
      {"right border", {198, 50}, IDC_SIZEWE, IDC_SIZEWE},
      {"bottom border", {100, 98}, IDC_SIZENS, IDC_SIZENS},
      {"bottom-right corner", {198, 98}, IDC_SIZENWSE, IDC_SIZENWSE},
      {"top-left corner", {1, 1}, IDC_SIZENWSE, IDC_SIZENWSE},
  };
  for (bool on : {false, true}) {
    s.frame->SetUseFormCursorInNCArea(on);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (on ? " with the form's cursor" : ""));
      host_->MoveMouse({400, 400});
      host_->MoveMouse({100 + c.at.x, 100 + c.at.y});
      host_->Pump();
      EXPECT_EQ(host_->CursorShape(), on ? c.with : c.without);
    }
  }
}

// A right click on the caption opens the system menu at the pointer; on an object or in the
// client area it does not.
TEST_F(FrameClient, ARightClickOnTheCaptionOpensTheSystemMenuAtThePointer) {
  Skinned s = MakeForm(TestSkinPackage(), {100, 100, 300, 200});
  TskSkinMenu* menu = s.frame->SkinMenu();
  auto names = [&] {
    std::vector<std::string> out;
    TskSkinPopupWindow* p = menu->Popups(0);
    for (int i = 0; i < p->ItemCount(); ++i) out.push_back(p->Items(i)->MenuItem()->Name());
    return out;
  };
  auto rightClick = [&](Point p) {
    host_->AdvanceClock(600);
    host_->MoveMouse(p);
    host_->AdvanceClock(60);
    host_->Click(p, MouseButton::Right);
    host_->Pump();
  };
  struct Case {
    const char* what;
    Point at;
    bool opens;
  };
  const Case cases[] = {
      {"caption", {130, 108}, true},
      {"caption, further right", {150, 110}, true},
      {"maximize button", {300 - 34 + 6, 110}, false},
      {"client area", {150, 150}, false},
      {"frame outside the caption", {106, 104}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rightClick(c.at);
    EXPECT_EQ(menu->Visible(), c.opens);
    if (!c.opens) continue;
    ASSERT_EQ(menu->PopupCount(), 1);
    EXPECT_TRUE(s.frame->InMenu());
    Rect r;
    GetWindowRect(menu->Popups(0)->Handle(), &r);
    EXPECT_EQ(r.TopLeft(), c.at);
    EXPECT_EQ(names(), (std::vector<std::string>{"SKF_MINITEM", "SKF_MAXITEM", "SKF_ROLLUP", "SKF_LINE", "SKF_CLOSE"}));
    host_->Key(VK_ESCAPE);
    host_->Pump();
    EXPECT_FALSE(menu->Visible());
    EXPECT_FALSE(s.frame->InMenu());
  }
  // Rolled up the menu offers Restore instead of Roll up, and Restore unrolls.
  s.frame->SetRollUpState(true);
  host_->Pump();
  rightClick({130, 108});
  ASSERT_TRUE(menu->Visible());
  EXPECT_EQ(names(), (std::vector<std::string>{"SKF_MINITEM", "SKF_MAXITEM", "SKF_RESTORE", "SKF_LINE", "SKF_CLOSE"}));
  TskSkinPopupWindow* p = menu->Popups(0);
  const Rect item = p->Items(2)->ItemRect();
  const Point at = p->ClientToScreen({item.left + item.Width() / 2, item.top + item.Height() / 2});
  host_->MoveMouse(at);
  host_->AdvanceClock(60);
  host_->Click(at);
  host_->Pump();
  EXPECT_FALSE(s.frame->RollUpState());
  EXPECT_EQ(Bounds(s.form), Rect(100, 100, 300, 200));
  // The menu is drawn from the menus' own skin when one is set.
  auto* menus = new TskSkinData(s.form);
  auto* stored = new TskCompressedStoredSkin(s.form);
  stored->SetCompressedData(TestSkinPackage());
  menus->LoadStoredSkin(*stored);
  s.frame->SetMenusSkinData(menus);
  rightClick({130, 108});
  ASSERT_TRUE(menu->Visible());
  EXPECT_EQ(menu->SkinData(), menus);
  host_->Key(VK_ESCAPE);
  host_->Pump();
}

}  // namespace
