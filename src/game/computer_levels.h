#pragma once
// The computer side's choice at each of its levels, through one call.

#include "game/computer.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/strong_computer.h"

namespace yut {

// What a computer side keeps through one game.
struct ComputerMind {
  ComputerLevel level = ComputerLevel::kBasic;
  StrongMemory memory{};
};

// The choice (1..4 a piece, 11..14 a stack) of a computer side of `mind.level` playing
// `side` on the throw `info`, with `throws_pending` throws already earned in this turn,
// under `rules`. Only the basic level may name a choice the turn refuses (its random
// piece); the others always name a valid one. Levels that draw at random draw from
// `random`, so a game with a fixed seed replays the same.
int computer_choice(ComputerMind& mind, const Position& position, int side, const ThrowInfo& info,
                    int throws_pending, RuleSet rules, Random& random);

// Builds what a level needs before its first decision (the strong tables); cheap to call
// again.
void prepare_level(ComputerLevel level);

}  // namespace yut
