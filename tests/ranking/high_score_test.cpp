// A game end's high-score entry against the file as it is on disk.
#include "ranking/high_score.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "console_fixture.h"
#include "ranked_table.h"
#include "ranking/ranking.h"
#include "ranking/ranking_file.h"

namespace yut {
namespace {

using testing::GameEndFixture;
using testing::ranked_table;
using testing::read_bytes;
using namespace std::string_literals;

const std::string kHong = "\xC8\xAB\xB1\xE6\xB5\xBF";  // 홍길동 in CP949

RankingTable saved_table(const GameEndFixture& f) {
  RankingTable table{};
  EXPECT_EQ(read_ranking_file(table, f.ranking_file), ReadStatus::Read);
  return table;
}

TEST(HighScoreTest, ScoreNotAboveTheStoredNineAsksNothing) {
  for (const int score : {1000, 999, 0}) {  // equal to the lowest, below it, nothing
    GameEndFixture f("typed\n");
    ASSERT_TRUE(write_ranking_file(ranked_table(9000, 1000), f.ranking_file));
    const std::string before = read_bytes(f.ranking_file);
    // A fresh process: the table in memory is still empty.
    EXPECT_EQ(enter_high_score(f.place(), score), EntryResult::kNotAsked) << score;
    EXPECT_EQ(f.row(16), std::string(80, ' ')) << score;
    EXPECT_EQ(f.platform.input_left(), 6U) << score;
    EXPECT_EQ(read_bytes(f.ranking_file), before) << score;
    EXPECT_EQ(f.ranking[8].score, 1000) << score;  // the table now holds the file's entries
  }
}

TEST(HighScoreTest, MissingFileAsksForTheNameAndSavesNineSortedRecords) {
  GameEndFixture f("홍길동 and more\n");
  EXPECT_EQ(enter_high_score(f.place(), 2750), EntryResult::kEntered);

  EXPECT_EQ(f.text(20, 16, 26), "고득점!! 이름을 입력하시오");
  EXPECT_EQ(f.text(20, 17, 2), "[ ");
  EXPECT_EQ(f.text(22, 17, 6), "홍길동");  // the echo of the typing
  EXPECT_EQ(f.con.read_word(), "and");     // the rest of the line stays for later reads

  const std::string bytes = read_bytes(f.ranking_file);
  ASSERT_EQ(bytes.size(), kRecordsBytes + 1);  // 2750 holds a 0x0A, stored as 0x0D 0x0A
  EXPECT_EQ(bytes.substr(0, 25), kHong + std::string(14, '\0') + "\xBE\x0D\x0A\x00\x00"s);
  EXPECT_EQ(bytes.substr(25), std::string(8 * kRecordBytes, '\0'));
  EXPECT_EQ(f.ranking[0].score, 2750);
}

TEST(HighScoreTest, EntersAmongTheStoredEntriesEvenWithAStaleTable) {
  GameEndFixture f("Z\n");
  ASSERT_TRUE(write_ranking_file(ranked_table(900, 100), f.ranking_file));
  enter_high_score(f.place(), 650);
  const RankingTable saved = saved_table(f);
  const char order[] = "ABCZDEFGH";
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(saved[i].name[0], order[i]) << i;
  EXPECT_EQ(saved[3].score, 650);
  EXPECT_EQ(saved[8].score, 200);
}

// A keyboard at which another game saves higher scores while the name is typed.
class OthersSaveMeanwhile : public MemoryPlatform {
 public:
  OthersSaveMeanwhile(std::string typed, std::string path)
      : MemoryPlatform(std::move(typed)), path_(std::move(path)) {}
  int read_byte(int timeout_ms) override {
    if (!saved_) saved_ = write_ranking_file(ranked_table(9000, 1000), path_);
    return MemoryPlatform::read_byte(timeout_ms);
  }

 private:
  std::string path_;
  bool saved_ = false;
};

TEST(HighScoreTest, AScorePushedOutWhileTheNameIsTypedIsSaidSo) {
  GameEndFixture f;
  ASSERT_TRUE(write_ranking_file(ranked_table(900, 100), f.ranking_file));
  OthersSaveMeanwhile keyboard("Z\n", f.ranking_file);
  Console con(keyboard);
  const RankingPlace place{con, f.ranking, f.ranking_file, 44, 19, nullptr};
  EXPECT_EQ(enter_high_score(place, 650), EntryResult::kPushedOut);
  EXPECT_EQ(con.screen().text_at(44, 20, 30), "다른 게임의 점수에 밀렸습니다.");
  EXPECT_EQ(saved_table(f)[8].score, 1000);  // the other game's file stands
}

TEST(HighScoreTest, NameCp949CannotHoldIsAskedForAgain) {
  // The rest of the refused line is thrown away, not taken as the next answer.
  GameEndFixture f("😀 bob-and-more\nok\n");
  f.con.gotoxy(32, 17);
  f.con.print("○");  // the board beside the brackets
  enter_high_score(f.place(), 250);
  EXPECT_EQ(f.text(20, 18, 38), "쓸 수 없는 글자입니다. 다시 입력하시오");
  EXPECT_EQ(f.text(20, 17, 11), "[ ok      ]");
  EXPECT_EQ(f.text(31, 17, 3), " ○");  // the refused line's echo is gone, the board stays
  EXPECT_STREQ(saved_table(f)[0].name.data(), "ok");
}

TEST(HighScoreTest, LongNameIsCutToTheField) {
  GameEndFixture f(std::string(30, 'x') + "\n");
  enter_high_score(f.place(), 250);
  EXPECT_EQ(std::string(saved_table(f)[0].name.data()), std::string(19, 'x'));
}

TEST(HighScoreTest, UnreadableFileIsNotReplacedAndBothFailuresAreShown) {
  GameEndFixture f("Z\n");
  std::filesystem::create_directory(f.ranking_file);  // read and write both fail
  EXPECT_EQ(enter_high_score(f.place(), 5000), EntryResult::kFailed);
  EXPECT_TRUE(std::filesystem::is_directory(f.ranking_file));
  // In the message area beside the board, where nothing draws over them.
  EXPECT_EQ(f.text(44, 19, 32), "Don't open the file. error !!!!!");
  EXPECT_EQ(f.text(44, 20, 32), "Don't open the file. error !!!! ");
  EXPECT_EQ(f.ranking[0].score, 5000);  // the table in memory holds the new entry
}

TEST(HighScoreTest, RankingScreenSaysWhatCannotBeRead) {
  GameEndFixture f;
  // The ranking screen says so inside its box, under the list, for a file it cannot read;
  // a missing file is the first run and says nothing.
  load_and_show_ranking(f.con, f.ranking, f.dir.file("missing"));
  EXPECT_EQ(f.text(5, 15, 32), std::string(32, ' '));
  load_and_show_ranking(f.con, f.ranking, f.dir.file(""));
  EXPECT_EQ(f.text(5, 15, 33), "Don't open the file. error !!!!! ");
  EXPECT_EQ(f.text(5, 5, 3), "1등");
}

}  // namespace
}  // namespace yut
