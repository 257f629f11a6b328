// TrayItem: one notification-area icon, published as a status notifier item on the
// session bus and pumped from the program's own message loop (no thread).
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"

struct sd_bus;
struct sd_bus_slot;
struct sd_bus_message;

// One picture of the icon as the bus carries it: ARGB32 in network byte order (A, R, G, B
// per pixel), rows top-down.
struct TrayPixmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> argb;
};

// The sizes offered to the panel, which picks the one it needs.
inline constexpr int kTrayIconSizes[] = {16, 22, 32, 48};

// `image` scaled (nearest pixel) to size x size; pixels of a picture without alpha are opaque.
TrayPixmap MakeTrayPixmap(const Bitmap& image, int size);

class TrayItem {
 public:
  // What the panel asks of the item; x and y are screen coordinates (0 when unknown).
  struct Events {
    std::function<void(int x, int y)> activate;
    std::function<void(int x, int y)> secondaryActivate;
    std::function<void(int x, int y)> contextMenu;
    std::function<void(int delta, bool vertical)> scroll;
  };

  explicit TrayItem(std::string id = "kavri");
  ~TrayItem();
  TrayItem(const TrayItem&) = delete;
  TrayItem& operator=(const TrayItem&) = delete;

  Events& On() { return m_events; }

  // Shows the icon: joins the session bus, takes the item's name, publishes the object and
  // registers with the watcher (now, and again whenever a watcher appears). Without a
  // session bus the item stays inert and the program says so once on standard error; false then.
  bool Show();
  // Leaves the bus; the watcher drops the item when its name goes.
  void Hide();
  bool Shown() const { return m_bus != nullptr; }
  // A watcher has accepted the item's registration.
  bool Registered() const { return m_registered; }
  // How often the item has been registered (the first time and after each watcher restart).
  int Registrations() const { return m_registrations; }
  // The item's name on the bus ("org.kde.StatusNotifierItem-<pid>-<n>"), empty while hidden.
  const std::string& BusName() const { return m_busName; }

  // The properties; each change is announced to the panel while shown.
  void SetIcon(const Bitmap& image);
  const std::vector<TrayPixmap>& IconPixmaps() const { return m_pixmaps; }
  // The tool tip: its title and its plain-text description.
  void SetToolTip(std::string_view title, std::string_view text);
  const std::string& ToolTipTitle() const { return m_tipTitle; }
  const std::string& ToolTipText() const { return m_tipText; }
  void SetTitle(std::string_view title);
  const std::string& Title() const { return m_title; }
  // "Passive", "Active" or "NeedsAttention".
  void SetStatus(std::string_view status);
  const std::string& Status() const { return m_status; }
  const std::string& Id() const { return m_id; }

  // The bus connection's descriptor and the poll events it waits for (-1 and 0 while
  // hidden), for a loop that polls; or simply call Process from a timer.
  int Fd() const;
  short PollEvents() const;
  // Runs everything the bus has for the item without waiting. A lost connection hides the
  // item (said once on standard error).
  void Process();

 private:
  friend struct TrayBus;
  void Register();
  void Close();
  void Emit(const char* signal, const std::string* arg = nullptr);
  void Say(bool& said, std::string_view what);
  int AppendPixmaps(sd_bus_message* reply) const;

  std::string m_id;
  Events m_events;
  sd_bus* m_bus = nullptr;
  sd_bus_slot* m_objectSlot = nullptr;
  sd_bus_slot* m_matchSlot = nullptr;
  sd_bus_slot* m_registerSlot = nullptr;
  std::string m_busName;
  bool m_registered = false;
  int m_registrations = 0;
  bool m_saidNoWatcher = false;
  bool m_saidLost = false;
  bool m_inProcess = false;
  bool m_hidePending = false;
  std::exception_ptr m_pending;  // thrown by an event handler inside the bus
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

  std::vector<TrayPixmap> m_pixmaps;
  std::string m_tipTitle;
  std::string m_tipText;
  std::string m_title;
  std::string m_status = "Active";
};
