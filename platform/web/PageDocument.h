// PageDocument: one HTML page laid out by litehtml and drawn through our device context —
// fonts through Font and the font aliases, text, backgrounds, borders, list markers and
// pictures, and the page's link and cursor answers to the mouse.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/web/PageImage.h"

namespace litehtml {
class context;
class document;
}  // namespace litehtml

class PageContainer;

// A link the user clicked: its address resolved against the page and its target frame.
struct LinkClick {
  std::string url;
  std::string target;
};

class PageDocument {
 public:
  PageDocument();
  ~PageDocument();
  PageDocument(const PageDocument&) = delete;
  PageDocument& operator=(const PageDocument&) = delete;

  // Parses the page (UTF-8; any bytes are accepted and never make it fail). `baseUrl` is
  // the page's address; relative links, pictures and style sheets resolve against it (or
  // against the page's <base href>). Pictures and style sheets at `file:` addresses are
  // read at once; pictures elsewhere are listed for TakeImageRequests.
  void Load(std::string_view utf8Html, const std::string& baseUrl);
  bool Loaded() const;

  // Lays the page out `width` pixels wide for a view of `viewport`; returns the height.
  int Layout(int width, Size viewport);
  int ContentWidth() const;
  int ContentHeight() const;
  // Draws the page with its top-left corner at `origin`, only inside `clip` (logical
  // coordinates of `dc`).
  void Draw(DC& dc, Point origin, const Rect& clip);

  const std::string& Title() const;
  const std::string& BaseUrl() const;

  // Mouse at `docPt` (page coordinates) and `clientPt` (view coordinates). Each returns
  // whether something must be drawn again.
  bool MouseMove(Point docPt, Point clientPt);
  bool MouseDown(Point docPt, Point clientPt);
  bool MouseUp(Point docPt, Point clientPt);
  bool MouseLeave();
  // The cursor the page asks for where the mouse last was ("pointer" over links, "auto").
  const std::string& CursorName() const;
  // The link clicked by the last MouseUp, taken once.
  std::optional<LinkClick> TakeClick();

  // Remote pictures (absolute addresses) the page names and nobody has asked for yet.
  std::vector<std::string> TakeImageRequests();
  // Hands in a remote picture's bytes (nullptr: it could not be fetched). Returns whether
  // the page must be laid out again (the picture now has a size).
  bool SetImageData(const std::string& url, const std::string* data);

  // The page position of the element with this id (or the anchor with this name).
  std::optional<int> AnchorTop(const std::string& name);

 private:
  std::unique_ptr<PageContainer> m_container;
  std::shared_ptr<litehtml::document> m_doc;
};
