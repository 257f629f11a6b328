// The gallery as a skin author's preview: the skin is built from a definition and its
// pictures in memory, and built again whenever one of those files changes.
#pragma once

#include <string>
#include <vector>

class TForm;
class TMemo;
class TPanel;
class TTimer;
class TObject;

class GallerySkinWatch {
 public:
  // Grows `form` by a status strip at its bottom and loads the definition at once; a
  // first load that fails shows its errors over the program's own skin. Throws
  // std::runtime_error when the files cannot be watched.
  GallerySkinWatch(TForm* form, std::string definition);
  ~GallerySkinWatch();
  GallerySkinWatch(const GallerySkinWatch&) = delete;
  GallerySkinWatch& operator=(const GallerySkinWatch&) = delete;

  // Builds the skin again: applied when the definition has no errors and the package
  // builds and loads; otherwise the skin on screen stays and the strip lists the errors.
  // True when applied.
  bool Reload();
  // The strip's lines: the state of the last load and its problems.
  std::vector<std::string> StripLines() const;
  int Reloads() const { return m_reloads; }

  // How often the file system's change notices are read, in milliseconds.
  static constexpr unsigned kPollInterval = 200;

 private:
  void Poll(TObject*);
  void WatchFolders();
  void ShowStrip(const std::vector<std::string>& lines, bool broken);

  TForm* m_form;
  std::string m_definition;
  int m_inotify = -1;
  std::vector<int> m_watches;
  std::vector<std::string> m_names;  // file names (with folder) whose change means a reload
  TPanel* m_strip = nullptr;
  TMemo* m_text = nullptr;
  TTimer* m_timer = nullptr;
  bool m_pending = false;
  int m_reloads = 0;
};
