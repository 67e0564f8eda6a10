#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "ranking/file_store.h"
#include "ranking/temp_name.h"

namespace yut {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel follows at most
constexpr int kNameTries = 100;
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

// A leftover of the game's own: a regular file of this user with one name, unchanged for
// longer than any save keeps its temporary file.
bool is_own_leftover(const struct stat& info) {
  return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1 &&
         std::time(nullptr) - info.st_mtime > kLeftoverAgeSeconds;
}

// Removes the temporary files of the file at target that a game killed between naming one
// and renaming it left behind. Runs under the file's lock, so no other save of the file is
// under way.
void remove_left_temps(const std::string& target) {
  const std::string dir = directory_of(target);
  const std::string base = base_name(target);
  DIR* listing = ::opendir(dir.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    if (!is_temp_name(entry->d_name, base)) continue;
    const std::string path = dir + "/" + entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && is_own_leftover(info)) ::unlink(path.c_str());
  }
  ::closedir(listing);
}

// Whether "<file name>.yut-tmp-XXXXXX" fits the directory's limit on a name's length.
bool temp_name_fits(const std::string& target) {
  const long limit = ::pathconf(directory_of(target).c_str(), _PC_NAME_MAX);
  const std::size_t longest = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
  return base_name(target).size() + kTempMark.size() + kTempLetters <= longest;
}

// A file created exclusively under an unpredictable temporary name (never through a link
// planted there); name is empty when none could be made.
int create_named_temp(const std::string& target, std::string& name) {
  name = target + std::string(kTempMark) + "XXXXXX";  // the same letters as temp_name_for
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) name.clear();
  return fd;
}

// A new file in dir that has no name yet where the system allows it, so that a game killed
// while writing it leaves nothing behind; name stays empty then. Otherwise a named one.
int create_temp(const std::string& target, std::string& name) {
  name.clear();
#ifdef O_TMPFILE
  const int unnamed = open_retrying(directory_of(target).c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (unnamed >= 0) return unnamed;
#endif
  return create_named_temp(target, name);
}

// Gives the unnamed file a temporary name beside target, for the rename. False if the
// system cannot (no /proc): the caller then starts again with a named file.
bool name_temp(int fd, const std::string& target, std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    name = directory_of(target) + "/" + temp_name_for(base_name(target));
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

// Reads an extended attribute's value, or the list of their names (name null), whole.
bool read_attribute(int fd, const char* name, std::string& out) {
  for (;;) {
    const ssize_t size =
        name == nullptr ? ::flistxattr(fd, nullptr, 0) : ::fgetxattr(fd, name, nullptr, 0);
    if (size < 0) return false;
    out.resize(static_cast<std::size_t>(size));
    const ssize_t got = name == nullptr ? ::flistxattr(fd, out.data(), out.size())
                                        : ::fgetxattr(fd, name, out.data(), out.size());
    if (got >= 0) {
      out.resize(static_cast<std::size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;  // ERANGE: it grew meanwhile
  }
}

bool attributes_unsupported(int error) {
  return error == ENOTSUP || error == EOPNOTSUPP;
}

// The names in a list that flistxattr gives, each ended by a zero byte.
std::vector<std::string> attribute_names(const std::string& list) {
  std::vector<std::string> names;
  for (std::size_t at = 0, end = 0; (end = list.find('\0', at)) != std::string::npos;
       at = end + 1) {
    names.push_back(list.substr(at, end - at));
  }
  return names;
}

// Gives the new file every extended attribute of the old one (the access list, which also
// sets the group bits of the mode, user attributes, security labels) and none other (an
// access list the directory hands down to new files). False when that cannot be done.
bool copy_attributes(int from, int to) {
  std::string list;
  if (!read_attribute(from, nullptr, list)) return attributes_unsupported(errno);
  const std::vector<std::string> names = attribute_names(list);
  std::string value, present;
  for (const std::string& name : names) {
    if (!read_attribute(from, name.c_str(), value)) return false;
    // A label the system gave the new file already needs no right to change it.
    if (read_attribute(to, name.c_str(), present) && present == value) continue;
    if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) return false;
  }
  if (!read_attribute(to, nullptr, list)) return false;
  for (const std::string& name : attribute_names(list)) {
    if (std::find(names.begin(), names.end(), name) != names.end()) continue;
    if (::fremovexattr(to, name.c_str()) != 0) return false;
  }
  return true;
}

bool cannot_create_here(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

// Makes the rename itself durable; a failure here does not undo the replacement.
void sync_directory(const std::string& path) {
  const int dir = open_retrying(directory_of(path).c_str(), O_RDONLY | O_DIRECTORY);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

// The file's own way: overwrite from the start in one write, cut to the new length, sync.
// A write by someone other than root clears setuid and setgid bits: the owner sets them
// again.
bool write_in_place(int fd, std::string_view bytes, mode_t mode) {
  if (::lseek(fd, 0, SEEK_SET) != 0 || !write_all(fd, bytes) ||
      ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
    return false;
  }
  struct stat now {};
  if (::fstat(fd, &now) == 0 && (now.st_mode & 07777) != mode) ::fchmod(fd, mode);
  return ::fsync(fd) == 0;
}

// A first save where no temporary file can be named: the file itself, created exclusively.
bool create_in_place(const std::string& target, std::string_view bytes) {
  const int fd = open_retrying(target.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return false;
  const bool written = write_all(fd, bytes) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written) {
    ::unlink(target.c_str());  // half a file would read as a damaged ranking
    return false;
  }
  sync_directory(target);
  return true;
}

// Cases where a new file could not stand in for the old one by any means.
bool needs_in_place(const struct stat& info, const std::string& target) {
  return info.st_nlink > 1 || (info.st_mode & (S_ISUID | S_ISGID)) != 0 || !temp_name_fits(target);
}

enum class Replaced { Done, Failed, NotHere };

// The file being replaced: its descriptor (open for writing) and what fstat told of it.
struct OldFile {
  int fd;
  struct stat info;
};

// The new file, with the old one's owner and mode, takes its attributes too and then stands
// in exactly for it.
bool same_standing(int fd, const OldFile& old) {
  if (!copy_attributes(old.fd, fd)) return false;
  struct stat now {};
  return ::fstat(fd, &now) == 0 && (now.st_mode & 07777) == (old.info.st_mode & 07777);
}

Replaced fill_temp(int fd, std::string_view bytes, mode_t mode, const OldFile* old) {
  if (old != nullptr && !keep_owner(fd, old->info)) return Replaced::NotHere;
  // The mode first: the access list copied after it sets the group bits as the old file has.
  if (::fchmod(fd, mode) != 0) return Replaced::Failed;
  if (old != nullptr && !same_standing(fd, *old)) return Replaced::NotHere;
  if (!write_all(fd, bytes) || ::fsync(fd) != 0) return Replaced::Failed;
  return Replaced::Done;
}

// Writes the bytes into a temporary file and renames it over target. NotHere when no file
// can be made or renamed in the directory, or the new one could not stand in exactly for
// the old one: the old file is then untouched and may be written in place.
Replaced replace_by_rename(const std::string& target, std::string_view bytes, mode_t mode,
                           const OldFile* old) {
  std::string name;
  int fd = create_temp(target, name);
  if (fd < 0) return cannot_create_here(errno) ? Replaced::NotHere : Replaced::Failed;
  Replaced filled = fill_temp(fd, bytes, mode, old);
  if (filled == Replaced::Done && name.empty() && !name_temp(fd, target, name)) {
    // An unnamed file that cannot be named here (no /proc): once more with a named one.
    ::close(fd);
    fd = create_named_temp(target, name);
    if (fd < 0) return Replaced::Failed;
    filled = fill_temp(fd, bytes, mode, old);
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

// Takes the lock without blocking, again and again until the patience is spent, so that a
// signal acts at once and a lock that is never let go costs only a failed save.
bool lock_patiently(int fd, std::chrono::milliseconds patience) {
  auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return false;
    if (run_lock_wait_check()) deadline = std::chrono::steady_clock::now() + patience;
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
  if (current < 0) {
    const Replaced result = temp_name_fits(target)
                                ? replace_by_rename(target, bytes, new_file_mode(), nullptr)
                                : Replaced::NotHere;
    return result == Replaced::Done ||
           (result == Replaced::NotHere && create_in_place(target, bytes));
  }
  const mode_t mode = info.st_mode & 07777;
  const OldFile old{current, info};
  Replaced result = needs_in_place(info, target) ? Replaced::NotHere
                                                 : replace_by_rename(target, bytes, mode, &old);
  if (result == Replaced::NotHere) {
    result = write_in_place(current, bytes, mode) ? Replaced::Done : Replaced::Failed;
  }
  ::close(current);
  return result == Replaced::Done;
}

FileLock::FileLock(const std::string& path, int patience_ms) {
  const std::string target = follow_links(path);
  for (;;) {
    bool directory = false;
    int fd = open_retrying(target.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
      directory = true;
      fd = open_retrying(directory_of(target).c_str(), O_RDONLY | O_DIRECTORY);
    }
    if (fd < 0) return;
    if (!lock_patiently(fd, std::chrono::milliseconds(patience_ms))) {
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
