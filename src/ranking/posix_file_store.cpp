#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <thread>

#include "console/platform/terminal.h"
#include "ranking/file_store.h"

namespace yut {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel follows at most
constexpr int kNameTries = 100;
// A temporary file is "<file name>.tmp-" and six letters or digits, so that one left by a
// game killed at the wrong moment is known as such and removed by the next save.
constexpr std::string_view kTempMark = ".tmp-";
constexpr std::size_t kTempLetters = 6;
constexpr auto kLockRetry = std::chrono::milliseconds(10);

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

std::string base_name(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path at the end of the links that path names (path itself when it is no link). The
// file there may not exist yet: a save then creates it, as opening the link would.
std::string follow_links(std::string path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(static_cast<std::size_t>(info.st_size) + 256, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0) return path;
    target.resize(static_cast<std::size_t>(n));
    path = target.front() == '/' ? target : directory_of(path) + "/" + target;
  }
  return path;  // a loop of links: every operation on it fails
}

mode_t new_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string random_letters(std::size_t count) {
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(kLetters[device() % kLetters.size()]);
  return out;
}

bool is_temp_name(std::string_view name, const std::string& base) {
  if (name.size() != base.size() + kTempMark.size() + kTempLetters) return false;
  if (!name.starts_with(base) || name.substr(base.size(), kTempMark.size()) != kTempMark) {
    return false;
  }
  for (const char c : name.substr(base.size() + kTempMark.size())) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letter) return false;
  }
  return true;
}

// Removes this user's temporary files of the file at target that a game killed between
// naming one and renaming it left behind. Runs under the file's lock, so no other save of
// the file is under way.
void remove_left_temps(const std::string& target) {
  const std::string dir = directory_of(target);
  const std::string base = base_name(target);
  DIR* listing = ::opendir(dir.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    if (!is_temp_name(entry->d_name, base)) continue;
    const std::string path = dir + "/" + entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
      ::unlink(path.c_str());
    }
  }
  ::closedir(listing);
}

// A new file in dir that has no name yet where the system allows it, so that a game killed
// while writing it leaves nothing behind; name stays empty then. Otherwise a file created
// exclusively under an unpredictable name (never through a link planted there).
int create_temp(const std::string& target, std::string& name) {
  name.clear();
#ifdef O_TMPFILE
  const int unnamed = open_retrying(directory_of(target).c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (unnamed >= 0) return unnamed;
#endif
  name = target + std::string(kTempMark) + "XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) name.clear();
  return fd;
}

// Gives the unnamed file a temporary name beside target, for the rename. False if the
// system cannot (no /proc): the caller then starts again with a named file.
bool name_temp(int fd, const std::string& target, std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    name = target + std::string(kTempMark) + random_letters(kTempLetters);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) break;
  }
  name.clear();
  return false;
}

// The file's owner and group for the temporary file, as far as this user may give them.
// False when they differ from the file's: a rename would hand the file to this user.
bool keep_owner(int fd, const struct stat& file) {
  struct stat temp {};
  if (::fstat(fd, &temp) != 0) return false;
  if (temp.st_uid == file.st_uid && temp.st_gid == file.st_gid) return true;
  return ::fchown(fd, file.st_uid, file.st_gid) == 0;
}

bool cannot_create_here(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

// The file's own way: overwrite from the start, cut to the new length, sync.
bool write_in_place(int fd, std::string_view bytes) {
  if (::lseek(fd, 0, SEEK_SET) != 0 || !write_all(fd, bytes)) return false;
  return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// Makes the rename itself durable; a failure here does not undo the replacement.
void sync_directory(const std::string& path) {
  const int dir = open_retrying(directory_of(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

enum class Replaced { Done, Failed, NotHere };

Replaced fill_temp(int fd, std::string_view bytes, mode_t mode, const struct stat* old_file) {
  if (old_file != nullptr && !keep_owner(fd, *old_file)) return Replaced::NotHere;
  if (::fchmod(fd, mode) != 0 || !write_all(fd, bytes) || ::fsync(fd) != 0) {
    return Replaced::Failed;
  }
  return Replaced::Done;
}

// Writes the bytes into a temporary file and renames it over target. NotHere when no file
// can be made or renamed in the directory, or the new one could not keep the old one's
// owner: the old file is then untouched and may be written in place.
Replaced replace_by_rename(const std::string& target, std::string_view bytes, mode_t mode,
                           const struct stat* old_file) {
  std::string name;
  int fd = create_temp(target, name);
  if (fd < 0) return cannot_create_here(errno) ? Replaced::NotHere : Replaced::Failed;
  Replaced filled = fill_temp(fd, bytes, mode, old_file);
  if (filled == Replaced::Done && name.empty() && !name_temp(fd, target, name)) {
    // An unnamed file that cannot be named here (no /proc): once more with a named one.
    ::close(fd);
    name = target + std::string(kTempMark) + "XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Replaced::Failed;
    filled = fill_temp(fd, bytes, mode, old_file);
  }
  const bool closed = ::close(fd) == 0;
  if (filled != Replaced::Done || !closed) {
    if (!name.empty()) ::unlink(name.c_str());
    return filled == Replaced::Done ? Replaced::Failed : filled;
  }
  if (::rename(name.c_str(), target.c_str()) != 0) {
    // A directory with the sticky bit keeps others from renaming over the file.
    const int error = errno;
    ::unlink(name.c_str());
    return cannot_create_here(error) ? Replaced::NotHere : Replaced::Failed;
  }
  sync_directory(target);
  return Replaced::Done;
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Takes the lock without blocking, again and again until the deadline, so that a quit
// signal ends the game at once and a lock that is never let go costs only a failed save.
bool lock_patiently(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return false;
    end_if_asked_to_quit();
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLockRetry);
  }
}

// After the lock: the path still names what was locked (a save that held the lock before
// may have renamed a new file in, or created the missing one).
bool still_names(const std::string& target, int fd, bool directory) {
  struct stat now {};
  if (directory) return ::lstat(target.c_str(), &now) != 0 && errno == ENOENT;
  struct stat locked {};
  return ::stat(target.c_str(), &now) == 0 && ::fstat(fd, &locked) == 0 && same_file(now, locked);
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
  const std::string target = follow_links(path);
  // Opening the file for writing is the test of whether this user may change it at all.
  const int current = open_retrying(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW);
  if (current < 0 && errno != ENOENT) return false;
  struct stat info {};
  if (current >= 0 && (::fstat(current, &info) != 0 || !S_ISREG(info.st_mode))) {
    ::close(current);
    return false;
  }
  remove_left_temps(target);
  const bool exists = current >= 0;
  const mode_t mode = exists ? (info.st_mode & 07777) : new_file_mode();
  Replaced result = replace_by_rename(target, bytes, mode, exists ? &info : nullptr);
  if (result == Replaced::NotHere && exists) {
    result = write_in_place(current, bytes) ? Replaced::Done : Replaced::Failed;
  }
  if (exists) ::close(current);
  return result == Replaced::Done;
}

FileLock::FileLock(const std::string& path, int patience_ms) {
  const std::string target = follow_links(path);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(patience_ms);
  for (;;) {
    bool directory = false;
    int fd = open_retrying(target.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
      directory = true;
      fd = open_retrying(directory_of(target).c_str(), O_RDONLY | O_DIRECTORY);
    }
    if (fd < 0) return;
    if (!lock_patiently(fd, deadline)) {
      ::close(fd);
      return;
    }
    if (still_names(target, fd, directory)) {
      handle_ = fd;
      held_ = true;
      return;
    }
    ::close(fd);
  }
}

FileLock::~FileLock() {
  // Closing the descriptor lets the lock go.
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace yut
