#pragma once
// What a game needs from the rest of the program, passed by reference through the turn.

#include <string>

#include "console/console.h"
#include "game/computer.h"
#include "game/random.h"
#include "game/state.h"
#include "game/strong_computer.h"
#include "ranking/table.h"

namespace yut {

struct GameContext {
  Console& con;
  GameState& state;
  Random& random;
  RankingTable& ranking;
  std::string ranking_file = "lanksave.txt";
  ComputerLevel computer = ComputerLevel::kBasic;  // who plays the versus-computer side
  StrongMemory strong_memory{};  // what the strong side has seen in the game being played
};

}  // namespace yut
