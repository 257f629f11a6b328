// Skin package streams, package files and the stored skin component.
#include "skin/data/skSkinPackage.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

#include "platform/gfx/Bmp.h"
#include "skin/data/skIniReader.h"
#include "skin/data/skSkinData.h"
#include "skin/data/skSkinErrors.h"
#include "toolkit/Streaming.h"

namespace {

constexpr std::size_t kBmpFileHeaderSize = 14;

std::int32_t GetInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) |
                                   static_cast<std::uint32_t>(p[1]) << 8 |
                                   static_cast<std::uint32_t>(p[2]) << 16 |
                                   static_cast<std::uint32_t>(p[3]) << 24);
}

void PutInt32(std::uint8_t* p, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileOpenError(path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileOpenError(path);
  return bytes;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::vector<std::uint8_t> CompressSkinStream(std::span<const std::uint8_t> plain) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 9) != Z_OK)
    throw SkinCompressorFailure();
  out.resize(size);
  return out;
}

void InflateSkinStream(std::span<const std::uint8_t> compressed, std::vector<std::uint8_t>& target) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw SkinCompressionError();
  z.next_in = const_cast<Bytef*>(compressed.data());
  z.avail_in = static_cast<uInt>(compressed.size());
  std::array<std::uint8_t, 4096> chunk;
  const std::size_t start = target.size();
  int rc = Z_OK;
  do {
    z.next_out = chunk.data();
    z.avail_out = chunk.size();
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
    const std::size_t got = chunk.size() - z.avail_out;
    if (target.size() - start + got > SkinInflateLimit) {
      rc = Z_MEM_ERROR;
      break;
    }
    target.insert(target.end(), chunk.data(), chunk.data() + got);
    // Input used up without the end marker: the stream was cut short.
    if (rc == Z_OK && got == 0 && z.avail_in == 0) {
      rc = Z_BUF_ERROR;
      break;
    }
  } while (rc != Z_STREAM_END);
  inflateEnd(&z);
  if (rc != Z_STREAM_END) {
    target.resize(start);
    throw SkinCompressionError();
  }
}

// ---- package reader and writer

std::span<const std::uint8_t> SkinPackageReader::Take(std::size_t count) {
  if (count > Remaining()) throw StreamReadError();
  const auto part = m_data.subspan(m_pos, count);
  m_pos += count;
  return part;
}

std::int32_t SkinPackageReader::ReadInt32() { return GetInt32(Take(4).data()); }

Bitmap SkinPackageReader::ReadFlaggedBitmap() {
  const std::uint8_t flag = Take(1)[0];
  return flag == 0 ? ReadBitmapImage() : Bitmap();
}

std::span<const std::uint8_t> SkinPackageReader::TakeBitmapFile() {
  // The size field decides where the next field begins, so it must be sane before the
  // picture is cut out of the stream.
  if (Remaining() < kBmpFileHeaderSize) throw InvalidGraphic();
  const std::uint8_t* header = m_data.data() + m_pos;
  if (header[0] != 'B' || header[1] != 'M') throw InvalidGraphic();
  const auto size = static_cast<std::uint32_t>(GetInt32(header + 2));
  if (size < kBmpFileHeaderSize || size > Remaining()) throw InvalidGraphic();
  return Take(size);
}

Bitmap SkinPackageReader::ReadBitmapImage() { return LoadBmp(TakeBitmapFile()); }

std::vector<std::uint8_t> SkinPackageReader::ReadFlaggedBitmapFile() {
  const std::uint8_t flag = Take(1)[0];
  return flag == 0 ? ReadBitmapFile() : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> SkinPackageReader::ReadBitmapFile() {
  const auto bytes = TakeBitmapFile();
  return {bytes.begin(), bytes.end()};
}

std::vector<std::string> SkinPackageReader::ReadLines() {
  const auto rest = Take(Remaining());
  return SplitSkinLines(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
}

void SkinPackageWriter::WriteInt32(std::int32_t value) {
  std::uint8_t bytes[4];
  PutInt32(bytes, value);
  m_bytes.insert(m_bytes.end(), bytes, bytes + 4);
}

void SkinPackageWriter::WriteBitmapImage(std::span<const std::uint8_t> image) {
  m_bytes.insert(m_bytes.end(), image.begin(), image.end());
}

void SkinPackageWriter::WriteFlaggedBitmap(std::span<const std::uint8_t> imageOrEmpty) {
  m_bytes.push_back(imageOrEmpty.empty() ? 1 : 0);
  WriteBitmapImage(imageOrEmpty);
}

void SkinPackageWriter::WriteLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    m_bytes.insert(m_bytes.end(), line.begin(), line.end());
    m_bytes.push_back('\r');
    m_bytes.push_back('\n');
  }
}

std::vector<std::uint8_t> LoadBitmapImageFile(const std::string& path) {
  std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  LoadBmp(bytes);  // throws InvalidGraphic for a damaged picture
  if (bytes.size() < kBmpFileHeaderSize || bytes.size() > 0x7FFFFFFF) throw InvalidGraphic();
  PutInt32(bytes.data() + 2, static_cast<std::int32_t>(bytes.size()));
  return bytes;
}

bool HasRequiredSkinSections(const SkinIni& ini) {
  for (std::string_view section : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
    if (!ini.SectionExists(section)) return false;
  return true;
}

// ---- stored skin component

TskCompressedStoredSkin::TskCompressedStoredSkin(TComponent* owner) : TComponent(owner) {}

TskCompressedStoredSkin::~TskCompressedStoredSkin() = default;

bool TskCompressedStoredSkin::ReadProperty(std::string_view name, const TStreamValue& v,
                                           TReader& reader) {
  if (SameText(name, "CompressedData")) SetCompressedData(v.AsBinary());
  else if (SameText(name, "Description")) SetDescription(v.AsString());
  else if (SameText(name, "FileName")) SetFileName(v.AsString());
  else if (SameText(name, "CompressedFileName")) SetCompressedFileName(v.AsString());
  else return TComponent::ReadProperty(name, v, reader);
  return true;
}

void TskCompressedStoredSkin::DecompressTo(std::vector<std::uint8_t>& target) const {
  InflateSkinStream(m_compressed, target);
}

void TskCompressedStoredSkin::ImportFromDefinitionFile(const std::string& path) {
  const std::vector<std::uint8_t> fileBytes = ReadWholeFile(path);
  const std::vector<std::string> lines = SplitSkinLines(
      std::string_view(reinterpret_cast<const char*>(fileBytes.data()), fileBytes.size()));
  const SkinIni ini(lines);
  if (!HasRequiredSkinSections(ini)) return;

  const std::string folder = FolderOf(path);
  m_compressed.clear();
  SkinPackageWriter out;
  out.WriteInt32(SkinPackageVersion);
  for (std::string_view key : {"picture", "inactivepicture", "mask"}) {
    const std::string name = ini.ReadString("PICTURES", key, "");
    out.WriteFlaggedBitmap(name.empty() ? std::vector<std::uint8_t>() : LoadBitmapImageFile(folder + name));
  }
  const int count = ini.ReadInteger("PICTURES", "activepicturescount", 0);
  out.WriteInt32(std::max(count, 0));
  for (int i = 0; i < count; ++i)
    out.WriteBitmapImage(LoadBitmapImageFile(folder + ini.ReadString("PICTURES", std::to_string(i), "")));
  out.WriteLines(lines);
  m_compressed = CompressSkinStream(out.Bytes());
}

void TskCompressedStoredSkin::LoadFromPackageFile(const std::string& path) {
  m_compressed.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileOpenError(path);
  std::uint8_t field[4];
  if (!in.read(reinterpret_cast<char*>(field), 4)) throw StreamReadError();
  if (GetInt32(field) > SkinPackageVersion) return;
  if (!in.read(reinterpret_cast<char*>(field), 4)) throw StreamReadError();
  const std::int32_t length = GetInt32(field);
  if (length < 0) throw StreamReadError();
  // Copied in chunks, so a lying length costs no more memory than the file holds.
  std::array<char, 65536> chunk;
  std::size_t left = static_cast<std::size_t>(length);
  while (left > 0) {
    const std::size_t want = std::min(left, chunk.size());
    in.read(chunk.data(), static_cast<std::streamsize>(want));
    const auto got = static_cast<std::size_t>(in.gcount());
    m_compressed.insert(m_compressed.end(), chunk.data(), chunk.data() + got);
    if (got < want) throw StreamReadError();
    left -= got;
  }
}

void TskCompressedStoredSkin::SaveToPackageFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("Cannot create file \"" + path + "\"");
  std::uint8_t header[8];
  PutInt32(header, SkinPackageVersion);
  PutInt32(header + 4, static_cast<std::int32_t>(m_compressed.size()));
  out.write(reinterpret_cast<const char*>(header), 8);
  out.write(reinterpret_cast<const char*>(m_compressed.data()), static_cast<std::streamsize>(m_compressed.size()));
  if (!out) throw std::runtime_error("Cannot write file \"" + path + "\"");
}
