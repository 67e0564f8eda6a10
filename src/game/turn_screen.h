#pragma once
// What a game tells the layer above it and asks of it. The game decides every throw, choice
// and move; the screen behind this interface draws the board and the turn's texts, reads a
// person's choice and ends a won game. The game screen implements it over the console; a
// test can implement it without one.

#include "game/rules.h"
#include "game/state.h"
#include "game/throw.h"

namespace yut {

// A person's answer at the piece prompt.
struct TypedChoice {
  enum class Kind {
    kNumber,     // `number` was typed
    kNoNumber,   // something that is no number was typed
    kLeaveGame,  // the person asked to leave the game and confirmed it
  };
  Kind kind = Kind::kNoNumber;
  int number = 0;
};

class TurnScreen {
 public:
  TurnScreen() = default;
  TurnScreen(const TurnScreen&) = delete;
  TurnScreen& operator=(const TurnScreen&) = delete;
  virtual ~TurnScreen() = default;

  // Paints the board and the status panel from the state (which keeps the arrived labels
  // the panel shows).
  virtual void show_board(GameState& state) = 0;
  // The start of a game, over the first board: the banner, on the terminal at once; then
  // the wait for a key that starts the play.
  virtual void show_start() = 0;
  virtual void wait_for_start() = 0;
  // The texts of a throw of `side` (0 or 1) with `player`'s labels: whose turn, the throw,
  // the labels and the prompt.
  virtual void show_throw(const PlayerDescriptor& player, int side, const ThrowInfo& info) = 0;
  // A person's answer at the prompt.
  virtual TypedChoice read_choice() = 0;
  // The computer's choice, at the prompt as if typed.
  virtual void show_computer_choice(int choice) = 0;
  // Why a choice was refused and what follows under `rules`; waits for a key if `wait`.
  virtual void show_refusal(Refusal why, RuleSet rules, bool wait) = 0;
  // A capture and the extra throw it earns; waits for a key if `wait`.
  virtual void show_capture(bool wait) = 0;
  // A computer's move has been drawn and stands on the board.
  virtual void after_computer_move() = 0;
  // `side` has won and the final board is drawn: announces the winner, records the score
  // as the ranking allows, and returns once the player has seen the end.
  virtual void end_game(GameState& state, int side) = 0;
};

}  // namespace yut
