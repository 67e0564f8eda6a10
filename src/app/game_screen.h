#pragma once
// The game screen behind a game: draws what the turn tells it on the console (board,
// status panel, the turn's texts and messages), reads a person's choice, holds the
// computer's throws and moves on screen at the chosen pace, asks before leaving a game,
// and ends a won game in the ranking.

#include "app/session.h"
#include "game/turn_screen.h"

namespace yut {

class GameScreen final : public TurnScreen {
 public:
  explicit GameScreen(Session& session) : session_(session), con_(session.con) {}

  void show_board(GameState& state) override;
  void show_start() override;
  void wait_for_start() override;
  void show_throw(const PlayerDescriptor& player, int side, const ThrowInfo& info) override;
  TypedChoice read_choice() override;
  void show_computer_choice(int choice) override;
  void show_refusal(Refusal why, RuleSet rules, bool wait) override;
  void show_capture(bool wait) override;
  void after_computer_move() override;
  void end_game(GameState& state, int side) override;

 private:
  // Asks in the message area whether to leave the game; true for y. The message area is
  // given back as it was.
  bool confirm_leave();
  // A computer's throw or move stays on screen for the pace, or until a key.
  void hold();

  Session& session_;
  Console& con_;
};

// One whole game of each mode on the game screen, with the session's options.
void play_two_player_game(Session& session);
void play_versus_computer_game(Session& session);

}  // namespace yut
