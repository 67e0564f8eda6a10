#pragma once
// The strong computer side: looks ahead over the throws to come (every throw kind with
// its chance, the extra throws included) and weighs the positions it reaches by the race
// to the goal and the pieces within the opponent's reach. It draws no random numbers, so
// a game with a fixed seed replays the same.

#include <array>

#include "game/rules.h"

namespace yut {

// Distinct choices (1..4 a piece, 11..14 a stack) the turn accepts for `side` on a throw
// of `steps`: each unit on the board, then one waiting piece; returns how many.
int valid_choices(const Position& position, int side, int steps, std::array<int, 5>& choices);

// The chance that `side` wins from this position, as estimated without look-ahead, when
// `to_move` throws next.
double position_worth(const Position& position, int side, int to_move);

// How far the strong side looks ahead: throws after the one it is choosing for. Each throw
// more costs about thirty times the time; three keep a decision within a few milliseconds.
inline constexpr int kStrongLookAhead = 3;

// A choice for `side` on a throw of `steps`, with `throws_pending` more throws already
// earned in this turn, looking `look_ahead` throws further. Never one that the turn refuses.
int strong_choice(const Position& position, int side, int steps, int throws_pending,
                  int look_ahead = kStrongLookAhead);

}  // namespace yut
