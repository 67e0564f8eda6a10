#include "game/movement.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/routes.h"

namespace yut {
namespace {

using Placement = std::pair<BoardPlace, int>;  // a cell and the code it holds

struct Side {
  std::vector<int> stacked;
  std::vector<int> arrived;
};

struct LandingCase {
  std::string name;
  std::vector<Placement> before;
  Side mover_before;     // tables of the moving side
  Side opponent_before;  // tables of the other side
  int side;              // 0 moves with player "1", 1 with "2"/"c"
  int number;            // piece 1..8 or stack 11..18
  int steps;
  Landing landing;
  int points;
  BoardPlace end;
  int end_code;  // what the end cell holds afterwards
  Side mover_after;
  Side opponent_after;
};

void fill(std::array<int, 4>& slots, int& count, const std::vector<int>& codes) {
  slots.fill(0);
  count = 0;
  for (const int code : codes) slots[count++] = code;
}

std::vector<int> listed(const std::array<int, 4>& slots, int count) {
  return {slots.begin(), slots.begin() + count};
}

// Every landing outcome, written from the board's rules: codes, the stacked lists of both
// sides, the arrived list and the points.
TEST(Movement, LandingOutcomes) {
  // clang-format off
  const std::vector<LandingCase> cases = {
      {"enter with do", {}, {}, {}, 0, 1, 1, Landing::kEmpty, 0, {6, 5}, 2, {}, {}},
      {"enter with mo", {}, {}, {}, 0, 2, 5, Landing::kEmpty, 0, {6, 1}, 3, {}, {}},
      {"enter with back-do lands before the goal", {}, {}, {}, 1, 5, -1, Landing::kEmpty, 0,
       {5, 6}, 6, {}, {}},
      {"single reaches the goal", {{{4, 4}, 3}}, {}, {}, 0, 2, 3, Landing::kGoal, 500,
       kStartGoal, 1, {{}, {3}}, {}},
      {"back-do from (6,5) is an arrival", {{{6, 5}, 7}}, {{}, {6}}, {}, 1, 6, -1,
       Landing::kGoal, 500, kStartGoal, 1, {{}, {6, 7}}, {}},
      {"two singles make the first pair", {{{6, 3}, 2}}, {}, {}, 0, 2, 3, Landing::kStacked, 0,
       {6, 3}, 12, {{2, 3}, {}}, {}},
      {"second pair while the first is out", {{{0, 0}, 12}, {{6, 3}, 4}}, {{2, 3}, {}}, {}, 0,
       4, 3, Landing::kStacked, 0, {6, 3}, 15, {{2, 3, 4, 5}, {}}, {}},
      {"first pair again once it has left", {{{0, 0}, 19}, {{6, 3}, 8}}, {{6, 7}, {}}, {}, 1,
       8, 3, Landing::kStacked, 0, {6, 3}, 16, {{6, 7, 8, 9}, {}}, {}},
      {"single onto a pair", {{{6, 4}, 12}}, {{2, 3}, {}}, {}, 0, 3, 2, Landing::kStacked, 0,
       {6, 4}, 13, {{2, 3, 4}, {}}, {}},
      {"single onto a second pair", {{{6, 4}, 19}}, {{6, 7}, {}}, {}, 1, 7, 2,
       Landing::kStacked, 0, {6, 4}, 17, {{6, 7, 8}, {}}, {}},
      {"pair onto pair", {{{6, 4}, 12}, {{6, 2}, 15}}, {{2, 3, 4, 5}, {}}, {}, 0, 11, 2,
       Landing::kStacked, 0, {6, 2}, 14, {{2, 3, 4, 5}, {}}, {}},
      {"single onto a triple", {{{1, 1}, 17}, {{0, 0}, 9}}, {{6, 7, 8}, {}}, {}, 1, 8, 1,
       Landing::kStacked, 0, {1, 1}, 18, {{6, 7, 8, 9}, {}}, {}},
      {"pair onto an own single takes the triple code", {{{6, 4}, 12}, {{6, 2}, 4}},
       {{2, 3}, {}}, {}, 0, 11, 2, Landing::kStacked, 0, {6, 2}, 13, {{2, 3, 4}, {}}, {}},
      {"triple onto an own single takes the quad code", {{{3, 3}, 17}, {{4, 4}, 9}},
       {{6, 7, 8}, {}}, {}, 1, 16, 1, Landing::kStacked, 0, {4, 4}, 18, {{6, 7, 8, 9}, {}},
       {}},
      {"capture a single", {{{6, 3}, 6}}, {}, {}, 0, 1, 3, Landing::kCaptured, 250, {6, 3}, 2,
       {}, {}},
      {"capture a pair", {{{6, 3}, 16}}, {}, {{6, 7}, {}}, 0, 1, 3, Landing::kCaptured, 500,
       {6, 3}, 2, {}, {}},
      {"capture a second pair", {{{6, 3}, 19}, {{0, 0}, 16}}, {}, {{6, 7, 8, 9}, {}}, 0, 1, 3,
       Landing::kCaptured, 500, {6, 3}, 2, {}, {{6, 7}, {}}},
      {"capture a triple with a pair", {{{6, 4}, 16}, {{6, 2}, 13}}, {{6, 7}, {}},
       {{2, 3, 4}, {}}, 1, 15, 2, Landing::kCaptured, 750, {6, 2}, 16, {{6, 7}, {}}, {}},
      {"capture a quad", {{{5, 1}, 14}, {{6, 0}, 7}}, {{}, {6}}, {{2, 3, 4, 5}, {}}, 1, 6, 1,
       Landing::kCaptured, 1000, {5, 1}, 7, {{}, {6}}, {}},
      {"pair reaches the goal", {{{5, 5}, 12}}, {{3, 4}, {2}}, {}, 0, 11, 2, Landing::kGoal,
       1000, kStartGoal, 1, {{}, {2, 4, 3}}, {}},
      {"of two pairs, the entries added last leave", {{{5, 5}, 12}, {{0, 0}, 15}},
       {{2, 3, 4, 5}, {}}, {}, 0, 11, 1, Landing::kGoal, 1000, kStartGoal, 1,
       {{2, 3}, {5, 4}}, {}},
      {"quad reaches the goal", {{{5, 6}, 18}}, {{6, 7, 8, 9}, {}}, {}, 1, 17, 3,
       Landing::kGoal, 2000, kStartGoal, 1, {{}, {9, 8, 7, 6}}, {}},
  };
  // clang-format on
  for (const LandingCase& c : cases) {
    SCOPED_TRACE(c.name);
    GameState state;
    for (const auto& [at, code] : c.before) state.board[cell_index(at.i, at.j)] = code;
    const int other = 1 - c.side;
    fill(state.stacked[c.side], state.stacked_count[c.side], c.mover_before.stacked);
    fill(state.arrived[c.side], state.arrived_count[c.side], c.mover_before.arrived);
    fill(state.stacked[other], state.stacked_count[other], c.opponent_before.stacked);
    fill(state.arrived[other], state.arrived_count[other], c.opponent_before.arrived);

    const MoveOutcome outcome = apply_move(state, c.number, c.side, c.steps);

    EXPECT_EQ(outcome.landing, c.landing);
    EXPECT_EQ(outcome.points, c.points);
    EXPECT_EQ(state.board[cell_index(c.end.i, c.end.j)], c.end_code);
    EXPECT_EQ(listed(state.stacked[c.side], state.stacked_count[c.side]), c.mover_after.stacked);
    EXPECT_EQ(listed(state.arrived[c.side], state.arrived_count[c.side]), c.mover_after.arrived);
    EXPECT_EQ(listed(state.stacked[other], state.stacked_count[other]), c.opponent_after.stacked);
    EXPECT_EQ(listed(state.arrived[other], state.arrived_count[other]), c.opponent_after.arrived);
    EXPECT_EQ(state.score, (std::array<int, 2>{0, 0})) << "scores are the caller's";
    // The mover left its start cell, and the number is nowhere else on the board.
    int cells_with_mover = 0;
    for (const int code : state.board) cells_with_mover += code == c.number + 1 ? 1 : 0;
    EXPECT_EQ(cells_with_mover, c.landing == Landing::kEmpty || c.landing == Landing::kCaptured);
  }
}

// Moves that name nothing movable change nothing at all.
TEST(Movement, NothingMovableChangesNothing) {
  struct Case {
    std::string name;
    int side;
    int number;
  };
  GameState prepared;
  prepared.board[cell_index(6, 3)] = 6;   // side 2's piece e
  prepared.board[cell_index(0, 0)] = 12;  // side 1's pair
  prepared.stacked[0] = {2, 3, 0, 0};
  prepared.stacked_count[0] = 2;
  prepared.arrived[0] = {4, 0, 0, 0};
  prepared.arrived_count[0] = 1;
  const std::vector<Case> cases = {
      {"stack not on the board", 0, 12},    {"the other side's piece", 0, 5},
      {"the other side's stack", 1, 11},    {"an arrived piece", 0, 3},
      {"a piece carried in a stack", 0, 1}, {"a number of nothing", 0, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameState state = prepared;
    EXPECT_EQ(apply_move(state, c.number, c.side, 2).landing, Landing::kNone);
    EXPECT_EQ(state.board, prepared.board);
    EXPECT_EQ(state.stacked, prepared.stacked);
    EXPECT_EQ(state.arrived, prepared.arrived);
  }
}

// Shortcuts are decided by where a move starts: geol from the top-right corner stops on
// the centre, and the next move from the centre takes the second diagonal home.
TEST(Movement, ShortcutOverTwoMoves) {
  GameState state;
  state.board[cell_index(6, 0)] = 2;
  apply_move(state, 1, 0, 3);
  EXPECT_EQ(state.board[cell_index(3, 3)], 2);
  EXPECT_EQ(apply_move(state, 1, 0, 3).landing, Landing::kGoal);
  EXPECT_EQ(state.arrived[0][0], 2);
}

}  // namespace
}  // namespace yut
