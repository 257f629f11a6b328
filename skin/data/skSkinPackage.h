// Skin package format: the zlib stream, the package's flagged bitmaps and text, the
// package file, and TskCompressedStoredSkin that holds the compressed bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "toolkit/Classes.h"

inline constexpr std::int32_t SkinPackageVersion = 3;

// Deflates at level 9 (the stream begins 0x78 0xDA); SkinCompressorFailure on failure.
std::vector<std::uint8_t> CompressSkinStream(std::span<const std::uint8_t> plain);
// Inflates a whole zlib stream, appending to `target`. A damaged or truncated stream, or
// one that would inflate beyond `SkinInflateLimit`, throws SkinCompressionError.
inline constexpr std::size_t SkinInflateLimit = std::size_t{256} << 20;
void InflateSkinStream(std::span<const std::uint8_t> compressed, std::vector<std::uint8_t>& target);

// Reads the fields of an inflated package in order; never reads past the end. A field
// cut short throws StreamReadError; a damaged picture throws InvalidGraphic.
class SkinPackageReader {
 public:
  explicit SkinPackageReader(std::span<const std::uint8_t> data) : m_data(data) {}
  std::int32_t ReadInt32();
  // Flag 0 and a bitmap file image; any other flag is an empty bitmap.
  Bitmap ReadFlaggedBitmap();
  // One complete BMP file, as long as the size field at its offset 2 says.
  Bitmap ReadBitmapImage();
  // The same fields as the bytes of their BMP files, unchanged and not decoded (a flag
  // other than 0 gives no bytes).
  std::vector<std::uint8_t> ReadFlaggedBitmapFile();
  std::vector<std::uint8_t> ReadBitmapFile();
  // The remaining bytes as lines of text.
  std::vector<std::string> ReadLines();
  std::size_t Remaining() const { return m_data.size() - m_pos; }

 private:
  std::span<const std::uint8_t> Take(std::size_t count);
  std::span<const std::uint8_t> TakeBitmapFile();
  std::span<const std::uint8_t> m_data;
  std::size_t m_pos = 0;
};

// Builds the plain package stream.
class SkinPackageWriter {
 public:
  void WriteInt32(std::int32_t value);
  // A BMP file image, given whole (its size field must match its length).
  void WriteBitmapImage(std::span<const std::uint8_t> image);
  // Flag 1 for no image, else flag 0 and the image.
  void WriteFlaggedBitmap(std::span<const std::uint8_t> imageOrEmpty);
  void WriteLines(const std::vector<std::string>& lines);  // each ended by CR LF
  const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

 private:
  std::vector<std::uint8_t> m_bytes;
};

// A BMP file ready to go into a package: read from disk, checked by decoding it, and
// with its size field set to the file's length so that the package stays readable.
std::vector<std::uint8_t> LoadBitmapImageFile(const std::string& path);

// The component a form stores its packed skin in ("CompressedData" in its resource).
class TskCompressedStoredSkin : public TComponent {
 public:
  explicit TskCompressedStoredSkin(TComponent* owner = nullptr);
  ~TskCompressedStoredSkin() override;

  bool IsEmpty() const { return m_compressed.empty(); }
  // Inflates the whole buffer, appending to `target`.
  void DecompressTo(std::vector<std::uint8_t>& target) const;
  // Builds a package from a definition file and the pictures beside it. A file without
  // one of the five required sections changes nothing.
  void ImportFromDefinitionFile(const std::string& path);
  // Replaces the buffer with a package file's stream; a version above 3 leaves it empty.
  void LoadFromPackageFile(const std::string& path);
  // Writes version 3, the length and the stream (used by the packing tool).
  void SaveToPackageFile(const std::string& path) const;

  // The persisted "CompressedData" property: exactly the compressed bytes.
  const std::vector<std::uint8_t>& CompressedData() const { return m_compressed; }
  void SetCompressedData(std::vector<std::uint8_t> bytes) { m_compressed = std::move(bytes); }

  const std::string& Description() const { return m_description; }
  void SetDescription(std::string text) { m_description = std::move(text); }
  // Run time and loading only record the name; there is no design mode here.
  const std::string& FileName() const { return m_fileName; }
  void SetFileName(std::string name) { m_fileName = std::move(name); }
  const std::string& CompressedFileName() const { return m_compressedFileName; }
  void SetCompressedFileName(std::string name) { m_compressedFileName = std::move(name); }

  bool ReadProperty(std::string_view name, const TStreamValue& value, TReader& reader) override;

 private:
  std::vector<std::uint8_t> m_compressed;
  std::string m_description;
  std::string m_fileName;
  std::string m_compressedFileName;
};

// The five sections a definition file must have to be imported.
bool HasRequiredSkinSections(const class SkinIni& ini);
