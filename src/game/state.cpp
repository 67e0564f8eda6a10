#include "game/state.h"

#include <algorithm>

namespace yut {

namespace {

// Stations by row j, columns i = 0..6 (the layout is symmetric, so it reads the same by
// columns): the outer ring and the two diagonals.
constexpr const char* kStationRows[kBoardSize] = {
    "1111111", "1100011", "1010101", "1001001", "1010101", "1100011", "1111111",
};

std::array<int, kCells> make_initial_board() {
  std::array<int, kCells> board{};
  for (int i = 0; i < kBoardSize; ++i) {
    for (int j = 0; j < kBoardSize; ++j) {
      board[cell_index(i, j)] = kStationRows[j][i] == '1' ? kEmptyStation : kNoStation;
    }
  }
  return board;
}

constexpr const char* kNotArrived = " ";

}  // namespace

const PlayerDescriptor& side1_player() {
  static const PlayerDescriptor player{{"ⓐ", "ⓑ", "ⓒ", "ⓓ"}, {"②", "③", "④", "②'"}, "1"};
  return player;
}

const PlayerDescriptor& side2_player() {
  static const PlayerDescriptor player{{"ⓔ", "ⓕ", "ⓖ", "ⓗ"}, {"⑵", "⑶", "⑷", "⑵'"}, "2"};
  return player;
}

// The computer's labels appear only in its prompt (the board draws side 2's glyphs); the
// fourth is "ⓕ", the glyph of side 2's second piece.
const PlayerDescriptor& computer_player() {
  static const PlayerDescriptor player{{"ⓘ", "ⓙ", "ⓚ", "ⓕ"}, {"⑵", "⑶", "⑷", "⑵'"}, "c"};
  return player;
}

const std::array<int, kCells>& initial_board() {
  static const std::array<int, kCells> board = make_initial_board();
  return board;
}

GameState::GameState() : board(initial_board()) {
  for (auto& side : arrived_labels) side.fill(kNotArrived);
}

int on_board(const GameState& state, int number) {
  return std::ranges::find(state.board, number + 1) != state.board.end() ? 1 : 0;
}

void reset_game(GameState& state) {
  for (auto& side : state.arrived) side.fill(0);
  state.arrived_count.fill(0);
  for (auto& side : state.stacked) side.fill(0);
  state.stacked_count.fill(0);
  for (auto& side : state.arrived_labels) side.fill(kNotArrived);
  for (int& cell : state.board) {
    if (cell != kNoStation) cell = kEmptyStation;
  }
}

}  // namespace yut
