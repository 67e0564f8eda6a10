#pragma once
// The computer side's choice: a fixed order of preference over what it has on the board.

#include "game/random.h"
#include "game/state.h"

namespace yut {

// A choice in the person's terms (1..4 a piece, 11..14 a stack) for side 2: its
// highest-numbered stack on the board, else its highest-numbered piece on the board,
// else a piece drawn at random (uniform(4)), whatever its place.
int computer_choice(const GameState& state, Random& random);

}  // namespace yut
