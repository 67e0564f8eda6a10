#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "game/computer.h"
#include "game/computer_levels.h"
#include "game/routes.h"
#include "game/rules_turn.h"
#include "game/side_config.h"
#include "game/solo_race.h"
#include "game/strong_computer.h"
#include "game/throw.h"
#include "scripted_random.h"

namespace yut {
namespace {

// Expected turns `side` needs alone from the start of one of its turns; 0 once it has won.
double race_of(const Position& position, int side) {
  return race_turns(config_of(position, side)).turns;
}

TEST(Throw, BandsAtTheirEdges) {
  struct Case {
    int roll;
    ThrowKind kind;
    int steps;
    bool extra;
  };
  const std::vector<Case> cases = {
      {0, ThrowKind::kBackDo, -1, false}, {5, ThrowKind::kBackDo, -1, false},
      {6, ThrowKind::kDo, 1, false},      {24, ThrowKind::kDo, 1, false},
      {25, ThrowKind::kGae, 2, false},    {49, ThrowKind::kGae, 2, false},
      {50, ThrowKind::kGeol, 3, false},   {74, ThrowKind::kGeol, 3, false},
      {75, ThrowKind::kYut, 4, true},     {89, ThrowKind::kYut, 4, true},
      {90, ThrowKind::kMo, 5, true},      {99, ThrowKind::kMo, 5, true},
  };
  for (const Case& c : cases) {
    const ThrowInfo& info = throw_for_roll(c.roll);
    EXPECT_EQ(info.kind, c.kind) << c.roll;
    EXPECT_EQ(info.steps, c.steps) << c.roll;
    EXPECT_EQ(info.extra_throw, c.extra) << c.roll;
  }
}

TEST(Throw, TextsOfEveryKind) {
  const std::vector<std::pair<int, std::string>> texts = {
      {0, "(빽도)가 나왔습니다.\n"}, {6, "(도)가 나왔습니다.\n"},  {25, "(개)가 나왔습니다.\n"},
      {50, "(걸)이 나왔습니다.\n"},  {75, "(윷)이 나왔습니다.\n"}, {90, "(모)가 나왔습니다.\n"},
  };
  for (const auto& [roll, text] : texts) EXPECT_EQ(throw_for_roll(roll).text, text);
}

struct ChoiceCase {
  std::string name;
  std::vector<std::pair<BoardPlace, int>> board;  // cells and codes
  int expected;
};

// Side 2's highest stack on the board, else its highest piece on the board; side 1's
// pieces and the throw never matter.
TEST(ComputerChoice, OrderOfPreference) {
  const std::vector<ChoiceCase> cases = {
      {"pair before single pieces", {{{6, 3}, 16}, {{6, 1}, 9}, {{0, 0}, 8}}, 11},
      {"second pair before first pair", {{{6, 3}, 16}, {{0, 3}, 19}}, 14},
      {"quad", {{{2, 2}, 18}}, 13},
      {"triple before its fourth piece", {{{3, 6}, 17}, {{1, 6}, 9}}, 12},
      {"highest piece", {{{6, 3}, 7}, {{0, 2}, 9}}, 4},
      {"lowest piece alone", {{{6, 3}, 6}, {{6, 2}, 12}, {{6, 1}, 5}}, 1},
      {"side 1's stacks are not its own", {{{6, 3}, 15}, {{6, 2}, 8}}, 3},
  };
  for (const ChoiceCase& c : cases) {
    GameState state;
    for (const auto& [at, code] : c.board) state.board[cell_index(at.i, at.j)] = code;
    ScriptedRandom random({});
    EXPECT_EQ(preferred_choice(to_position(state), 1, random), c.expected) << c.name;
    EXPECT_EQ(random.draws(), 0) << c.name << ": draws only when nothing is out";
  }
}

TEST(ComputerChoice, RandomPieceWhenNothingIsOut) {
  GameState state;
  state.board[cell_index(6, 3)] = 2;  // side 1's piece does not count
  state.arrived[1] = {6, 7, 0, 0};
  ScriptedRandom random({0, 3, 1});
  EXPECT_EQ(preferred_choice(to_position(state), 1, random), 1);
  EXPECT_EQ(preferred_choice(to_position(state), 1, random), 4);
  EXPECT_EQ(preferred_choice(to_position(state), 1, random), 2);
  EXPECT_EQ(random.bounds(), (std::vector<int>{4, 4, 4}));
}

// The strong side on both sides of headless games: every choice it makes is one that the
// turn accepts, whatever the throw (back-do included) and whatever stands on the board.
// The look-ahead weighs the same candidates at any depth; one throw keeps the run short.
// A position's worth asked for while the program starts, before the constants of other
// files are sure to be built, is the worth asked for later.
Position one_piece_each_out() {
  Position p;
  p.station[unit_slot(piece_code(0, 0))] = 9;
  p.station[unit_slot(piece_code(1, 0))] = 3;
  return p;
}
const double kWorthAtStart = position_worth(one_piece_each_out(), 1, 0);

TEST(ComputerChoice, StrongWorthIsTheSameWhileTheProgramStarts) {
  EXPECT_EQ(kWorthAtStart, position_worth(one_piece_each_out(), 1, 0));
}

// The turns a side needs alone are what one more throw makes of them: for positions of
// random games, the table's value equals one turn plus, over the throws, the best move's
// value (a throw of yut or mo stays in the turn, a move that wins ends it), and the same
// with the first valid move for a side that keeps to one unit (while it has at most one
// out, where the first move does not depend on which piece is which); and what the table gives
// for the loss of a unit is the value of the side without that unit.
TEST(ComputerChoice, SoloRaceTurnsAgreeWithOneMoreThrow) {
  std::mt19937 engine(11);
  Position p;
  auto one_unit_turns = [](const Position& q, int side) {
    return one_unit_race_turns(config_of(q, side)).turns;
  };
  for (int checked = 0, side = 0; checked < 2000; side = 1 - side) {
    double expected = 1;
    double expected_one_unit = 1;
    for (int roll = 0; roll < kRollRange; ++roll) {
      const ThrowInfo& info = throw_for_roll(roll);
      std::array<int, 5> choices{};
      const int count = valid_choices(p, side, info.steps, choices);
      double best = 1e9;
      for (int k = 0; k < count; ++k) {
        Position next = p;
        apply_move(next, number_of_choice(choices[k], side), side, info.steps);
        const double same_turn = info.extra_throw ? 1.0 : 0.0;
        best = std::min(best, has_won(next, side) ? 0.0 : race_of(next, side) - same_turn);
        if (k == 0) {
          expected_one_unit +=
              (has_won(next, side) ? 0.0 : one_unit_turns(next, side) - same_turn) / kRollRange;
        }
      }
      expected += best / kRollRange;
    }
    ASSERT_NEAR(race_of(p, side), expected, 1e-4) << "check " << checked;
    if (units_out(p, side) <= 1) {
      ASSERT_NEAR(one_unit_turns(p, side), expected_one_unit, 1e-4) << "check " << checked;
    }
    // After a capture: the same position with that unit taken off the board.
    const SideConfig own = config_of(p, side);
    for (int u = 0; u < own.count; ++u) {
      Position captured = p;
      for (int slot = 0; slot < kUnitCodes; ++slot) {
        if (is_own_code(side, unit_code(slot)) && p.station[slot] == own.units[u].station) {
          captured.station[slot] = kOffBoard;
        }
      }
      ASSERT_EQ(race_turns(own).without_unit[u], race_of(captured, side));
    }
    ++checked;
    std::array<int, 5> choices{};
    const int steps = throw_for_roll(static_cast<int>(engine() % kRollRange)).steps;
    const int count = valid_choices(p, side, steps, choices);
    apply_move(p, number_of_choice(choices[engine() % static_cast<unsigned>(count)], side), side,
               steps);
    if (has_won(p, side)) p = Position{};
  }
}

// The strong side learns that the other side keeps to its one unit even past a capture
// only from a turn of one throw that moved that unit where a piece brought in with the
// same throw would have taken one of ours; not when the piece brought in would have
// landed elsewhere, nor when the throw was a yut, which gives another throw.
TEST(ComputerChoice, StrongSideSeesACapturePassedOver) {
  struct Case {
    const char* name;
    int steps;        // of the other side's throw; its unit stands 5 steps from the start
    bool ours_there;  // one of ours stands where a piece brought in with it would land
    bool learned;
  };
  const Case cases[] = {{"gae past a capture", 2, true, true},
                        {"gae, nothing there", 2, false, false},
                        {"yut past a capture", 4, true, false}};
  for (const Case& c : cases) {
    const int from = destination(kGoalStation, 5);
    Position before;
    before.station[unit_slot(piece_code(0, 0))] = static_cast<std::int8_t>(from);
    const int ours = c.ours_there ? destination(kGoalStation, c.steps) : 10;
    before.station[unit_slot(piece_code(1, 0))] = static_cast<std::int8_t>(ours);
    Position now = before;
    apply_move(now, piece_code(0, 0) - 1, 0, c.steps);
    StrongMemory memory;
    memory.after_own_move = before;
    memory.has_moved = true;
    strong_choice(now, 1, 1, 0, memory, 0);
    EXPECT_EQ(memory.other_passed_a_capture, c.learned) << c.name;
  }
}

// A side that has left one unit is expected to capture, else bring a piece home, else
// stack, else move its unit nearest home, and to bring a piece in only with nothing out.
// Side 0 moves; side 1 has a piece where side 0's piece brought in would land when
// `ours_at_entry`.
TEST(ComputerChoice, HabitOfASideThatLeftOneUnit) {
  // Stations: so many steps from the start by one throw, or from home.
  auto start = [](int steps) { return destination(kGoalStation, steps); };
  auto home = [](int steps) {
    int at = 1;
    while (steps_to_goal(at) != steps) ++at;
    return at;
  };
  struct Case {
    const char* name;
    std::vector<int> units;  // stations of side 0's units
    bool ours_at_entry;
    int steps;
    int moves;  // station of the unit it moves; kGoalStation for a piece brought in
  };
  const Case cases[] = {
      {"a capture before all", {home(1), start(2)}, true, 1, kGoalStation},
      {"home before a stack", {home(1), start(1)}, false, 1, home(1)},
      {"a stack before a move", {start(3), home(4)}, false, 3, kGoalStation},
      {"the unit nearest home", {start(3), home(4)}, false, 2, home(4)},
      {"a piece in when nothing is out", {}, false, 2, kGoalStation},
  };
  for (const Case& c : cases) {
    Position p;
    for (std::size_t k = 0; k < c.units.size(); ++k) {
      p.station[unit_slot(piece_code(0, static_cast<int>(k)))] =
          static_cast<std::int8_t>(c.units[k]);
    }
    if (c.ours_at_entry) {
      p.station[unit_slot(piece_code(1, 0))] = static_cast<std::int8_t>(start(c.steps));
    }
    std::array<int, kMostChoices> choices{};
    const int count = valid_choices(p, 0, c.steps, choices);
    const int code = code_of_choice(habit_choice(p, 0, c.steps, choices, count), 0);
    EXPECT_EQ(is_out(p, code) ? p.station[unit_slot(code)] : kGoalStation, c.moves) << c.name;
  }
}

// Every level but basic names only choices the turn accepts, under either rule, whatever
// the throw (back-do included) and whatever stands on the board; and a game between two
// computer sides from a fixed seed replays move for move, drawing only from the generator
// it is given. The strong level looks one throw ahead here to keep the run short.
TEST(ComputerChoice, LevelsAreNeverRefusedAndReplay) {
  struct Case {
    ComputerLevel level;
    RuleSet rules;
    long decisions;
  };
  const Case cases[] = {{ComputerLevel::kEasy, RuleSet::kClassic, 20000},
                        {ComputerLevel::kBasic, RuleSet::kFair, 0},
                        {ComputerLevel::kMedium, RuleSet::kFair, 20000},
                        {ComputerLevel::kStrong, RuleSet::kClassic, 100000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.level));
    // One game of the level against itself: the positions after each turn.
    auto play_game = [&](unsigned seed, long& decisions, long& refused) {
      SeededRandom random(seed);
      std::vector<Position> turns;
      std::array<ComputerMind, 2> minds{ComputerMind{c.level}, ComputerMind{c.level}};
      Position position;
      auto roll = [&] { return random.uniform(kRollRange); };
      for (int side = 0;; side = 1 - side) {
        auto choose = [&](const Position& p, const ThrowInfo& info, int pending) {
          const int choice =
              c.level == ComputerLevel::kStrong
                  ? strong_choice(p, side, info.steps, pending, minds[side].memory, 1)
                  : computer_choice(minds[side], p, side, info, pending, c.rules, random);
          ++decisions;
          if (refusal_of(p, code_of_choice(choice, side), side, info.steps) != Refusal::kNone) {
            ++refused;
          }
          return choice;
        };
        const bool won = play_rules_turn(position, side, roll, choose, c.rules);
        turns.push_back(position);
        if (won) return turns;
      }
    };
    long decisions = 0;
    long refused = 0;
    for (unsigned seed = 1; decisions < c.decisions || seed <= 3; ++seed) {
      const std::vector<Position> first = play_game(seed, decisions, refused);
      long again = 0;
      EXPECT_TRUE(play_game(seed, again, again) == first) << "seed " << seed;
    }
    if (c.level != ComputerLevel::kBasic) {
      EXPECT_EQ(refused, 0);
    }
  }
}

}  // namespace
}  // namespace yut
