#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// after windows.h
#include <aclapi.h>

#include <cstdint>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "ranking/file_store.h"
#include "ranking/temp_name.h"

namespace yut {
namespace {

// The path as Windows wants it: UTF-16 from the UTF-8 the program works in.
std::wstring wide(std::string_view path) {
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), out.data(), n);
  return out;
}

std::string narrow(std::wstring_view name) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), out.data(), n,
                        nullptr, nullptr);
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

// Another program may hold the file open for a while (a game reading the ranking, a virus
// scanner, a backup or sync tool), which stands in the way of a replace: it is tried again
// with growing pauses, about two seconds in all, before the file is written in place.
constexpr DWORD kFirstPauseMs = 5;
constexpr DWORD kHeldPatienceMs = 2000;
constexpr int kNameTries = 100;
constexpr DWORD kLockRetryMs = 10;
// The attributes of the file that a user sets and a save keeps.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// The longest name a directory entry can have, in UTF-16 units.
constexpr std::size_t kNameLimit = 255;

bool held_elsewhere(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Runs attempt until it succeeds, fails for a reason other than a held file, or the patience
// is spent.
template <typename Attempt>
bool patiently(Attempt attempt) {
  const ULONGLONG deadline = ::GetTickCount64() + kHeldPatienceMs;
  for (DWORD pause = kFirstPauseMs;; pause *= 2) {
    if (attempt()) return true;
    const DWORD error = ::GetLastError();
    if (!held_elsewhere(error) || ::GetTickCount64() >= deadline) {
      ::SetLastError(error);
      return false;
    }
    ::Sleep(pause);
  }
}

std::size_t last_separator(const std::wstring& path) {
  const std::size_t at = path.find_last_of(L"\\/");
  return at == std::wstring::npos ? 0 : at + 1;
}

// A new file beside target, created exclusively (never through a link planted at its name)
// under a name nobody can predict.
HANDLE create_temp(const std::wstring& target, std::wstring& name) {
  const std::size_t split = last_separator(target);
  const std::string base = narrow(std::wstring_view(target).substr(split));
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    name = target.substr(0, split) + wide(temp_name_for(base));
    const HANDLE file = open_file(name, GENERIC_WRITE, CREATE_NEW);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
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

bool write_and_flush(HANDLE file, std::string_view bytes) {
  return write_all(file, bytes) && ::SetEndOfFile(file) && ::FlushFileBuffers(file);
}

// The file's own way, where it cannot be replaced: overwrite in one write, cut, flush.
bool write_in_place(const std::wstring& target, std::string_view bytes, DWORD disposition) {
  HANDLE file = INVALID_HANDLE_VALUE;
  const bool opened = patiently([&] {
    file = open_file(target, GENERIC_WRITE, disposition);
    return file != INVALID_HANDLE_VALUE;
  });
  if (!opened) return false;
  const bool written = write_and_flush(file, bytes);
  return ::CloseHandle(file) != 0 && written;
}

// The user this process runs as, for telling the game's own leftovers from others' files.
struct CurrentUser {
  std::vector<unsigned char> token_user;
  PSID sid() const {
    return token_user.empty() ? nullptr
                              : reinterpret_cast<const TOKEN_USER*>(token_user.data())->User.Sid;
  }
};

CurrentUser current_user() {
  CurrentUser user;
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return user;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  user.token_user.resize(size);
  if (size == 0 || !::GetTokenInformation(token, TokenUser, user.token_user.data(), size, &size)) {
    user.token_user.clear();
  }
  ::CloseHandle(token);
  return user;
}

bool owned_by(const std::wstring& path, PSID user) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const bool same = owner != nullptr && user != nullptr && ::EqualSid(owner, user);
  ::LocalFree(descriptor);
  return same;
}

// Seconds since the file was last written.
ULONGLONG age_seconds(const FILETIME& written) {
  FILETIME now_time{};
  ::GetSystemTimeAsFileTime(&now_time);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  constexpr ULONGLONG kTicksPerSecond = 10000000;  // FILETIME counts 100 ns
  const ULONGLONG now = ticks(now_time), then = ticks(written);
  return now > then ? (now - then) / kTicksPerSecond : 0;
}

// Removes the temporary files of the file at target that a game ended in the middle of a
// save (Ctrl-C, a closed window, a crash) left behind: the game's own pattern, this user's
// files, unchanged for longer than any save keeps one. Runs under the file's lock.
void remove_left_temps(const std::wstring& target) {
  const std::size_t split = last_separator(target);
  const std::string base = narrow(std::wstring_view(target).substr(split));
  const std::wstring pattern = target + wide(kTempMark) + L"*";
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  const CurrentUser user = current_user();
  do {
    const std::wstring path = target.substr(0, split) + found.cFileName;
    if (is_temp_name(narrow(found.cFileName), base) &&
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        age_seconds(found.ftLastWriteTime) > static_cast<ULONGLONG>(kLeftoverAgeSeconds) &&
        owned_by(path, user.sid())) {
      ::DeleteFileW(path.c_str());
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// Other names of the same file (hard links), which a replace would leave with the old bytes.
bool has_other_names(const std::wstring& target) {
  const HANDLE file = open_file(target, 0, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool linked = ::GetFileInformationByHandle(file, &info) && info.nNumberOfLinks > 1;
  ::CloseHandle(file);
  return linked;
}

bool temp_name_fits(const std::wstring& target) {
  return target.size() - last_separator(target) + kTempMark.size() + kTempLetters <= kNameLimit;
}

// Puts the temporary file in the place of target. ReplaceFileW keeps what the user set on
// the file: its attributes (hidden, say), access list, streams and creation time.
bool put_in_place(const std::wstring& temp, const std::wstring& target, bool exists) {
  bool replace = exists;
  return patiently([&] {
    if (replace) {
      if (::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr)) {
        return true;
      }
      if (::GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return false;
      replace = false;  // the old file is gone, the new one still has its temporary name
    }
    return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  });
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
  // Without the file, a temporary one may be all that a failed replace left of it.
  if (exists) remove_left_temps(target);
  const DWORD in_place = exists ? OPEN_EXISTING : CREATE_NEW;
  if (!temp_name_fits(target) || (exists && has_other_names(target))) {
    return write_in_place(target, bytes, in_place);
  }
  std::wstring temp;
  const HANDLE file = create_temp(target, temp);
  if (file == INVALID_HANDLE_VALUE) {
    // No file can be made beside it (a folder this user may not add to).
    return exists && ::GetLastError() == ERROR_ACCESS_DENIED &&
           write_in_place(target, bytes, in_place);
  }
  const bool written = write_and_flush(file, bytes);
  const bool closed = ::CloseHandle(file) != 0;
  // The attributes the user set (hidden, say), also where the replace does not keep them.
  if (exists) ::SetFileAttributesW(temp.c_str(), attributes & kKeptAttributes);
  if (written && closed && put_in_place(temp, target, exists)) return true;
  // Where the replace took the old file away and could not put the new one in its place, the
  // new one is all there is: it stays.
  if (exists && ::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  ::DeleteFileW(temp.c_str());
  // Held too long, or this user may write the file but not replace it.
  return written && closed && exists && write_in_place(target, bytes, in_place);
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
    run_lock_wait_check();
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
