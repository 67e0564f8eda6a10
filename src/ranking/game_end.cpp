#include "ranking/game_end.h"

namespace yut {

void announce_game_end(const RankingPlace& place, GameState& state, int side) {
  place.con.gotoxy(44, 32);
  place.con.print(side == 0 ? "            player1 승리!!" : "           player2 승리!!");
  state.candidate_score = state.score[side];
  // The final board and the winner line stay until a key, unless the name entry has just
  // been answered and saved, or left.
  switch (enter_high_score(place, state.candidate_score)) {
    case EntryResult::kNotAsked:
    case EntryResult::kFailed:
    case EntryResult::kPushedOut:
      place.con.pause();
      break;
    case EntryResult::kEntered:
    case EntryResult::kLeft:
      break;
  }
}

}  // namespace yut
