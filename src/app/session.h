#pragma once
// What one run of the program keeps from game to game: the console, the game state (whose
// scores carry over), the throws, the ranking and the options of the command line.

#include <string>

#include "console/console.h"
#include "game/computer.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/state.h"
#include "ranking/table.h"

namespace yut {

struct GameOptions {
  ComputerLevel computer = ComputerLevel::kBasic;  // who plays the versus-computer side
  RuleSet rules = RuleSet::kClassic;               // what a refused choice costs
  int pace_ms = 0;  // how long each computer throw and move stays on screen
};

struct Session {
  Console& con;
  GameState& state;
  Random& random;
  RankingTable& ranking;
  std::string ranking_file = "lanksave.txt";
  GameOptions options{};
};

}  // namespace yut
