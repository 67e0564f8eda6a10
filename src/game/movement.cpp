#include "game/movement.h"

#include "display/board_view.h"
#include "game/messages.h"
#include "game/side.h"

namespace yut {

MoveOutcome apply_move(GameState& state, int number, int side, int steps) {
  Position position = to_position(state);
  const MoveOutcome outcome = apply_move(position, number, side, steps);
  if (outcome.landing != Landing::kNone) store_position(position, state);
  return outcome;
}

bool move_piece(GameContext& ctx, int number, const PlayerDescriptor& player, int steps) {
  const int side = side_index(player);
  const MoveOutcome outcome = apply_move(ctx.state, number, side, steps);
  if (outcome.landing != Landing::kCaptured) {
    ctx.state.score[side] += outcome.points;
    return false;
  }
  show_message(ctx.con, "상대 말을 잡았습니다.", "윷을 한 번더 던질 수 있습니다.");
  if (!is_computer(player)) ctx.con.pause();
  ctx.state.score[side] += outcome.points;
  draw_board(ctx.con, ctx.state);
  return true;
}

}  // namespace yut
