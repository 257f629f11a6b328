// PageDocument and the litehtml document container that draws through our DC.
#include "platform/web/PageDocument.h"

#include <litehtml/litehtml.h>
#include <utf8proc.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/sys/Utf8.h"
#include "platform/web/Fetcher.h"
#include "platform/web/MasterCss.h"
#include "platform/web/Url.h"

namespace {

constexpr int kDefaultFontSize = 16;
constexpr const char* kDefaultFontName = "宋体";
constexpr std::size_t kMaxStyleSheetBytes = 1024 * 1024;
constexpr std::size_t kMaxImageBytes = 16u * 1024 * 1024;
constexpr Color kPlaceholderFill = RGB(236, 236, 236);
constexpr Color kPlaceholderFrame = RGB(160, 160, 160);

litehtml::context& SharedContext() {
  static litehtml::context* context = [] {
    auto* c = new litehtml::context;
    c->load_master_stylesheet(std::string(PageMasterCss()).c_str());
    return c;
  }();
  return *context;
}

Color ToColor(const litehtml::web_color& c) { return RGB(c.red, c.green, c.blue); }

Rect ToRect(const litehtml::position& p) { return Rect::FromSize(p.x, p.y, p.width, p.height); }

// The first family of a CSS font-family list, without quotes.
std::string FirstFamily(const char* list) {
  std::string_view s = list ? list : "";
  while (!s.empty()) {
    auto comma = s.find(',');
    std::string_view item = s.substr(0, comma);
    while (!item.empty() && (item.front() == ' ' || item.front() == '"' || item.front() == '\'')) item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == '"' || item.back() == '\'')) item.remove_suffix(1);
    if (!item.empty()) return std::string(item);
    if (comma == std::string_view::npos) break;
    s.remove_prefix(comma + 1);
  }
  return kDefaultFontName;
}

// Upper-case, lower-case or capitalized text (code point by code point).
std::string Transform(const std::string& text, litehtml::text_transform tt) {
  std::string out;
  bool wordStart = true;
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, i);
    const std::size_t len = ch.length ? ch.length : 1;
    char32_t c = ch.code;
    const bool letter = utf8proc_category(static_cast<utf8proc_int32_t>(c)) <= UTF8PROC_CATEGORY_LO;
    if (tt == litehtml::text_transform_uppercase || (tt == litehtml::text_transform_capitalize && wordStart && letter)) {
      c = static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(c)));
    } else if (tt == litehtml::text_transform_lowercase) {
      c = static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(c)));
    }
    wordStart = !letter;
    if (ch.valid) AppendUtf8(out, c);
    else out.append(text, i, len);
    i += len;
  }
  return out;
}

std::string RomanNumber(int n) {
  if (n <= 0 || n >= 4000) return std::to_string(n);
  static constexpr std::pair<int, const char*> kParts[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
  std::string out;
  for (const auto& [value, text] : kParts) {
    while (n >= value) {
      out += text;
      n -= value;
    }
  }
  return out;
}

std::string AlphaNumber(int n) {
  if (n <= 0) return std::to_string(n);
  std::string out;
  while (n > 0) {
    --n;
    out.insert(out.begin(), static_cast<char>('a' + n % 26));
    n /= 26;
  }
  return out;
}

bool IEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// litehtml builds its table grid straight from rowspan and colspan and crashes on huge or
// negative spans, so inside tags every such value becomes a plain number from 1 to 1000
// (values that are not plain digits, entities included, become 1) before it parses.
std::string GuardTableSpans(std::string_view html) {
  constexpr int kMaxSpan = 1000;
  std::string out;
  out.reserve(html.size());
  std::size_t i = 0;
  const std::size_t n = html.size();
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
  while (i < n) {
    const char c = html[i];
    if (c != '<' || i + 1 >= n || !std::isalpha(static_cast<unsigned char>(html[i + 1]))) {
      out += c;
      ++i;
      continue;
    }
    // Inside a start tag: copy the name, then attributes one by one.
    while (i < n && html[i] != '>' && !isSpace(html[i])) out += html[i++];
    while (i < n && html[i] != '>') {
      if (isSpace(html[i]) || html[i] == '/') {
        out += html[i++];
        continue;
      }
      const std::size_t nameStart = i;
      while (i < n && html[i] != '>' && html[i] != '=' && !isSpace(html[i]) && html[i] != '/') ++i;
      const std::string_view name = html.substr(nameStart, i - nameStart);
      out.append(name);
      std::size_t j = i;
      while (j < n && isSpace(html[j])) ++j;
      if (j >= n || html[j] != '=') continue;
      out.append(html.substr(i, j + 1 - i));
      i = j + 1;
      while (i < n && isSpace(html[i])) out += html[i++];
      std::string_view value;
      char quote = 0;
      if (i < n && (html[i] == '"' || html[i] == '\'')) {
        quote = html[i];
        const std::size_t end = html.find(quote, i + 1);
        const std::size_t stop = end == std::string_view::npos ? n : end;
        value = html.substr(i + 1, stop - i - 1);
        i = end == std::string_view::npos ? n : end + 1;
      } else {
        const std::size_t start = i;
        while (i < n && html[i] != '>' && !isSpace(html[i])) ++i;
        value = html.substr(start, i - start);
      }
      if (IEquals(name, "rowspan") || IEquals(name, "colspan")) {
        long long number = 0;
        bool digits = !value.empty();
        for (const char d : value) {
          if (!std::isdigit(static_cast<unsigned char>(d))) digits = false;
          else if (number <= kMaxSpan) number = number * 10 + (d - '0');
        }
        out += '"' + std::to_string(digits ? std::clamp<long long>(number, 1, kMaxSpan) : 1) + '"';
      } else if (quote) {
        out += quote;
        out.append(value);
        out += quote;
      } else {
        out.append(value);
      }
    }
  }
  return out;
}

}  // namespace

// The callbacks litehtml lays out and draws through.
class PageContainer final : public litehtml::document_container {
 public:
  struct Image {
    enum class State { Pending, Ready, Failed } state = State::Pending;
    PageImage image;
    std::optional<Bitmap> scaled;  // the last size it was drawn at
  };

  std::string baseUrl;
  std::string title;
  std::string cursor = "auto";
  std::optional<LinkClick> click;
  std::vector<std::string> imageRequests;
  std::map<std::string, Image> images;
  Size viewport{800, 600};

  std::string Resolve(const char* src, const char* base) const {
    const std::string b = base && *base ? ResolveUrl(baseUrl, base) : baseUrl;
    return ResolveUrl(b, src ? src : "");
  }

  Image* FindImage(const char* src, const char* base) {
    const auto it = images.find(Resolve(src, base));
    return it == images.end() ? nullptr : &it->second;
  }

  static void Decode(Image& entry, std::string_view data) {
    try {
      entry.image = DecodePageImage({reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
      entry.state = Image::State::Ready;
    } catch (const PageImageError&) {
      entry.state = Image::State::Failed;
    }
  }

  // document_container.
  litehtml::uint_ptr create_font(const char* faceName, int size, int weight, litehtml::font_style italic,
                                 unsigned int decoration, litehtml::font_metrics* fm) override {
    FontSpec spec;
    spec.face = FirstFamily(faceName);
    spec.height = -std::clamp(size, 1, 512);
    spec.bold = weight >= 600;
    spec.italic = italic == litehtml::fontStyleItalic;
    spec.underline = (decoration & litehtml::font_decoration_underline) != 0;
    spec.strikeOut = (decoration & litehtml::font_decoration_linethrough) != 0;
    auto font = std::make_unique<Font>(spec);
    if (fm) {
      const TextMetrics& m = font->Metrics();
      fm->ascent = m.ascent;
      fm->descent = m.descent;
      fm->height = m.height;
      fm->x_height = std::max(1, m.ascent * 11 / 20);
      fm->draw_spaces = spec.underline || spec.strikeOut;
    }
    const auto handle = reinterpret_cast<litehtml::uint_ptr>(font.get());
    m_fonts.emplace(handle, std::move(font));
    return handle;
  }

  void delete_font(litehtml::uint_ptr hFont) override { m_fonts.erase(hFont); }

  const Font* FontOf(litehtml::uint_ptr hFont) const {
    const auto it = m_fonts.find(hFont);
    return it == m_fonts.end() ? nullptr : it->second.get();
  }

  int text_width(const char* text, litehtml::uint_ptr hFont) override {
    const Font* font = FontOf(hFont);
    return font && text ? font->TextWidth(text) : 0;
  }

  void draw_text(litehtml::uint_ptr hdc, const char* text, litehtml::uint_ptr hFont, litehtml::web_color color,
                 const litehtml::position& pos) override {
    const Font* font = FontOf(hFont);
    if (!font || !text || color.alpha == 0) return;
    DC& dc = *reinterpret_cast<DC*>(hdc);
    DCState state(dc);
    ApplyClips(dc);
    dc.SelectFont(*font);
    dc.SetTextColor(ToColor(color));
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(pos.x, pos.y, text);
  }

  int pt_to_px(int pt) const override { return pt * 96 / 72; }
  int get_default_font_size() const override { return kDefaultFontSize; }
  const char* get_default_font_name() const override { return kDefaultFontName; }

  void draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) override {
    DC& dc = *reinterpret_cast<DC*>(hdc);
    DCState clipState(dc);
    ApplyClips(dc);
    const Color color = ToColor(marker.color);
    if (!marker.image.empty()) {
      if (Image* img = FindImage(marker.image.c_str(), marker.baseurl); img && img->state == Image::State::Ready) {
        DrawPicture(dc, *img, ToRect(marker.pos), ToRect(marker.pos));
        return;
      }
    }
    const Rect r = ToRect(marker.pos);
    switch (marker.marker_type) {
      case litehtml::list_style_type_none: return;
      case litehtml::list_style_type_circle:
      case litehtml::list_style_type_disc: {
        DCState state(dc);
        dc.SelectPen({PS_SOLID, 1, color});
        dc.SelectBrush(marker.marker_type == litehtml::list_style_type_disc ? Brush{BS_SOLID, color} : Brush{BS_NULL, color});
        dc.Ellipse(r);
        return;
      }
      case litehtml::list_style_type_square: dc.FillRect(r, color); return;
      default: break;
    }
    std::string text;
    switch (marker.marker_type) {
      case litehtml::list_style_type_lower_roman: text = RomanNumber(marker.index); break;
      case litehtml::list_style_type_upper_roman: text = Transform(RomanNumber(marker.index), litehtml::text_transform_uppercase); break;
      case litehtml::list_style_type_lower_alpha:
      case litehtml::list_style_type_lower_latin: text = AlphaNumber(marker.index); break;
      case litehtml::list_style_type_upper_alpha:
      case litehtml::list_style_type_upper_latin: text = Transform(AlphaNumber(marker.index), litehtml::text_transform_uppercase); break;
      case litehtml::list_style_type_decimal_leading_zero:
        text = (marker.index >= 0 && marker.index < 10 ? "0" : "") + std::to_string(marker.index);
        break;
      default: text = std::to_string(marker.index); break;
    }
    text += ".";
    if (const Font* font = FontOf(marker.font)) {
      DCState state(dc);
      dc.SelectFont(*font);
      dc.SetTextColor(color);
      dc.SetBkMode(TRANSPARENT);
      const int width = font->TextWidth(text);
      dc.TextOut(r.right - width, r.bottom - font->Metrics().height + font->Metrics().descent / 2, text);
    }
  }

  void load_image(const char* src, const char* baseurl, bool) override {
    if (!src || !*src) return;
    const std::string url = StripFragment(Resolve(src, baseurl));
    if (images.count(url)) return;
    Image& entry = images[url];
    const std::string scheme = UrlScheme(url);
    if (scheme == "file") {
      FetchLimits limits;
      limits.maxBytes = kMaxImageBytes;
      const FetchResult r = FetchFile(url, limits);
      if (r.ok) Decode(entry, r.data);
      else entry.state = Image::State::Failed;
    } else if (scheme == "http" || scheme == "https") {
      imageRequests.push_back(url);
    } else {
      entry.state = Image::State::Failed;
    }
  }

  void get_image_size(const char* src, const char* baseurl, litehtml::size& sz) override {
    sz.width = sz.height = 0;
    if (!src) return;
    const auto it = images.find(StripFragment(Resolve(src, baseurl)));
    if (it != images.end() && it->second.state == Image::State::Ready) {
      sz.width = it->second.image.size.cx;
      sz.height = it->second.image.size.cy;
    }
  }

  void DrawPicture(DC& dc, Image& img, const Rect& box, const Rect& clip) {
    if (box.IsEmpty()) return;
    DCState state(dc);
    dc.IntersectClipRect(clip);
    if (!img.image.pixels) {
      // A picture we can size but not decode: a framed placeholder of its size.
      dc.FillRect(box, kPlaceholderFill);
      dc.FrameRect(box, kPlaceholderFrame);
      return;
    }
    const Bitmap& source = *img.image.pixels;
    if (!img.scaled || img.scaled->GetSize() != box.GetSize()) {
      if (source.GetSize() == box.GetSize()) {
        img.scaled = source;
      } else {
        Bitmap scaled(box.Width(), box.Height());
        for (int y = 0; y < scaled.Height(); ++y) {
          const int sy = static_cast<int>(static_cast<long long>(y) * source.Height() / scaled.Height());
          for (int x = 0; x < scaled.Width(); ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * source.Width() / scaled.Width());
            scaled.Set(x, y, source.At(sx, sy));
          }
        }
        scaled.SetHasAlpha(source.HasAlpha());
        img.scaled = std::move(scaled);
      }
    }
    if (img.scaled->HasAlpha()) {
      dc.AlphaBlend(box.left, box.top, *img.scaled, img.scaled->Bounds());
    } else {
      Bitmap& pixels = *img.scaled;
      DC src(pixels);
      dc.BitBlt(box.left, box.top, box.Width(), box.Height(), src, 0, 0, SRCCOPY);
    }
  }

  void draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) override {
    DC& dc = *reinterpret_cast<DC*>(hdc);
    DCState clipState(dc);
    ApplyClips(dc);
    const Rect clip = ToRect(bg.clip_box);
    if (bg.color.alpha > 0) {
      // The root's colour paints the whole canvas, as browsers do.
      dc.FillRect(bg.is_root ? dc.ClipBox() : clip, ToColor(bg.color));
    }
    if (bg.image.empty()) return;
    Image* img = FindImage(bg.image.c_str(), bg.baseurl.c_str());
    if (!img || img->state != Image::State::Ready) return;
    const int w = bg.image_size.width > 0 ? bg.image_size.width : img->image.size.cx;
    const int h = bg.image_size.height > 0 ? bg.image_size.height : img->image.size.cy;
    if (w < 1 || h < 1) return;
    // Tiles only where they can be seen, so a huge box cannot cost a huge loop.
    const Rect visible = clip.Intersected(dc.ClipBox());
    if (visible.IsEmpty()) return;
    const bool repeatX = bg.repeat == litehtml::background_repeat_repeat || bg.repeat == litehtml::background_repeat_repeat_x;
    const bool repeatY = bg.repeat == litehtml::background_repeat_repeat || bg.repeat == litehtml::background_repeat_repeat_y;
    int startX = bg.position_x;
    int startY = bg.position_y;
    if (repeatX) startX = visible.left - ((visible.left - bg.position_x) % w + w) % w;
    if (repeatY) startY = visible.top - ((visible.top - bg.position_y) % h + h) % h;
    const int endX = repeatX ? visible.right : startX + 1;
    const int endY = repeatY ? visible.bottom : startY + 1;
    for (int y = startY; y < endY; y += h) {
      for (int x = startX; x < endX; x += w) DrawPicture(dc, *img, Rect::FromSize(x, y, w, h), visible);
    }
  }

  void draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders, const litehtml::position& drawPos,
                    bool) override {
    DC& dc = *reinterpret_cast<DC*>(hdc);
    DCState clipState(dc);
    ApplyClips(dc);
    const Rect r = ToRect(drawPos);
    auto visible = [](const litehtml::border& b) {
      return b.width > 0 && b.style != litehtml::border_style_none && b.style != litehtml::border_style_hidden;
    };
    if (visible(borders.top)) dc.FillRect({r.left, r.top, r.right, r.top + borders.top.width}, ToColor(borders.top.color));
    if (visible(borders.bottom)) dc.FillRect({r.left, r.bottom - borders.bottom.width, r.right, r.bottom}, ToColor(borders.bottom.color));
    if (visible(borders.left)) dc.FillRect({r.left, r.top, r.left + borders.left.width, r.bottom}, ToColor(borders.left.color));
    if (visible(borders.right)) dc.FillRect({r.right - borders.right.width, r.top, r.right, r.bottom}, ToColor(borders.right.color));
  }

  void set_caption(const char* caption) override { title = caption ? caption : ""; }
  void set_base_url(const char* base) override {
    if (base && *base) baseUrl = ResolveUrl(baseUrl, base);
  }
  void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}

  void on_anchor_click(const char* url, const litehtml::element::ptr& el) override {
    if (!url) return;
    LinkClick c;
    c.url = ResolveUrl(baseUrl, url);
    if (el) {
      if (const char* target = el->get_attr("target")) c.target = target;
    }
    click = std::move(c);
  }

  void set_cursor(const char* name) override { cursor = name ? name : "auto"; }

  void transform_text(std::string& text, litehtml::text_transform tt) override {
    if (tt != litehtml::text_transform_none) text = Transform(text, tt);
  }

  void import_css(std::string& text, const std::string& url, std::string& baseurl) override {
    const std::string full = ResolveUrl(baseurl.empty() ? baseUrl : ResolveUrl(baseUrl, baseurl), url);
    baseurl = full;
    // Style sheets of web pages are not fetched: that would hold the page up on the
    // user-interface thread. Local ones are read at once.
    if (UrlScheme(full) != "file") return;
    FetchLimits limits;
    limits.maxBytes = kMaxStyleSheetBytes;
    const FetchResult r = FetchFile(full, limits);
    if (r.ok && IsValidUtf8(r.data) && r.data.find('\0') == std::string::npos) text = r.data;
  }

  void set_clip(const litehtml::position& pos, const litehtml::border_radiuses&, bool, bool) override {
    m_clips.push_back(ToRect(pos));
  }
  void del_clip() override {
    if (!m_clips.empty()) m_clips.pop_back();
  }

  void get_client_rect(litehtml::position& client) const override {
    client.x = 0;
    client.y = 0;
    client.width = viewport.cx;
    client.height = viewport.cy;
  }

  std::shared_ptr<litehtml::element> create_element(const char*, const litehtml::string_map&,
                                                    const std::shared_ptr<litehtml::document>&) override {
    return nullptr;
  }

  void get_media_features(litehtml::media_features& media) const override {
    media.type = litehtml::media_type_screen;
    media.width = viewport.cx;
    media.height = viewport.cy;
    media.device_width = 1280;
    media.device_height = 800;
    media.color = 8;
    media.monochrome = 0;
    media.color_index = 256;
    media.resolution = 96;
  }

  void get_language(std::string& language, std::string& culture) const override {
    language = "zh";
    culture = "CN";
  }

 private:
  // The boxes of overflow: hidden that the page is drawing inside.
  void ApplyClips(DC& dc) const {
    for (const Rect& r : m_clips) dc.IntersectClipRect(r);
  }

  std::map<litehtml::uint_ptr, std::unique_ptr<Font>> m_fonts;
  std::vector<Rect> m_clips;
};

PageDocument::PageDocument() : m_container(std::make_unique<PageContainer>()) {}

PageDocument::~PageDocument() {
  // The document hands its fonts back to the container as it goes.
  m_doc.reset();
}

void PageDocument::Load(std::string_view utf8Html, const std::string& baseUrl) {
  m_doc.reset();
  *m_container = PageContainer();
  m_container->baseUrl = baseUrl;
  // litehtml reads a C string: a NUL would end the page early, so none may remain.
  std::string text = GuardTableSpans(utf8Html);
  std::replace(text.begin(), text.end(), '\0', ' ');
  m_doc = litehtml::document::createFromUTF8(text.c_str(), m_container.get(), &SharedContext());
}

bool PageDocument::Loaded() const { return m_doc != nullptr; }

int PageDocument::Layout(int width, Size viewport) {
  if (!m_doc) return 0;
  m_container->viewport = viewport;
  m_doc->media_changed();
  m_doc->render(std::max(1, width));
  return m_doc->height();
}

int PageDocument::ContentWidth() const { return m_doc ? m_doc->width() : 0; }
int PageDocument::ContentHeight() const { return m_doc ? m_doc->height() : 0; }

void PageDocument::Draw(DC& dc, Point origin, const Rect& clip) {
  if (!m_doc) return;
  DCState state(dc);
  dc.IntersectClipRect(clip);
  const litehtml::position pos(clip.left, clip.top, clip.Width(), clip.Height());
  m_doc->draw(reinterpret_cast<litehtml::uint_ptr>(&dc), origin.x, origin.y, &pos);
}

const std::string& PageDocument::Title() const { return m_container->title; }
const std::string& PageDocument::BaseUrl() const { return m_container->baseUrl; }

bool PageDocument::MouseMove(Point docPt, Point clientPt) {
  if (!m_doc) return false;
  litehtml::position::vector boxes;
  return m_doc->on_mouse_over(docPt.x, docPt.y, clientPt.x, clientPt.y, boxes);
}

bool PageDocument::MouseDown(Point docPt, Point clientPt) {
  if (!m_doc) return false;
  litehtml::position::vector boxes;
  return m_doc->on_lbutton_down(docPt.x, docPt.y, clientPt.x, clientPt.y, boxes);
}

bool PageDocument::MouseUp(Point docPt, Point clientPt) {
  if (!m_doc) return false;
  litehtml::position::vector boxes;
  return m_doc->on_lbutton_up(docPt.x, docPt.y, clientPt.x, clientPt.y, boxes);
}

bool PageDocument::MouseLeave() {
  if (!m_doc) return false;
  litehtml::position::vector boxes;
  m_container->cursor = "auto";
  return m_doc->on_mouse_leave(boxes);
}

const std::string& PageDocument::CursorName() const { return m_container->cursor; }

std::optional<LinkClick> PageDocument::TakeClick() {
  std::optional<LinkClick> c = std::move(m_container->click);
  m_container->click.reset();
  return c;
}

std::vector<std::string> PageDocument::TakeImageRequests() {
  std::vector<std::string> out;
  out.swap(m_container->imageRequests);
  return out;
}

bool PageDocument::SetImageData(const std::string& url, const std::string* data) {
  const auto it = m_container->images.find(url);
  if (it == m_container->images.end() || it->second.state != PageContainer::Image::State::Pending) return false;
  if (data) PageContainer::Decode(it->second, *data);
  else it->second.state = PageContainer::Image::State::Failed;
  return it->second.state == PageContainer::Image::State::Ready;
}

std::optional<int> PageDocument::AnchorTop(const std::string& name) {
  if (!m_doc || !m_doc->root() || name.empty()) return std::nullopt;
  // Only plain names are looked up, so no page text is ever taken for a selector.
  for (const char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return std::nullopt;
  }
  litehtml::element::ptr el = m_doc->root()->select_one("#" + name);
  if (!el) el = m_doc->root()->select_one("a[name=\"" + name + "\"]");
  if (!el) return std::nullopt;
  return el->get_placement().y;
}
