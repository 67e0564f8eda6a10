#pragma once
// The little the ranking needs from the file system, one back end per platform
// (posix_file_store.cpp, windows_file_store.cpp): read a file's first bytes, replace a
// file whole without ever leaving it half written, and a lock between processes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace yut {

enum class ReadStatus { Read, Missing, Failed };

// Reads at most max_bytes from the start of the file into out (binary, no translation).
ReadStatus read_file_start(const std::string& path, std::size_t max_bytes, std::string& out);

// Writes bytes to "<path>.tmp", flushes them to the disk and renames the temporary file
// over path. On any failure the file at path is left as it was and false is returned.
bool replace_file(const std::string& path, std::string_view bytes);

// Holds an exclusive lock on "<path>.lock" from construction to destruction, waiting for
// another process to let it go. held() is false when the lock could not be taken.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();
  bool held() const { return held_; }

 private:
  std::intptr_t handle_ = -1;
  bool held_ = false;
};

}  // namespace yut
