#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "ranking/file_store.h"

namespace yut {
namespace {

// The path as Windows wants it: UTF-16 from the UTF-8 the program works in.
std::wstring wide(const std::string& path) {
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), out.data(), n);
  return out;
}

// Others may read, write or rename over the file while it is open here, so that a game
// reading the ranking does not stand in the way of another one saving it.
HANDLE open_file(const std::string& path, DWORD access, DWORD disposition) {
  return ::CreateFileW(wide(path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A rename onto a file that another process holds open for a moment (a game reading the
// ranking, a virus scanner) fails with a sharing error: it is tried again for a while.
constexpr int kRenameTries = 40;
constexpr DWORD kRenamePauseMs = 5;

bool rename_over(const std::string& from, const std::string& to) {
  for (int attempt = 1;; ++attempt) {
    if (::MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = ::GetLastError();
    if (attempt == kRenameTries ||
        (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
      return false;
    }
    ::Sleep(kRenamePauseMs);
  }
}

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

ReadStatus read_file_start(const std::string& path, std::size_t max_bytes, std::string& out) {
  out.clear();
  const HANDLE file = open_file(path, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return missing ? ReadStatus::Missing : ReadStatus::Failed;
  }
  out.resize(max_bytes);
  std::size_t got = 0;
  bool failed = false;
  while (got < max_bytes) {
    DWORD n = 0;
    if (!::ReadFile(file, out.data() + got, static_cast<DWORD>(max_bytes - got), &n, nullptr)) {
      failed = true;
    }
    if (failed || n == 0) break;
    got += n;
  }
  ::CloseHandle(file);
  out.resize(got);
  return failed ? ReadStatus::Failed : ReadStatus::Read;
}

bool replace_file(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".tmp";
  const HANDLE file = open_file(temp, GENERIC_WRITE, CREATE_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = write_all(file, bytes) && ::FlushFileBuffers(file);
  const bool closed = ::CloseHandle(file) != 0;
  if (!written || !closed || !rename_over(temp, path)) {
    ::DeleteFileW(wide(temp).c_str());
    return false;
  }
  return true;
}

FileLock::FileLock(const std::string& path) {
  const HANDLE file = open_file(path + ".lock", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED whole{};
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    ::CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  held_ = true;
}

FileLock::~FileLock() {
  // Closing the handle lets the lock go.
  if (held_) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace yut
