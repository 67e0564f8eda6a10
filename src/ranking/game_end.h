#pragma once
#include "game/context.h"

namespace yut {

// Tests for a winner after a board drawing. Returns false while nobody has won. When a
// side has won it announces the winner, takes a qualifying winner's name into the ranking
// (or, when no name is asked or a failure is shown, waits for a key so that the final board
// can be read), resets the game state and returns true: the game is over and must unwind to
// the menu.
bool check_game_end(GameContext& ctx);

}  // namespace yut
