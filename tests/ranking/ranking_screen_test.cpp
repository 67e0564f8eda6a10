#include <gtest/gtest.h>

#include <string>

#include "console_fixture.h"
#include "ranking/ranking.h"
#include "ranking/ranking_name.h"

namespace yut {
namespace {

using testing::GameEndFixture;

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

RankingEntry entry(const std::string& cp949_name, int score) {
  RankingEntry e;
  std::copy(cp949_name.begin(), cp949_name.end(), e.name.begin());
  e.score = score;
  return e;
}

TEST(RankingScreenTest, BoxAndNineLinesOnTheirColumns) {
  GameEndFixture f;
  f.con.gotoxy(30, 30);
  f.con.print("left from before");
  RankingTable table{};
  table[0] = entry("\xC8\xAB\xB1\xE6\xB5\xBF", 2750);  // 홍길동: six bytes, no padding
  table[1] = entry("AB", 1000000);                     // padded to six columns
  table[2] = entry(
      "\xB0\xA1"
      "12345678",
      -250);                             // 가12345678: ten columns
  table[3] = entry("a\x1B[2J", 5);       // control bytes shown as "?"
  table[9] = entry("candidate", 99999);  // never shown
  show_ranking(f.con, table);

  EXPECT_EQ(f.row(30), std::string(80, ' '));  // the screen was cleared
  EXPECT_EQ(f.text(0, 0, 46), "┏" + repeat("━", 21) + "┓");
  for (int y = 1; y <= 21; ++y) {
    if (y >= 5 && y <= 13) continue;
    EXPECT_EQ(f.text(0, y, 46), "┃" + std::string(42, ' ') + "┃") << y;
  }
  EXPECT_EQ(f.text(0, 22, 46), "┗" + repeat("━", 21) + "┛");
  EXPECT_EQ(f.text(0, 5, 5), "┃   ");

  struct Line {
    int y;
    std::string text;
  };
  const Line lines[] = {
      {5, "1등  :  홍길동      2750 점 입니다. "},     {6, "2등  :      AB   1000000 점 입니다. "},
      {7, "3등  :  가12345678      -250 점 입니다. "}, {8, "4등  :   a?[2J         5 점 입니다. "},
      {9, "5등  :                 0 점 입니다. "},     {13, "9등  :                 0 점 입니다. "},
  };
  for (const Line& line : lines) {
    EXPECT_EQ(f.text(5, line.y, screen_columns(line.text)), line.text) << line.y;
  }
  // A name of six columns or less keeps the line in columns 5 to 40, inside the box.
  EXPECT_EQ(f.text(41, 5, 5), "   ┃");
  EXPECT_EQ(f.text(0, 14, 3), "┃ ");
}

}  // namespace
}  // namespace yut
