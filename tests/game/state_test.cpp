#include "game/state.h"

#include <gtest/gtest.h>

#include "game/side.h"

namespace yut {
namespace {

TEST(GameState, InitialBoardHasTheStations) {
  const GameState state;
  int stations = 0;
  for (const int code : state.board) stations += code == kEmptyStation ? 1 : 0;
  EXPECT_EQ(stations, 33);
  // Outer ring and both diagonals are stations; the cells between are not.
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(state.board[cell_index(k, 0)], kEmptyStation);
    EXPECT_EQ(state.board[cell_index(6, k)], kEmptyStation);
    EXPECT_EQ(state.board[cell_index(k, k)], kEmptyStation);
    EXPECT_EQ(state.board[cell_index(6 - k, k)], kEmptyStation);
  }
  EXPECT_EQ(state.board[cell_index(2, 1)], kNoStation);
  EXPECT_EQ(state.board[cell_index(3, 4)], kNoStation);
  EXPECT_EQ(state.arrived_labels[1][3], " ");
}

TEST(GameState, ResetKeepsStationsAndScores) {
  GameState state;
  state.board[cell_index(0, 0)] = 12;
  state.board[cell_index(5, 5)] = 9;
  state.board[cell_index(2, 1)] = 0;
  state.stacked[0] = {2, 3, 0, 0};
  state.stacked_count[0] = 2;
  state.arrived[1] = {6, 7, 8, 0};
  state.arrived_count[1] = 3;
  state.arrived_labels[1][0] = "ⓔ";
  state.score = {750, 2000};
  state.candidate_score = 2000;
  reset_game(state);
  const GameState fresh;
  EXPECT_EQ(state.board, fresh.board);
  EXPECT_EQ(state.stacked, fresh.stacked);
  EXPECT_EQ(state.stacked_count, fresh.stacked_count);
  EXPECT_EQ(state.arrived, fresh.arrived);
  EXPECT_EQ(state.arrived_count, fresh.arrived_count);
  EXPECT_EQ(state.arrived_labels, fresh.arrived_labels);
  EXPECT_EQ(state.score, (std::array<int, 2>{750, 2000}));
  EXPECT_EQ(state.candidate_score, 2000);
}

TEST(GameState, Descriptors) {
  EXPECT_EQ(computer_player().piece_labels[3], "ⓕ");
  EXPECT_EQ(side_index(side1_player()), 0);
  EXPECT_EQ(side_index(side2_player()), 1);
  EXPECT_EQ(side_index(computer_player()), 1);
  EXPECT_EQ(side1_player().stack_labels[3], "②'");
}

}  // namespace
}  // namespace yut
