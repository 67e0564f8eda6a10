#include "game/game_loop.h"

#include "display/board_view.h"
#include "game/strong_computer.h"
#include "game/turn.h"

namespace yut {

namespace {

// Draws the board, announces the start, waits for a key, then gives turns to side 1 and
// the opponent alternately until a turn ends the game.
void play_game(GameContext& ctx, const PlayerDescriptor& opponent) {
  const PlayerDescriptor& first = side1_player();
  PlayerDescriptor turn = first;
  draw_board(ctx.con, ctx.state);
  ctx.con.gotoxy(45, 14);
  ctx.con.print("      게임을 시작합니다.");
  ctx.con.gotoxy(45, 15);
  ctx.con.print("     아무키나 눌러주세요.");
  ctx.con.pause();
  draw_board(ctx.con, ctx.state);
  while (take_turn(ctx, turn) == TurnOutcome::kGoesOn) {
    // The sides are told apart by their first piece label.
    turn = turn.piece_labels[0] == first.piece_labels[0] ? opponent : first;
  }
}

}  // namespace

void two_player_game(GameContext& ctx) {
  play_game(ctx, side2_player());
}

void versus_computer_game(GameContext& ctx) {
  ctx.strong_memory = {};
  if (ctx.computer == ComputerLevel::kStrong) prepare_strong_computer();
  play_game(ctx, computer_player());
}

}  // namespace yut
