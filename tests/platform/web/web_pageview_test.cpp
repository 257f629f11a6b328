// Page view on the headless host: drawing, links and their events, history, pictures,
// new windows, error pages, scrolling.
#include <png.h>

#include "WebTestSupport.h"
#include "platform/gfx/Bmp.h"
#include "platform/std/ScrollBars.h"

namespace {

using Events = std::vector<std::string>;

TEST_F(WebTest, TextAndBackgroundsLandWhereThePageSays) {
  Go(Inputs() + "text.html");
  const std::string url = PathToFileUrl(Inputs() + "text.html");
  EXPECT_EQ(view->LocationURL(), url);
  EXPECT_EQ(view->LocationName(), "Text page");
  EXPECT_FALSE(view->ShowsErrorPage());
  // The text sits in its line below the 20-pixel margin.
  EXPECT_GT(Count({20, 20, 220, 45}, IsDark), 20);
  EXPECT_EQ(Count({0, 0, 20, kHeight}, IsDark), 0);
  EXPECT_EQ(Count({0, 0, kWidth, 19}, IsDark), 0);
  EXPECT_EQ(Count({0, 50, 100, kHeight}, IsDark), 0);
  // The red box is exactly its 60 x 30 pixels.
  EXPECT_EQ(Count({100, 120, 160, 150}, Is(255, 0, 0)), 60 * 30);
  EXPECT_EQ(Count({0, 0, kWidth, kHeight}, Is(255, 0, 0)), 60 * 30);
}

TEST_F(WebTest, LinkClickNavigatesWithEventsInOrderAndTheHandCursor) {
  for (const char* name : {"a.html", "b.html", "c.html"}) {
    std::ifstream in(Inputs() + name);
    Write(name, std::string(std::istreambuf_iterator<char>(in), {}));
  }
  Go(Url("a.html"));
  EXPECT_EQ(events, (Events{"begin", "complete " + Url("a.html"), "title Page A"}));
  events.clear();

  m_host->MoveMouse({50, 20});
  m_host->Pump();
  EXPECT_EQ(m_host->CursorShape(), IDC_HAND);
  m_host->MoveMouse({300, 200});
  m_host->Pump();
  EXPECT_EQ(m_host->CursorShape(), IDC_ARROW);

  ClickAt({50, 20});
  WaitLoaded();
  EXPECT_EQ(events, (Events{"begin", "complete " + Url("b.html"), "title Page B"}));
  EXPECT_EQ(view->LocationURL(), Url("b.html"));
  EXPECT_TRUE(view->CanGoBack());

  // The host's cursor overrides the page's.
  view->SetViewCursor(LoadStandardCursor(IDC_APPSTARTING));
  m_host->MoveMouse({50, 21});
  m_host->Pump();
  EXPECT_EQ(m_host->CursorShape(), IDC_APPSTARTING);
}

TEST_F(WebTest, BackAndForwardWalkTheHistory) {
  const std::string a = PathToFileUrl(Inputs() + "a.html");
  const std::string b = PathToFileUrl(Inputs() + "b.html");
  const std::string c = PathToFileUrl(Inputs() + "c.html");
  EXPECT_FALSE(view->GoBack());
  EXPECT_FALSE(view->GoForward());
  view->Navigate(a);
  // Nothing completes before the messages run: loading is asynchronous.
  EXPECT_EQ(events, (Events{"begin"}));
  EXPECT_TRUE(view->Busy());
  WaitLoaded();
  Go(b);
  Go(c);
  ASSERT_TRUE(view->GoBack());
  WaitLoaded();
  EXPECT_EQ(view->LocationURL(), b);
  ASSERT_TRUE(view->GoBack());
  WaitLoaded();
  EXPECT_EQ(view->LocationURL(), a);
  EXPECT_FALSE(view->CanGoBack());
  EXPECT_FALSE(view->GoBack());
  ASSERT_TRUE(view->GoForward());
  WaitLoaded();
  EXPECT_EQ(view->LocationURL(), b);
  EXPECT_TRUE(view->CanGoForward());
  // A new page from the middle drops what lay ahead.
  Go(a);
  EXPECT_FALSE(view->CanGoForward());
  EXPECT_EQ(view->History(), (std::vector<std::string>{a, b, a}));
  // The same address again reloads without a new entry; typed forms are made whole.
  Go("  File://" + Inputs() + "a.html ");
  EXPECT_EQ(view->History().size(), 3u);
  EXPECT_EQ(view->LocationURL(), a);
}

std::string EncodePng(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < w * h; ++i) pixels.insert(pixels.end(), {r, g, b, a});
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string out(size, '\0');
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr));
  out.resize(size);
  return out;
}

std::string EncodeBmp(int w, int h, Pixel p) {
  Bitmap bmp(w, h, p);
  const auto bytes = SaveBmp(bmp, 24);
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(WebTest, RelativePicturesLoadAgainstThePage) {
  Write("img/blue.bmp", EncodeBmp(20, 10, MakePixel(0, 0, 255)));
  Write("img/green.png", EncodePng(8, 6, 0, 255, 0, 255));
  Write("img/half.png", EncodePng(4, 4, 0, 0, 0, 128));
  // A GIF is sized from its header and shown as a placeholder box.
  Write("img/anim.gif", std::string("GIF89a\x0c\x00\x05\x00\x00\x00\x00", 13));
  Write("img/broken.png", std::string("\x89PNG\r\n\x1a\n garbage", 17));
  Write("pages/p.html",
        "<body style='margin:0'>"
        "<div style='position:absolute;left:0;top:0'><img src='../img/blue.bmp'></div>"
        "<div style='position:absolute;left:50;top:0'><img src='../img/green.png'></div>"
        "<div style='position:absolute;left:100;top:0'><img src='../img/half.png'></div>"
        "<div style='position:absolute;left:150;top:0'><img src='/nonexistent/x.bmp'></div>"
        "<div style='position:absolute;left:200;top:0'><img src='../img/anim.gif'></div>"
        "<div style='position:absolute;left:250;top:0'><img src='../img/broken.png'></div>"
        "<div style='position:absolute;left:0;top:100px;width:64px;height:32px;background-image:url(../img/green.png)'></div>"
        "</body>");
  Go(Url("pages/p.html"));
  // Each picture keeps its own size (inline pictures sit on the line's base line).
  EXPECT_EQ(Count({0, 0, 50, 50}, Is(0, 0, 255)), 200);
  EXPECT_EQ(Count({50, 0, 100, 50}, Is(0, 255, 0)), 48);
  // Half-transparent black over white.
  EXPECT_EQ(Count({100, 0, 150, 50}, [](Pixel p) { return PixelR(p) > 110 && PixelR(p) < 145; }), 16);
  EXPECT_EQ(Count({200, 0, 250, 50}, Is(236, 236, 236)), 10 * 3);  // inside the frame
  EXPECT_EQ(Count({200, 0, 250, 50}, Is(160, 160, 160)), 12 * 5 - 10 * 3);
  // Missing and damaged pictures take no room and draw nothing.
  EXPECT_EQ(Count({150, 0, 200, 50}, IsWhite), 50 * 50);
  EXPECT_EQ(Count({250, 0, kWidth, 50}, IsWhite), 150 * 50);
  // A background picture is tiled over its box.
  EXPECT_EQ(Count({0, 100, 64, 132}, Is(0, 255, 0)), 64 * 32);
  EXPECT_EQ(Count({64, 100, 100, 132}, Is(0, 255, 0)), 0);
}

TEST_F(WebTest, BlankTargetRaisesNewWindowAndTheHostMayCancel) {
  Go(PathToFileUrl(Inputs() + "a.html"));
  events.clear();
  const std::string c = PathToFileUrl(Inputs() + "c.html");
  ClickAt({50, 60});
  WaitLoaded();
  EXPECT_EQ(events, (Events{"newwindow " + c}));
  EXPECT_TRUE(external.empty());
  EXPECT_EQ(view->LocationURL(), PathToFileUrl(Inputs() + "a.html"));

  cancelNewWindow = false;
  events.clear();
  ClickAt({50, 60});
  WaitLoaded();
  EXPECT_EQ(events, (Events{"newwindow " + c}));
  EXPECT_EQ(external, (std::vector<std::string>{c}));
  EXPECT_EQ(view->LocationURL(), PathToFileUrl(Inputs() + "a.html"));
}

TEST_F(WebTest, MissingFileShowsTheErrorPageAndRefreshRetries) {
  const std::string url = Url("missing <b>.html");
  Go(url);
  EXPECT_EQ(events, (Events{"begin", "complete " + url, "title The page cannot be shown"}));
  EXPECT_TRUE(view->ShowsErrorPage());
  EXPECT_EQ(view->LocationURL(), url);
  EXPECT_GT(Count({0, 0, kWidth, kHeight}, IsDark), 50);
  Write("missing <b>.html", "<title>Found</title><p>now here</p>");
  view->Refresh();
  WaitLoaded();
  EXPECT_FALSE(view->ShowsErrorPage());
  EXPECT_EQ(view->LocationName(), "Found");
  EXPECT_EQ(view->History().size(), 1u);
}

TEST_F(WebTest, UnknownSchemeAndFolderGiveErrorPages) {
  for (const std::string& url : {std::string("gopher://x/"), PathToFileUrl(dir.string())}) {
    events.clear();
    Go(url);
    EXPECT_TRUE(view->ShowsErrorPage()) << url;
    EXPECT_EQ(events.at(1), "complete " + url);
  }
}

TEST_F(WebTest, LongPageScrollsWithWheelKeysAndBar) {
  std::string html = "<body style='margin:0'><div style='height:20px;background-color:#FF0000'></div>";
  for (int i = 0; i < 60; ++i) html += "<p>line " + std::to_string(i) + "</p>";
  html += "<div id='end' style='height:20px;background-color:#0000FF'></div></body>";
  Write("long.html", html);
  Go(Url("long.html"));
  ASSERT_GT(view->ContentHeight(), kHeight * 3);
  // The bar shows and the page is laid out beside it.
  EXPECT_TRUE(GetWindowLong(m_viewWnd, GWL_STYLE) & WS_VSCROLL);
  Rect client;
  GetClientRect(m_viewWnd, &client);
  EXPECT_EQ(client.Width(), kWidth - NcScrollBars::Thickness);
  EXPECT_EQ(Count({0, 0, kWidth, 20}, Is(255, 0, 0)), (kWidth - NcScrollBars::Thickness) * 20);

  SetFocus(m_viewWnd);  // the wheel goes to the focus
  m_host->Wheel({100, 100}, -WHEEL_DELTA);
  m_host->Pump();
  EXPECT_EQ(view->ScrollTop(), 48);
  EXPECT_EQ(Count({0, 0, kWidth, kHeight}, Is(255, 0, 0)), 0);
  m_host->Wheel({100, 100}, 2 * WHEEL_DELTA);
  m_host->Pump();
  EXPECT_EQ(view->ScrollTop(), 0);

  m_host->Key(VK_END);
  m_host->Pump();
  EXPECT_EQ(view->ScrollTop(), view->ContentHeight() - kHeight);
  EXPECT_EQ(Count({0, kHeight - 20, kWidth, kHeight}, Is(0, 0, 255)), (kWidth - NcScrollBars::Thickness) * 20);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(m_viewWnd, SB_VERT, &si);
  EXPECT_EQ(si.nPos, view->ScrollTop());

  // A click on the bar's lower arrow scrolls one step back up from the top.
  m_host->Key(VK_HOME);
  m_host->Pump();
  m_host->Click({kWidth - 8, kHeight - 8});
  m_host->Pump();
  EXPECT_EQ(view->ScrollTop(), 40);

  // A page that fits has no bar and no scrolling.
  Go(PathToFileUrl(Inputs() + "c.html"));
  EXPECT_FALSE(GetWindowLong(m_viewWnd, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(view->ScrollTop(), 0);
  m_host->Wheel({100, 100}, -WHEEL_DELTA);
  m_host->Pump();
  EXPECT_EQ(view->ScrollTop(), 0);
}

TEST_F(WebTest, FragmentJumpsInsideThePage) {
  std::string html = "<body style='margin:0'>";
  for (int i = 0; i < 40; ++i) html += "<p>line</p>";
  html += "<h2 id='here'>Here</h2>";
  for (int i = 0; i < 40; ++i) html += "<p>line</p>";
  Write("f.html", html);
  Go(Url("f.html") + "#here");
  const int top = view->ScrollTop();
  EXPECT_GT(top, 500);
  events.clear();
  Go(Url("f.html"));  // another entry, loads again from the top
  EXPECT_EQ(view->ScrollTop(), 0);
  view->Navigate(Url("f.html") + "#here");  // same document: no download
  EXPECT_EQ(events, (Events{"begin", "complete " + Url("f.html"), "title " + Url("f.html"),
                            "complete " + Url("f.html") + "#here"}));
  EXPECT_EQ(view->ScrollTop(), top);
}

}  // namespace
