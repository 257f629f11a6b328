// Page addresses: scheme detection, normalization, resolution and file paths.
#include "platform/web/Url.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {

bool IsSchemeChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

struct Parts {
  std::string scheme;
  bool hasAuthority = false;
  std::string authority;
  std::string path;
  bool hasQuery = false;
  std::string query;
  bool hasFragment = false;
  std::string fragment;
};

Parts Split(std::string_view url) {
  Parts p;
  if (const auto hash = url.find('#'); hash != std::string_view::npos) {
    p.hasFragment = true;
    p.fragment = url.substr(hash + 1);
    url = url.substr(0, hash);
  }
  if (const auto q = url.find('?'); q != std::string_view::npos) {
    p.hasQuery = true;
    p.query = url.substr(q + 1);
    url = url.substr(0, q);
  }
  p.scheme = UrlScheme(url);
  if (!p.scheme.empty()) url.remove_prefix(p.scheme.size() + 1);
  if (url.substr(0, 2) == "//") {
    url.remove_prefix(2);
    const auto slash = url.find('/');
    p.hasAuthority = true;
    p.authority = url.substr(0, slash);
    url = slash == std::string_view::npos ? std::string_view() : url.substr(slash);
  }
  p.path = url;
  return p;
}

std::string Join(const Parts& p) {
  std::string out;
  if (!p.scheme.empty()) out += p.scheme + ":";
  if (p.hasAuthority) out += "//" + p.authority;
  out += p.path;
  if (p.hasQuery) out += "?" + p.query;
  if (p.hasFragment) out += "#" + p.fragment;
  return out;
}

std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string> out;
  const bool absolute = !path.empty() && path.front() == '/';
  bool trailingSlash = false;
  std::size_t pos = absolute ? 1 : 0;
  while (pos <= path.size()) {
    auto next = path.find('/', pos);
    if (next == std::string_view::npos) next = path.size();
    const std::string_view seg = path.substr(pos, next - pos);
    trailingSlash = false;
    if (seg == "..") {
      if (!out.empty()) out.pop_back();
      trailingSlash = true;
    } else if (seg == ".") {
      trailingSlash = true;
    } else {
      out.emplace_back(seg);
    }
    pos = next + 1;
  }
  std::string result = absolute ? "/" : "";
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i) result += '/';
    result += out[i];
  }
  if (trailingSlash && !result.empty() && result.back() != '/') result += '/';
  return result;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string UrlScheme(std::string_view url) {
  const auto colon = url.find(':');
  if (colon == std::string_view::npos || colon < 2) return {};
  if (!std::isalpha(static_cast<unsigned char>(url[0]))) return {};
  for (std::size_t i = 1; i < colon; ++i) {
    if (!IsSchemeChar(url[i])) return {};
  }
  return Lower(url.substr(0, colon));
}

std::string NormalizeUrl(std::string_view typed) {
  const std::string_view s = Trim(typed);
  if (s.empty()) return {};
  if (s.front() == '/') return PathToFileUrl(s);
  if (s.substr(0, 2) == "./" || s.substr(0, 3) == "../") {
    std::error_code ec;
    const auto full = std::filesystem::absolute(std::filesystem::path(s), ec).lexically_normal();
    return PathToFileUrl(ec ? std::string(s) : full.string());
  }
  if (s.substr(0, 2) == "~/") {
    const char* home = std::getenv("HOME");
    return PathToFileUrl(std::string(home ? home : "") + std::string(s.substr(1)));
  }
  const std::string scheme = UrlScheme(s);
  if (scheme.empty()) return NormalizeUrl("http://" + std::string(s));
  Parts p = Split(s);
  if ((scheme == "http" || scheme == "https") && p.hasAuthority) {
    // The host is case-blind; the path is not.
    const auto at = p.authority.rfind('@');
    const std::size_t hostStart = at == std::string::npos ? 0 : at + 1;
    for (std::size_t i = hostStart; i < p.authority.size(); ++i) {
      p.authority[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(p.authority[i])));
    }
    if (p.path.empty()) p.path = "/";
  }
  if (p.hasAuthority || (!p.path.empty() && p.path.front() == '/')) {
    p.path = RemoveDotSegments(p.path);
  }
  return Join(p);
}

std::string ResolveUrl(std::string_view base, std::string_view ref) {
  ref = Trim(ref);
  if (base.empty() || !UrlScheme(ref).empty()) return NormalizeUrl(ref);
  const Parts b = Split(base);
  Parts r = Split(ref);
  Parts t;
  t.scheme = b.scheme;
  t.hasFragment = r.hasFragment;
  t.fragment = r.fragment;
  if (ref.substr(0, 2) == "//") {
    t.hasAuthority = true;
    t.authority = r.authority;
    t.path = RemoveDotSegments(r.path);
    t.hasQuery = r.hasQuery;
    t.query = r.query;
    return NormalizeUrl(Join(t));
  }
  t.hasAuthority = b.hasAuthority;
  t.authority = b.authority;
  if (r.path.empty()) {
    t.path = b.path;
    t.hasQuery = r.hasQuery || b.hasQuery;
    t.query = r.hasQuery ? r.query : b.query;
  } else {
    if (r.path.front() == '/') {
      t.path = RemoveDotSegments(r.path);
    } else {
      std::string merged;
      if (b.hasAuthority && b.path.empty()) {
        merged = "/" + r.path;
      } else {
        const auto slash = b.path.rfind('/');
        merged = (slash == std::string::npos ? std::string() : b.path.substr(0, slash + 1)) + r.path;
      }
      t.path = RemoveDotSegments(merged);
    }
    t.hasQuery = r.hasQuery;
    t.query = r.query;
  }
  return Join(t);
}

std::string StripFragment(std::string_view url) {
  return std::string(url.substr(0, url.find('#')));
}

std::string UrlFragment(std::string_view url) {
  const auto hash = url.find('#');
  return hash == std::string_view::npos ? std::string() : std::string(url.substr(hash + 1));
}

std::string FileUrlToPath(std::string_view url) {
  if (UrlScheme(url) != "file") throw std::invalid_argument("not a file address: " + std::string(url));
  const Parts p = Split(StripFragment(url));
  if (p.hasAuthority && !p.authority.empty() && Lower(p.authority) != "localhost") {
    throw std::invalid_argument("file address on another host: " + std::string(url));
  }
  std::string path;
  for (std::size_t i = 0; i < p.path.size(); ++i) {
    const char c = p.path[i];
    if (c == '%' && i + 2 < p.path.size()) {
      const int hi = HexValue(p.path[i + 1]);
      const int lo = HexValue(p.path[i + 2]);
      if (hi >= 0 && lo >= 0) {
        path += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    path += c;
  }
  if (path.empty()) path = "/";
  return path;
}

std::string PathToFileUrl(std::string_view absolutePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "file://";
  for (const char c : absolutePath) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || c == '%' || c == '#' || c == '?' || u == 0x7F) {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}
