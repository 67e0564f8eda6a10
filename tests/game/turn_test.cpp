#include "game/turn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "display/board_view.h"
#include "game_rig.h"
#include "recording_screen.h"

// Heap bytes in use and the most in use since the last mark, counted by the replacements of
// the global operator new and delete below (for this test program only): a turn must not
// keep more of them the longer its run of refused choices goes on.
namespace heap_use {
std::size_t in_use = 0;
std::size_t peak = 0;
// Each block starts with its size, in a header that keeps the block's alignment.
constexpr std::size_t kHeader = alignof(std::max_align_t);
}  // namespace heap_use

void* operator new(std::size_t size) {
  void* block = std::malloc(size + heap_use::kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  heap_use::in_use += size;
  heap_use::peak = std::max(heap_use::peak, heap_use::in_use);
  return static_cast<char*>(block) + heap_use::kHeader;
}

void operator delete(void* data) noexcept {
  if (data == nullptr) return;
  void* block = static_cast<char*>(data) - heap_use::kHeader;
  heap_use::in_use -= *static_cast<std::size_t*>(block);
  std::free(block);
}

void operator delete(void* data, std::size_t) noexcept {
  operator delete(data);
}

namespace yut {
namespace {

constexpr int kGeol = 60;
constexpr int kGae = 30;
constexpr int kDo = 10;
constexpr int kYut = 80;
constexpr int kMo = 95;
constexpr int kBackDo = 3;

// Runs one turn on a freshly drawn board; returns false when the scripted keys ran out
// (the screen then shows what stood there while the turn waited).
bool run_turn(GameRig& rig, const PlayerDescriptor& player, TurnOutcome* outcome = nullptr) {
  draw_board(rig.con, rig.state);
  try {
    const TurnOutcome result = take_turn(rig.ctx, player);
    if (outcome != nullptr) *outcome = result;
    return true;
  } catch (const InputClosed&) {
    return false;
  }
}

TEST(Turn, TextsOfAnOrdinaryThrow) {
  GameRig rig({kGeol});
  ASSERT_FALSE(run_turn(rig, side1_player()));
  EXPECT_EQ(rig.turn_text(11), "player1의 차례입니다.");
  EXPECT_EQ(rig.turn_text(13), "(걸)이 나왔습니다.");
  EXPECT_EQ(rig.turn_text(14), "");
  EXPECT_EQ(rig.turn_text(15), "1.ⓐ, 2.ⓑ, 3.ⓒ, 4.ⓓ");
  EXPECT_EQ(rig.turn_text(16), "11.②, 12.③, 13.④, 14.②'");
  EXPECT_EQ(rig.turn_text(17), "움직일 말을 선택해 주세요 :");
  EXPECT_EQ(rig.con.screen().cursor_y(), 17);
  EXPECT_EQ(rig.con.screen().cursor_x(), 45 + 28) << "typing goes right after the prompt";
}

TEST(Turn, YutAndMoShiftTheLabelsOneRowDown) {
  for (const auto& [roll, text] :
       {std::pair{kYut, "(윷)이 나왔습니다."}, std::pair{kMo, "(모)가 나왔습니다."}}) {
    GameRig rig({roll});
    ASSERT_FALSE(run_turn(rig, side2_player()));
    EXPECT_EQ(rig.turn_text(11), "player2의 차례입니다.");
    EXPECT_EQ(rig.turn_text(13), text);
    EXPECT_EQ(rig.turn_text(14), "윷을 한번 더 던질 수 있습니다.");
    EXPECT_EQ(rig.turn_text(16), "1.ⓔ, 2.ⓕ, 3.ⓖ, 4.ⓗ");
    EXPECT_EQ(rig.turn_text(17), "11.⑵, 12.⑶, 13.⑷, 14.⑵'");
    EXPECT_EQ(rig.turn_text(18), "움직일 말을 선택해 주세요 :");
  }
}

TEST(Turn, ATypicalTurnMovesThePieceAndRepaints) {
  GameRig rig({kGeol}, "1\n");
  TurnOutcome outcome{};
  ASSERT_TRUE(run_turn(rig, side1_player(), &outcome));
  EXPECT_EQ(outcome, TurnOutcome::kGoesOn);
  EXPECT_EQ(rig.at({6, 3}), 2);
  EXPECT_EQ(rig.text(32, 17, 2), "ⓐ");
  EXPECT_EQ(rig.text(4, 28, 32), "player1 대기중인 말 :   ⓑ ⓒ ⓓ");
  for (int row = 9; row <= 20; ++row) EXPECT_EQ(rig.message(row), "") << "row " << row;
  EXPECT_TRUE(rig.random.used_up());
}

TEST(Turn, SideTwoChoiceIsOffsetByFour) {
  GameRig rig({kGae}, "3\n");
  ASSERT_TRUE(run_turn(rig, side2_player()));
  EXPECT_EQ(rig.at({6, 4}), 8);  // piece g, number 7
}

struct RefusalCase {
  std::string name;
  const PlayerDescriptor* player;
  std::vector<std::pair<BoardPlace, int>> board;
  std::vector<int> arrived1;
  std::vector<int> stacked1;
  int roll;
  std::string typed;
  std::string message;
};

// Each refusal: its message under the turn's texts, a pause, nothing changed, and then one
// new throw; under the fair rule the same throw is offered again instead.
TEST(Turn, Refusals) {
  const std::string wrong = "잘못된 말을 선택하셨습니다.";
  const std::vector<RefusalCase> cases = {
      {"no piece 9", &side1_player(), {}, {}, {}, kGeol, "9", wrong},
      {"zero", &side1_player(), {}, {}, {}, kGeol, "0", wrong},
      {"ten", &side1_player(), {}, {}, {}, kGeol, "10", wrong},
      {"twenty", &side1_player(), {}, {}, {}, kGeol, "20", wrong},
      {"stack not on the board", &side1_player(), {{{6, 3}, 12}}, {}, {2, 3}, kGeol, "12", wrong},
      {"the other side's piece", &side1_player(), {{{6, 3}, 6}}, {}, {}, kGeol, "5", wrong},
      {"the other side's stack", &side1_player(), {{{6, 3}, 16}}, {}, {}, kGeol, "15", wrong},
      {"side 2 naming 5", &side2_player(), {}, {}, {}, kGeol, "5", wrong},
      {"side 2 naming side 1's piece", &side2_player(), {{{6, 3}, 2}}, {}, {}, kGeol, "-3", wrong},
      {"side 2 naming side 1's stack",
       &side2_player(),
       {{{6, 3}, 12}},
       {},
       {2, 3},
       kGeol,
       "7",
       wrong},
      {"not a number", &side1_player(), {}, {}, {}, kGeol, "abc", wrong},
      {"too large for an int", &side1_player(), {}, {}, {}, kGeol, "99999999999", wrong},
      {"arrived", &side1_player(), {}, {3}, {}, kGeol, "2", "이미 도착한 말을 선택하셨습니다."},
      {"carried",
       &side1_player(),
       {{{0, 0}, 12}},
       {},
       {2, 3},
       kYut,
       "1",
       "업혀있는 말을 선택하셨습니다."},
      {"back-do for a waiting piece while one is out",
       &side1_player(),
       {{{6, 3}, 2}},
       {},
       {},
       kBackDo,
       "2",
       "나와 있는 말을 움직이세요."},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& [rules, press_key] :
         {std::pair{RuleSet::kClassic, false}, std::pair{RuleSet::kClassic, true},
          std::pair{RuleSet::kFair, false}, std::pair{RuleSet::kFair, true}}) {
      const bool fair = rules == RuleSet::kFair;
      GameRig rig({c.roll, kGeol}, c.typed + "\n" + (press_key ? "k" : ""), {.rules = rules});
      for (const auto& [at, code] : c.board) rig.put(at, code);
      for (const int code : c.arrived1) rig.arrive(0, {code});
      for (const int code : c.stacked1) rig.carry(0, {code});
      const GameState before = rig.state;
      ASSERT_FALSE(run_turn(rig, *c.player));
      EXPECT_EQ(rig.state.board, before.board);
      EXPECT_EQ(rig.state.stacked, before.stacked);
      EXPECT_EQ(rig.state.score, before.score);
      if (!press_key) {  // waiting in the pause
        EXPECT_EQ(rig.message(19), c.message);
        EXPECT_EQ(rig.message(20),
                  fair ? "움직일 말을 다시 선택해 주세요." : "윷을 다시 던집니다.");
        EXPECT_EQ(rig.random.draws(), 1);
      } else if (fair) {  // the same throw waits for a new choice
        EXPECT_EQ(rig.random.draws(), 1);
        EXPECT_EQ(rig.message(19), "");
        EXPECT_EQ(rig.turn_text(13),
                  std::string(throw_for_roll(c.roll).text, 0,
                              std::string(throw_for_roll(c.roll).text).size() - 1));
      } else {  // a new throw waits for its choice
        EXPECT_EQ(rig.random.draws(), 2);
        EXPECT_EQ(rig.message(19), "");
        EXPECT_EQ(rig.turn_text(13), "(걸)이 나왔습니다.");
      }
    }
  }
}

// Esc at the piece prompt asks whether to leave: another key goes back to the same prompt
// for the same throw, y leaves with the board reset and the scores kept. Esc in the name
// entry leaves likewise, with nothing saved.
TEST(Turn, LeavingAGame) {
  {
    GameRig rig({kGeol}, "\x1bn1\n");
    ASSERT_TRUE(run_turn(rig, side1_player()));
    EXPECT_EQ(rig.at({6, 3}), 2) << "the same throw, answered after the question";
    EXPECT_EQ(rig.random.draws(), 1);
  }
  {
    GameRig rig({kGeol}, "7\x1b");
    ASSERT_FALSE(run_turn(rig, side1_player()));
    EXPECT_EQ(rig.message(19), "게임을 그만두시겠습니까? (y/n)");
    EXPECT_EQ(rig.text(45 + 28, 17, 2), "  ") << "the typed 7 is dropped";
  }
  {
    GameRig rig({kGeol}, "\x1by");
    rig.put({6, 3}, 3);
    rig.state.score = {500, 250};
    TurnOutcome outcome{};
    ASSERT_TRUE(run_turn(rig, side1_player(), &outcome));
    EXPECT_EQ(outcome, TurnOutcome::kLeft);
    EXPECT_EQ(rig.state.board, GameState().board);
    EXPECT_EQ(rig.state.score, (std::array<int, 2>{500, 250}));
  }
  GameRig rig({kYut}, "4\nki\x1bk\x1by");
  rig.one_piece_from_winning({5, 5});
  TurnOutcome outcome{};
  ASSERT_TRUE(run_turn(rig, side1_player(), &outcome));
  EXPECT_EQ(outcome, TurnOutcome::kGameOver);
  EXPECT_EQ(rig.ranking[0].score, 0) << "no name entered";
  EXPECT_FALSE(std::filesystem::exists(rig.ranking_path)) << "nothing saved";
  EXPECT_EQ(rig.state.score[0], 2000);
}

TEST(Turn, BackDoWithNothingOutEntersBeforeTheGoal) {
  RecordedGame game({kBackDo}, {3});
  game.state.arrived[0] = {2, 0, 0, 0};
  game.state.arrived_count[0] = 1;
  EXPECT_EQ(take_turn(game.ctx, side1_player()), TurnOutcome::kGoesOn);
  EXPECT_EQ(game.at({5, 6}), 4);
}

TEST(Turn, TwoNumbersOnOneLineAnswerTwoPrompts) {
  GameRig rig({kGeol, kGae}, "2 3\n");
  ASSERT_TRUE(run_turn(rig, side1_player()));
  ASSERT_TRUE(run_turn(rig, side1_player())) << "the 3 answers the second prompt";
  EXPECT_EQ(rig.at({6, 3}), 3);
  EXPECT_EQ(rig.at({6, 4}), 4);
}

TEST(Turn, APauseDiscardsWhatIsLeftOnTheLine) {
  GameRig rig({kGeol, kGeol}, "9 3\nk");
  ASSERT_FALSE(run_turn(rig, side1_player())) << "the 3 went with the refused line";
  EXPECT_EQ(rig.random.draws(), 2);
}

TEST(Turn, EmptyLinesKeepThePromptWaiting) {
  GameRig rig({kGeol}, "\n\n  \n4\n");
  ASSERT_TRUE(run_turn(rig, side1_player()));
  EXPECT_EQ(rig.at({6, 3}), 5);
}

// What a turn tells its screen, in order: every move is repainted before the next throw.
TEST(Turn, YutAndMoGiveOneMoreThrow) {
  RecordedGame game({kYut, kMo, kDo}, {1, 2, 3});
  EXPECT_EQ(take_turn(game.ctx, side1_player()), TurnOutcome::kGoesOn);
  EXPECT_EQ(game.at({6, 2}), 2);
  EXPECT_EQ(game.at({6, 1}), 3);
  EXPECT_EQ(game.at({6, 5}), 4);
  EXPECT_TRUE(game.random.used_up());
  EXPECT_EQ(game.screen.all_events(),
            "side0 yut / typed / board / side0 mo / typed / board / side0 do / typed / board");
}

TEST(Turn, ARefusedYutIsReplacedByExactlyOneThrow) {
  RecordedGame game({kYut, kGeol}, {9, 1});
  EXPECT_EQ(take_turn(game.ctx, side1_player()), TurnOutcome::kGoesOn);
  EXPECT_EQ(game.at({6, 3}), 2);
  EXPECT_TRUE(game.random.used_up());
  EXPECT_EQ(game.screen.all_events(),
            "side0 yut / typed / refused, key / board / side0 geol / typed / board");
}

// A capture made with a yut: the capture's messages and pause come first, the points are
// added after the pause, then the capture's extra throw and the yut's extra throw follow.
TEST(Turn, CaptureWithAYut) {
  {
    GameRig rig({kYut}, "1\n");
    rig.put({6, 2}, 6);
    ASSERT_FALSE(run_turn(rig, side1_player()));
    EXPECT_EQ(rig.message(19), "상대 말을 잡았습니다.");
    EXPECT_EQ(rig.message(20), "윷을 한 번더 던질 수 있습니다.");
    EXPECT_EQ(rig.state.score[0], 0) << "points come after the pause";
    EXPECT_EQ(rig.at({6, 2}), 2);
  }
  GameRig rig({kYut, kGeol, kGae}, "1\nk2\n3\n");
  rig.put({6, 2}, 6);
  ASSERT_TRUE(run_turn(rig, side1_player()));
  EXPECT_EQ(rig.state.score, (std::array<int, 2>{250, 0}));
  EXPECT_EQ(rig.at({6, 3}), 3);
  EXPECT_EQ(rig.at({6, 4}), 4);
  EXPECT_TRUE(rig.random.used_up()) << "two extra throws";
  EXPECT_EQ(rig.text(44, 29, 28), "        player1의 점수 : 250");
}

TEST(Turn, ComputerTurnNeverWaits) {
  // No answers: any prompt would end the turn with NoMoreAnswers.
  RecordedGame game({kGeol, 0, kDo}, {});
  game.state.board[cell_index(6, 3)] = 2;
  EXPECT_EQ(take_turn(game.ctx, computer_player()), TurnOutcome::kGoesOn);
  EXPECT_EQ(game.at({6, 2}), 6) << "captured at (6,3), then moved on by the extra throw";
  EXPECT_EQ(game.state.score[1], 250);
  EXPECT_EQ(game.random.bounds(), (std::vector<int>{100, 4, 100}));
  EXPECT_EQ(game.screen.all_events(),
            "side1 geol / chose 1 / capture / board / hold / side1 do / chose 1 / board / hold");
}

TEST(Turn, ComputerDrawingAnArrivedPieceThrowsAgainWithoutAKey) {
  RecordedGame game({kGeol, 1, kGeol, 2});
  game.state.arrived[1] = {7, 0, 0, 0};
  game.state.arrived_count[1] = 1;
  EXPECT_EQ(take_turn(game.ctx, computer_player()), TurnOutcome::kGoesOn);
  EXPECT_EQ(game.at({6, 3}), 8);
  EXPECT_TRUE(game.random.used_up());
  EXPECT_EQ(game.screen.all_events(),
            "side1 geol / chose 2 / refused / board / side1 geol / chose 3 / board / hold");
}

TEST(Turn, TheLastArrivalEndsTheGameAtOnce) {
  GameRig rig({kYut}, "4\nkim\n");
  rig.one_piece_from_winning({5, 5});
  rig.state.score[1] = 250;
  TurnOutcome outcome{};
  ASSERT_TRUE(run_turn(rig, side1_player(), &outcome));
  EXPECT_EQ(outcome, TurnOutcome::kGameOver);
  EXPECT_TRUE(rig.random.used_up()) << "the yut's extra throw never comes";
  EXPECT_EQ(rig.text(44, 32, 26), "            player1 승리!!");
  EXPECT_EQ(rig.state.candidate_score, 2000);
  EXPECT_EQ(rig.state.score, (std::array<int, 2>{2000, 250}));
  EXPECT_EQ(rig.state.board, GameState().board) << "reset";
  EXPECT_EQ(rig.state.arrived_count[0], 0);
  EXPECT_EQ(std::string(rig.ranking[0].name.data()), "kim");
}

// Always the same throw, without keeping a record of the draws (which would grow with them).
class SameThrow : public Random {
 public:
  explicit SameThrow(int roll) : roll_(roll) {}
  int uniform(int) override {
    ++draws;
    return roll_;
  }
  int draws = 0;

 private:
  int roll_;
};

// The most heap a side-1 turn holds beyond what it started with, when `refusals` refused
// choices come before a valid one.
std::size_t heap_held_by_turn_with_refusals(int refusals) {
  std::vector<int> answers(static_cast<std::size_t>(refusals), 9);
  answers.push_back(1);
  RecordedGame game({}, answers);
  game.screen.forget();
  SameThrow geol(kGeol);
  GameContext ctx{game.state, geol, game.screen};
  const std::size_t before = heap_use::in_use;
  heap_use::peak = before;
  EXPECT_EQ(take_turn(ctx, side1_player()), TurnOutcome::kGoesOn);
  const std::size_t held = heap_use::peak - before;
  EXPECT_EQ(game.at({6, 3}), 2) << refusals << " refusals";
  EXPECT_EQ(geol.draws, refusals + 1);
  return held;
}

TEST(Turn, RefusalsDoNotDeepenAnything) {
  // Every refusal starts a further turn from inside the running one; three thousand of them
  // in a row must cost no more than ten.
  const std::size_t after_few = heap_held_by_turn_with_refusals(10);
  const std::size_t after_many = heap_held_by_turn_with_refusals(3000);
  EXPECT_LE(after_many, after_few + 512) << after_few << " bytes after 10 refusals";
}

}  // namespace
}  // namespace yut
