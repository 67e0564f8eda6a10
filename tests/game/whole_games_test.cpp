// Whole games played by the real turn code with random throws and random, often bad,
// input: after every move the pieces and tables stay consistent, every score change is
// explained by the move, and every game ends.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "game/game_loop.h"
#include "game/side.h"
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

void play_many(void (*game)(GameContext&), unsigned seed, int games) {
  GameRig rig({});
  rig.platform.keep_output(false);
  CheckingRandom random(rig.state, seed);
  GameContext ctx{rig.con, rig.state, random, rig.ranking, rig.ranking_path};
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
}

}  // namespace
}  // namespace yut
