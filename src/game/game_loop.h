#pragma once
#include "game/context.h"

namespace yut {

// Each plays one whole game and returns once it has ended, won or left (the game state is
// then reset; the scores stay).
void two_player_game(GameContext& ctx);
void versus_computer_game(GameContext& ctx);

}  // namespace yut
