#pragma once
#include "console/console.h"
#include "game/state.h"

namespace yut {

// Paints the whole game screen from the state (never clears); updates the arrived labels.
void draw_board(Console& con, GameState& state);

}  // namespace yut
