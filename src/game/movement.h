#pragma once
// Moving one piece or stack by one throw in play, and what happens where it stops.

#include "game/context.h"
#include "game/rules.h"
#include "game/state.h"

namespace yut {

// The rules of the board on the game state: moves piece number 1..8 or stack number 11..18
// of `side` (0 or 1) by `steps` (-1 back-do, 1..5), updating the board and the arrived and
// stacked lists of both sides. Scores are left to the caller.
MoveOutcome apply_move(GameState& state, int number, int side, int steps);

// Repaints after a move; a computer's move is then held on the screen a while.
void show_move(GameContext& ctx, const PlayerDescriptor& player);

// One move in play: applies it and adds its points; after a capture the screen shows the
// capture (waiting for a key for persons) before the points are added, and repaints.
// Returns true after a capture: the side has earned an extra throw, which the caller runs.
bool move_piece(GameContext& ctx, int number, const PlayerDescriptor& player, int steps);

}  // namespace yut
