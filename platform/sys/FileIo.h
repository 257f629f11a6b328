// Whole-file reading and atomic whole-file replacement with clear error messages.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

// A file that could not be read or written; the message names the file and the reason.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes of the file, or nothing when it (or a folder on its path) does not exist.
// Any other failure (no permission, a folder, an input/output error) throws FileError.
std::optional<std::string> ReadFileIfExists(const std::filesystem::path& path,
                                            std::size_t maxBytes = std::size_t(64) << 20);

// Writes `content` to a temporary file beside `path` and renames it over `path`, so the
// old file survives any failure. A symbolic link is followed (its target is replaced). An
// existing file's permission bits are kept; a new file gets 0666 less the umask. Throws
// FileError on failure, after removing the temporary file.
void WriteFileAtomically(const std::filesystem::path& path, const std::string& content);
