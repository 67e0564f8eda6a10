#pragma once
// The strong computer side: looks ahead over the throws to come (every throw kind with
// its chance, the extra throws included) and weighs the positions it reaches by the turns
// each side still needs to bring its pieces home and the pieces within the other side's
// reach. It expects the other side to keep to one unit on the board once it has shown
// that it does (and to race as such a side does); to capture, else bring a piece home,
// else stack, else move its unit nearest home once it has had two pieces out; before
// either is shown, to keep to its unit or make the move that looks best at once, each
// with half the chance. Following a habit is cheap, so against one it looks a throw
// further. It draws no random numbers, so a game with a fixed seed replays the same.

#include <array>

#include "game/computer.h"
#include "game/rules.h"

namespace yut {

// The chance that `side` wins from this position, as estimated without look-ahead, when
// `to_move` throws next; `other_keeps_to_one` when the other side is expected to keep to
// one unit on the board, so that it races as such a side does.
double position_worth(const Position& position, int side, int to_move,
                      bool other_keeps_to_one = false);

// The choice whose position right after the move looks best to `side` by position_worth,
// without looking further: how the strong side expects a good player to answer.
int best_now_choice(const Position& position, int side, const ThrowInfo& info, int throws_pending);

// How the strong side expects a side that has left one unit to answer: among its valid
// `choices` on a throw of `steps`, the first that captures, else the first that brings a
// piece home, else the first that stacks, else the unit out nearest home; a piece brought
// in only when nothing is out.
int habit_choice(const Position& position, int side, int steps,
                 const std::array<int, kMostChoices>& choices, int count);

// What the strong side has seen of the other side at its own decisions in this game.
struct StrongMemory {
  // The other side has had two pieces on the board at once (two units or a stack), which a
  // side that keeps to one unit never has.
  bool other_left_one_unit = false;
  int other_kept_to_one = 0;  // decisions that found it with one unit out and more waiting
  // The other side has moved its one unit on a throw that would have brought a piece in
  // onto one of ours: it keeps to its unit even to pass over a capture.
  bool other_passed_a_capture = false;
  Position after_own_move{};  // what the strong side's last choice left
  bool has_moved = false;
};

// How far the strong side looks ahead: throws after the one it is choosing for. Each throw
// more costs about ten times the time; three keep a decision within a few milliseconds.
inline constexpr int kStrongLookAhead = 3;

// A choice for `side` on a throw of `steps`, with `throws_pending` more throws already
// earned in this turn, looking `look_ahead` throws further, and one more when it expects
// the other side to follow a habit and the deeper search stays small. Never one that the
// turn refuses. `memory` starts empty with each game and learns from the positions it is
// shown.
int strong_choice(const Position& position, int side, int steps, int throws_pending,
                  StrongMemory& memory, int look_ahead = kStrongLookAhead);

// Every valid choice for `side` on the throw `info` with the worth the same look-ahead
// gives it (worth is left 0 when there is only one choice), learning into `memory` as
// strong_choice does; `look_further_on_habit` as strong_choice looks one throw more.
struct WeighedChoices {
  std::array<int, kMostChoices> choices{};
  std::array<double, kMostChoices> worth{};
  int count = 0;
};
WeighedChoices weigh_choices(const Position& position, int side, const ThrowInfo& info,
                             int throws_pending, StrongMemory& memory,
                             int look_ahead = kStrongLookAhead, bool look_further_on_habit = true);

// Tells `memory` the choice made after weigh_choices, so that it can learn from the other
// side's answer (strong_choice does this itself).
void note_own_choice(StrongMemory& memory, const Position& position, int side, int choice,
                     int steps);

// Builds the tables of the evaluation now rather than at the first decision.
void prepare_strong_computer();

}  // namespace yut
