// Reading and writing KAVRI.ini with the private-profile semantics of IniFile.
#include "app/Settings.h"

#include <algorithm>

#include "app/KavriState.h"
#include "platform/sys/IniFile.h"
#include "platform/sys/Utf8.h"

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kDefaultFontType = 220;
constexpr int kDefaultFontSize = 14;
constexpr const char* kDefaultCounter = "..........";

std::string FileName() { return SoftwareId + ".ini"; }

}  // namespace

std::filesystem::path SettingsFilePath(std::string_view folder) {
  return std::filesystem::path(std::string(folder) + FileName());
}

std::string SettingsMissingText() { return "\"" + FileName() + "\"文件丢失！"; }

std::string SettingsNotSavedText() {
  return "\"" + FileName() + "\"文件丢失，设置无法保存。\nThe settings file is missing; the settings cannot be saved.";
}

int CounterFromText(std::string_view text) {
  int count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++count) pos += DecodeUtf8(text, pos).length;
  return count;
}

std::string CounterText(int value) { return std::string(value > 0 ? static_cast<std::size_t>(value) : 0, '.'); }

std::optional<WindowGeometry> ReadSettings(std::string_view folder, const TellUser& tell) {
  IniFile ini(SettingsFilePath(folder));
  if (!ini.Exists()) {
    if (tell) tell(SettingsMissingText());
    CurrentLanguage = kDefaultLanguage;
    return std::nullopt;
  }
  WindowGeometry geometry;
  geometry.width = ini.ReadInteger(kSettingsSection, "window_width", kDefaultWidth);
  geometry.height = ini.ReadInteger(kSettingsSection, "window_height", kDefaultHeight);
  geometry.left = ini.ReadInteger(kSettingsSection, "window_left", 0);
  geometry.top = ini.ReadInteger(kSettingsSection, "window_top", 0);
  FontType = ini.ReadInteger(kSettingsSection, "FontType", kDefaultFontType);
  FontSize = ini.ReadInteger(kSettingsSection, "FontSize", kDefaultFontSize);
  CurrentLanguage = ini.ReadString(kSettingsSection, "language", kDefaultLanguage);
  NoticeShowsLeft = CounterFromText(ini.ReadString(kSettingsSection, "n1", kDefaultCounter));
  NoticeRestCount = CounterFromText(ini.ReadString(kSettingsSection, "n2", kDefaultCounter));
  return geometry;
}

bool WriteSettings(std::string_view folder, const std::optional<WindowGeometry>& geometry,
                   const TellUser& tell) {
  IniFile ini(SettingsFilePath(folder));
  if (!ini.Exists()) {
    if (tell) tell(SettingsNotSavedText());
    return false;
  }
  if (geometry) {
    ini.WriteInteger(kSettingsSection, "window_width", geometry->width);
    ini.WriteInteger(kSettingsSection, "window_height", geometry->height);
    ini.WriteInteger(kSettingsSection, "window_left", geometry->left);
    ini.WriteInteger(kSettingsSection, "window_top", geometry->top);
  }
  ini.WriteInteger(kSettingsSection, "FontType", FontType);
  ini.WriteInteger(kSettingsSection, "FontSize", FontSize);
  ini.WriteString(kSettingsSection, "language", CurrentLanguage);
  ini.WriteString(kSettingsSection, "n1", CounterText(NoticeShowsLeft));
  ini.WriteString(kSettingsSection, "n2", CounterText(NoticeRestCount));
  return true;
}

namespace {

// How far apart two spans are (0 when they overlap), in 64 bits: stored positions may be
// anywhere in the int range.
long long Gap(long long low, long long high, long long areaLow, long long areaHigh) {
  if (high <= areaLow) return areaLow - high;
  if (low >= areaHigh) return low - areaHigh;
  return 0;
}

int FitSpan(int pos, int size, int low, int high) {
  if (size > high - low) return low;  // the top or left edge, where the caption is
  return static_cast<int>(std::clamp<long long>(pos, low, static_cast<long long>(high) - size));
}

}  // namespace

WindowGeometry PlaceOnWorkArea(WindowGeometry g, const std::vector<Rect>& workAreas, Size minSize, Size maxSize) {
  if (g.width < minSize.cx) g.width = kDefaultWidth;
  if (g.height < minSize.cy) g.height = kDefaultHeight;
  g.width = std::clamp(g.width, minSize.cx, std::max(minSize.cx, maxSize.cx));
  g.height = std::clamp(g.height, minSize.cy, std::max(minSize.cy, maxSize.cy));
  const Rect* nearest = nullptr;
  long long best = 0;
  for (const Rect& work : workAreas) {
    if (work.IsEmpty()) continue;
    const long long dx = Gap(g.left, static_cast<long long>(g.left) + g.width, work.left, work.right);
    const long long dy = Gap(g.top, static_cast<long long>(g.top) + g.height, work.top, work.bottom);
    const long long distance = dx + dy;
    if (!nearest || distance < best) {
      nearest = &work;
      best = distance;
    }
  }
  if (!nearest) return g;
  g.left = FitSpan(g.left, g.width, nearest->left, nearest->right);
  g.top = FitSpan(g.top, g.height, nearest->top, nearest->bottom);
  return g;
}
