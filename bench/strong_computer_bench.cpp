// Headless tournaments of the strong computer side through the rules alone, and the speed
// of the rules.
//
//   build/bench/strong_computer_bench [games] [seed] [look_ahead]
//
// 1. Moves applied per second (a position copy and a move), on one core (CPU time).
// 2. The strong side, playing side 2 as in the game, against three players of side 1: the
//    basic computer's order of preference, a player choosing a valid piece at random, and
//    a one-move greedy player (best position right after its move by the strong side's
//    own evaluation). For each: the strong side's win rate with its 95% confidence
//    interval, and its decision times (p50, p99, max) in CPU time of the thread, so that
//    other work on a busy machine does not count; the wall clock's p99 beside them.
// 3. Peak memory of the whole run (ru_maxrss).
// `look_ahead` (default: the game's) sets how many throws the strong side looks ahead, to
// show what each throw more of look-ahead is worth.
// Run it on one core, e.g. taskset -c 0.

#include <sys/resource.h>
#include <time.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

#include "game/computer.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/rules_turn.h"
#include "game/strong_computer.h"

namespace yut {
namespace {

constexpr int kStrongSide = 1;
constexpr int kOtherSide = 0;

double cpu_seconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double thread_cpu_micros() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Decision times in microseconds, counted in buckets of one microsecond (the last bucket
// takes everything longer), so that the memory stays fixed however long the run.
class TimeHistogram {
 public:
  void add(double micros) {
    const auto bucket = static_cast<std::size_t>(micros);
    ++counts_[bucket < counts_.size() ? bucket : counts_.size() - 1];
    ++total_;
    max_ = std::max(max_, micros);
  }
  double percentile(double p) const {
    const auto wanted = static_cast<long>(std::ceil(p * static_cast<double>(total_)));
    long seen = 0;
    for (std::size_t b = 0; b < counts_.size(); ++b) {
      seen += counts_[b];
      if (seen >= wanted) return static_cast<double>(b + 1);
    }
    return max_;
  }
  long total() const { return total_; }
  double max() const { return max_; }

 private:
  std::array<long, 100000> counts_{};
  long total_ = 0;
  double max_ = 0;
};

int random_valid_choice(const Position& p, int side, int steps, std::mt19937& engine) {
  // Every number a person could type that the turn accepts (waiting pieces each count).
  std::array<int, 8> valid{};
  int count = 0;
  for (const int choice : {1, 2, 3, 4, 11, 12, 13, 14}) {
    if (refusal_of(p, choice + side_offset(side) + 1, side, steps) == Refusal::kNone) {
      valid[count++] = choice;
    }
  }
  return valid[std::uniform_int_distribution<int>(0, count - 1)(engine)];
}

struct DecisionTimes {
  TimeHistogram cpu;
  TimeHistogram wall;
};

void print_times(const char* label, const DecisionTimes& t) {
  std::printf("  %sdecisions %ld: CPU p50 %.0f us, p99 %.0f us, max %.0f us; wall p99 %.0f us\n",
              label, t.cpu.total(), t.cpu.percentile(0.50), t.cpu.percentile(0.99), t.cpu.max(),
              t.wall.percentile(0.99));
}

enum class Opponent { kBasic, kRandom, kGreedy };

// Throws and the basic player's draws come from one seeded generator, as in the game.
class Roller : public Random {
 public:
  explicit Roller(std::uint32_t seed) : engine_(seed) {}
  int uniform(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
  std::mt19937& engine() { return engine_; }

 private:
  std::mt19937 engine_;
};

void tournament(const char* label, Opponent opponent, int games, std::uint32_t seed, int look_ahead,
                DecisionTimes& all) {
  static DecisionTimes times;
  times = DecisionTimes{};
  Roller roller(seed);
  std::mt19937 choices(seed ^ 0x9e3779b9U);
  long wins = 0;
  long throws = 0;
  auto roll = [&] {
    ++throws;
    return roller.uniform(kRollRange);
  };
  auto other = [&](const Position& p, const ThrowInfo& info, int pending) {
    switch (opponent) {
      case Opponent::kBasic:
        return preferred_choice(p, kOtherSide, roller);
      case Opponent::kRandom:
        return random_valid_choice(p, kOtherSide, info.steps, choices);
      case Opponent::kGreedy:
        break;
    }
    return best_now_choice(p, kOtherSide, info, pending);
  };
  StrongMemory memory;  // the strong side's, new with each game
  auto strong = [&](const Position& p, const ThrowInfo& info, int pending) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = thread_cpu_micros();
    const int choice = strong_choice(p, kStrongSide, info.steps, pending, memory, look_ahead);
    const double cpu = thread_cpu_micros() - cpu_start;
    const std::chrono::duration<double, std::micro> wall = std::chrono::steady_clock::now() - start;
    for (DecisionTimes* t : {&times, &all}) {
      t->cpu.add(cpu);
      t->wall.add(wall.count());
    }
    return choice;
  };
  prepare_strong_computer();  // as the game does before its first decision
  for (int g = 0; g < games; ++g) {
    memory = {};
    Position p;
    for (;;) {
      if (play_rules_turn(p, kOtherSide, roll, other)) break;
      if (play_rules_turn(p, kStrongSide, roll, strong)) {
        ++wins;
        break;
      }
    }
  }
  const double rate = static_cast<double>(wins) / games;
  const double half = 1.96 * std::sqrt(rate * (1 - rate) / games);
  std::printf(
      "strong vs %-6s %6d games: wins %5.1f%% (95%% CI %.1f%% to %.1f%%), %.1f throws/game\n",
      label, games, 100 * rate, 100 * (rate - half), 100 * (rate + half),
      static_cast<double>(throws) / games);
  print_times("", times);
}

void moves_per_second(std::uint32_t seed) {
  // Positions from random games, each copied and moved; the moves are drawn beforehand.
  constexpr int kMoves = 20'000'000;
  std::mt19937 engine(seed);
  Position p;
  long applied = 0;
  int side = 0;
  long checksum = 0;
  const double start = cpu_seconds();
  while (applied < kMoves) {
    const int steps = throw_for_roll(static_cast<int>(engine() % kRollRange)).steps;
    std::array<int, 5> choices{};
    const int count = valid_choices(p, side, steps, choices);
    const int choice = choices[engine() % static_cast<unsigned>(count)];
    Position next = p;
    checksum += static_cast<int>(apply_move(next, choice + side_offset(side), side, steps).landing);
    ++applied;
    p = has_won(next, side) ? Position{} : next;
    side = 1 - side;
  }
  const double seconds = cpu_seconds() - start;
  std::printf(
      "rules: %ld moves (position copy + move, with choosing them) in %.2f s CPU: %.1f million "
      "moves/s  [%ld]\n",
      applied, seconds, applied / seconds / 1e6, checksum % 7);

  // The move alone: replay a fixed list of positions and moves.
  constexpr int kList = 4096;
  std::array<Position, kList> from{};
  std::array<std::array<int, 3>, kList> what{};
  p = Position{};
  for (int k = 0; k < kList; ++k) {
    const int steps = throw_for_roll(static_cast<int>(engine() % kRollRange)).steps;
    std::array<int, 5> choices{};
    const int count = valid_choices(p, side, steps, choices);
    from[k] = p;
    what[k] = {choices[engine() % static_cast<unsigned>(count)] + side_offset(side), side, steps};
    Position next = p;
    apply_move(next, what[k][0], side, steps);
    p = has_won(next, side) ? Position{} : next;
    side = 1 - side;
  }
  const double again = cpu_seconds();
  for (int round = 0; round < kMoves / kList; ++round) {
    for (int k = 0; k < kList; ++k) {
      Position next = from[k];
      checksum += static_cast<int>(apply_move(next, what[k][0], what[k][1], what[k][2]).landing);
      checksum += next.station[round % kUnitCodes];
    }
  }
  const double replay = cpu_seconds() - again;
  const double count = static_cast<double>(kMoves / kList) * kList;
  std::printf(
      "rules: %.0f moves (position copy + move alone) in %.2f s CPU: %.1f million moves/s  [%ld]\n",
      count, replay, count / replay / 1e6, checksum % 7);
}

}  // namespace
}  // namespace yut

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const int games = argc > 1 ? std::atoi(argv[1]) : 10000;
  const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atol(argv[2]) : 2026);
  const int look_ahead = argc > 3 ? std::atoi(argv[3]) : yut::kStrongLookAhead;
  if (games <= 0 || look_ahead < 0) {
    std::fprintf(stderr, "usage: strong_computer_bench [games] [seed] [look_ahead]\n");
    return 2;
  }
  std::printf("strong side looks %d throws ahead\n", look_ahead);
  yut::moves_per_second(seed);
  static yut::DecisionTimes all;
  yut::tournament("basic", yut::Opponent::kBasic, games, seed, look_ahead, all);
  yut::tournament("random", yut::Opponent::kRandom, games, seed + 1, look_ahead, all);
  yut::tournament("greedy", yut::Opponent::kGreedy, games, seed + 2, look_ahead, all);
  yut::print_times("all ", all);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory (ru_maxrss): %ld KiB\n", usage.ru_maxrss);
  return 0;
}
