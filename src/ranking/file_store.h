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
// file's owner, mode and extended attributes (its access list among them), synced and
// renamed over the file: the file is then the old one or the new one, whole, whatever
// happens. A file that this user may not write is left as it is. Where a new file could not
// stand in exactly for the old one, the old one is written in place, in one write, and
// synced: no file can be made beside it (a read-only directory, a name too long for a
// temporary one), it has other names (hard links), setuid or setgid bits, or an owner or
// attribute that the new file cannot be given. False on any failure; a temporary file is
// never left behind, and one that a killed game left is removed by the next save.
bool replace_file(const std::string& path, std::string_view bytes);

// What a wait for another game's lock does between its tries: acts on what the player asked
// for meanwhile (ends the game, stops it). True when the game was stopped and has been
// continued, so that the wait starts over. The layer that owns the terminal sets it; until
// then the wait only waits.
using LockWaitCheck = bool (*)();
void set_lock_wait_check(LockWaitCheck check);
// Runs the check that is set; false when none is.
bool run_lock_wait_check();

// How long a save waits for another game's lock before it gives up.
inline constexpr int kLockPatienceMs = 4000;

// Holds an exclusive lock on the file at path (the end of its links), or on its directory
// while the file does not exist, from construction to destruction. Nothing is created for
// it, so a game killed while holding it leaves nothing that blocks the next save. The wait
// for another process is bounded by patience_ms (counted anew after the game was stopped) and
// runs the lock wait check between tries. held() is false when the lock could not be taken.
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
