// Draws the application icon: a heart of ink cells on a sheet, as the program's art is made
// of cells. One design in unit coordinates gives the scalable picture and every bitmap size,
// so they never drift apart.
//
//   icongen OUTDIR SIZE...   writes OUTDIR/kavri.svg and OUTDIR/kavri-SIZE.png
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kCells[] = {
    ".XX...XX.",
    "XXXX.XXXX",
    "XXXXXXXXX",
    "XXXXXXXXX",
    ".XXXXXXX.",
    "..XXXXX..",
    "...XXX...",
    "....X....",
};
constexpr int kColumns = 9;
constexpr int kRows = 8;

// Unit-square geometry.
constexpr double kSheet0 = 0.04, kSheet1 = 0.96, kRadius = 0.16, kBorder = 0.025;
constexpr double kGridLeft = 0.14, kGridTop = 0.18, kPitch = 0.08, kInset = 0.008;

struct Rgb {
  double r, g, b;
};
constexpr Rgb kPaper{0.988, 0.973, 0.937};
constexpr Rgb kEdge{0.60, 0.55, 0.47};
constexpr Rgb kInk{0.784, 0.157, 0.235};

// Distance-free inside test of the rounded sheet shrunk by `by`.
bool InRoundedSquare(double x, double y, double by) {
  const double lo = kSheet0 + by, hi = kSheet1 - by, r = std::max(0.0, kRadius - by);
  if (x < lo || x > hi || y < lo || y > hi) return false;
  const double cx = std::clamp(x, lo + r, hi - r), cy = std::clamp(y, lo + r, hi - r);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool InInk(double x, double y) {
  const int col = static_cast<int>(std::floor((x - kGridLeft) / kPitch));
  const int row = static_cast<int>(std::floor((y - kGridTop) / kPitch));
  if (col < 0 || col >= kColumns || row < 0 || row >= kRows || kCells[row][col] != 'X') return false;
  const double u = x - kGridLeft - col * kPitch, v = y - kGridTop - row * kPitch;
  return u >= kInset && u <= kPitch - kInset && v >= kInset && v <= kPitch - kInset;
}

// Colour and coverage of one point of the design.
bool Sample(double x, double y, Rgb& colour) {
  if (!InRoundedSquare(x, y, 0)) return false;
  colour = !InRoundedSquare(x, y, kBorder) ? kEdge : InInk(x, y) ? kInk : kPaper;
  return true;
}

bool WritePng(const std::string& file, int size) {
  constexpr int kSub = 8;  // samples per pixel each way
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4);
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      double r = 0, g = 0, b = 0;
      int hits = 0;
      for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx) {
          Rgb c;
          if (!Sample((px + (sx + 0.5) / kSub) / size, (py + (sy + 0.5) / kSub) / size, c)) continue;
          r += c.r, g += c.g, b += c.b, ++hits;
        }
      std::uint8_t* out = &rgba[(static_cast<std::size_t>(py) * size + px) * 4];
      if (hits) {  // colour averaged over the covered samples, coverage as alpha
        out[0] = static_cast<std::uint8_t>(std::lround(255 * r / hits));
        out[1] = static_cast<std::uint8_t>(std::lround(255 * g / hits));
        out[2] = static_cast<std::uint8_t>(std::lround(255 * b / hits));
      }
      out[3] = static_cast<std::uint8_t>(std::lround(255.0 * hits / (kSub * kSub)));
    }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(size);
  image.height = static_cast<png_uint_32>(size);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, file.c_str(), 0, rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "icongen: %s: %s\n", file.c_str(), image.message);
    return false;
  }
  return true;
}

std::string Hex(const Rgb& c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(c.r * 255)),
                static_cast<int>(std::lround(c.g * 255)), static_cast<int>(std::lround(c.b * 255)));
  return text;
}

bool WriteSvg(const std::string& file) {
  std::ofstream out(file, std::ios::binary);
  constexpr double kScale = 256;
  auto n = [](double v) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", v * kScale);
    return std::string(text);
  };
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
      << "  <rect x=\"" << n(kSheet0 + kBorder / 2) << "\" y=\"" << n(kSheet0 + kBorder / 2) << "\" width=\""
      << n(kSheet1 - kSheet0 - kBorder) << "\" height=\"" << n(kSheet1 - kSheet0 - kBorder) << "\" rx=\""
      << n(kRadius - kBorder / 2) << "\" fill=\"" << Hex(kPaper) << "\" stroke=\"" << Hex(kEdge)
      << "\" stroke-width=\"" << n(kBorder) << "\"/>\n"
      << "  <g fill=\"" << Hex(kInk) << "\">\n";
  for (int row = 0; row < kRows; ++row)
    for (int col = 0; col < kColumns; ++col)
      if (kCells[row][col] == 'X')
        out << "    <rect x=\"" << n(kGridLeft + col * kPitch + kInset) << "\" y=\""
            << n(kGridTop + row * kPitch + kInset) << "\" width=\"" << n(kPitch - 2 * kInset)
            << "\" height=\"" << n(kPitch - 2 * kInset) << "\"/>\n";
  out << "  </g>\n</svg>\n";
  out.close();
  if (!out) std::fprintf(stderr, "icongen: cannot write %s\n", file.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: icongen OUTDIR SIZE...\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = WriteSvg(dir + "/kavri.svg");
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 1 || size > 1024) {
      std::fprintf(stderr, "icongen: bad size %s\n", argv[i]);
      return 2;
    }
    ok = WritePng(dir + "/kavri-" + argv[i] + ".png", size) && ok;
  }
  return ok ? 0 : 1;
}
