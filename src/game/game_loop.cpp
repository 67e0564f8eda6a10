#include "game/game_loop.h"

#include "game/computer_levels.h"
#include "game/side.h"
#include "game/turn.h"

namespace yut {

namespace {

// Draws the board, announces the start, waits for a key, then gives turns to player1 and
// the opponent alternately until a turn ends the game. What the computer side needs is
// built while the banner waits, so the screen comes at once.
void play_game(GameContext& ctx, const PlayerDescriptor& opponent) {
  const PlayerDescriptor* turn = &side1_player();
  ctx.screen.show_board(ctx.state);
  ctx.screen.show_start();
  if (is_computer(opponent)) prepare_level(ctx.computer.level);
  ctx.screen.wait_for_start();
  ctx.screen.show_board(ctx.state);
  while (take_turn(ctx, *turn) == TurnOutcome::kGoesOn) {
    turn = turn == &side1_player() ? &opponent : &side1_player();
  }
}

}  // namespace

void two_player_game(GameContext& ctx) {
  play_game(ctx, side2_player());
}

void versus_computer_game(GameContext& ctx) {
  ctx.computer.memory = {};
  play_game(ctx, computer_player());
}

}  // namespace yut
