// The generated about page "README.HTM": where it is written and what it holds.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The texts an about pack gives the page.
struct AboutPageTexts {
  std::string title;  // heading (text 16 + SoftwareId)
  std::string text1;
  std::string text2;
  std::string sign1;  // "[" + SoftwareId + "] " + text 14
  std::string sign2;
};

// Where the page is written in `folder` (with its trailing separator). Every reader and
// writer of the page asks here, so moving it is one change.
std::filesystem::path AboutPagePath(std::string_view folder);

// The page: eight lines, each ended by CR LF, the texts inserted as they are (they are
// the pack's markup). The first line declares the UTF-8 the program writes.
std::string AboutPageHtml(const AboutPageTexts& texts);

// Writes the page to `path`, replacing it whole; FileError when that fails.
void WriteAboutPage(const std::filesystem::path& path, const AboutPageTexts& texts);

// The address the about window navigates to for the page at `path`: "File://" and the
// path, its unsafe bytes escaped. The page view reports it in its own form (lower-case
// scheme), which is how the first page tells itself apart from later ones.
std::string AboutPageAddress(const std::filesystem::path& path);
