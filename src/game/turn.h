#pragma once
// One turn of one side: throw, choice, validation, move, and the extra throws it earns.
// The turn tells its screen (turn_screen.h) what happens; it draws nothing itself.

#include "game/context.h"
#include "game/state.h"

namespace yut {

enum class TurnOutcome {
  kGoesOn,    // the other side plays next
  kGameOver,  // a side has won; the game end has run and the state is reset
  kLeft,      // the person left the game; the state is reset, the scores stay
};

// Plays a turn of `player` with every extra throw it earns (yut, mo, capture, and under
// the classic rule a refused choice), then returns. The extra throws run in a loop, in the
// order in which nested turns would run them.
TurnOutcome take_turn(GameContext& ctx, const PlayerDescriptor& player);

// Validates the cell code of a choice of `player` on a throw of `steps`; when it is
// refused, has the screen show why (waiting for a key where the game pauses) and returns
// true.
bool check_choice(GameContext& ctx, int code, const PlayerDescriptor& player, int steps);

}  // namespace yut
