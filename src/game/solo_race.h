#pragma once
// How many turns a side still needs to bring all its pieces home if it played alone and
// chose every move as well as possible: the race part of the strong side's evaluation.
// Unlike a sum over the pieces, it knows what a choice among several units is worth (a
// throw can go where it takes a shortcut or lands exactly), what a stack saves, and that
// a yut or a mo is a throw within the same turn.

#include <array>

#include "game/rules.h"
#include "game/side_config.h"

namespace yut {

// Expected turns from the start of a turn for a configuration, and for the same one after
// the loss of each of its units to a capture (its pieces wait again); all 0 once it has won.
struct RaceTurns {
  float turns = 0;
  std::array<float, kPiecesPerSide> without_unit{};
};
const RaceTurns& race_turns(const SideConfig& config);

// The same for a side that keeps to one unit: it moves the unit it has out (its first
// valid choice) and brings a piece in only when nothing is out, as the basic computer and
// many people do. Such a side needs several turns more than one that plays its best.
// With several units out it moves them in the order of the configuration's own pieces.
const RaceTurns& one_unit_race_turns(const SideConfig& config);

// Builds the table now rather than on the first question (it takes a fraction of a second).
void prepare_solo_race();

}  // namespace yut
