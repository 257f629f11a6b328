// Change notices come from inotify on the folders that hold the files, not the files
// themselves: editors save by writing a new file and renaming it over the old one, which
// would end a watch on the old file.
#include "tools/kavri-gallery/SkinWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "skin/data/skIniReader.h"
#include "skin/data/skSkinCheck.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinPackage.h"
#include "skin/form/skSkinForm.h"
#include "toolkit/Edits.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStripHeight = 72;
constexpr Color kGoodColour = 0xE8F4E8;  // pale green (BGR as the platform keeps colours)
constexpr Color kBrokenColour = 0xD8D8FF;  // pale red

std::string Clock() {
  const std::time_t now = std::time(nullptr);
  char text[16];
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

}  // namespace

GallerySkinWatch::GallerySkinWatch(TForm* form, std::string definition)
    : m_form(form), m_definition(fs::absolute(definition).lexically_normal().string()) {
  m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (m_inotify < 0) throw std::runtime_error(std::string("cannot watch files: ") + std::strerror(errno));

  m_strip = new TPanel(form);
  m_strip->SetParent(form);
  m_strip->SetAlign(TAlign::alBottom);
  m_strip->SetHeight(kStripHeight);
  m_text = new TMemo(m_strip);
  m_text->SetParent(m_strip);
  m_text->SetAlign(TAlign::alClient);
  m_text->SetReadOnly(true);
  // The frame keeps the client size it was given: it grows by the strip there.
  if (auto* frame = dynamic_cast<TskSkinForm*>(form->FindComponent("skSkinForm1")); frame && frame->ClientHeight() > 0)
    frame->SetClientHeight(frame->ClientHeight() + kStripHeight);
  form->SetClientHeight(form->ClientHeight() + kStripHeight);

  m_timer = new TTimer(form);
  m_timer->SetInterval(kPollInterval);
  m_timer->OnTimer = [this](TObject* sender) { Poll(sender); };
  Reload();
}

GallerySkinWatch::~GallerySkinWatch() {
  if (m_inotify >= 0) ::close(m_inotify);
}

void GallerySkinWatch::WatchFolders() {
  for (int w : m_watches) ::inotify_rm_watch(m_inotify, w);
  m_watches.clear();
  m_names = {m_definition};
  // The pictures are named by the definition, so the set of files follows each load.
  try {
    std::ifstream in(m_definition, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const SkinIni ini(SplitSkinLines(text));
    const fs::path folder = fs::path(m_definition).parent_path();
    std::vector<std::string> keys = {"picture", "inactivepicture", "mask"};
    const int count = std::clamp(ini.ReadInteger("PICTURES", "activepicturescount", 0), 0, 4096);
    for (int i = 0; i < count; ++i) keys.push_back(std::to_string(i));
    for (const std::string& key : keys) {
      const std::string name = ini.ReadString("PICTURES", key, "");
      if (!name.empty()) m_names.push_back((folder / name).lexically_normal().string());
    }
  } catch (const std::exception&) {
    // An unreadable definition is watched alone until it reads again.
  }
  std::vector<std::string> folders;
  for (const std::string& name : m_names) {
    const std::string folder = fs::path(name).parent_path().string();
    if (std::find(folders.begin(), folders.end(), folder) != folders.end()) continue;
    folders.push_back(folder);
    const int w = ::inotify_add_watch(m_inotify, folder.c_str(),
                                      IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_ATTRIB);
    if (w >= 0) m_watches.push_back(w);
  }
}

void GallerySkinWatch::Poll(TObject*) {
  // A change seen in one poll is loaded in the next, once the writer has had time to finish:
  // well within a second of the save.
  if (m_pending) {
    m_pending = false;
    Reload();
  }
  alignas(inotify_event) char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(m_inotify, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      if (e->len == 0) continue;
      // Which folder the event is in is not needed: any watched file of that name counts.
      const std::string name = e->name;
      for (const std::string& watched : m_names)
        if (fs::path(watched).filename() == name) m_pending = true;
    }
  }
}

bool GallerySkinWatch::Reload() {
  ++m_reloads;
  WatchFolders();
  std::vector<std::string> lines;
  bool broken = false;
  for (const SkinProblem& p : CheckSkinDefinition(m_definition)) {
    broken = broken || p.error;
    lines.push_back(SkinProblemText(p));
  }
  if (!broken) {
    try {
      TskCompressedStoredSkin stored;
      stored.ImportFromDefinitionFile(m_definition);
      if (stored.IsEmpty()) throw std::runtime_error(m_definition + ": lacks one of the five sections every skin needs");
      auto* data = dynamic_cast<TskSkinData*>(m_form->FindComponent("skSkinData1"));
      auto* current = dynamic_cast<TskCompressedStoredSkin*>(m_form->FindComponent("skCompressedStoredSkin1"));
      if (!data || !current) throw std::runtime_error("the gallery has no skin data to load into");
      const std::vector<std::uint8_t> previous = current->CompressedData();
      try {
        data->LoadStoredSkin(stored);
        current->SetCompressedData(stored.CompressedData());
      } catch (...) {
        // The data is empty after a failed load: the last good skin goes back on.
        current->SetCompressedData(previous);
        data->LoadStoredSkin(*current);
        throw;
      }
    } catch (const std::exception& e) {
      broken = true;
      lines.insert(lines.begin(), e.what());
    }
  }
  lines.insert(lines.begin(), Clock() + "  " + m_definition +
                                  (broken ? ": not loaded, the skin on screen is the last good one"
                                          : ": loaded" + std::string(lines.empty() ? "" : ", with warnings")));
  ShowStrip(lines, broken);
  return !broken;
}

void GallerySkinWatch::ShowStrip(const std::vector<std::string>& lines, bool broken) {
  m_text->SetColor(broken ? kBrokenColour : kGoodColour);
  TStrings& text = m_text->Lines();
  text.BeginUpdate();
  text.Clear();
  for (const std::string& line : lines) text.Add(line);
  text.EndUpdate();
}

std::vector<std::string> GallerySkinWatch::StripLines() const {
  std::vector<std::string> lines;
  for (int i = 0; i < m_text->Lines().Count(); ++i) lines.push_back(m_text->Lines()[i]);
  return lines;
}
