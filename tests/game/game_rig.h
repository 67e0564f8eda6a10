#pragma once
// A whole game context on a MemoryPlatform: scripted keys, scripted throws, and the
// screen model to read back.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "console/console.h"
#include "console/memory_platform.h"
#include "game/context.h"
#include "game/routes.h"
#include "game/state.h"
#include "ranking/table.h"
#include "scripted_random.h"

namespace yut {

struct GameRig {
  explicit GameRig(std::vector<int> throws, std::string keys = {})
      : random(std::move(throws)),
        platform(std::move(keys)),
        ranking_path(testing::TempDir() + "game_rig_lanksave.txt"),
        ctx{con, state, random, ranking, ranking_path} {
    std::remove(ranking_path.c_str());
  }
  ~GameRig() { std::remove(ranking_path.c_str()); }
  GameRig(const GameRig&) = delete;
  GameRig& operator=(const GameRig&) = delete;

  void put(Station at, int code) { state.board[cell_index(at.i, at.j)] = code; }
  int at(Station s) const { return state.board[cell_index(s.i, s.j)]; }
  std::string text(int x, int y, int columns) const { return con.screen().text_at(x, y, columns); }
  // The message area of the right compartment, row y, without trailing blanks.
  std::string message(int y) const {
    std::string row = con.screen().text_at(44, y, 32);
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
  }
  // Text from column 45 of row y, without trailing blanks.
  std::string turn_text(int y) const {
    std::string row = message(y);
    return row.empty() ? row : row.substr(1);
  }

  ScriptedRandom random;
  MemoryPlatform platform;
  Console con{platform};
  GameState state;
  RankingTable ranking{};
  std::string ranking_path;
  GameContext ctx;
};

}  // namespace yut
