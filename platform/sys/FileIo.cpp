// Whole-file reading and atomic whole-file replacement.
#include "platform/sys/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

static std::string Reason(int error) { return std::strerror(error); }

// Closes a descriptor on every path out of a scope.
class FdGuard {
 public:
  explicit FdGuard(int fd) : m_fd(fd) {}
  FdGuard(const FdGuard&) = delete;
  FdGuard& operator=(const FdGuard&) = delete;
  ~FdGuard() { Close(); }
  int Get() const { return m_fd; }
  int Close() {
    int rc = 0;
    if (m_fd >= 0) rc = ::close(m_fd);
    m_fd = -1;
    return rc;
  }

 private:
  int m_fd;
};

std::optional<std::string> ReadFileIfExists(const std::filesystem::path& path, std::size_t maxBytes) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    throw FileError("cannot open " + path.string() + ": " + Reason(errno));
  }
  FdGuard guard(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw FileError("cannot read " + path.string() + ": " + Reason(errno));
  if (S_ISDIR(st.st_mode)) throw FileError("cannot read " + path.string() + ": it is a folder");
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileError("cannot read " + path.string() + ": " + Reason(errno));
    }
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > maxBytes)
      throw FileError("cannot read " + path.string() + ": larger than " + std::to_string(maxBytes) +
                      " bytes");
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return content;
}

static mode_t NewFileMode() {
  // umask can only be read by setting it; the program has one user-interface thread.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void WriteFileAtomically(const std::filesystem::path& path, const std::string& content) {
  std::filesystem::path target = path;
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) {
    target = std::filesystem::weakly_canonical(path, ec);
    if (ec) throw FileError("cannot write " + path.string() + ": " + ec.message());
  }
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::string tempName = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> templ(tempName.begin(), tempName.end());
  templ.push_back('\0');
  const int fd = ::mkostemp(templ.data(), O_CLOEXEC);
  if (fd < 0) throw FileError("cannot write " + path.string() + ": " + Reason(errno));
  FdGuard guard(fd);
  const std::string temp(templ.data());
  auto fail = [&](int error) {
    guard.Close();
    ::unlink(temp.c_str());
    throw FileError("cannot write " + path.string() + ": " + Reason(error));
  };

  struct stat st {};
  const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
  if (::fchmod(fd, mode) != 0) fail(errno);

  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) fail(errno);
  if (guard.Close() != 0) fail(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) fail(errno);
}
