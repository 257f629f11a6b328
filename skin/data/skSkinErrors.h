// Exceptions raised while reading skin packages and definitions, with the platform's texts.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// A damaged zlib stream.
class SkinCompressionError : public std::runtime_error {
 public:
  SkinCompressionError() : std::runtime_error("compression error") {}
};

// The compressor failed while a package was being built.
class SkinCompressorFailure : public std::runtime_error {
 public:
  SkinCompressorFailure() : std::runtime_error("error") {}
};

// A stream ended before a field that had to be read in full.
class StreamReadError : public std::runtime_error {
 public:
  StreamReadError() : std::runtime_error("Stream read error") {}
};

// A text that the strict integer conversion does not accept.
class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(std::string_view text)
      : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}
};

// A file that cannot be opened or read.
class FileOpenError : public std::runtime_error {
 public:
  explicit FileOpenError(const std::string& path)
      : std::runtime_error("Cannot open file \"" + path + "\"") {}
};
