// Colours as the platform stores them (red in bits 0-7, green 8-15, blue 16-23), the
// system colours, and the 32-bit pixel of our bitmaps.
#pragma once

#include <cstdint>

using Color = std::uint32_t;

constexpr Color RGB(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// Plain colours.
constexpr Color clBlack = 0x000000;
constexpr Color clMaroon = 0x000080;
constexpr Color clGreen = 0x008000;
constexpr Color clOlive = 0x008080;
constexpr Color clNavy = 0x800000;
constexpr Color clPurple = 0x800080;
constexpr Color clTeal = 0x808000;
constexpr Color clGray = 0x808080;
constexpr Color clSilver = 0xC0C0C0;
constexpr Color clRed = 0x0000FF;
constexpr Color clLime = 0x00FF00;
constexpr Color clYellow = 0x00FFFF;
constexpr Color clBlue = 0xFF0000;
constexpr Color clFuchsia = 0xFF00FF;
constexpr Color clAqua = 0xFFFF00;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clNone = 0x1FFFFFFF;
constexpr Color clDefault = 0x20000000;

// System colours: the high byte 0xFF marks an index into the system palette.
constexpr Color SystemColor(int index) { return 0xFF000000u | static_cast<Color>(index); }
constexpr bool IsSystemColor(Color c) { return (c & 0xFF000000u) == 0xFF000000u; }
constexpr Color clScrollBar = SystemColor(0);
constexpr Color clBackground = SystemColor(1);
constexpr Color clActiveCaption = SystemColor(2);
constexpr Color clInactiveCaption = SystemColor(3);
constexpr Color clMenu = SystemColor(4);
constexpr Color clWindow = SystemColor(5);
constexpr Color clWindowFrame = SystemColor(6);
constexpr Color clMenuText = SystemColor(7);
constexpr Color clWindowText = SystemColor(8);
constexpr Color clCaptionText = SystemColor(9);
constexpr Color clActiveBorder = SystemColor(10);
constexpr Color clInactiveBorder = SystemColor(11);
constexpr Color clAppWorkSpace = SystemColor(12);
constexpr Color clHighlight = SystemColor(13);
constexpr Color clHighlightText = SystemColor(14);
constexpr Color clBtnFace = SystemColor(15);
constexpr Color clBtnShadow = SystemColor(16);
constexpr Color clGrayText = SystemColor(17);
constexpr Color clBtnText = SystemColor(18);
constexpr Color clInactiveCaptionText = SystemColor(19);
constexpr Color clBtnHighlight = SystemColor(20);
constexpr Color cl3DDkShadow = SystemColor(21);
constexpr Color cl3DLight = SystemColor(22);
constexpr Color clInfoText = SystemColor(23);
constexpr Color clInfoBk = SystemColor(24);
constexpr Color clHotLight = SystemColor(26);
constexpr Color clGradientActiveCaption = SystemColor(27);
constexpr Color clGradientInactiveCaption = SystemColor(28);
constexpr Color clMenuHighlight = SystemColor(29);
constexpr Color clMenuBar = SystemColor(30);

// The RGB value of a system colour from the classic palette (GetSysColor); a plain colour
// is returned unchanged apart from its high byte.
Color GetSysColor(int index);
Color ColorToRGB(Color c);

// A pixel of a 32-bit bitmap: 0xAARRGGBB, so in memory the bytes are blue, green, red,
// alpha, as in a 32-bit device-independent bitmap.
using Pixel = std::uint32_t;

constexpr Pixel MakePixel(int r, int g, int b, int a = 255) {
  return static_cast<Pixel>((b & 0xFF) | ((g & 0xFF) << 8) | ((r & 0xFF) << 16) |
                            (static_cast<std::uint32_t>(a & 0xFF) << 24));
}
constexpr int PixelR(Pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int PixelG(Pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int PixelB(Pixel p) { return static_cast<int>(p & 0xFF); }
constexpr int PixelA(Pixel p) { return static_cast<int>(p >> 24); }
// An opaque pixel of a plain colour (system colours must be resolved first).
constexpr Pixel ColorToPixel(Color c) { return MakePixel(GetRValue(c), GetGValue(c), GetBValue(c)); }
constexpr Color PixelToColor(Pixel p) { return RGB(PixelR(p), PixelG(p), PixelB(p)); }
