// The ranking file on Windows, where an open file can stand in the way of a rename: games
// that show the ranking (reading the file, often) while another saves a high score must not
// make that save fail.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace yut
