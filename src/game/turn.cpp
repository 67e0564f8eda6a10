#include "game/turn.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "display/board_view.h"
#include "game/computer.h"
#include "game/messages.h"
#include "game/movement.h"
#include "game/rules.h"
#include "game/side.h"
#include "game/strong_computer.h"
#include "game/throw.h"
#include "ranking/game_end.h"

namespace yut {

namespace {

constexpr const char* kThrowAgain = "윷을 다시 던집니다.";
constexpr int kTextColumn = 45;
constexpr int kHeaderRow = 11;
constexpr int kThrowRow = 13;
constexpr int kExtraThrowRow = 14;
constexpr int kLabelsRow = 15;  // one row lower after yut and mo

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

void show_turn_texts(Console& con, const PlayerDescriptor& player, const ThrowInfo& info) {
  con.gotoxy(kTextColumn, kHeaderRow);
  con.printf("player%d의 차례입니다.", side_index(player) + 1);
  con.gotoxy(kTextColumn, kThrowRow);
  con.print(info.text);
  int row = kLabelsRow;
  if (info.extra_throw) {
    con.gotoxy(kTextColumn, kExtraThrowRow);
    con.print("윷을 한번 더 던질 수 있습니다.");
    ++row;
  }
  const auto& p = player.piece_labels;
  const auto& s = player.stack_labels;
  con.gotoxy(kTextColumn, row);
  con.printf("1.%s, 2.%s, 3.%s, 4.%s", p[0].c_str(), p[1].c_str(), p[2].c_str(), p[3].c_str());
  con.gotoxy(kTextColumn, row + 1);
  con.printf("11.%s, 12.%s, 13.%s, 14.%s", s[0].c_str(), s[1].c_str(), s[2].c_str(), s[3].c_str());
  con.gotoxy(kTextColumn, row + 2);
  con.print("움직일 말을 선택해 주세요 : ");
}

std::optional<int> obtain_choice(GameContext& ctx, const PlayerDescriptor& player,
                                 const ThrowInfo& info, int throws_pending) {
  if (!is_computer(player)) return ctx.con.read_int();
  if (ctx.computer == ComputerLevel::kStrong) {
    return strong_choice(to_position(ctx.state), side_index(player), info.steps, throws_pending,
                         ctx.strong_memory);
  }
  return computer_choice(ctx.state, ctx.random);
}

// The cell code a choice names for a side; 0 (names nothing) for no number or one far
// out of range.
int code_of_choice(std::optional<int> choice, int side) {
  if (!choice || *choice < -kLargestChoice || *choice > kLargestChoice) return kNoStation;
  return *choice + side_offset(side) + 1;
}

// Shows why a choice is refused, with a pause where the game waits for a key; returns
// whether it was refused.
bool show_refusal(GameContext& ctx, Refusal why, const PlayerDescriptor& player) {
  switch (why) {
    case Refusal::kNone:
      return false;
    case Refusal::kWrongPiece:
      show_message(ctx.con, "잘못된 말을 선택하셨습니다.", kThrowAgain);
      ctx.con.pause();
      break;
    case Refusal::kArrived:
    case Refusal::kCarried:
      show_message(ctx.con,
                   why == Refusal::kArrived ? "이미 도착한 말을 선택하셨습니다."
                                            : "업혀있는 말을 선택하셨습니다.",
                   kThrowAgain);
      if (!is_computer(player)) ctx.con.pause();
      break;
    case Refusal::kBackDoOnTheBoard:
      show_message(ctx.con, "나와 있는 말을 움직이세요.", kThrowAgain);
      ctx.con.pause();
      break;
  }
  return true;
}

// Throw, choice, validation and move of one throw; schedules what follows it.
void play_throw(GameContext& ctx, const PlayerDescriptor& player, Schedule& schedule) {
  const ThrowInfo& info = throw_for_roll(ctx.random.uniform(kRollRange));
  const int side = side_index(player);
  show_turn_texts(ctx.con, player, info);
  const int code =
      code_of_choice(obtain_choice(ctx, player, info, schedule.throws_pending()), side);

  const Refusal why = refusal_of(to_position(ctx.state), code, side, info.steps);
  schedule.push(Step::kDrawAndEndTest);  // the closing steps of every turn
  if (show_refusal(ctx, why, player)) {
    schedule.push(Step::kThrow);  // one new throw replaces the refused one
    schedule.push(Step::kDrawAndEndTest);
    return;
  }
  const bool captured = move_piece(ctx, code - 1, player, info.steps);
  // The capture's extra throw comes first, as move_piece has already repainted the board;
  // the yut's or mo's follows after its own repaint and end test.
  for (int k = throws_earned(info, captured) - (captured ? 1 : 0); k > 0; --k) {
    schedule.push(Step::kThrow);
    schedule.push(Step::kDrawAndEndTest);
  }
  if (captured) schedule.push(Step::kThrow);
}

}  // namespace

bool check_choice(GameContext& ctx, int code, const PlayerDescriptor& player) {
  return show_refusal(ctx, choice_refusal(to_position(ctx.state), code, side_index(player)),
                      player);
}

TurnOutcome take_turn(GameContext& ctx, const PlayerDescriptor& player) {
  Schedule schedule;
  schedule.push(Step::kThrow);
  while (!schedule.empty()) {
    switch (schedule.pop()) {
      case Step::kThrow:
        play_throw(ctx, player, schedule);
        break;
      case Step::kDrawAndEndTest:
        draw_board(ctx.con, ctx.state);
        if (check_game_end(ctx)) return TurnOutcome::kGameOver;
        break;
    }
  }
  return TurnOutcome::kGoesOn;
}

}  // namespace yut
