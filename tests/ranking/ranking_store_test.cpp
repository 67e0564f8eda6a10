// The ranking file on disk: replacing it whole, inserting into what is saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ranked_table.h"
#include "ranking/file_store.h"
#include "ranking/ranking.h"
#include "ranking/ranking_file.h"
#include "temp_dir.h"

namespace yut {
namespace {

using testing::ranked_table;
using testing::read_bytes;
using testing::TempDir;
using testing::write_bytes;
using namespace std::string_literals;

RankingTable load(const std::string& path) {
  RankingTable table{};
  EXPECT_EQ(read_ranking_file(table, path), ReadStatus::Read);
  return table;
}

TEST(RankingStoreTest, WriteThenReadAndMissingFile) {
  TempDir dir;
  const std::string path = dir.file("lanksave.txt");
  RankingTable table{};
  EXPECT_EQ(read_ranking_file(table, path), ReadStatus::Missing);

  ASSERT_TRUE(write_ranking_file(ranked_table(2750, 250), path));
  // Written out by hand: "A" with 2750 (BE 0A 00 00, the 0A stored as 0D 0A), "B" with
  // 2500 (C4 09 00 00), ...
  const std::string bytes = read_bytes(path);
  const std::string z19(19, '\0');
  EXPECT_EQ(bytes.substr(0, 49),
            "A"s + z19 + "\xBE\x0D\x0A\x00\x00"s + "B"s + z19 + "\xC4\x09\x00\x00"s);
  EXPECT_EQ(bytes.size(), kRecordsBytes + 1);  // no other 0x0A
  EXPECT_EQ(load(path)[0].score, 2750);
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.file(""))) {
    ++files;
  }
  EXPECT_EQ(files, 1U) << "nothing is left beside the file";
}

TEST(RankingStoreTest, NoDirectoryNoSave) {
  TempDir dir;
  // No lock can be taken in a directory that does not exist: nothing is written, and
  // only the table holds the new entry.
  RankingTable unsaved = ranked_table(500, 50);
  EXPECT_FALSE(insert_high_score(unsaved, dir.file("missing/lanksave.txt"), "Y", 600));
  EXPECT_STREQ(unsaved[0].name.data(), "Y");
  EXPECT_EQ(unsaved[1].score, 500);
}

TEST(RankingStoreTest, InsertLoadsTheFileAgainFirst) {
  TempDir dir;
  const std::string path = dir.file("lanksave.txt");
  ASSERT_TRUE(write_ranking_file(ranked_table(900, 100), path));

  RankingTable stale{};  // what this process saw before another game saved
  ASSERT_TRUE(insert_high_score(stale, path, "new", 450));
  const RankingTable saved = load(path);
  const int expected[] = {900, 800, 700, 600, 500, 450, 400, 300, 200};
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(saved[i].score, expected[i]) << i;
  EXPECT_STREQ(saved[5].name.data(), "new");
  EXPECT_EQ(stale[5].score, 450);  // the table in memory is the saved one

  // A score that the file's entries have overtaken meanwhile leaves the file alone.
  const std::string before = read_bytes(path);
  RankingTable empty{};
  EXPECT_TRUE(insert_high_score(empty, path, "late", 200));
  EXPECT_EQ(read_bytes(path), before);
}

}  // namespace
}  // namespace yut
