#pragma once
// A console on a scripted keyboard with the screen model to read back, and the context a
// game end runs in, with its ranking file in a fresh directory.

#include <string>

#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "game/context.h"
#include "game/random.h"
#include "game/state.h"
#include "ranking/table.h"
#include "temp_dir.h"

namespace yut::testing {

class NoRandom : public Random {
 public:
  int uniform(int) override { return 0; }
};

struct GameEndFixture {
  explicit GameEndFixture(std::string typed = {}) : platform(std::move(typed)), con(platform) {
    ctx.ranking_file = dir.file("lanksave.txt");
  }
  std::string row(int y) const { return con.screen().row_text(y); }
  std::string text(int x, int y, int n) const { return con.screen().text_at(x, y, n); }

  TempDir dir;
  MemoryPlatform platform;
  Console con;
  GameState state;
  NoRandom random;
  RankingTable ranking{};
  GameContext ctx{con, state, random, ranking};
};

}  // namespace yut::testing
