// Pictures of the framework: TGraphic, TBitmap with its canvas, TIcon and TPicture.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "toolkit/Graphics.h"

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
enum class TTransparentMode { tmAuto, tmFixed };

class TGraphic : public TPersistent {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  // Draws the graphic into `dest` of the canvas, scaled when the sizes differ.
  virtual void Draw(TCanvas& canvas, const Rect& dest) const = 0;
  // Reads a whole file image; damaged data throws InvalidGraphic and keeps the graphic.
  virtual void LoadFromStream(std::span<const std::uint8_t> data) = 0;
  virtual std::vector<std::uint8_t> SaveToStream() const = 0;
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  bool Transparent() const { return m_transparent; }
  void SetTransparent(bool on);

  TNotifyEvent OnChange;

 protected:
  void Changed() { Fire(OnChange, this); }

 private:
  bool m_transparent = false;
};

class TBitmapCanvas;

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  int Width() const override { return m_image.Width(); }
  int Height() const override { return m_image.Height(); }
  bool Empty() const override { return m_image.IsEmpty(); }
  void SetWidth(int w) { SetSize(w, Height()); }
  void SetHeight(int h) { SetSize(Width(), h); }
  // New pixels are white; those that stay inside keep their values.
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const { return m_format; }
  void SetPixelFormat(TPixelFormat format);

  // Drawing on the bitmap. The canvas lives as long as the bitmap.
  TCanvas& Canvas();
  // The pixels themselves, for code that works on rows. Call Modified() after a change
  // made this way when listeners should hear of it.
  Bitmap& Image() { return m_image; }
  const Bitmap& Image() const { return m_image; }
  void SetImage(Bitmap image);
  void Modified() { Changed(); }

  // The colour drawn as see-through when Transparent is on: with tmAuto the colour of the
  // bottom-left pixel, with tmFixed TransparentColor as set.
  Color TransparentColor() const;
  void SetTransparentColor(Color c);
  TTransparentMode TransparentMode() const { return m_transparentMode; }
  void SetTransparentMode(TTransparentMode mode);

  void Draw(TCanvas& canvas, const Rect& dest) const override;
  void LoadFromStream(std::span<const std::uint8_t> data) override;
  // A BMP file of 1 bit (pf1bit), 8 bits (pf4bit, pf8bit) or 24 bits (every other format;
  // the codec writes no 32-bit files, so an alpha channel is not kept).
  std::vector<std::uint8_t> SaveToStream() const override;

  void Assign(const TPersistent* source) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 private:
  friend class TBitmapCanvas;
  void ImageChanged();

  Bitmap m_image;
  TPixelFormat m_format = TPixelFormat::pfDevice;
  Color m_transparentColor = clDefault;
  TTransparentMode m_transparentMode = TTransparentMode::tmAuto;
  std::unique_ptr<TBitmapCanvas> m_canvas;
};

// An icon: a picture with an alpha channel, read from an icon file (bitmap entries of any
// depth with their masks; the largest entry is taken) or from a BMP file.
class TIcon : public TGraphic {
 public:
  int Width() const override { return m_image.Width(); }
  int Height() const override { return m_image.Height(); }
  bool Empty() const override { return m_image.IsEmpty(); }
  const Bitmap& Image() const { return m_image; }
  void SetImage(Bitmap image);

  void Draw(TCanvas& canvas, const Rect& dest) const override;
  void LoadFromStream(std::span<const std::uint8_t> data) override;
  // Written as a BMP file of 24 bits (the alpha channel is not kept).
  std::vector<std::uint8_t> SaveToStream() const override;

  void Assign(const TPersistent* source) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 private:
  Bitmap m_image;
};

// Holds one graphic of any class; asking for Bitmap or Icon replaces a graphic of another
// class with an empty one of that class.
class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return m_graphic.get(); }
  void SetGraphic(const TGraphic* graphic);  // copies it
  TBitmap& Bitmap();
  TIcon& Icon();
  int Width() const { return m_graphic ? m_graphic->Width() : 0; }
  int Height() const { return m_graphic ? m_graphic->Height() : 0; }
  // A BMP or icon file, told apart by its first bytes.
  void LoadFromFile(const std::string& path);
  void LoadFromStream(std::span<const std::uint8_t> data);
  void SaveToFile(const std::string& path) const;
  void Clear();

  TNotifyEvent OnChange;

  void Assign(const TPersistent* source) override;
  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 private:
  void Take(std::unique_ptr<TGraphic> graphic);
  void Changed() { Fire(OnChange, this); }

  std::unique_ptr<TGraphic> m_graphic;
};

// Reads the binary data of a graphic property: the bytes of a BMP or icon file.
std::vector<std::uint8_t> ReadGraphicData(const TStreamValue& value);
