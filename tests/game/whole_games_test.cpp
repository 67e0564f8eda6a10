// Whole games played by the real turn code with random throws and random, often bad,
// input: after every move the pieces and tables stay consistent, every score change is
// explained by the move, and every game ends; the rules alone replay such games turn for
// turn, and a seeded game against the strong side replays screen for screen.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "game/game_loop.h"
#include "game/rules_turn.h"
#include "game/side.h"
#include "game/strong_computer.h"
#include "game/turn.h"
#include "game_rig.h"

namespace yut {
namespace {

int singles_on_board(const GameState& state, int side) {
  int count = 0;
  for (const int code : state.board) count += is_piece_code(code) && side_of_code(code) == side;
  return count;
}

// Pieces of a side that are out on the board, single or carried.
int pieces_out(const GameState& state, int side) {
  return singles_on_board(state, side) + state.stacked_count[side];
}

void expect_consistent(const GameState& state) {
  const auto& initial = initial_board();
  std::array<int, 20> seen{};
  for (int cell = 0; cell < kCells; ++cell) {
    const int code = state.board[cell];
    ASSERT_EQ(code == kNoStation, initial[cell] == kNoStation) << "cell " << cell;
    ASSERT_TRUE(code == kNoStation || code == kEmptyStation || is_piece_code(code) ||
                is_stack_code(code))
        << code;
    if (code > kEmptyStation) {
      ASSERT_EQ(++seen[code], 1) << "code " << code << " twice";
    }
  }
  ASSERT_EQ(state.board[cell_index(6, 6)], kEmptyStation);
  for (int side = 0; side < kSides; ++side) {
    const int stacked = state.stacked_count[side];
    const int arrived = state.arrived_count[side];
    ASSERT_TRUE(stacked >= 0 && stacked <= 4 && arrived >= 0 && arrived <= 4);
    int carried = 0;
    for (int code = kFirstStackCode; code < kFirstStackCode + 8; ++code) {
      if (seen[code] != 0 && side_of_code(code) == side) carried += pieces_in(code);
    }
    ASSERT_EQ(carried, stacked) << "side " << side << ": one entry per carried piece";
    for (int k = 0; k < 4; ++k) {
      ASSERT_EQ(k < stacked, state.stacked[side][k] != 0);
      ASSERT_EQ(k < arrived, state.arrived[side][k] != 0);
      for (const int code : {state.stacked[side][k], state.arrived[side][k]}) {
        if (code == 0) continue;
        ASSERT_TRUE(is_own_code(side, code) && is_piece_code(code)) << code;
        ASSERT_EQ(++seen[code], 1) << "piece " << code << " in two places";
      }
    }
    ASSERT_LE(singles_on_board(state, side) + stacked + arrived, 4);
  }
}

// Draws throws from a seeded generator; at every throw, that is after every move, checks
// the state and explains the change of scores since the previous throw.
class CheckingRandom : public Random {
 public:
  CheckingRandom(const GameState& state, unsigned seed) : state_(state), engine_(seed) {}

  int uniform(int n) override {
    if (n == 100) {
      check_move();
      ++throws_;
    }
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }

  void start_game() { previous_ = state_; }

  // The game has ended and the state is reset: the last move brought the winner's last
  // pieces home.
  void check_game_end() {
    const std::array<int, 2> gained{state_.score[0] - previous_.score[0],
                                    state_.score[1] - previous_.score[1]};
    const bool side1 = gained[1] == 0 && gained[0] == 500 * (4 - previous_.arrived_count[0]);
    const bool side2 = gained[0] == 0 && gained[1] == 500 * (4 - previous_.arrived_count[1]);
    EXPECT_TRUE(side1 || side2) << "final scores " << state_.score[0] << " " << state_.score[1];
  }

  long throws() const { return throws_; }

 private:
  void check_move() {
    expect_consistent(state_);
    bool explained = false;
    for (int mover = 0; mover < kSides; ++mover) {
      const int other = 1 - mover;
      const int captured = pieces_out(previous_, other) - pieces_out(state_, other);
      const int arrived = state_.arrived_count[mover] - previous_.arrived_count[mover];
      explained = explained ||
                  (state_.score[other] == previous_.score[other] &&
                   state_.arrived_count[other] == previous_.arrived_count[other] && captured >= 0 &&
                   arrived >= 0 &&
                   state_.score[mover] - previous_.score[mover] == 500 * arrived + 250 * captured);
    }
    EXPECT_TRUE(explained) << "scores " << previous_.score[0] << "," << previous_.score[1] << " -> "
                           << state_.score[0] << "," << state_.score[1];
    previous_ = state_;
  }

  const GameState& state_;
  GameState previous_;
  std::mt19937 engine_;
  long throws_ = 0;
};

// Typed input: mostly the side's own numbers, with a good share of wrong ones, text,
// empty lines, huge numbers and two numbers on one line.
std::string random_keys(std::mt19937& engine, int tokens) {
  static const char* const kTokens[] = {
      "1\n",  "2\n", "3\n", "4\n", "1\n",  "2\n",           "3\n",   "4\n", "11\n",  "12\n", "13\n",
      "14\n", "0\n", "5\n", "9\n", "-3\n", "99999999999\n", "abc\n", "\n",  "2 3\n", "k",    " 4\n",
  };
  std::uniform_int_distribution<int> pick(0, std::size(kTokens) - 1);
  std::string keys;
  for (int k = 0; k < tokens; ++k) keys += kTokens[pick(engine)];
  return keys;
}

void play_many(void (*game)(GameContext&), unsigned seed, int games,
               ComputerLevel computer = ComputerLevel::kBasic) {
  GameRig rig({});
  rig.platform.keep_output(false);
  CheckingRandom random(rig.state, seed);
  ScreenedGame screened(rig.con, rig.state, random, rig.ranking, rig.ranking_path, computer);
  GameContext& ctx = screened.ctx;
  std::mt19937 keys(seed);
  for (int g = 0; g < games; ++g) {
    SCOPED_TRACE("game " + std::to_string(g));
    rig.platform.add_input(random_keys(keys, 50000));
    random.start_game();
    try {
      game(ctx);
    } catch (const InputClosed&) {
      FAIL() << "the game did not end";
    }
    random.check_game_end();
    EXPECT_EQ(rig.state.board, initial_board());
    EXPECT_EQ(rig.state.arrived_count, (std::array<int, 2>{0, 0}));
    if (testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(random.throws(), games * 20L);
}

TEST(WholeGames, TwoPlayersWithRandomInput) {
  play_many(two_player_game, 7, 40);
}

TEST(WholeGames, VersusComputerWithRandomInput) {
  play_many(versus_computer_game, 11, 40);
  play_many(versus_computer_game, 13, 20, ComputerLevel::kStrong);
}

// Every draw of a seeded generator, kept so that a game can be replayed.
class RecordingRandom : public Random {
 public:
  explicit RecordingRandom(unsigned seed) : engine_(seed) {}
  int uniform(int n) override {
    const int value = std::uniform_int_distribution<int>(0, n - 1)(engine_);
    draws.push_back({n, value});
    return value;
  }
  std::vector<std::pair<int, int>> draws;  // bound and value

 private:
  std::mt19937 engine_;
};

class ReplayingRandom : public Random {
 public:
  explicit ReplayingRandom(const std::vector<std::pair<int, int>>& draws) : draws_(draws) {}
  int uniform(int n) override {
    if (next_ == draws_.size()) {
      ADD_FAILURE() << "the rules draw more than the game did";
      return 0;
    }
    EXPECT_EQ(draws_[next_].first, n) << "draw " << next_;
    return draws_[next_++].second;
  }
  std::size_t used() const { return next_; }

 private:
  const std::vector<std::pair<int, int>>& draws_;
  std::size_t next_ = 0;
};

// Games of the real turn code, side 1 typing random numbers (valid or not) and side 2
// played by each computer level, under each rule for refused choices, replayed by the
// rules alone from the same throws and the same typed numbers: after every turn both
// stand on the same position, the same turn ends the game, and the rules draw exactly
// what the game drew.
TEST(WholeGames, TheRulesAloneReplayEveryTurn) {
  constexpr int kGames = 12;
  const int typable[] = {1, 2, 3, 4, 1, 2, 3, 4, 11, 12, 13, 14, 0, 5, 9, 15, -3};
  for (const ComputerLevel level : {ComputerLevel::kEasy, ComputerLevel::kBasic,
                                    ComputerLevel::kMedium, ComputerLevel::kStrong}) {
    for (unsigned g = 0; g < 2 * kGames; ++g) {
      const RuleSet rules = g % 2 == 0 ? RuleSet::kClassic : RuleSet::kFair;
      SCOPED_TRACE("level " + std::to_string(static_cast<int>(level)) + ", game " +
                   std::to_string(g));
      GameRig rig({});
      rig.platform.keep_output(false);
      RecordingRandom random(g);
      ScreenedGame screened(rig.con, rig.state, random, rig.ranking, rig.ranking_path, level,
                            {.computer = level, .rules = rules});
      GameContext& ctx = screened.ctx;
      // Each number on its own line, then an empty line: a pause takes it as its key,
      // and a prompt without a pause before it passes over it.
      std::mt19937 engine(g);
      std::vector<int> typed;
      std::string keys;
      for (int k = 0; k < 4000; ++k) {
        typed.push_back(typable[engine() % std::size(typable)]);
        keys += std::to_string(typed.back()) + "\n\n";
      }
      rig.platform.add_input(keys);

      std::vector<Position> after_turn;
      const PlayerDescriptor* players[] = {&side1_player(), &computer_player()};
      for (int side = 0;; side = 1 - side) {
        if (take_turn(ctx, *players[side]) == TurnOutcome::kGameOver) break;
        after_turn.push_back(to_position(rig.state));
      }

      ReplayingRandom replay(random.draws);
      std::size_t next_typed = 0;
      auto roll = [&] { return replay.uniform(kRollRange); };
      auto person = [&](const Position&, const ThrowInfo&, int) { return typed[next_typed++]; };
      ComputerMind mind{level};
      auto computer = [&](const Position& p, const ThrowInfo& info, int pending) {
        return computer_choice(mind, p, 1, info, pending, rules, replay);
      };
      Position position;
      std::size_t turns = 0;
      for (int side = 0;; side = 1 - side, ++turns) {
        const bool won = side == 0 ? play_rules_turn(position, side, roll, person, rules)
                                   : play_rules_turn(position, side, roll, computer, rules);
        if (won) break;
        ASSERT_LT(turns, after_turn.size()) << "the game ended before the rules did";
        ASSERT_TRUE(position == after_turn[turns]) << "turn " << turns;
      }
      EXPECT_EQ(turns, after_turn.size());
      EXPECT_EQ(replay.used(), random.draws.size());
    }
  }
}

// The same seed and the same keys give the same game against the strong side, screen
// for screen.
TEST(WholeGames, ASeededGameAgainstTheStrongSideReplays) {
  std::string screens[2];
  std::array<int, 2> scores[2];
  for (int run = 0; run < 2; ++run) {
    std::mt19937 keys(3);
    GameRig rig({}, " " + random_keys(keys, 20000));
    SeededRandom random(2026);
    ScreenedGame screened(rig.con, rig.state, random, rig.ranking, rig.ranking_path,
                          ComputerLevel::kStrong);
    versus_computer_game(screened.ctx);
    screens[run] = rig.platform.output();
    scores[run] = rig.state.score;
  }
  EXPECT_EQ(scores[0], scores[1]);
  EXPECT_TRUE(screens[0] == screens[1]) << "the two runs differ";
  EXPECT_GT(scores[0][0] + scores[0][1], 0);
}

}  // namespace
}  // namespace yut
