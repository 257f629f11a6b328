// Page text to UTF-8: the charset a page or its server declares, converted with iconv.
#pragma once

#include <string>
#include <string_view>

// The charset named by a Content-Type value ("text/html; charset=gbk"), lower case, or
// empty.
std::string CharsetFromContentType(std::string_view contentType);
// The charset a page declares in a <meta> element within its first 4 KB, or empty.
std::string CharsetFromMeta(std::string_view html);

// The page's bytes as well-formed UTF-8 without NUL bytes. A byte-order mark is dropped.
// Bytes that already form valid UTF-8 are taken as UTF-8 whatever is declared: every file
// the program writes is UTF-8, including a generated page that still declares the
// double-byte code page. Otherwise they are converted from the declared charset
// (gb2312 and gbk read as GB18030, their superset) and, failing that, as Windows-1252.
// Sequences the charset cannot decode become U+FFFD.
std::string PageTextToUtf8(std::string_view bytes, std::string_view contentType);
