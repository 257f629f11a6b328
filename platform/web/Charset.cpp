// Page text to UTF-8 through iconv.
#include "platform/web/Charset.h"

#include <iconv.h>

#include <cctype>
#include <cerrno>

#include "platform/sys/Utf8.h"

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The token after "charset=" in `text` (already lower case), without quotes.
std::string CharsetAfterKey(std::string_view text) {
  const auto key = text.find("charset");
  if (key == std::string_view::npos) return {};
  std::size_t i = key + 7;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  if (i >= text.size() || text[i] != '=') return {};
  ++i;
  while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == '"' || text[i] == '\'')) ++i;
  std::string name;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '-' || text[i] == '_' || text[i] == '.' || text[i] == ':')) {
    name += text[i++];
  }
  return name;
}

std::string IconvName(const std::string& charset) {
  if (charset == "gb2312" || charset == "gbk" || charset == "gb18030" || charset == "x-gbk" ||
      charset == "cp936" || charset == "euc-cn") {
    return "GB18030";
  }
  if (charset == "iso-8859-1" || charset == "latin1" || charset == "us-ascii" || charset == "ascii") {
    return "WINDOWS-1252";  // as browsers read these labels
  }
  return charset;
}

// Converts with iconv, putting U+FFFD for each byte it cannot decode; false when the
// charset is unknown to iconv.
bool Convert(std::string_view bytes, const std::string& from, std::string& out) {
  iconv_t cd = iconv_open("UTF-8", from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  out.reserve(bytes.size() * 2);
  char buffer[4096];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (a truncated sequence at the end): skip one byte.
      AppendUtf8(out, kReplacementChar);
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return true;
}

std::string Sanitize(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, i);
    if (ch.code == 0) AppendUtf8(out, kReplacementChar);
    else if (ch.valid) out.append(text.substr(i, ch.length));
    else AppendUtf8(out, kReplacementChar);
    i += ch.length ? ch.length : 1;
  }
  return out;
}

}  // namespace

std::string CharsetFromContentType(std::string_view contentType) {
  return CharsetAfterKey(Lower(contentType));
}

std::string CharsetFromMeta(std::string_view html) {
  const std::string head = Lower(html.substr(0, 4096));
  std::size_t pos = 0;
  while ((pos = head.find("<meta", pos)) != std::string::npos) {
    const auto end = head.find('>', pos);
    const std::string_view tag = std::string_view(head).substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (std::string name = CharsetAfterKey(tag); !name.empty()) return name;
    pos += 5;
  }
  return {};
}

std::string PageTextToUtf8(std::string_view bytes, std::string_view contentType) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return Sanitize(bytes);
  std::string charset = CharsetFromContentType(contentType);
  if (charset.empty()) charset = CharsetFromMeta(bytes);
  std::string out;
  if (charset.empty() || charset == "utf-8" || charset == "utf8" || !Convert(bytes, IconvName(charset), out)) {
    if (charset == "utf-8" || charset == "utf8") return Sanitize(bytes);
    if (!Convert(bytes, "WINDOWS-1252", out)) return Sanitize(bytes);
  }
  return Sanitize(out);
}
