// Page addresses: scheme detection, typed addresses made whole, relative references
// resolved against a page, and file addresses turned into paths and back.
#pragma once

#include <string>
#include <string_view>

// The scheme of an absolute address in lower case ("file", "http"), empty when `url` has
// none. A single letter before ':' is not taken for a scheme (a drive letter).
std::string UrlScheme(std::string_view url);

// What the page view navigates to for a typed address: surrounding blanks dropped; a
// plain path (starting with '/', "./", "../" or "~/") becomes a file address; a text
// without a scheme becomes an http address ("example.org/x" -> "http://example.org/x");
// the scheme is written in lower case ("File:///a" -> "file:///a"), so the view reports
// every address in one form.
std::string NormalizeUrl(std::string_view typed);

// Resolves `ref` against the absolute address `base` as browsers do (the generic
// reference resolution with dot segments removed); an absolute `ref` is returned as
// normalized. With an empty base, `ref` is normalized on its own.
std::string ResolveUrl(std::string_view base, std::string_view ref);

// The address without its "#fragment".
std::string StripFragment(std::string_view url);
// The fragment (after '#'), empty when none.
std::string UrlFragment(std::string_view url);

// The local path of a "file:" address, percent escapes decoded; the host part must be
// empty or "localhost". Throws std::invalid_argument for other addresses.
std::string FileUrlToPath(std::string_view url);
// "file://" followed by the absolute path with unsafe bytes percent-escaped.
std::string PathToFileUrl(std::string_view absolutePath);
