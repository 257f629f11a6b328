// The notification-area icon as a status notifier item on the session bus (sd-bus).
#include "platform/sys/Tray.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kWatcherMatch =
    "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
    "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'";

// Several items of one process get distinct names.
int g_itemCount = 0;
// A missing bus is the desktop's state, not the item's: told once for the whole program.
bool g_saidNoBus = false;

}  // namespace

TrayPixmap MakeTrayPixmap(const Bitmap& image, int size) {
  TrayPixmap out;
  if (size < 1) return out;
  out.width = size;
  out.height = size;
  out.argb.assign(static_cast<std::size_t>(size) * size * 4, 0);
  if (image.IsEmpty()) return out;
  std::uint8_t* p = out.argb.data();
  for (int y = 0; y < size; ++y) {
    const int sy = static_cast<int>(static_cast<long long>(y) * image.Height() / size);
    for (int x = 0; x < size; ++x) {
      const int sx = static_cast<int>(static_cast<long long>(x) * image.Width() / size);
      const Pixel px = image.At(sx, sy);
      *p++ = static_cast<std::uint8_t>(image.HasAlpha() ? PixelA(px) : 255);
      *p++ = static_cast<std::uint8_t>(PixelR(px));
      *p++ = static_cast<std::uint8_t>(PixelG(px));
      *p++ = static_cast<std::uint8_t>(PixelB(px));
    }
  }
  return out;
}

// The C entry points sd-bus calls; an exception of an event handler must not cross them,
// so it is kept and thrown again once the bus is left.
struct TrayBus {
  static TrayItem& Item(void* userdata) { return *static_cast<TrayItem*>(userdata); }

  static int Method(sd_bus_message* m, void* userdata, sd_bus_error*) {
    TrayItem& item = Item(userdata);
    const std::string_view member = sd_bus_message_get_member(m);
    int a = 0;
    int b = 0;
    const char* orientation = "";
    int r = member == "Scroll" ? sd_bus_message_read(m, "is", &a, &orientation) : sd_bus_message_read(m, "ii", &a, &b);
    if (r < 0) return r;
    const bool vertical = std::string_view(orientation) != "horizontal";
    // Answer first: a handler may open a menu and the panel should not wait on it.
    r = sd_bus_reply_method_return(m, "");
    if (r < 0) return r;
    // The handler runs from a copy: it may destroy the item, and its own function with it.
    const TrayItem::Events e = item.m_events;
    const std::shared_ptr<const bool> alive = item.m_alive;
    try {
      if (member == "Activate" && e.activate) e.activate(a, b);
      else if (member == "SecondaryActivate" && e.secondaryActivate) e.secondaryActivate(a, b);
      else if (member == "ContextMenu" && e.contextMenu) e.contextMenu(a, b);
      else if (member == "Scroll" && e.scroll) e.scroll(a, vertical);
    } catch (...) {
      if (*alive && !item.m_pending) item.m_pending = std::current_exception();
    }
    return 1;
  }

  static int Property(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply, void* userdata,
                      sd_bus_error*) {
    const TrayItem& item = Item(userdata);
    const std::string_view name = property;
    if (name == "Category") return sd_bus_message_append(reply, "s", "ApplicationStatus");
    if (name == "Id") return sd_bus_message_append(reply, "s", item.m_id.c_str());
    if (name == "Title") return sd_bus_message_append(reply, "s", item.m_title.c_str());
    if (name == "Status") return sd_bus_message_append(reply, "s", item.m_status.c_str());
    if (name == "WindowId") return sd_bus_message_append(reply, "i", 0);
    if (name == "ItemIsMenu") return sd_bus_message_append(reply, "b", 0);
    if (name == "Menu") return sd_bus_message_append(reply, "o", "/NO_DBUSMENU");
    if (name == "IconPixmap") return item.AppendPixmaps(reply);
    if (name == "AttentionIconPixmap" || name == "OverlayIconPixmap") return sd_bus_message_append(reply, "a(iiay)", 0);
    if (name == "ToolTip") {
      int r = sd_bus_message_open_container(reply, 'r', "sa(iiay)ss");
      if (r >= 0) r = sd_bus_message_append(reply, "s", "");
      if (r >= 0) r = item.AppendPixmaps(reply);
      if (r >= 0) r = sd_bus_message_append(reply, "ss", item.m_tipTitle.c_str(), item.m_tipText.c_str());
      if (r >= 0) r = sd_bus_message_close_container(reply);
      return r;
    }
    // IconName, OverlayIconName, AttentionIconName, AttentionMovieName: we send pictures.
    return sd_bus_message_append(reply, "s", "");
  }

  static int OwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error*) {
    TrayItem& item = Item(userdata);
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    if (sd_bus_message_read(m, "sss", &name, &oldOwner, &newOwner) < 0) return 0;
    if (newOwner && *newOwner) {
      item.Register();
    } else {
      item.m_registered = false;
    }
    return 0;
  }

  static int RegisterReply(sd_bus_message* m, void* userdata, sd_bus_error*) {
    TrayItem& item = Item(userdata);
    if (sd_bus_message_is_method_error(m, nullptr)) {
      item.m_registered = false;
      item.Say(item.m_saidNoWatcher, "no status notifier watcher on the session bus; the icon waits for one");
    } else {
      item.m_registered = true;
      ++item.m_registrations;
    }
    return 0;
  }
};

namespace {

const sd_bus_vtable kItemVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("Category", "s", TrayBus::Property, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Id", "s", TrayBus::Property, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Title", "s", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("Status", "s", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("WindowId", "i", TrayBus::Property, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("IconName", "s", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("IconPixmap", "a(iiay)", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("OverlayIconName", "s", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("OverlayIconPixmap", "a(iiay)", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("AttentionIconName", "s", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("AttentionIconPixmap", "a(iiay)", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("AttentionMovieName", "s", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("ToolTip", "(sa(iiay)ss)", TrayBus::Property, 0, 0),
    SD_BUS_PROPERTY("ItemIsMenu", "b", TrayBus::Property, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Menu", "o", TrayBus::Property, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_METHOD("Activate", "ii", "", TrayBus::Method, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SecondaryActivate", "ii", "", TrayBus::Method, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("ContextMenu", "ii", "", TrayBus::Method, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Scroll", "is", "", TrayBus::Method, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("NewTitle", "", 0),
    SD_BUS_SIGNAL("NewIcon", "", 0),
    SD_BUS_SIGNAL("NewAttentionIcon", "", 0),
    SD_BUS_SIGNAL("NewOverlayIcon", "", 0),
    SD_BUS_SIGNAL("NewToolTip", "", 0),
    SD_BUS_SIGNAL("NewStatus", "s", 0),
    SD_BUS_VTABLE_END};

}  // namespace

TrayItem::TrayItem(std::string id) : m_id(std::move(id)) { m_title = m_id; }

TrayItem::~TrayItem() {
  // Gone inside one of its own handlers: Process sees the flag and leaves the bus alone
  // (sd-bus keeps the connection until its dispatch returns).
  *m_alive = false;
  m_inProcess = false;
  Close();
}

void TrayItem::Say(bool& said, std::string_view what) {
  if (said) return;
  said = true;
  std::fprintf(stderr, "kavri: tray icon: %.*s\n", static_cast<int>(what.size()), what.data());
}

bool TrayItem::Show() {
  if (m_bus) return true;
  sd_bus* bus = nullptr;
  int r = sd_bus_open_user(&bus);
  if (r < 0) {
    Say(g_saidNoBus, "no session bus, the icon is not shown");
    return false;
  }
  char name[96];
  std::snprintf(name, sizeof name, "org.kde.StatusNotifierItem-%d-%d", static_cast<int>(getpid()), ++g_itemCount);
  r = sd_bus_request_name(bus, name, 0);
  if (r >= 0) r = sd_bus_add_object_vtable(bus, &m_objectSlot, kItemPath, kItemInterface, kItemVtable, this);
  if (r >= 0) r = sd_bus_add_match(bus, &m_matchSlot, kWatcherMatch, TrayBus::OwnerChanged, this);
  if (r < 0) {
    m_objectSlot = sd_bus_slot_unref(m_objectSlot);
    m_matchSlot = sd_bus_slot_unref(m_matchSlot);
    sd_bus_flush_close_unref(bus);
    Say(g_saidNoBus, "the session bus refused the icon, it is not shown");
    return false;
  }
  m_bus = bus;
  m_busName = name;
  m_saidLost = false;
  Register();
  return true;
}

void TrayItem::Register() {
  if (!m_bus) return;
  m_registered = false;
  m_registerSlot = sd_bus_slot_unref(m_registerSlot);
  sd_bus_call_method_async(m_bus, &m_registerSlot, kWatcherName, kWatcherPath, kWatcherName,
                           "RegisterStatusNotifierItem", TrayBus::RegisterReply, this, "s", m_busName.c_str());
}

void TrayItem::Hide() {
  // Leaving the bus from inside one of its callbacks would pull the connection out from
  // under sd_bus_process; Process closes it once it is back.
  if (m_inProcess) {
    m_hidePending = true;
    return;
  }
  Close();
}

void TrayItem::Close() {
  m_hidePending = false;
  m_registerSlot = sd_bus_slot_unref(m_registerSlot);
  m_matchSlot = sd_bus_slot_unref(m_matchSlot);
  m_objectSlot = sd_bus_slot_unref(m_objectSlot);
  if (m_bus) m_bus = sd_bus_flush_close_unref(m_bus);
  m_busName.clear();
  m_registered = false;
}

void TrayItem::Emit(const char* signal, const std::string* arg) {
  if (!m_bus) return;
  if (arg)
    sd_bus_emit_signal(m_bus, kItemPath, kItemInterface, signal, "s", arg->c_str());
  else
    sd_bus_emit_signal(m_bus, kItemPath, kItemInterface, signal, "");
}

void TrayItem::SetIcon(const Bitmap& image) {
  std::vector<TrayPixmap> pixmaps;
  if (!image.IsEmpty())
    for (int size : kTrayIconSizes) pixmaps.push_back(MakeTrayPixmap(image, size));
  // The panel reads the whole picture again on each announcement: only real changes.
  const auto same = [](const TrayPixmap& a, const TrayPixmap& b) {
    return a.width == b.width && a.height == b.height && a.argb == b.argb;
  };
  if (std::equal(pixmaps.begin(), pixmaps.end(), m_pixmaps.begin(), m_pixmaps.end(), same)) return;
  m_pixmaps = std::move(pixmaps);
  Emit("NewIcon");
}

void TrayItem::SetToolTip(std::string_view title, std::string_view text) {
  if (title == m_tipTitle && text == m_tipText) return;
  m_tipTitle = title;
  m_tipText = text;
  Emit("NewToolTip");
}

void TrayItem::SetTitle(std::string_view title) {
  if (title == m_title) return;
  m_title = title;
  Emit("NewTitle");
}

void TrayItem::SetStatus(std::string_view status) {
  if (status == m_status) return;
  m_status = status;
  Emit("NewStatus", &m_status);
}

int TrayItem::AppendPixmaps(sd_bus_message* reply) const {
  int r = sd_bus_message_open_container(reply, 'a', "(iiay)");
  for (const TrayPixmap& p : m_pixmaps) {
    if (r >= 0) r = sd_bus_message_open_container(reply, 'r', "iiay");
    if (r >= 0) r = sd_bus_message_append(reply, "ii", p.width, p.height);
    if (r >= 0) r = sd_bus_message_append_array(reply, 'y', p.argb.data(), p.argb.size());
    if (r >= 0) r = sd_bus_message_close_container(reply);
  }
  if (r >= 0) r = sd_bus_message_close_container(reply);
  return r;
}

int TrayItem::Fd() const { return m_bus ? sd_bus_get_fd(m_bus) : -1; }

short TrayItem::PollEvents() const {
  if (!m_bus) return 0;
  const int r = sd_bus_get_events(m_bus);
  return static_cast<short>(r < 0 ? 0 : r);
}

void TrayItem::Process() {
  if (!m_bus || m_inProcess) return;
  m_inProcess = true;
  const std::shared_ptr<const bool> alive = m_alive;
  bool lost = false;
  for (;;) {
    const int r = sd_bus_process(m_bus, nullptr);
    if (!*alive) return;
    if (r < 0) {
      lost = true;
      break;
    }
    if (r == 0) break;
  }
  // What the handlers queued (replies, signals) goes out now rather than at the next tick.
  if (!lost && sd_bus_flush(m_bus) < 0) lost = true;
  m_inProcess = false;
  if (lost) {
    Say(m_saidLost, "the session bus connection was lost, the icon is gone");
    Close();
  } else if (m_hidePending) {
    Close();
  }
  if (m_pending) {
    std::exception_ptr e = m_pending;
    m_pending = nullptr;
    std::rethrow_exception(e);
  }
}
