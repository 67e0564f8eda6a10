#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ranking/file_store.h"

namespace yut {
namespace {

int open_retrying(const char* path, int flags, mode_t mode = 0) {
  int fd = -1;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string directory_of(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Makes the rename itself durable; a failure here does not undo the replacement.
void sync_directory(const std::string& path) {
  const int dir = open_retrying(directory_of(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

}  // namespace

ReadStatus read_file_start(const std::string& path, std::size_t max_bytes, std::string& out) {
  out.clear();
  // Without O_NONBLOCK a FIFO put in the file's place would hang the game.
  const int fd = open_retrying(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return ReadStatus::Failed;
  }
  out.resize(max_bytes);
  std::size_t got = 0;
  bool failed = false;
  while (got < max_bytes) {
    const ssize_t n = ::read(fd, out.data() + got, max_bytes - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  out.resize(got);
  return failed ? ReadStatus::Failed : ReadStatus::Read;
}

bool replace_file(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".tmp";
  const int fd = open_retrying(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (fd < 0) return false;
  const bool written = write_all(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  sync_directory(path);
  return true;
}

FileLock::FileLock(const std::string& path) {
  const std::string lock_path = path + ".lock";
  int fd = open_retrying(lock_path.c_str(), O_RDWR | O_CREAT, 0666);
  // A lock file left by another user may be read-only for us; flock needs no write access.
  if (fd < 0 && errno == EACCES) fd = open_retrying(lock_path.c_str(), O_RDONLY);
  if (fd < 0) return;
  int rc = -1;
  do {
    rc = ::flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    ::close(fd);
    return;
  }
  handle_ = fd;
  held_ = true;
}

FileLock::~FileLock() {
  // Closing the descriptor lets the lock go.
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace yut
