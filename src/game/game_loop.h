#pragma once
#include "game/context.h"

namespace yut {

// Each plays one whole game and returns once it has ended (the game state is then reset).
void two_player_game(GameContext& ctx);
void versus_computer_game(GameContext& ctx);

}  // namespace yut
