#pragma once
// What a game needs, passed by reference through the turn: the state it changes, the
// throws, the screen it tells, the computer side and the rule for refused choices.

#include "game/computer_levels.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/state.h"
#include "game/turn_screen.h"

namespace yut {

struct GameContext {
  GameState& state;
  Random& random;
  TurnScreen& screen;
  ComputerMind computer{};  // who plays the versus-computer side, and what it has seen
  RuleSet rules = RuleSet::kClassic;
};

}  // namespace yut
