// The winner test after every repaint, and the end of a won game on the game screen.
#include "ranking/game_end.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/rules.h"
#include "game_rig.h"

namespace yut {
namespace {

struct EndCase {
  std::string name;
  std::vector<int> arrived1;
  std::vector<int> arrived2;
  int winner;
  std::string announcement;  // at (44, 32)
};

// Scores that do not beat the (empty) ranking, so that no name is asked.
TEST(GameEnd, WinnerTest) {
  const std::vector<EndCase> cases = {
      {"nobody", {2, 3, 4}, {6, 7, 8}, kNoWinner, ""},
      {"side 1", {2, 3, 4, 5}, {6}, 0, "            player1 승리!!"},
      {"side 2", {2, 3, 4}, {9, 8, 7, 6}, 1, "           player2 승리!!"},
      {"both complete: side 1", {5, 4, 3, 2}, {6, 7, 8, 9}, 0, "            player1 승리!!"},
  };
  for (const EndCase& c : cases) {
    SCOPED_TRACE(c.name);
    GameRig rig({}, "k");
    for (const int code : c.arrived1) rig.arrive(0, {code});
    for (const int code : c.arrived2) rig.arrive(1, {code});
    rig.state.score = {0, -20};
    rig.state.candidate_score = -1;
    const int side = winner(to_position(rig.state));
    EXPECT_EQ(side, c.winner);
    if (side == kNoWinner) continue;
    rig.screen().end_game(rig.state, side);
    // With no name asked, the final board stays until a key.
    EXPECT_EQ(rig.platform.input_left(), 0U);
    EXPECT_EQ(rig.state.candidate_score, rig.state.score[side]);
    EXPECT_EQ(rig.text(44, 32, 26).substr(0, c.announcement.size()), c.announcement);
  }
}

}  // namespace
}  // namespace yut
