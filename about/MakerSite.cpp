// Addresses of the maker's site and the notice query.
#include "about/MakerSite.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// The maker's host. Nothing else in the program names it.
constexpr std::string_view kMakerHost = "https://www.kavri.example";
constexpr std::string_view kMakerMail = "mailto:kavri@kavri.example";
// Reserved for examples for good and answered by its registry: always there.
constexpr std::string_view kAlwaysThere = "http://example.com/";

constexpr std::string_view kHomePath = "/glyphora/glyphora.htm";
constexpr std::string_view kGuestBookPath = "/bbs/diary/guestbook/default.asp?user=software&page=1";
constexpr std::string_view kNoticePath = "/bbs/pennaloft/user.asp";

std::string FromEnvironment() {
  const char* value = std::getenv(kWebBaseVariable);
  if (!value || !*value) return {};
  std::string base(value);
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

}  // namespace

std::string MakerWebBase() {
  std::string base = FromEnvironment();
  return base.empty() ? std::string(kMakerHost) : base;
}

std::string MakerHomeUrl() { return MakerWebBase() + std::string(kHomePath); }
std::string MakerGuestBookUrl() { return MakerWebBase() + std::string(kGuestBookPath); }
std::string MakerMailUrl() { return std::string(kMakerMail); }

std::string NoticeBaseUrl(bool inUse) {
  return MakerWebBase() + std::string(kNoticePath) + (inUse ? "?adv=1" : "?adv=0");
}

std::string ConnectionTestUrl() {
  std::string base = FromEnvironment();
  return base.empty() ? std::string(kAlwaysThere) : base + "/";
}

int NoticeSizeClass(int width) {
  if (width > 790) return 3;
  if (width >= 476) return 2;
  if (width >= 406) return 4;
  return 1;
}

std::string PercentEncode(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : value) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string NoticeUrl(const std::string& base, std::string_view user, std::string_view software,
                      std::string_view version, int sizeClass) {
  return base + "&user=" + PercentEncode(user) + "&software=" + PercentEncode(software) +
         "&version=" + PercentEncode(version) + "&hpsize=" + std::to_string(sizeClass);
}

std::string AnonymousUserIdOf(std::string_view machineId) {
  std::string id;
  for (char c : machineId)
    if (c != '\n' && c != '\r' && c != ' ') id += c;
  if (id.empty()) return "anonymous";
  // FNV-1a over the program's name and the identity: the same machine always gives the
  // same value, and the value gives the identity back to no one.
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : "KAVRI/" + id) {
    h ^= c;
    h *= 1099511628211ull;
  }
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz234567";
  std::string out;
  for (std::size_t i = 0; i < kNoticeUserLength; ++i) {
    out += kDigits[h & 31];
    h >>= 5;
  }
  return out;
}

std::string AnonymousUserId() {
  for (const char* file : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
    std::ifstream in(file);
    std::string id((std::istreambuf_iterator<char>(in)), {});
    if (!id.empty()) return AnonymousUserIdOf(id);
  }
  return AnonymousUserIdOf("");
}
