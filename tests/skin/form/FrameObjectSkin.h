// A skin whose frame carries every kind of frame object twice: laid out along the buttons
// rectangle from the object picture, and painted in the frame picture. Every pixel of
// both pictures tells where it came from.
#pragma once

#include <string>
#include <vector>

#include "SkinFormTestSupport.h"

namespace frameobj {

// The 160 x 64 frame picture: (x, 4y, seed). Corners cut at x 50 / 70 and y 30 / 50.
inline Pixel FramePixel(int x, int y, int seed = 10) { return MakePixel(x, 4 * y, seed); }
// The 120 x 40 object picture: (2x, 6y, 99).
inline Pixel ObjectPixel(int x, int y) { return MakePixel(2 * x, 6 * y, 99); }

inline Bitmap FramePicture(int seed) {
  Bitmap b(160, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 160; ++x) b.Set(x, y, FramePixel(x, y, seed));
  return b;
}

inline Bitmap ObjectPicture() {
  Bitmap b(120, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) b.Set(x, y, ObjectPixel(x, y));
  return b;
}

// Rectangles of the object picture that the frame's state images come from (8 x 8 each).
inline const Rect kActiveRect{0, 10, 8, 18}, kDownRect{8, 10, 16, 18}, kDisabledRect{16, 10, 24, 18},
    kInactiveRect{24, 10, 32, 18}, kRestoreRect{32, 10, 40, 18}, kRestoreActiveRect{40, 10, 48, 18},
    kRestoreDownRect{48, 10, 56, 18}, kRestoreInactiveRect{56, 10, 64, 18};
// The animation strip: four 8 x 8 frames from (0, 20).
inline const Rect kAnimFirstFrame{0, 20, 8, 28};

// The objects' names, laid-out ones first, each list in command order.
inline const std::vector<std::string> kCommands = {"close", "max", "min", "sys", "def", "roll", "tray"};
inline const char* CommandKey(const std::string& c) {
  if (c == "close") return "cmclose";
  if (c == "max") return "cmmaximize";
  if (c == "min") return "cmminimize";
  if (c == "sys") return "cmsysmenu";
  if (c == "def") return "cmdefault";
  if (c == "roll") return "cmrollup";
  return "cmminimizetotray";
}

struct Options {
  std::string alignment = "taleftjustify";
  bool shadow = false;
  bool captionMorph = false;    // the caption fades into its active image
  bool captionFrame = false;    // the caption text stands on a strip of the object picture
  bool minMorph = true;         // the frame's minimize button fades
  bool inactivePicture = false;
};

inline std::string RectText(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

inline std::vector<std::string> Definition(const Options& o) {
  std::vector<std::string> objects = {"caption"};
  for (const auto& c : kCommands) objects.push_back("l" + c);
  for (const auto& c : kCommands) objects.push_back("f" + c);
  objects.push_back("anim");
  objects.push_back("animcycle");
  std::vector<std::string> d = {
      "[VERSION]", "skinname=objects", "[PICTURES]", "picture=main.bmp",
      o.inactivePicture ? "inactivepicture=inactive.bmp" : "inactivepicture=", "mask=",
      "activepicturescount=1", "0=objects.bmp",
      "[FORMINFO]", "lefttoppoint=50,30", "righttoppoint=70,30", "leftbottompoint=50,50",
      "rightbottompoint=70,50", "clientrect=8,30,152,56", "maskrectarea=4,4,156,60",
      "hittestlefttoppoint=10,10", "hittestrighttoppoint=150,10", "hittestleftbottompoint=10,54",
      "hittestrightbottompoint=150,54", "captionrect=10,4,80,20", "buttonsrect=106,4,156,20",
      "buttonsoffset=2", "borderwidth=3", "autorenderinginactiveimage=0", "bgpictureindex=-1",
      "[SKINOBJECTS]", "count=" + std::to_string(objects.size())};
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const std::string& n = objects[i];
    const char* kind = n == "caption" ? "caption" : (n.rfind("anim", 0) == 0 ? "animate" : "stdbutton");
    d.push_back(std::to_string(i) + "=" + n + ":" + kind);
  }
  d.insert(d.end(), {"[caption]", "skinrect=10,4,80,20", "textrect=4,0,66,16", "fontname=DejaVu Sans", "fontheight=13",
                     "fontcolor=255", "activefontcolor=16711680", "shadowcolor=65280",
                     "activeshadowcolor=16776960", "alignment=" + o.alignment,
                     std::string("shadow=") + (o.shadow ? "1" : "0")});
  if (o.captionFrame)
    d.insert(d.end(), {"activepictureindex=0", "framerect=70,0,100,12", "activeframerect=70,12,100,24",
                       "frametextrect=4,2,26,10", "frameleftoffset=4", "framerightoffset=4"});
  if (o.captionMorph)
    d.insert(d.end(), {"activepictureindex=0", "activeskinrect=0,30,70,40", "morphing=1", "morphkind=mkdefault"});
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    const int x = 10 * static_cast<int>(i);
    d.insert(d.end(), {"[l" + kCommands[i] + "]", "activepictureindex=0", "skinrectinapicture=1",
                       "skinrect=" + RectText({x, 0, x + 10, 10}), std::string("command=") + CommandKey(kCommands[i])});
  }
  for (std::size_t i = 0; i < kCommands.size(); ++i) {
    const int x = 102 + 8 * static_cast<int>(i);
    d.insert(d.end(), {"[f" + kCommands[i] + "]", "activepictureindex=0", "skinrect=" + RectText({x, 21, x + 8, 29}),
                       std::string("command=") + CommandKey(kCommands[i])});
    if (kCommands[i] == "max") {
      d.insert(d.end(), {"activeskinrect=" + RectText(kActiveRect), "downrect=" + RectText(kDownRect),
                         "disableskinrsect=" + RectText(kDisabledRect), "inactiveskinrect=" + RectText(kInactiveRect),
                         "restorerect=" + RectText(kRestoreRect), "restoreactiverect=" + RectText(kRestoreActiveRect),
                         "restoredownrect=" + RectText(kRestoreDownRect),
                         "restoreinactiverect=" + RectText(kRestoreInactiveRect)});
    }
    if (kCommands[i] == "roll") d.push_back("inactiveskinrect=" + RectText(kInactiveRect));
    if (kCommands[i] == "min" && o.minMorph)
      d.insert(d.end(), {"activeskinrect=" + RectText(kActiveRect), "morphing=1", "morphkind=mkdefault"});
  }
  d.insert(d.end(), {"[anim]", "activepictureindex=0", "skinrect=20,21,28,29", "activeskinrect=" + RectText(kAnimFirstFrame),
                     "countframes=4", "timerinterval=100", "buttonstyle=1", "command=cmrollup",
                     "[animcycle]", "activepictureindex=0", "skinrect=30,21,38,29",
                     "activeskinrect=" + RectText(kAnimFirstFrame), "countframes=4", "timerinterval=10",
                     "cycle=1", "buttonstyle=1", "command=cmrollup",
                     "[SKINCONTROLS]", "count=0"});
  return d;
}

inline std::vector<std::uint8_t> Package(const Options& o = {}) {
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  out.WriteFlaggedBitmap(SaveBmp(FramePicture(10), 24));
  if (o.inactivePicture) out.WriteFlaggedBitmap(SaveBmp(FramePicture(200), 24));
  else out.WriteFlaggedBitmap({});
  out.WriteFlaggedBitmap({});
  out.WriteInt32(1);
  out.WriteBitmapImage(SaveBmp(ObjectPicture(), 24));
  out.WriteLines(Definition(o));
  return CompressSkinStream(out.Bytes());
}

class FrameObjectTest : public SkinFormTest {
 protected:
  // A 260 x 100 window: 100 pixels wider and 36 taller than the picture.
  static constexpr int kW = 260, kH = 100, kDW = kW - 160;
  Skinned Make(const Options& o = {}) { return MakeForm(Package(o), Rect::FromSize(100, 100, kW, kH)); }

  Point ScreenOf(Skinned& s, Point window) {
    const Rect b = Bounds(s.form);
    return {b.left + window.x, b.top + window.y};
  }
  Point CentreOf(Skinned& s, const std::string& name) {
    const Rect r = s.frame->FindObject(name)->ObjectRect;
    return ScreenOf(s, {r.left + r.Width() / 2, r.top + r.Height() / 2});
  }
  // Moves the pointer and lets the tracking timer see it.
  void Hover(Point screen) {
    host_->MoveMouse(screen);
    host_->AdvanceClock(60);
  }
  // How many pixels of the object's rectangle differ from `src` of the object picture.
  int OffObject(Skinned& s, const Rect& at, const Rect& src) {
    int off = 0;
    for (int y = 0; y < at.Height(); ++y)
      for (int x = 0; x < at.Width(); ++x)
        if (At(s.form, at.left + x, at.top + y) != ObjectPixel(src.left + x * src.Width() / at.Width(),
                                                              src.top + y * src.Height() / at.Height()))
          ++off;
    return off;
  }
  // How many pixels of a rectangle of the top band differ from the frame picture there
  // (right of the middle band the picture is shifted by the growth).
  int OffFrame(Skinned& s, const Rect& at, int seed = 10) {
    int off = 0;
    const int dW = Bounds(s.form).Width() - 160;
    for (int y = at.top; y < at.bottom; ++y)
      for (int x = at.left; x < at.right; ++x) {
        const int sx = x >= 70 + dW ? x - dW : (x < 50 ? x : 50 + (x - 50) % 20);
        if (At(s.form, x, y) != FramePixel(sx, y, seed)) ++off;
      }
    return off;
  }
};

}  // namespace frameobj
