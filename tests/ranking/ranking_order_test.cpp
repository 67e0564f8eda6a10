#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ranking/ranking.h"

namespace yut {
namespace {

// A table whose entries are named by their index, with the given scores.
RankingTable table_of(const std::vector<int>& scores) {
  RankingTable table{};
  for (std::size_t i = 0; i < scores.size(); ++i) {
    table[i].name[0] = static_cast<char>('a' + i);
    table[i].score = scores[i];
  }
  return table;
}

std::string names(const RankingTable& table) {
  std::string out;
  for (const auto& e : table) out.push_back(e.name[0]);
  return out;
}

TEST(RankingOrderTest, QualifiesOnlyWhenStrictlyAboveAShownScore) {
  struct Case {
    std::vector<int> shown;
    int score;
    int expected;
  };
  const std::vector<int> nine = {9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000};
  const Case cases[] = {
      {{}, 1, 1},
      {{}, 0, 0},
      {{}, -250, 0},
      {nine, 1000, 0},
      {nine, 1001, 1},
      {nine, 999999, 1},
      {nine, -5, 0},
      // A shown entry below zero still counts; the candidate slot never does.
      {{5, 5, 5, 5, 5, 5, 5, 5, -1, 100}, 0, 1},
      {{5, 5, 5, 5, 5, 5, 5, 5, 5, -100}, 0, 0},
      {{-2147483647 - 1, 1, 1, 1, 1, 1, 1, 1, 1}, -2147483647, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ranking_qualifies(table_of(c.shown), c.score), c.expected) << c.score;
  }
}

TEST(RankingOrderTest, SortPlacesTheCandidateBelowEqualScores) {
  struct Case {
    const char* what;
    std::vector<int> scores;  // entries 0..9, entry 9 the candidate
    std::string order;        // names after the sort
  };
  const Case cases[] = {
      {"candidate in the middle", {900, 800, 700, 600, 500, 400, 300, 200, 100, 550}, "abcdjefghi"},
      {"candidate equal to one score goes below it",
       {900, 800, 700, 600, 500, 400, 300, 200, 100, 500},
       "abcdejfghi"},
      {"candidate below every score drops out",
       {900, 800, 700, 600, 500, 400, 300, 200, 100, 50},
       "abcdefghij"},
      {"candidate equal to the lowest drops out", {9, 8, 7, 6, 5, 4, 3, 2, 1, 1}, "abcdefghij"},
      {"empty table: candidate first", {0, 0, 0, 0, 0, 0, 0, 0, 0, 250}, "jbcdefghia"},
      {"negative scores", {0, 0, 0, 0, 0, 0, 0, 0, -5, -1}, "abcdefghji"},
      {"reverse order", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "jihgfedcba"},
  };
  for (const Case& c : cases) {
    RankingTable table = table_of(c.scores);
    sort_ranking(table);
    EXPECT_EQ(names(table), c.order) << c.what;
    for (std::size_t i = 0; i + 1 < table.size(); ++i) {
      EXPECT_GE(table[i].score, table[i + 1].score) << c.what;
    }
  }
}

TEST(RankingOrderTest, SwapExchangesWholeEntries) {
  RankingEntry a;
  RankingEntry b;
  a.name.fill('a');
  a.score = 1;
  b.name.fill('b');
  b.score = -1;
  swap_entries(a, b);
  EXPECT_EQ(a.name[19], 'b');
  EXPECT_EQ(a.score, -1);
  EXPECT_EQ(b.name[0], 'a');
  EXPECT_EQ(b.score, 1);
}

}  // namespace
}  // namespace yut
