#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <cwctype>
#include <random>
#include <string>

#include "console/platform/terminal.h"
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
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE open_file(const std::wstring& path, DWORD access, DWORD disposition) {
  return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The file at the end of the links that path names (path itself when it is no link or does
// not exist), so that a save through a link reaches the linked file.
std::wstring follow_links(const std::wstring& path) {
  const HANDLE file = open_file(path, 0, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::wstring final(MAX_PATH, L'\0');
  DWORD n = ::GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
  if (n >= final.size()) {
    final.resize(n + 1);
    n = ::GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), 0);
  }
  ::CloseHandle(file);
  if (n == 0 || n >= final.size()) return path;
  final.resize(n);
  return final;
}

// A rename onto a file that another process holds open for a moment (a game reading the
// ranking, a virus scanner) fails with a sharing error: it is tried again for a while.
constexpr int kRenameTries = 40;
constexpr DWORD kRenamePauseMs = 5;
constexpr int kNameTries = 100;
constexpr DWORD kLockRetryMs = 10;

bool rename_over(const std::wstring& from, const std::wstring& to) {
  for (int attempt = 1;; ++attempt) {
    if (::MoveFileExW(from.c_str(), to.c_str(),
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

std::wstring random_letters(std::size_t count) {
  static constexpr std::wstring_view kLetters = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::wstring out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(kLetters[device() % kLetters.size()]);
  return out;
}

// A new file beside target, created exclusively (never through a link planted at its name)
// under a name nobody can predict.
HANDLE create_temp(const std::wstring& target, std::wstring& name) {
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    name = target + L".tmp-" + random_letters(6);
    const HANDLE file = open_file(name, GENERIC_WRITE, CREATE_NEW);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// The file's own way, where no new file can be made beside it: overwrite, cut, flush.
bool write_in_place(const std::wstring& target, std::string_view bytes) {
  const HANDLE file = open_file(target, GENERIC_WRITE, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = write_all(file, bytes) && ::SetEndOfFile(file) && ::FlushFileBuffers(file);
  return ::CloseHandle(file) != 0 && written;
}

// The lock is a named mutex rather than a file, so nothing is left beside the ranking, and
// Windows lets it go when a game that holds it dies. Its name stands for the file's path.
std::wstring mutex_name(const std::wstring& target) {
  std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a over the path, case folded
  for (const wchar_t c : target) {
    hash ^= static_cast<std::uint64_t>(::towlower(c));
    hash *= 1099511628211ULL;
  }
  return L"Local\\yutnori-ranking-" + std::to_wstring(hash);
}

std::wstring full_path(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (n >= full.size()) {
    full.resize(n + 1);
    n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (n == 0 || n >= full.size()) return path;
  full.resize(n);
  return full;
}

}  // namespace

ReadStatus read_file_start(const std::string& path, std::size_t max_bytes, std::string& out) {
  out.clear();
  const HANDLE file = open_file(wide(path), GENERIC_READ, OPEN_EXISTING);
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
  const std::wstring target = follow_links(wide(path));
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  // A read-only file is how a user freezes a ranking: it is left as it is.
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  std::wstring temp;
  const HANDLE file = create_temp(target, temp);
  if (file == INVALID_HANDLE_VALUE) {
    return exists && ::GetLastError() == ERROR_ACCESS_DENIED && write_in_place(target, bytes);
  }
  const bool written = write_all(file, bytes) && ::FlushFileBuffers(file);
  const bool closed = ::CloseHandle(file) != 0;
  if (!written || !closed || !rename_over(temp, target)) {
    ::DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

FileLock::FileLock(const std::string& path, int patience_ms) {
  const std::wstring name = mutex_name(full_path(follow_links(wide(path))));
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return;
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(patience_ms);
  for (;;) {
    const DWORD result = ::WaitForSingleObject(mutex, kLockRetryMs);
    // WAIT_ABANDONED: a game died holding it; the save goes on, the file is whole.
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) break;
    end_if_asked_to_quit();
    if (result != WAIT_TIMEOUT || ::GetTickCount64() >= deadline) {
      ::CloseHandle(mutex);
      return;
    }
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  held_ = true;
}

FileLock::~FileLock() {
  if (!held_) return;
  const auto mutex = reinterpret_cast<HANDLE>(handle_);
  ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
}

}  // namespace yut
