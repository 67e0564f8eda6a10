#pragma once
// Moving one piece or stack by one throw, and what happens where it stops.

#include "game/context.h"
#include "game/state.h"

namespace yut {

inline constexpr int kGoalPoints = 500;     // per piece that reaches the goal
inline constexpr int kCapturePoints = 250;  // per opponent piece captured

enum class Landing {
  kNone,      // the number names nothing that can move: nothing changed
  kGoal,      // reached the goal; the pieces are in the side's arrived list
  kEmpty,     // occupies an empty station
  kStacked,   // joined an own piece or stack
  kCaptured,  // took an opponent's piece or stack, which waits again
};

struct MoveOutcome {
  Landing landing = Landing::kNone;
  int points = 0;  // due to the mover's side (goal or capture); not yet added to its score
};

// The rules of the board, without any output: moves piece number 1..8 or stack number
// 11..18 of `side` (0 or 1) by `steps` (-1 back-do, 1..5), updating the board and the
// arrived and stacked lists of both sides. Scores are left to the caller.
MoveOutcome apply_move(GameState& state, int number, int side, int steps);

// One move in play: applies it, adds the points, and after a capture shows the capture
// messages, pauses (persons only), adds the points and repaints the board. Returns true
// after a capture: the side has earned an extra throw, which the caller runs.
bool move_piece(GameContext& ctx, int number, const PlayerDescriptor& player, int steps);

}  // namespace yut
