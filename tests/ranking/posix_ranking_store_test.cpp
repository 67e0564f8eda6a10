// The ranking file on POSIX: two games ending at the same moment in two processes, and
// things other than a regular file standing in its place. (fork and FIFOs: not on Windows.)
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "ranked_table.h"
#include "ranking/ranking.h"
#include "temp_dir.h"

namespace yut {
namespace {

using testing::ranked_table;
using testing::TempDir;

TEST(PosixRankingStoreTest, TwoProcessesInsertingAtOnceKeepBothEntries) {
  TempDir dir;
  const std::string path = dir.file("lanksave.txt");
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_TRUE(write_ranking_file(ranked_table(900, 100), path));
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
      children[c] = fork();
      ASSERT_GE(children[c], 0);
      if (children[c] == 0) {
        RankingTable table{};  // both saw the file as it was before either saved
        const bool ok = insert_high_score(table, path, c == 0 ? "one" : "two", 1000 + c);
        _exit(ok ? 0 : 1);
      }
    }
    for (const pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RankingTable saved{};
    ASSERT_EQ(read_ranking_file(saved, path), ReadStatus::Read);
    EXPECT_STREQ(saved[0].name.data(), "two") << round;
    EXPECT_STREQ(saved[1].name.data(), "one") << round;
    EXPECT_EQ(saved[2].score, 900) << round;
  }
}

TEST(PosixRankingStoreTest, NoRegularFileInItsPlaceFailsWithoutHanging) {
  TempDir dir;
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  RankingTable table = ranked_table(5, 1);
  EXPECT_EQ(read_ranking_file(table, fifo), ReadStatus::Failed);
  EXPECT_EQ(read_ranking_file(table, dir.file("")), ReadStatus::Failed);  // a directory
  EXPECT_EQ(table[0].score, 5);
  // What cannot be read is never replaced: its entries would be lost.
  EXPECT_FALSE(insert_high_score(table, fifo, "X", 700));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

}  // namespace
}  // namespace yut
#endif  // _WIN32
