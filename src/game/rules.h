#pragma once
// The rules of the board on a compact position, without console or screen: where each
// piece and stack stands, the stacked and arrived lists, moves with their landing,
// capture, stacking and arrival, which choices the turn refuses, and the throws a move
// earns. The game's turn moves through these functions, and the computer's look-ahead
// copies positions and moves through the same ones.

#include <array>
#include <cstdint>

#include "game/side.h"
#include "game/state.h"
#include "game/throw.h"

namespace yut {

inline constexpr int kStations = 33;
inline constexpr int kGoalStation = 0;  // (6,6): where pieces enter and arrive
inline constexpr std::int8_t kOffBoard = -1;
inline constexpr int kUnitCodes = 16;  // piece codes 2..9 and stack codes 12..19

inline constexpr int kGoalPoints = 500;     // per piece that reaches the goal
inline constexpr int kCapturePoints = 250;  // per opponent piece captured

// Which of the 16 entries of Position::station holds a piece or stack code.
inline constexpr int unit_slot(int code) {
  return is_stack_code(code) ? code - kFirstStackCode + 2 * kSideCodeSpan : code - kFirstPieceCode;
}
inline constexpr int unit_code(int slot) {
  return slot < 2 * kSideCodeSpan ? slot + kFirstPieceCode
                                  : slot - 2 * kSideCodeSpan + kFirstStackCode;
}

// Everything a move reads or writes, in 36 bytes. Lists hold cell codes in the order the
// game adds them (0 past the count), as in GameState.
struct Position {
  std::array<std::int8_t, kUnitCodes> station;  // station 0..32 of each code, or kOffBoard
  std::array<std::array<std::int8_t, 4>, 2> stacked{};
  std::array<std::array<std::int8_t, 4>, 2> arrived{};
  std::array<std::int8_t, 2> stacked_count{};
  std::array<std::int8_t, 2> arrived_count{};

  Position() { station.fill(kOffBoard); }
  bool operator==(const Position&) const = default;
};

// Stations are numbered from 0, the goal corner, then in the order of the board's cells;
// -1 for a cell without a station.
int station_of_cell(int cell);
int cell_of_station(int station);

// The game state's board and lists as a position, and back (scores and labels untouched).
Position to_position(const GameState& state);
void store_position(const Position& position, GameState& state);

inline bool is_out(const Position& p, int code) {
  return p.station[unit_slot(code)] != kOffBoard;
}
// The code a stack of `pieces` (2..4) of `side` takes when it forms: a new pair takes the
// first-pair code unless that one is already on the board.
int stack_code_for(const Position& p, int side, int pieces);
// The code standing on a station, or kEmptyStation.
int code_at(const Position& p, int station);
// Units (single pieces and stacks) of a side on the board.
int units_out(const Position& p, int side);
inline bool has_won(const Position& p, int side) {
  return p.arrived_count[side] == kPiecesPerSide;
}
// The side that has won, or kNoWinner. Side 0 is asked first, so it wins when both are
// complete.
inline constexpr int kNoWinner = -1;
inline int winner(const Position& p) {
  for (int side = 0; side < kSides; ++side) {
    if (has_won(p, side)) return side;
  }
  return kNoWinner;
}

// Where a walk of `steps` (-1 back-do, 1..5) from a station ends; kGoalStation is also
// the start of a piece that enters.
int destination(int station, int steps);

enum class Landing {
  kNone,      // the number names nothing that can move: nothing changed
  kGoal,      // reached the goal; the pieces are in the side's arrived list
  kEmpty,     // occupies an empty station
  kStacked,   // joined an own piece or stack
  kCaptured,  // took an opponent's piece or stack, which waits again
};

struct MoveOutcome {
  Landing landing = Landing::kNone;
  int points = 0;  // due to the mover's side (goal or capture)
};

// Moves piece number 1..8 or stack number 11..18 of `side` (0 or 1) by `steps`, updating
// the stations and the arrived and stacked lists of both sides.
MoveOutcome apply_move(Position& p, int number, int side, int steps);

enum class Refusal {
  kNone,
  kWrongPiece,        // names no own piece, or an own stack that is not on the board
  kArrived,           // a piece that has arrived
  kCarried,           // a piece carried in a stack
  kBackDoOnTheBoard,  // back-do for a waiting piece while the side has something out
};

// Why the turn refuses the cell code of a choice, leaving the back-do rule aside.
Refusal choice_refusal(const Position& p, int code, int side);
// The same with the back-do rule for a throw of `steps`.
Refusal refusal_of(const Position& p, int code, int side, int steps);

// What a refused choice costs. Classic: the throw is lost and the side throws again.
// Fair: the throw is kept and the side chooses again for it, so a typed number can never
// change the sticks.
enum class RuleSet { kClassic, kFair };

// Throws a valid move earns: one after a yut or a mo, one after a capture.
inline int throws_earned(const ThrowInfo& info, bool captured) {
  return (info.extra_throw ? 1 : 0) + (captured ? 1 : 0);
}

}  // namespace yut
