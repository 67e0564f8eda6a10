// Two games ending at the same moment in two processes: both entries reach the file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "ranking/ranking.h"
#include "temp_dir.h"

namespace yut {
namespace {

using testing::TempDir;

RankingTable descending_table(int top, int step) {
  RankingTable table{};
  for (int i = 0; i < kRankingShown; ++i) {
    table[static_cast<std::size_t>(i)].score = top - i * step;
  }
  return table;
}

TEST(ConcurrentSaveTest, TwoProcessesInsertingAtOnceKeepBothEntries) {
  TempDir dir;
  const std::string path = dir.file("lanksave.txt");
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_TRUE(write_ranking_file(descending_table(900, 100), path));
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

}  // namespace
}  // namespace yut
