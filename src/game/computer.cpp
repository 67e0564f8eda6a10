#include "game/computer.h"

#include "game/side.h"

namespace yut {

namespace {

constexpr int kComputerSide = 1;
constexpr int kFirstPieceChoice = 1;
constexpr int kFirstStackChoice = 11;

// The highest of the four choices from `first` whose number (choice + offset) is on the
// board, or 0 if none is.
int highest_on_board(const GameState& state, int first) {
  for (int choice = first + kPiecesPerSide - 1; choice >= first; --choice) {
    if (on_board(state, choice + side_offset(kComputerSide)) != 0) return choice;
  }
  return 0;
}

}  // namespace

int computer_choice(const GameState& state, Random& random) {
  if (const int stack = highest_on_board(state, kFirstStackChoice); stack != 0) return stack;
  if (const int piece = highest_on_board(state, kFirstPieceChoice); piece != 0) return piece;
  return kFirstPieceChoice + random.uniform(kPiecesPerSide);
}

}  // namespace yut
