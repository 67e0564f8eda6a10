#include "game/movement.h"

#include "game/side.h"

namespace yut {

MoveOutcome apply_move(GameState& state, int number, int side, int steps) {
  Position position = to_position(state);
  const MoveOutcome outcome = apply_move(position, number, side, steps);
  if (outcome.landing != Landing::kNone) store_position(position, state);
  return outcome;
}

void show_move(GameContext& ctx, const PlayerDescriptor& player) {
  ctx.screen.show_board(ctx.state);
  if (is_computer(player)) ctx.screen.after_computer_move();
}

bool move_piece(GameContext& ctx, int number, const PlayerDescriptor& player, int steps) {
  const int side = side_index(player);
  const MoveOutcome outcome = apply_move(ctx.state, number, side, steps);
  if (outcome.landing != Landing::kCaptured) {
    ctx.state.score[side] += outcome.points;
    return false;
  }
  ctx.screen.show_capture(!is_computer(player));
  ctx.state.score[side] += outcome.points;
  show_move(ctx, player);
  return true;
}

}  // namespace yut
