// The tray item on a private session bus, with the test playing the panel's watcher.
#include <gtest/gtest.h>
#include <poll.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sys/Tray.h"
#include "tests/support/SessionBus.h"

namespace {

using kavri_test::OnPath;
using kavri_test::PrivateBus;
using kavri_test::Watcher;

class TrayBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnPath("dbus-run-session")) GTEST_SKIP() << "dbus-run-session is not installed";
    ASSERT_TRUE(m_bus.Start()) << "dbus-run-session gave no bus";
  }

  // Pumps the item and the watcher (when there is one) until `done` or the time is up.
  bool PumpUntil(TrayItem& item, Watcher* watcher, const std::function<bool()>& done,
                 std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      try {
        item.Process();
      } catch (const std::runtime_error& e) {
        m_errors.push_back(e.what());
      }
      if (watcher) watcher->Process();
      if (done()) return true;
      std::vector<pollfd> fds;
      if (item.Fd() >= 0) fds.push_back({item.Fd(), item.PollEvents(), 0});
      if (watcher) fds.push_back({sd_bus_get_fd(watcher->Bus()), static_cast<short>(sd_bus_get_events(watcher->Bus())), 0});
      ::poll(fds.data(), fds.size(), 10);
    }
    return done();
  }

  // Reads one property of the item from the watcher's side; `read` parses the variant.
  void ReadProperty(TrayItem& item, Watcher& w, const char* name, const std::function<void(sd_bus_message*)>& read) {
    sd_bus_message* reply = nullptr;
    auto done = [](sd_bus_message* m, void* userdata, sd_bus_error*) {
      *static_cast<sd_bus_message**>(userdata) = sd_bus_message_ref(m);
      return 0;
    };
    ASSERT_GE(sd_bus_call_method_async(w.Bus(), nullptr, item.BusName().c_str(), "/StatusNotifierItem",
                                       "org.freedesktop.DBus.Properties", "Get", done, &reply, "ss",
                                       "org.kde.StatusNotifierItem", name),
              0);
    ASSERT_TRUE(PumpUntil(item, &w, [&] { return reply != nullptr; })) << name;
    ASSERT_FALSE(sd_bus_message_is_method_error(reply, nullptr)) << name;
    read(reply);
    sd_bus_message_unref(reply);
  }

  std::string ReadString(TrayItem& item, Watcher& w, const char* name, const char* type = "s") {
    std::string out;
    ReadProperty(item, w, name, [&](sd_bus_message* m) {
      const char* s = nullptr;
      EXPECT_GE(sd_bus_message_read(m, "v", type, &s), 0) << name;
      if (s) out = s;
    });
    return out;
  }

  // The tool tip's title and text as the panel reads them.
  std::pair<std::string, std::string> ReadToolTip(TrayItem& item, Watcher& w) {
    std::pair<std::string, std::string> out;
    ReadProperty(item, w, "ToolTip", [&](sd_bus_message* m) {
      const char *icon = nullptr, *title = nullptr, *text = nullptr;
      ASSERT_GE(sd_bus_message_enter_container(m, 'v', "(sa(iiay)ss)"), 0);
      ASSERT_GE(sd_bus_message_enter_container(m, 'r', "sa(iiay)ss"), 0);
      ASSERT_GE(sd_bus_message_read(m, "s", &icon), 0);
      ASSERT_GE(sd_bus_message_skip(m, "a(iiay)"), 0);
      ASSERT_GE(sd_bus_message_read(m, "ss", &title, &text), 0);
      out = {title, text};
    });
    return out;
  }

  // Calls a method of the item and waits for its answer; true when it succeeded.
  bool Call(TrayItem& item, Watcher& w, const char* method, int a, int b) {
    int answer = 0;
    if (!w.CallItem(item.BusName(), method, a, b, &answer)) return false;
    PumpUntil(item, &w, [&] { return answer != 0; });
    return answer == 1;
  }

  PrivateBus m_bus;
  std::vector<std::string> m_errors;  // what Process threw while pumping
};

Bitmap FourColours() {
  Bitmap b(2, 2);
  b.Set(0, 0, MakePixel(0x11, 0x22, 0x33, 0x80));
  b.Set(1, 0, MakePixel(0x44, 0x55, 0x66, 0xFF));
  b.Set(0, 1, MakePixel(0x77, 0x88, 0x99, 0x00));
  b.Set(1, 1, MakePixel(0xAA, 0xBB, 0xCC, 0x40));
  b.SetHasAlpha(true);
  return b;
}

}  // namespace

TEST(TrayPixmap, NetworkByteOrderRowsTopDownScaledToTheSize) {
  const TrayPixmap p = MakeTrayPixmap(FourColours(), 4);
  ASSERT_EQ(p.width, 4);
  ASSERT_EQ(p.height, 4);
  ASSERT_EQ(p.argb.size(), 64u);
  struct Case {
    int x, y;
    std::uint8_t a, r, g, b;
  };
  for (const Case& c : {Case{0, 0, 0x80, 0x11, 0x22, 0x33}, Case{1, 1, 0x80, 0x11, 0x22, 0x33},
                        Case{3, 0, 0xFF, 0x44, 0x55, 0x66}, Case{0, 3, 0x00, 0x77, 0x88, 0x99},
                        Case{3, 3, 0x40, 0xAA, 0xBB, 0xCC}, Case{2, 2, 0x40, 0xAA, 0xBB, 0xCC}}) {
    const std::uint8_t* px = p.argb.data() + (c.y * 4 + c.x) * 4;
    EXPECT_EQ(px[0], c.a) << c.x << "," << c.y;
    EXPECT_EQ(px[1], c.r) << c.x << "," << c.y;
    EXPECT_EQ(px[2], c.g) << c.x << "," << c.y;
    EXPECT_EQ(px[3], c.b) << c.x << "," << c.y;
  }
}

TEST(TrayPixmap, PicturesWithoutAlphaAreOpaqueAndAnEmptyOneIsClear) {
  Bitmap plain(3, 3, MakePixel(1, 2, 3, 0));
  const TrayPixmap p = MakeTrayPixmap(plain, 16);
  for (std::size_t i = 0; i < p.argb.size(); i += 4) ASSERT_EQ(p.argb[i], 255) << i;
  const TrayPixmap clear = MakeTrayPixmap(Bitmap(), 16);
  ASSERT_EQ(clear.argb.size(), 16u * 16 * 4);
  for (std::uint8_t v : clear.argb) ASSERT_EQ(v, 0);
}

TEST(TrayNoBus, StaysInertAndSaysSoOnce) {
  const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kavri-no-bus", 1);
  TrayItem item;
  testing::internal::CaptureStderr();
  const bool first = item.Show();
  const bool second = item.Show();
  item.SetToolTip("Kavri", "still works");
  item.Process();
  const std::string err = testing::internal::GetCapturedStderr();
  if (saved) ::setenv("DBUS_SESSION_BUS_ADDRESS", saved->c_str(), 1);
  else ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  EXPECT_FALSE(first);
  EXPECT_FALSE(second);
  EXPECT_FALSE(item.Shown());
  EXPECT_EQ(item.Fd(), -1);
  EXPECT_EQ(item.ToolTipText(), "still works");
  std::size_t count = 0;
  for (std::size_t at = err.find("tray icon"); at != std::string::npos; at = err.find("tray icon", at + 1)) ++count;
  EXPECT_EQ(count, 1u) << err;
}

TEST_F(TrayBusTest, RegistersAndShowsItsIconAndToolTip) {
  Watcher w;
  TrayItem item("kavri");
  item.SetIcon(FourColours());
  item.SetToolTip("Kavri", "text to art");
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  ASSERT_EQ(w.registered.size(), 1u);
  EXPECT_EQ(w.registered[0], item.BusName());
  EXPECT_EQ(item.BusName().rfind("org.kde.StatusNotifierItem-" + std::to_string(::getpid()) + "-", 0), 0u);

  EXPECT_EQ(ReadString(item, w, "Category"), "ApplicationStatus");
  EXPECT_EQ(ReadString(item, w, "Id"), "kavri");
  EXPECT_EQ(ReadString(item, w, "Status"), "Active");
  EXPECT_EQ(ReadString(item, w, "Menu", "o"), "/NO_DBUSMENU");
  ReadProperty(item, w, "ItemIsMenu", [](sd_bus_message* m) {
    int b = 1;
    ASSERT_GE(sd_bus_message_read(m, "v", "b", &b), 0);
    EXPECT_EQ(b, 0);
  });

  ReadProperty(item, w, "IconPixmap", [](sd_bus_message* m) {
    ASSERT_GE(sd_bus_message_enter_container(m, 'v', "a(iiay)"), 0);
    ASSERT_GE(sd_bus_message_enter_container(m, 'a', "(iiay)"), 0);
    std::vector<int> sizes;
    while (sd_bus_message_enter_container(m, 'r', "iiay") > 0) {
      int width = 0, height = 0;
      ASSERT_GE(sd_bus_message_read(m, "ii", &width, &height), 0);
      const void* data = nullptr;
      std::size_t size = 0;
      ASSERT_GE(sd_bus_message_read_array(m, 'y', &data, &size), 0);
      ASSERT_EQ(size, static_cast<std::size_t>(width) * height * 4);
      const auto* bytes = static_cast<const std::uint8_t*>(data);
      // Top-left is the first picture pixel, the last pixel the bottom-right one.
      EXPECT_EQ((std::vector<int>{bytes[0], bytes[1], bytes[2], bytes[3]}), (std::vector<int>{0x80, 0x11, 0x22, 0x33}));
      const std::uint8_t* last = bytes + size - 4;
      EXPECT_EQ((std::vector<int>{last[0], last[1], last[2], last[3]}), (std::vector<int>{0x40, 0xAA, 0xBB, 0xCC}));
      sizes.push_back(width);
      EXPECT_EQ(width, height);
      sd_bus_message_exit_container(m);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 22, 32, 48}));
  });

  EXPECT_EQ(ReadToolTip(item, w), (std::pair<std::string, std::string>{"Kavri", "text to art"}));
}

TEST_F(TrayBusTest, ChangesAreAnnouncedAndAChangeThatChangesNothingIsNot) {
  Watcher w;
  TrayItem item;
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  item.SetToolTip("Kavri", "one");
  item.SetToolTip("Kavri", "one");
  item.SetIcon(FourColours());
  item.SetIcon(FourColours());
  item.SetStatus("NeedsAttention");
  item.SetStatus("NeedsAttention");
  item.SetTitle("Kavri 10");
  Bitmap changed = FourColours();
  changed.Set(1, 1, MakePixel(1, 2, 3, 4));
  item.SetIcon(changed);
  item.SetIcon(Bitmap());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return w.signals.size() >= 6; }));
  EXPECT_EQ(w.signals,
            (std::vector<std::string>{"NewToolTip", "NewIcon", "NewStatus", "NewTitle", "NewIcon", "NewIcon"}));
  EXPECT_TRUE(item.IconPixmaps().empty());
  EXPECT_EQ(ReadString(item, w, "Title"), "Kavri 10");
  EXPECT_EQ(ReadString(item, w, "Status"), "NeedsAttention");
  EXPECT_EQ(ReadToolTip(item, w).second, "one");
}

TEST_F(TrayBusTest, ThePanelsCallsReachTheEvents) {
  Watcher w;
  TrayItem item;
  std::vector<std::string> seen;
  item.On().activate = [&](int x, int y) { seen.push_back("activate " + std::to_string(x) + "," + std::to_string(y)); };
  item.On().secondaryActivate = [&](int x, int y) {
    seen.push_back("secondary " + std::to_string(x) + "," + std::to_string(y));
  };
  item.On().contextMenu = [&](int x, int y) { seen.push_back("menu " + std::to_string(x) + "," + std::to_string(y)); };
  item.On().scroll = [&](int delta, bool vertical) {
    seen.push_back("scroll " + std::to_string(delta) + (vertical ? " v" : " h"));
  };
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  EXPECT_TRUE(Call(item, w, "Activate", 10, 20));
  EXPECT_TRUE(Call(item, w, "ContextMenu", 300, 400));
  EXPECT_TRUE(Call(item, w, "SecondaryActivate", 5, 6));
  EXPECT_TRUE(Call(item, w, "Scroll", -120, 1));
  EXPECT_TRUE(Call(item, w, "Scroll", 120, 0));
  EXPECT_EQ(seen, (std::vector<std::string>{"activate 10,20", "menu 300,400", "secondary 5,6", "scroll -120 v",
                                            "scroll 120 h"}));
}

TEST_F(TrayBusTest, AHandlersErrorComesOutOfProcessAndTheItemGoesOn) {
  Watcher w;
  TrayItem item;
  int calls = 0;
  item.On().activate = [&](int, int) {
    if (++calls == 1) throw std::runtime_error("handler failed");
  };
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  EXPECT_TRUE(Call(item, w, "Activate", 1, 1));
  EXPECT_EQ(m_errors, (std::vector<std::string>{"handler failed"}));
  EXPECT_TRUE(item.Shown());
  EXPECT_TRUE(Call(item, w, "Activate", 1, 1));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(m_errors.size(), 1u);
}

TEST_F(TrayBusTest, RegistersAgainWhenTheWatcherComesBack) {
  TrayItem item;
  auto w = std::make_unique<Watcher>();
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, w.get(), [&] { return item.Registered(); }));
  EXPECT_EQ(item.Registrations(), 1);
  w.reset();  // the panel goes away
  ASSERT_TRUE(PumpUntil(item, nullptr, [&] { return !item.Registered(); }));
  w = std::make_unique<Watcher>();
  ASSERT_TRUE(PumpUntil(item, w.get(), [&] { return item.Registered(); }));
  EXPECT_EQ(item.Registrations(), 2);
  ASSERT_EQ(w->registered.size(), 1u);
  EXPECT_EQ(w->registered[0], item.BusName());
  EXPECT_TRUE(Call(item, *w, "Activate", 0, 0));
}

TEST_F(TrayBusTest, WaitsForAWatcherThatIsNotThereYet) {
  TrayItem item;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(item.Show());
  PumpUntil(item, nullptr, [] { return false; }, std::chrono::milliseconds(300));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(item.Registered());
  EXPECT_NE(err.find("no status notifier watcher"), std::string::npos) << err;
  Watcher w;
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  EXPECT_EQ(w.registered, (std::vector<std::string>{item.BusName()}));
}

TEST_F(TrayBusTest, HidingLeavesTheBusAndShowingComesBackUnderANewName) {
  Watcher w;
  TrayItem item;
  int activations = 0;
  item.On().activate = [&](int, int) { ++activations; };
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  const std::string first = item.BusName();
  item.Hide();
  EXPECT_FALSE(item.Shown());
  EXPECT_EQ(item.Fd(), -1);
  // Nobody answers under the old name any more.
  int answer = 0;
  ASSERT_TRUE(w.CallItem(first, "Activate", 0, 0, &answer));
  PumpUntil(item, &w, [&] { return answer != 0; });
  EXPECT_EQ(answer, -1);
  EXPECT_EQ(activations, 0);
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  EXPECT_NE(item.BusName(), first);
  EXPECT_EQ(w.registered.size(), 2u);
}

TEST_F(TrayBusTest, HidingFromInsideAHandlerIsSafe) {
  Watcher w;
  TrayItem item;
  item.On().contextMenu = [&](int, int) { item.Hide(); };
  ASSERT_TRUE(item.Show());
  ASSERT_TRUE(PumpUntil(item, &w, [&] { return item.Registered(); }));
  EXPECT_TRUE(Call(item, w, "ContextMenu", 1, 2));
  EXPECT_FALSE(item.Shown());
  EXPECT_FALSE(item.Registered());
}

TEST_F(TrayBusTest, AnItemDestroyedByItsOwnHandlerLeavesTheLoopSafely) {
  Watcher w;
  auto item = std::make_unique<TrayItem>();
  const std::string name = [&] {
    item->Show();
    return item->BusName();
  }();
  item->On().activate = [&](int, int) { item.reset(); };
  TrayItem* raw = item.get();
  ASSERT_TRUE(PumpUntil(*raw, &w, [&] { return raw->Registered(); }));
  int answer = 0;
  ASSERT_TRUE(w.CallItem(name, "Activate", 1, 1, &answer));
  // Pumped by hand: the fixture's pump holds the item by reference.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (item && std::chrono::steady_clock::now() < until) {
    item->Process();
    w.Process();
    ::usleep(1000);
  }
  EXPECT_EQ(item, nullptr);
  // The name went with the connection.
  int later = 0;
  ASSERT_TRUE(w.CallItem(name, "Activate", 1, 1, &later));
  while (later == 0 && std::chrono::steady_clock::now() < until) {
    w.Process();
    ::usleep(1000);
  }
  EXPECT_EQ(later, -1);
}
