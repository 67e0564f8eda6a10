#pragma once
// The whole state of a game in one plain structure. Board cell (i, j) is element i*7 + j,
// i the screen column and j the screen row of the cell.

#include <array>
#include <string>
#include <string_view>

namespace yut {

inline constexpr int kBoardSize = 7;
inline constexpr int kCells = kBoardSize * kBoardSize;
inline constexpr int kPiecesPerSide = 4;

// Cell codes.
inline constexpr int kNoStation = 0;
inline constexpr int kEmptyStation = 1;

// One side's player: labels shown in the turn's prompt and the code that picks the side.
struct PlayerDescriptor {
  std::array<std::string, 4> piece_labels;
  std::array<std::string, 4> stack_labels;
  std::string player_code;  // "1", "2" or "c"
};

// The glyph of a cell code 0..19 on the board (codes 10 and 11 are never stored: "").
std::string_view cell_glyph(int code);

const PlayerDescriptor& side1_player();
const PlayerDescriptor& side2_player();
const PlayerDescriptor& computer_player();

struct GameState {
  std::array<int, kCells> board;                // initial layout, see initial_board()
  std::array<std::array<int, 4>, 2> arrived{};  // per side, cell codes in arrival order
  std::array<int, 2> arrived_count{};
  std::array<std::array<int, 4>, 2> stacked{};  // per side, codes of carried pieces
  std::array<int, 2> stacked_count{};
  std::array<int, 2> score{};  // never cleared between games
  int candidate_score = 0;
  // " " until the piece arrives, then its glyph (always a static text).
  std::array<std::array<std::string_view, 4>, 2> arrived_labels;

  GameState();
};

const std::array<int, kCells>& initial_board();
inline constexpr int cell_index(int i, int j) {
  return i * kBoardSize + j;
}

// Empties the board and the piece tables after a finished game; scores stay.
void reset_game(GameState& state);

}  // namespace yut
