#pragma once
// The computer side's choice. The basic one follows a fixed order of preference over what
// it has on the board; the strong one looks ahead (strong_computer.h).

#include <array>

#include "game/random.h"
#include "game/rules.h"
#include "game/state.h"

namespace yut {

// The computer side's strengths, weakest first; kBasic is the game's own simple computer.
enum class ComputerLevel { kEasy, kBasic, kMedium, kStrong };

// A choice in the person's terms (1..4 a piece, 11..14 a stack) for `side`: its
// highest-numbered stack on the board, else its highest-numbered piece on the board,
// else a piece drawn at random (uniform(4)), whatever its place.
int preferred_choice(const Position& position, int side, Random& random);

// Distinct choices (1..4 a piece, 11..14 a stack) the turn accepts for `side` on a throw
// of `steps`: each unit on the board, then one waiting piece; returns how many.
inline constexpr int kMostChoices = 5;
int valid_choices(const Position& position, int side, int steps,
                  std::array<int, kMostChoices>& choices);

}  // namespace yut
