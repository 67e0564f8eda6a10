#pragma once
// The little the ranking needs from the file system, one back end per platform
// (posix_file_store.cpp, windows_file_store.cpp): read a file's first bytes, replace a
// file's bytes without ever leaving it half written, and a lock between processes.
//
// The file is the user's: a link to it is followed, a file this user may not write is left
// alone, and no file of the game's own (a lock, a temporary file) stays beside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace yut {

enum class ReadStatus { Read, Missing, Failed };

// Reads at most max_bytes from the start of the file into out (binary, no translation).
ReadStatus read_file_start(const std::string& path, std::size_t max_bytes, std::string& out);

// Gives the file at path (or at the end of the links it names) the new bytes. They go into
// a temporary file beside it, made exclusively under a name nobody can predict, with the
// file's mode and owner, synced and renamed over the file: the file is then the old one or
// the new one, whole, whatever happens. A file that this user may not write is left as it
// is. Where no file can be made beside it (a read-only directory) or the replacement could
// not keep the file's owner, the file is written in place and synced. False on any failure;
// a temporary file is never left behind.
bool replace_file(const std::string& path, std::string_view bytes);

// How long a save waits for another game's lock before it gives up.
inline constexpr int kLockPatienceMs = 4000;

// Holds an exclusive lock on the file at path (the end of its links), or on its directory
// while the file does not exist, from construction to destruction. Nothing is created for
// it, so a game killed while holding it leaves nothing that blocks the next save. The wait
// for another process is bounded by patience_ms and ends the game at once when a signal asks
// it to quit. held() is false when the lock could not be taken.
class FileLock {
 public:
  explicit FileLock(const std::string& path, int patience_ms = kLockPatienceMs);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();
  bool held() const { return held_; }

 private:
  std::intptr_t handle_ = -1;
  bool held_ = false;
};

}  // namespace yut
