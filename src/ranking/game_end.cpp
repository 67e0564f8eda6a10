#include "ranking/game_end.h"

#include <algorithm>

#include "ranking/high_score.h"

namespace yut {

namespace {

constexpr int kNoWinner = -1;

bool all_arrived(const std::array<int, 4>& arrived) {
  return std::ranges::none_of(arrived, [](int code) { return code == 0; });
}

// Side 1 is tested first, so it wins when both sides are complete.
int winner(const GameState& state) {
  for (int side = 0; side < 2; ++side) {
    if (all_arrived(state.arrived[side])) return side;
  }
  return kNoWinner;
}

}  // namespace

bool check_game_end(GameContext& ctx) {
  const int side = winner(ctx.state);
  if (side == kNoWinner) return false;
  ctx.con.gotoxy(44, 32);
  ctx.con.print(side == 0 ? "            player1 승리!!" : "           player2 승리!!");
  ctx.state.candidate_score = ctx.state.score[side];
  // The final board and the winner line stay until a key, unless the name entry has just
  // been answered and saved.
  if (!enter_high_score(ctx)) ctx.con.pause();
  reset_game(ctx.state);
  return true;
}

}  // namespace yut
