#include "app/game_screen.h"

#include <string>

#include "display/board_view.h"
#include "display/turn_messages.h"
#include "game/context.h"
#include "game/game_loop.h"
#include "ranking/game_end.h"

namespace yut {

namespace {

constexpr const char* kLeaveQuestion = "게임을 그만두시겠습니까? (y/n)";

void play(Session& session, void (*game)(GameContext&)) {
  GameScreen screen(session);
  GameContext ctx{session.state, session.random, screen, ComputerMind{session.options.computer},
                  session.options.rules};
  game(ctx);
}

}  // namespace

void GameScreen::show_board(GameState& state) {
  draw_board(con_, state);
}

void GameScreen::show_start() {
  show_start_banner(con_);
  con_.refresh();
}

void GameScreen::wait_for_start() {
  con_.pause();
}

void GameScreen::show_throw(const PlayerDescriptor& player, int side, const ThrowInfo& info) {
  show_turn_texts(con_, player, side, info);
}

TypedChoice GameScreen::read_choice() {
  const int x = con_.screen().cursor_x();
  const int y = con_.screen().cursor_y();
  for (;;) {
    const std::optional<int> number = con_.read_int();
    if (!con_.escaped()) {
      if (!number) return {TypedChoice::Kind::kNoNumber, 0};
      return {TypedChoice::Kind::kNumber, *number};
    }
    if (confirm_leave()) return {TypedChoice::Kind::kLeaveGame, 0};
    con_.gotoxy(x, y);  // the same prompt, for the same throw
  }
}

void GameScreen::show_computer_choice(int choice) {
  if (session_.options.pace_ms == 0) return;
  con_.printf("%d", choice);
  hold();
}

void GameScreen::show_refusal(Refusal why, RuleSet rules, bool wait) {
  show_refusal_message(con_, why, rules);
  if (wait) {
    con_.pause();
  } else {
    hold();
  }
}

void GameScreen::show_capture(bool wait) {
  show_capture_message(con_);
  if (wait) {
    con_.pause();
  } else {
    hold();
  }
}

void GameScreen::after_computer_move() {
  hold();
}

void GameScreen::end_game(GameState& state, int side) {
  const RankingPlace place{con_,           session_.ranking, session_.ranking_file,
                           kMessageColumn, kMessageFirstRow, [this] { return confirm_leave(); }};
  announce_game_end(place, state, side);
}

bool GameScreen::confirm_leave() {
  const std::string kept = con_.screen().text_at(kMessageColumn, kMessageFirstRow, kMessageColumns);
  const int x = con_.screen().cursor_x();
  const int y = con_.screen().cursor_y();
  con_.gotoxy(kMessageColumn, kMessageFirstRow);
  con_.print(std::string(kMessageColumns, ' '));
  con_.gotoxy(kMessageColumn, kMessageFirstRow);
  con_.print(kLeaveQuestion);
  const int key = con_.read_key();
  con_.gotoxy(kMessageColumn, kMessageFirstRow);
  con_.print(kept);
  con_.gotoxy(x, y);
  return key == 'y' || key == 'Y';
}

void GameScreen::hold() {
  if (session_.options.pace_ms > 0) con_.wait_key(session_.options.pace_ms);
}

void play_two_player_game(Session& session) {
  play(session, two_player_game);
}

void play_versus_computer_game(Session& session) {
  play(session, versus_computer_game);
}

}  // namespace yut
