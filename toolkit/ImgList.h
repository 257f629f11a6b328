// TImageList: equally sized pictures with transparency, drawn by index.
#pragma once

#include <memory>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/Classes.h"

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Changing the size empties the list, as the framework's image list does.
  void SetWidth(int w);
  void SetHeight(int h);
  int Count() const { return static_cast<int>(m_images.size()); }

  // Adds every image of a strip (a picture as wide as a multiple of Width), with the
  // pixels that are set in `mask` (white in the mask) left out; returns the first index.
  int Add(const TBitmap& image, const TBitmap* mask);
  // The same, with the pixels of `maskColor` left out (clDefault: the bottom-left pixel's).
  int AddMasked(const TBitmap& image, Color maskColor);
  void Replace(int index, const TBitmap& image, const TBitmap* mask);
  void Delete(int index);
  void Clear();

  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
  // Copies an image onto `bitmap` (resized to the list's size) over the list's BkColor.
  void GetBitmap(int index, TBitmap& bitmap) const;
  // The image itself, with its alpha channel.
  const Bitmap& Image(int index) const;

  Color BkColor() const { return m_bkColor; }
  void SetBkColor(Color c) { m_bkColor = c; }

  TNotifyEvent OnChange;

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;
  void Loaded() override;

 private:
  void CheckIndex(int index) const;
  std::vector<Bitmap> Split(const TBitmap& image, const TBitmap* mask, Color maskColor) const;
  void Changed() { Fire(OnChange, this); }

  int m_width = 16;
  int m_height = 16;
  Color m_bkColor = clNone;
  std::vector<Bitmap> m_images;
  // A strip read from the resource, split when every property is known.
  std::unique_ptr<TBitmap> m_pendingStrip;
  Color m_pendingMask = clDefault;
};
