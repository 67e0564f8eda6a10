#include "ranking/game_end.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game_rig.h"

namespace yut {
namespace {

struct EndCase {
  std::string name;
  std::array<int, 4> arrived1;
  std::array<int, 4> arrived2;
  bool over;
  std::string announcement;  // at (44, 32)
  int candidate;
};

// Scores that do not beat the (empty) ranking, so that no name is asked.
TEST(GameEnd, WinnerTest) {
  const std::vector<EndCase> cases = {
      {"nobody", {2, 3, 4, 0}, {6, 7, 8, 0}, false, "", -1},
      {"side 1", {2, 3, 4, 5}, {6, 0, 0, 0}, true, "            player1 승리!!", 0},
      {"side 2", {2, 3, 4, 0}, {9, 8, 7, 6}, true, "           player2 승리!!", -20},
      {"both complete: side 1", {5, 4, 3, 2}, {6, 7, 8, 9}, true, "            player1 승리!!", 0},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.name);
    GameRig rig({}, "k");
    rig.state.arrived = {c.arrived1, c.arrived2};
    rig.state.arrived_count = {0, 0};  // only the slots count
    rig.state.score = {0, -20};
    rig.state.candidate_score = -1;
    rig.put({3, 3}, 14);
    const GameState before = rig.state;
    EXPECT_EQ(check_game_end(rig.ctx), c.over);
    // With no name asked, the final board stays until a key.
    EXPECT_EQ(rig.platform.input_left(), c.over ? 0U : 1U);
    EXPECT_EQ(rig.state.candidate_score, c.candidate);
    EXPECT_EQ(rig.state.score, before.score);
    if (c.over) {
      EXPECT_EQ(rig.text(44, 32, 26).substr(0, c.announcement.size()), c.announcement);
      EXPECT_EQ(rig.state.board, GameState().board);
      EXPECT_EQ(rig.state.arrived, GameState().arrived);
    } else {
      EXPECT_EQ(rig.message(32), "");
      EXPECT_EQ(rig.state.board, before.board);
      EXPECT_EQ(rig.state.arrived, before.arrived);
    }
  }
}

}  // namespace
}  // namespace yut
