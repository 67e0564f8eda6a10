#pragma once
// One turn of one side: throw, choice, validation, move, and the extra throws it earns.

#include "game/context.h"
#include "game/state.h"

namespace yut {

enum class TurnOutcome {
  kGoesOn,    // the other side plays next
  kGameOver,  // a side has won; the game end has run and the state is reset
};

// Plays a turn of `player` with every extra throw it earns (yut, mo, capture, refused
// choice), then returns. The extra throws run in a loop, in the order in which nested
// turns would run them.
TurnOutcome take_turn(GameContext& ctx, const PlayerDescriptor& player);

// Validates the cell code of a choice for `player`; when it is refused, shows why,
// pauses (not for the computer's arrived and carried refusals) and returns true.
bool check_choice(GameContext& ctx, int code, const PlayerDescriptor& player);

}  // namespace yut
