#pragma once
// A whole turn on the rules alone, as the game's turn plays it: a refused choice gives one
// new throw (classic) or asks again for the same throw (fair); a valid one moves and earns
// the throws of a yut, a mo or a capture; the turn ends when no throw is left or the side
// has won.

#include <utility>

#include "game/rules.h"

namespace yut {

// `roll()` gives the next roll 0..99; `choose(position, info, throws_pending)` the choice
// (1..4, 11..14). Returns true when the side has won.
template <class Roll, class Choose>
bool play_rules_turn(Position& p, int side, Roll&& roll, Choose&& choose,
                     RuleSet rules = RuleSet::kClassic) {
  for (int throws = 1; throws > 0;) {
    --throws;
    const ThrowInfo& info = throw_for_roll(roll());
    int code = code_of_choice(choose(std::as_const(p), info, throws), side);
    while (rules == RuleSet::kFair && refusal_of(p, code, side, info.steps) != Refusal::kNone) {
      code = code_of_choice(choose(std::as_const(p), info, throws), side);
    }
    if (refusal_of(p, code, side, info.steps) != Refusal::kNone) {
      ++throws;
      continue;
    }
    const MoveOutcome outcome = apply_move(p, code - 1, side, info.steps);
    if (has_won(p, side)) return true;
    throws += throws_earned(info, outcome.landing == Landing::kCaptured);
  }
  return false;
}

}  // namespace yut
