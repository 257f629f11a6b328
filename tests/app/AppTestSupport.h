// Temporary program folders for the app tests, and the module state put back between tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
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

// Sets or clears an environment variable for one test and puts it back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (m_old) setenv(m_name, m_old->c_str(), 1);
    else unsetenv(m_name);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
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
