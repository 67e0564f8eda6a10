#include "game/state.h"

#include <algorithm>

#include "game/side.h"

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

// Glyph of every cell code 0..19; codes 10 and 11 are never stored and draw nothing.
constexpr std::array<std::string_view, 20> kCellGlyphs{
    "  ", "○", "ⓐ", "ⓑ", "ⓒ", "ⓓ",  "ⓔ", "ⓕ", "ⓖ", "ⓗ",
    "",   "",  "②", "③", "④", "②'", "⑵", "⑶", "⑷", "⑵'",
};
// A person's labels are the glyphs of the side's pieces and stacks.
PlayerDescriptor person(int side, const char* code) {
  PlayerDescriptor player;
  for (int k = 0; k < kPiecesPerSide; ++k) {
    player.piece_labels[k] = cell_glyph(piece_code(side, k));
    player.stack_labels[k] = cell_glyph(stack_code(side, k));
  }
  player.player_code = code;
  return player;
}

}  // namespace

std::string_view cell_glyph(int code) {
  if (code < 0 || code >= static_cast<int>(kCellGlyphs.size())) return "";
  return kCellGlyphs[code];
}

const PlayerDescriptor& side1_player() {
  static const PlayerDescriptor player = person(0, "1");
  return player;
}

const PlayerDescriptor& side2_player() {
  static const PlayerDescriptor player = person(1, "2");
  return player;
}

// The computer's labels appear only in its prompt (the board draws player2's glyphs); the
// fourth is "ⓕ", the glyph of player2's second piece.
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
