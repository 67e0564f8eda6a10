#pragma once
// A console on a scripted keyboard with the screen model to read back, and the place a
// game end finds the ranking, with its ranking file in a fresh directory.

#include <string>

#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "game/state.h"
#include "ranking/high_score.h"
#include "ranking/table.h"
#include "temp_dir.h"

namespace yut::testing {

struct GameEndFixture {
  explicit GameEndFixture(std::string typed = {})
      : platform(std::move(typed)), con(platform), ranking_file(dir.file("lanksave.txt")) {}
  // Failures are said in the game screen's message area, at (44, 19) and (44, 20).
  RankingPlace place() { return {con, ranking, ranking_file, 44, 19, nullptr}; }
  std::string row(int y) const { return con.screen().row_text(y); }
  std::string text(int x, int y, int n) const { return con.screen().text_at(x, y, n); }

  TempDir dir;
  MemoryPlatform platform;
  Console con;
  GameState state;
  RankingTable ranking{};
  std::string ranking_file;
};

}  // namespace yut::testing
