#include "game/turn.h"

#include <algorithm>
#include <vector>

#include "game/computer_levels.h"
#include "game/movement.h"
#include "game/rules.h"
#include "game/side.h"
#include "game/throw.h"

namespace yut {

namespace {

// Typed numbers outside this range name nothing; they are turned into a code that names
// nothing before any arithmetic on them.
constexpr int kLargestChoice = 1000;

// What is left to do in a turn, in the order in which nested turns would do it.
enum class Step {
  kThrow,           // throw, choose, validate and move
  kDrawAndEndTest,  // repaint, then test for a winner
};

// Pending steps, run last-in first-out. Two repaints-and-tests in a row with no move in
// between paint the same screen and give the same answer, so the second is dropped: a
// run of refused choices therefore keeps this list short however long it goes on.
class Schedule {
 public:
  void push(Step step) {
    if (step == Step::kDrawAndEndTest && !steps_.empty() && steps_.back() == step) return;
    steps_.push_back(step);
  }
  bool empty() const { return steps_.empty(); }
  int throws_pending() const { return static_cast<int>(std::ranges::count(steps_, Step::kThrow)); }
  Step pop() {
    const Step step = steps_.back();
    steps_.pop_back();
    return step;
  }

 private:
  std::vector<Step> steps_;
};

// A choice as the side names it (1..4 a piece, 11..14 a stack), or what it says instead.
struct Choice {
  bool leave = false;
  int code = kNoStation;  // the cell code it names; kNoStation for none
};

// The cell code a typed number names for a side; 0 (names nothing) for one far out of range.
int code_of_number(int number, int side) {
  if (number < -kLargestChoice || number > kLargestChoice) return kNoStation;
  return code_of_choice(number, side);
}

Choice obtain_choice(GameContext& ctx, const PlayerDescriptor& player, const ThrowInfo& info,
                     int throws_pending) {
  const int side = side_index(player);
  if (is_computer(player)) {
    const int choice = computer_choice(ctx.computer, to_position(ctx.state), side, info,
                                       throws_pending, ctx.rules, ctx.random);
    ctx.screen.show_computer_choice(choice);
    return {false, code_of_number(choice, side)};
  }
  const TypedChoice typed = ctx.screen.read_choice();
  switch (typed.kind) {
    case TypedChoice::Kind::kLeaveGame:
      return {true, kNoStation};
    case TypedChoice::Kind::kNumber:
      return {false, code_of_number(typed.number, side)};
    case TypedChoice::Kind::kNoNumber:
      break;
  }
  return {};
}

// Whether the game waits for a key after a refusal: always for a person; for the computer
// only where its choice named nothing of its own or broke the back-do rule.
bool waits_after(Refusal why, const PlayerDescriptor& player) {
  return !is_computer(player) || (why != Refusal::kArrived && why != Refusal::kCarried);
}

enum class ThrowEnd {
  kShown,       // nothing new is left to show: a refused choice, or a capture repainted
  kMoveToShow,  // a move that the next repaint shows
  kLeft,        // the person left the game
};

// Throw, choice, validation and move of one throw; schedules what follows it.
ThrowEnd play_throw(GameContext& ctx, const PlayerDescriptor& player, Schedule& schedule) {
  const ThrowInfo& info = throw_for_roll(ctx.random.uniform(kRollRange));
  const int side = side_index(player);
  Choice choice;
  for (;;) {
    ctx.screen.show_throw(player, side, info);
    choice = obtain_choice(ctx, player, info, schedule.throws_pending());
    if (choice.leave) return ThrowEnd::kLeft;
    if (!check_choice(ctx, choice.code, player, info.steps)) break;
    if (ctx.rules == RuleSet::kClassic) {
      // The refused throw is lost; one new throw replaces it, after a repaint.
      schedule.push(Step::kDrawAndEndTest);
      schedule.push(Step::kThrow);
      schedule.push(Step::kDrawAndEndTest);
      return ThrowEnd::kShown;
    }
    // Fair: the same throw is offered again on a clean screen.
    ctx.screen.show_board(ctx.state);
  }
  schedule.push(Step::kDrawAndEndTest);  // the closing steps of every turn
  const bool captured = move_piece(ctx, number_of_code(choice.code), player, info.steps);
  // The capture's extra throw comes first, as the capture has already been repainted;
  // the yut's or mo's follows after its own repaint and end test.
  for (int k = throws_earned(info, captured) - (captured ? 1 : 0); k > 0; --k) {
    schedule.push(Step::kThrow);
    schedule.push(Step::kDrawAndEndTest);
  }
  if (captured) schedule.push(Step::kThrow);
  return captured ? ThrowEnd::kShown : ThrowEnd::kMoveToShow;
}

}  // namespace

bool check_choice(GameContext& ctx, int code, const PlayerDescriptor& player, int steps) {
  const Refusal why = refusal_of(to_position(ctx.state), code, side_index(player), steps);
  if (why == Refusal::kNone) return false;
  ctx.screen.show_refusal(why, ctx.rules, waits_after(why, player));
  return true;
}

bool check_game_end(GameContext& ctx) {
  const int side = winner(to_position(ctx.state));
  if (side == kNoWinner) return false;
  ctx.screen.end_game(ctx.state, side);
  reset_game(ctx.state);
  return true;
}

TurnOutcome take_turn(GameContext& ctx, const PlayerDescriptor& player) {
  Schedule schedule;
  schedule.push(Step::kThrow);
  bool move_to_show = false;
  while (!schedule.empty()) {
    switch (schedule.pop()) {
      case Step::kThrow: {
        const ThrowEnd end = play_throw(ctx, player, schedule);
        if (end == ThrowEnd::kLeft) {
          reset_game(ctx.state);
          return TurnOutcome::kLeft;
        }
        move_to_show = end == ThrowEnd::kMoveToShow;
        break;
      }
      case Step::kDrawAndEndTest:
        if (move_to_show) {
          show_move(ctx, player);
        } else {
          ctx.screen.show_board(ctx.state);
        }
        move_to_show = false;
        if (check_game_end(ctx)) return TurnOutcome::kGameOver;
        break;
    }
  }
  return TurnOutcome::kGoesOn;
}

}  // namespace yut
