// Temporary program folders for the app tests, and the module state put back between tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/KavriState.h"

// A fresh folder that stands for the executable's folder; removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavri-app-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The folder as ExeDir gives it: with a trailing separator.
  std::string Dir() const { return m_path.string() + "/"; }

  void Write(const std::string& name, const std::string& content) const {
    std::filesystem::path file = m_path / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(m_path / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(m_path / name); }

 private:
  std::filesystem::path m_path;
};

inline void ResetModuleState() {
  SoftwareId = "KAVRI";
  SoftwareVersion = "10";
  CurrentLanguage = kDefaultLanguage;
  FontType = 0;
  FontSize = 0;
  NoticeShowsLeft = 0;
  NoticeRestCount = 0;
  NoticeText.clear();
}
