#include "game/computer.h"

#include "game/side.h"

namespace yut {

namespace {

constexpr int kFirstPieceChoice = 1;
constexpr int kFirstStackChoice = 11;

// The highest of the four choices from `first` whose code (choice + offset + 1) is on the
// board, or 0 if none is.
int highest_on_board(const Position& position, int side, int first) {
  for (int choice = first + kPiecesPerSide - 1; choice >= first; --choice) {
    if (is_out(position, code_of_choice(choice, side))) return choice;
  }
  return 0;
}

}  // namespace

int preferred_choice(const Position& position, int side, Random& random) {
  if (const int stack = highest_on_board(position, side, kFirstStackChoice); stack != 0) {
    return stack;
  }
  if (const int piece = highest_on_board(position, side, kFirstPieceChoice); piece != 0) {
    return piece;
  }
  return kFirstPieceChoice + random.uniform(kPiecesPerSide);
}

int valid_choices(const Position& p, int side, int steps, std::array<int, kMostChoices>& choices) {
  int count = 0;
  for (int k = kPiecesPerSide - 1; k >= 0; --k) {
    if (is_out(p, stack_code(side, k))) choices[count++] = k + kFirstStackChoice;
  }
  for (int k = kPiecesPerSide - 1; k >= 0; --k) {
    if (is_out(p, piece_code(side, k))) choices[count++] = k + kFirstPieceChoice;
  }
  if (steps < 0 && count != 0) return count;  // back-do moves only what is out
  for (int k = 0; k < kPiecesPerSide; ++k) {
    const int code = piece_code(side, k);
    if (!is_out(p, code) && choice_refusal(p, code, side) == Refusal::kNone) {
      choices[count++] = k + kFirstPieceChoice;
      break;
    }
  }
  return count;
}

}  // namespace yut
