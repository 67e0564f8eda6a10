#include "game/routes.h"

#include <gtest/gtest.h>

#include <vector>

namespace yut {
namespace {

struct WalkCase {
  BoardPlace start;
  int steps;
  BoardPlace end;
};

// Where a forward walk ends, from every kind of station, written from the board's lines:
// the outer way runs up the right column, left along the top, down the left column and
// right along the bottom; only the two top corners and the centre take a diagonal.
TEST(Routes, ForwardWalkFromEveryKindOfStation) {
  // clang-format off
  const std::vector<WalkCase> cases = {
      // entering on the goal corner
      {{6, 6}, 1, {6, 5}}, {{6, 6}, 2, {6, 4}}, {{6, 6}, 3, {6, 3}}, {{6, 6}, 4, {6, 2}},
      {{6, 6}, 5, {6, 1}},
      // right column, passing the top-right corner without turning
      {{6, 3}, 1, {6, 2}}, {{6, 3}, 3, {6, 0}}, {{6, 3}, 4, {5, 0}}, {{6, 1}, 1, {6, 0}},
      {{6, 1}, 2, {5, 0}}, {{6, 1}, 5, {2, 0}},
      // top-right corner: first diagonal
      {{6, 0}, 1, {5, 1}}, {{6, 0}, 2, {4, 2}}, {{6, 0}, 3, {3, 3}}, {{6, 0}, 4, {2, 4}},
      {{6, 0}, 5, {1, 5}},
      // top row, passing the top-left corner without turning
      {{3, 0}, 2, {1, 0}}, {{3, 0}, 3, {0, 0}}, {{3, 0}, 4, {0, 1}}, {{1, 0}, 5, {0, 4}},
      // top-left corner: second diagonal
      {{0, 0}, 1, {1, 1}}, {{0, 0}, 3, {3, 3}}, {{0, 0}, 5, {5, 5}},
      // left column and the bottom-left corner (no shortcut there)
      {{0, 1}, 5, {0, 6}}, {{0, 3}, 4, {1, 6}}, {{0, 5}, 2, {1, 6}}, {{0, 6}, 1, {1, 6}},
      {{0, 6}, 5, {5, 6}},
      // bottom row
      {{1, 6}, 4, {5, 6}}, {{3, 6}, 2, {5, 6}},
      // first diagonal above the centre: straight through it, on to the bottom-left corner
      {{5, 1}, 1, {4, 2}}, {{5, 1}, 2, {3, 3}}, {{5, 1}, 3, {2, 4}}, {{5, 1}, 5, {0, 6}},
      {{4, 2}, 4, {0, 6}}, {{4, 2}, 5, {1, 6}},
      // the centre: second diagonal
      {{3, 3}, 1, {4, 4}}, {{3, 3}, 2, {5, 5}},
      // first diagonal below the centre, then the bottom row
      {{2, 4}, 1, {1, 5}}, {{2, 4}, 2, {0, 6}}, {{2, 4}, 3, {1, 6}}, {{1, 5}, 5, {4, 6}},
      // second diagonal
      {{1, 1}, 1, {2, 2}}, {{2, 2}, 1, {3, 3}}, {{4, 4}, 1, {5, 5}}, {{1, 1}, 4, {5, 5}},
  };
  // clang-format on
  for (const WalkCase& c : cases) {
    const BoardPlace end = walk_forward(c.start, c.steps);
    EXPECT_EQ(end, c.end) << "from (" << c.start.i << "," << c.start.j << ") by " << c.steps
                          << " got (" << end.i << "," << end.j << ")";
  }
}

// The goal ends the walk at once; surplus steps are dropped.
TEST(Routes, WalkEndsAtTheGoalWithSurplusDropped) {
  // clang-format off
  const std::vector<WalkCase> cases = {
      {{4, 4}, 2, kStartGoal}, {{4, 4}, 3, kStartGoal}, {{4, 4}, 5, kStartGoal},
      {{5, 5}, 1, kStartGoal}, {{3, 3}, 3, kStartGoal}, {{3, 3}, 5, kStartGoal},
      {{5, 6}, 1, kStartGoal}, {{5, 6}, 5, kStartGoal}, {{2, 6}, 4, kStartGoal},
      {{1, 5}, 5, {4, 6}},     {{0, 6}, 5, {5, 6}},     {{1, 1}, 5, kStartGoal},
  };
  // clang-format on
  for (const WalkCase& c : cases) {
    EXPECT_EQ(walk_forward(c.start, c.steps), c.end)
        << "from (" << c.start.i << "," << c.start.j << ") by " << c.steps;
  }
}

// Every station one step back, as the board's rules list them.
TEST(Routes, BackDoFromEveryStation) {
  // clang-format off
  const std::vector<std::pair<BoardPlace, BoardPlace>> back = {
      {{6, 6}, {5, 6}},  // a waiting piece entering with back-do
      {{6, 5}, {6, 6}}, {{6, 4}, {6, 5}}, {{6, 3}, {6, 4}}, {{6, 2}, {6, 3}}, {{6, 1}, {6, 2}},
      {{6, 0}, {6, 1}}, {{5, 0}, {6, 0}}, {{4, 0}, {5, 0}}, {{3, 0}, {4, 0}}, {{2, 0}, {3, 0}},
      {{1, 0}, {2, 0}}, {{0, 0}, {1, 0}}, {{0, 1}, {0, 0}}, {{0, 2}, {0, 1}}, {{0, 3}, {0, 2}},
      {{0, 4}, {0, 3}}, {{0, 5}, {0, 4}}, {{0, 6}, {0, 5}}, {{1, 6}, {0, 6}}, {{2, 6}, {1, 6}},
      {{3, 6}, {2, 6}}, {{4, 6}, {3, 6}}, {{5, 6}, {4, 6}}, {{5, 1}, {6, 0}}, {{4, 2}, {5, 1}},
      {{2, 4}, {3, 3}}, {{1, 5}, {2, 4}}, {{3, 3}, {2, 2}}, {{1, 1}, {0, 0}}, {{2, 2}, {1, 1}},
      {{4, 4}, {3, 3}}, {{5, 5}, {4, 4}},
  };
  // clang-format on
  ASSERT_EQ(back.size(), 33U);  // every station once
  for (const auto& [from, to] : back) {
    EXPECT_EQ(step_back(from), to) << "from (" << from.i << "," << from.j << ")";
  }
}

// A cell off the board or without a station never moves anything.
TEST(Routes, NonStationsGoNowhere) {
  for (const BoardPlace s :
       {BoardPlace{2, 1}, BoardPlace{3, 4}, BoardPlace{-1, 0}, BoardPlace{7, 7}}) {
    EXPECT_EQ(walk_forward(s, 3), s);
    EXPECT_EQ(step_back(s), s);
  }
}

}  // namespace
}  // namespace yut
