#pragma once
// The end of a won game on the game screen.

#include "game/state.h"
#include "ranking/high_score.h"

namespace yut {

// After the final board was drawn for a won game: announces the winner (`side` 0 or 1) at
// (44, 32), sets the state's candidate score to the winner's, takes a qualifying winner's
// name into the ranking and saves it. When no name was asked or a failure is shown, waits
// for a key so that the final board can be read. Leaves the game state otherwise as it is
// (the game resets it).
void announce_game_end(const RankingPlace& place, GameState& state, int side);

}  // namespace yut
