// The ranking file on Windows, where an open file can stand in the way of a rename: games
// that show the ranking (reading the file, often) while another saves a high score must not
// make that save fail.
#include <gtest/gtest.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "ranking/file_store.h"
#include "temp_dir.h"

namespace yut {
namespace {

using testing::read_bytes;
using testing::TempDir;

TEST(WindowsFileStoreTest, SavesSucceedWhileTheFileIsBeingRead) {
  TempDir dir;
  const std::string path = dir.file("lanksave.txt");
  const std::string first(216, 'a');
  const std::string second(216, 'b');
  ASSERT_TRUE(replace_file(path, first));

  std::atomic<bool> stop{false};
  std::atomic<int> torn_reads{0};
  std::thread reader([&] {
    std::string bytes;
    while (!stop) {
      if (read_file_start(path, 1024, bytes) == ReadStatus::Read && bytes != first &&
          bytes != second) {
        ++torn_reads;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  constexpr int kSaves = 300;
  int failed_saves = 0;
  for (int i = 0; i < kSaves; ++i) {
    if (!replace_file(path, i % 2 == 0 ? second : first)) ++failed_saves;
  }
  stop = true;
  reader.join();
  EXPECT_EQ(failed_saves, 0);
  EXPECT_EQ(torn_reads, 0);  // a reader sees the old file or the new one, never a mixture
  EXPECT_EQ(read_bytes(path), first);

  // A read-only file is how a user freezes a ranking: it is left as it is.
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(replace_file(path, second));
  EXPECT_EQ(read_bytes(path), first);
  fs::permissions(path, fs::perms::all);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("")), fs::directory_iterator()), 1)
      << "nothing is left beside the file";
}

std::wstring wide(const std::string& utf8) {
  std::wstring out(utf8.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    out.data(), static_cast<int>(out.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

bool exists(const std::string& utf8_path) {
  return GetFileAttributesW(wide(utf8_path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// An hour back, as of a file that has stood there since.
void make_old(const std::string& utf8_path) {
  const HANDLE file = CreateFileW(wide(utf8_path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER then{};
  then.LowPart = now.dwLowDateTime;
  then.HighPart = now.dwHighDateTime;
  then.QuadPart -= 3600ULL * 10000000ULL;
  const FILETIME old{then.LowPart, then.HighPart};
  SetFileTime(file, nullptr, nullptr, &old);
  CloseHandle(file);
}

TEST(WindowsFileStoreTest, HangulFolderHeldFileLinksAndLeftovers) {
  TempDir dir;
  // A Hangul folder, as a Korean user's profile has: the path in UTF-8 reaches it.
  const std::string folder = dir.file("") + "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99";  // 홍길동
  ASSERT_TRUE(CreateDirectoryW(wide(folder).c_str(), nullptr));
  const std::string path = folder + "\\lanksave.txt";
  const std::string first(216, 'a');
  const std::string second(216, 'b');
  ASSERT_TRUE(replace_file(path, first));
  std::string bytes;
  ASSERT_EQ(read_file_start(path, 1024, bytes), ReadStatus::Read);
  EXPECT_EQ(bytes, first);

  // What the user set on the file stays: here the hidden attribute.
  ASSERT_TRUE(SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(replace_file(path, first));
  EXPECT_NE(GetFileAttributesW(wide(path).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0U);

  // Another program holds the file for a second with no sharing but reading (a virus scanner,
  // a sync tool): the save waits it out.
  std::atomic<bool> holding{false};
  std::thread holder([&] {
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    holding = true;
    Sleep(1000);
    CloseHandle(file);
  });
  while (!holding) Sleep(1);
  EXPECT_TRUE(replace_file(path, second));
  holder.join();
  ASSERT_EQ(read_file_start(path, 1024, bytes), ReadStatus::Read);
  EXPECT_EQ(bytes, second);

  // A hard link keeps naming the ranking; the user's own backup stays; the game's own old
  // leftover goes, a fresh one (a save in progress) stays.
  const std::string link = folder + "\\other-name";
  ASSERT_TRUE(CreateHardLinkW(wide(link).c_str(), wide(path).c_str(), nullptr));
  const std::string backup = path + ".tmp-backup";
  const std::string leftover = path + ".yut-tmp-Ab12Cd";
  const std::string fresh = path + ".yut-tmp-Fresh1";
  for (const std::string& name : {backup, leftover, fresh}) ASSERT_TRUE(replace_file(name, first));
  make_old(backup);
  make_old(leftover);
  EXPECT_TRUE(replace_file(path, first));
  ASSERT_EQ(read_file_start(link, 1024, bytes), ReadStatus::Read);
  EXPECT_EQ(bytes, first);
  EXPECT_TRUE(exists(backup));
  EXPECT_FALSE(exists(leftover));
  EXPECT_TRUE(exists(fresh));
  for (const std::string& name : {link, backup, fresh, path}) DeleteFileW(wide(name).c_str());
  RemoveDirectoryW(wide(folder).c_str());
}

}  // namespace
}  // namespace yut
