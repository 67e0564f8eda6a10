// Headless tournaments of the computer's levels through the rules alone, and the speed of
// the rules.
//
//   build/bench/strong_computer_bench [games] [seed] [look_ahead] [levels] [players]
//
// 1. Moves applied per second (a position copy and a move), on one core (CPU time).
// 2. Each level of the computer (easy, basic, medium, strong), playing side 2 as in the
//    game, against six players of side 1: a player choosing a valid piece at random; a
//    one-move greedy player (best position right after its move by the strong side's own
//    evaluation); and four rules of thumb a person might keep to:
//      leader:  moves the unit nearest home; enters only when nothing is out;
//      hunter:  captures if it can, else brings a piece home, else lands on a corner or
//               the centre, else as leader;
//      safe:    captures, else brings home, else makes the most advanced move whose
//               landing no unit of the other side (nor a piece it brings in) can hit with
//               one throw, else as leader;
//      stacker: captures, else brings home, else stacks, else as leader.
//    For each pair: the level's win rate with its 95% confidence interval. For each level:
//    its decision times (p50, p99, max) in CPU time of the thread, so that other work on a
//    busy machine does not count, and the wall clock's p99 beside them.
// 3. Peak memory of the whole run (ru_maxrss).
// `look_ahead` (default: the game's) sets how many throws the strong level looks ahead, to
// show what each throw more of look-ahead is worth; `levels` (default: all) is a
// comma-separated list of the levels to play, e.g. "easy,medium"; `players` (default: all)
// likewise for the players, e.g. "stacker". Each pair plays the same games whatever else
// is chosen.
// Run it on one core, e.g. taskset -c 0.

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "game/computer.h"
#include "game/computer_levels.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/rules_turn.h"
#include "game/side_config.h"
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

// Decision times in microseconds, counted in buckets of one microsecond up to a
// millisecond and of ten above it (the last bucket takes everything longer), so that the
// memory stays small and fixed however long the run.
class TimeHistogram {
 public:
  void add(double micros) {
    const auto bucket =
        static_cast<std::size_t>(micros < kFine ? micros : kFine + (micros - kFine) / kCoarseWidth);
    ++counts_[std::min(bucket, counts_.size() - 1)];
    ++total_;
    max_ = std::max(max_, micros);
  }
  double percentile(double p) const {
    const auto wanted = static_cast<long>(std::ceil(p * static_cast<double>(total_)));
    long seen = 0;
    for (std::size_t b = 0; b < counts_.size(); ++b) {
      seen += counts_[b];
      if (seen >= wanted) return b < kFine ? b + 1.0 : kFine + (b + 1.0 - kFine) * kCoarseWidth;
    }
    return max_;
  }
  long total() const { return total_; }
  double max() const { return max_; }

 private:
  static constexpr std::size_t kFine = 1000;
  static constexpr double kCoarseWidth = 10;
  std::array<long, kFine + 10000> counts_{};
  long total_ = 0;
  double max_ = 0;
};

int random_valid_choice(const Position& p, int side, int steps, std::mt19937& engine) {
  // Every number a person could type that the turn accepts (waiting pieces each count).
  std::array<int, 8> valid{};
  int count = 0;
  for (const int choice : {1, 2, 3, 4, 11, 12, 13, 14}) {
    if (refusal_of(p, code_of_choice(choice, side), side, steps) == Refusal::kNone) {
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
  std::printf(
      "  %-7s decisions %8ld: CPU p50 %5.0f us, p99 %5.0f us, max %5.0f us; wall p99 %5.0f us\n",
      label, t.cpu.total(), t.cpu.percentile(0.50), t.cpu.percentile(0.99), t.cpu.max(),
      t.wall.percentile(0.99));
}

// ---------------------------------------------------------------------------------------
// The players of side 1.

enum class Player { kRandom, kGreedy, kLeader, kHunter, kSafe, kStacker };
constexpr std::array<const char*, 6> kPlayerNames{"random", "greedy", "leader",
                                                  "hunter", "safe",   "stacker"};

// Single steps from a station to the goal along the route a unit there takes (none once
// it has arrived).
int steps_home(int station) {
  return station == kGoalStation ? 0 : steps_to_goal(station);
}

// What a choice does: where the unit stops and what it meets there.
struct MoveLook {
  int choice = 0;
  bool enters = false;  // a waiting piece comes in
  int landing = 0;      // station where it stops (kGoalStation when it arrives)
  Landing what = Landing::kNone;
};

MoveLook look_at(const Position& p, int side, int choice, int steps) {
  const int code = code_of_choice(choice, side);
  MoveLook look{choice, !is_out(p, code)};
  look.landing = destination(look.enters ? kGoalStation : p.station[unit_slot(code)], steps);
  Position next = p;
  look.what = apply_move(next, code - 1, side, steps).landing;
  return look;
}

// Whether a unit of `hunter` on the board, or a piece it brings in, can land on `station`
// with one throw.
bool within_one_throw(const Position& p, int hunter, int station) {
  const SideConfig c = config_of(p, hunter);
  for (const ThrowChance& kind : throw_chances()) {
    const int steps = kind.info->steps;
    for (int u = 0; u < c.count; ++u) {
      if (destination(c.units[u].station, steps) == station) return true;
    }
    const bool may_enter = c.waiting() > 0 && (steps > 0 || c.count == 0);
    if (may_enter && destination(kGoalStation, steps) == station) return true;
  }
  return false;
}

bool on_corner_or_centre(int station) {
  static const std::array<int, 4> kMarks = {
      station_of_cell(cell_index(0, 0)), station_of_cell(cell_index(0, 6)),
      station_of_cell(cell_index(6, 0)), station_of_cell(cell_index(3, 3))};
  return std::ranges::find(kMarks, station) != kMarks.end();
}

// The rules of thumb: the first test that some move passes picks it (the first such move
// in the order valid_choices gives, stacks first); the last falls back to the leader's.
int thumb_choice(const Position& p, int side, int steps, Player player) {
  std::array<int, kMostChoices> choices{};
  const int count = valid_choices(p, side, steps, choices);
  std::array<MoveLook, kMostChoices> looks{};
  for (int m = 0; m < count; ++m) looks[m] = look_at(p, side, choices[m], steps);
  auto first = [&](auto&& passes) {
    for (int m = 0; m < count; ++m) {
      if (passes(looks[m])) return looks[m].choice;
    }
    return 0;
  };
  if (player != Player::kLeader) {
    if (int c = first([](const MoveLook& l) { return l.what == Landing::kCaptured; })) return c;
    if (int c = first([](const MoveLook& l) { return l.what == Landing::kGoal; })) return c;
  }
  if (player == Player::kHunter) {
    if (int c = first([](const MoveLook& l) { return on_corner_or_centre(l.landing); })) return c;
  }
  if (player == Player::kStacker) {
    if (int c = first([](const MoveLook& l) { return l.what == Landing::kStacked; })) return c;
  }
  if (player == Player::kSafe) {
    int best = 0;
    int best_left = 0;
    for (int m = 0; m < count; ++m) {
      const int left = steps_home(looks[m].landing);
      if (!within_one_throw(p, 1 - side, looks[m].landing) && (best == 0 || left < best_left)) {
        best = looks[m].choice;
        best_left = left;
      }
    }
    if (best != 0) return best;
  }
  // The leader: the unit out nearest home; a new piece only when nothing is out.
  int best = choices[0];
  int best_left = -1;
  for (int m = 0; m < count; ++m) {
    if (looks[m].enters && count > 1) continue;
    const int code = code_of_choice(choices[m], side);
    const int left = looks[m].enters ? 0 : steps_home(p.station[unit_slot(code)]);
    if (best_left < 0 || left < best_left) {
      best = choices[m];
      best_left = left;
    }
  }
  return best;
}

// Throws and the basic player's draws come from one seeded generator, as in the game.
class Roller : public Random {
 public:
  explicit Roller(std::uint32_t seed) : engine_(seed) {}
  int uniform(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
  std::mt19937& engine() { return engine_; }

 private:
  std::mt19937 engine_;
};

constexpr std::array<const char*, 4> kLevelNames{"easy", "basic", "medium", "strong"};
constexpr std::array<ComputerLevel, 4> kLevels{ComputerLevel::kEasy, ComputerLevel::kBasic,
                                               ComputerLevel::kMedium, ComputerLevel::kStrong};

// The level's win rate as side 2 against `player` as side 1, adding its decision times.
double tournament(ComputerLevel level, Player player, int games, std::uint32_t seed, int look_ahead,
                  DecisionTimes& times) {
  Roller roller(seed);
  std::mt19937 choices(seed ^ 0x9e3779b9U);
  long wins = 0;
  auto roll = [&] { return roller.uniform(kRollRange); };
  auto other = [&](const Position& p, const ThrowInfo& info, int pending) {
    switch (player) {
      case Player::kRandom:
        return random_valid_choice(p, kOtherSide, info.steps, choices);
      case Player::kGreedy:
        return best_now_choice(p, kOtherSide, info, pending);
      default:
        return thumb_choice(p, kOtherSide, info.steps, player);
    }
  };
  ComputerMind mind{level};  // new with each game
  auto computer = [&](const Position& p, const ThrowInfo& info, int pending) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = thread_cpu_micros();
    const int choice =
        level == ComputerLevel::kStrong && look_ahead != kStrongLookAhead
            ? strong_choice(p, kStrongSide, info.steps, pending, mind.memory, look_ahead)
            : computer_choice(mind, p, kStrongSide, info, pending, RuleSet::kClassic, roller);
    const double cpu = thread_cpu_micros() - cpu_start;
    const std::chrono::duration<double, std::micro> wall = std::chrono::steady_clock::now() - start;
    times.cpu.add(cpu);
    times.wall.add(wall.count());
    return choice;
  };
  prepare_level(level);  // as the game does before its first decision
  for (int g = 0; g < games; ++g) {
    mind = ComputerMind{level};
    Position p;
    for (;;) {
      if (play_rules_turn(p, kOtherSide, roll, other)) break;
      if (play_rules_turn(p, kStrongSide, roll, computer)) {
        ++wins;
        break;
      }
    }
  }
  return static_cast<double>(wins) / games;
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
    std::array<int, kMostChoices> choices{};
    const int count = valid_choices(p, side, steps, choices);
    const int choice = choices[engine() % static_cast<unsigned>(count)];
    Position next = p;
    checksum +=
        static_cast<int>(apply_move(next, number_of_choice(choice, side), side, steps).landing);
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
    std::array<int, kMostChoices> choices{};
    const int count = valid_choices(p, side, steps, choices);
    from[k] = p;
    what[k] = {number_of_choice(choices[engine() % static_cast<unsigned>(count)], side), side,
               steps};
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

// The indexes of the names in a comma-separated `list` (all of them when there is none).
template <std::size_t N>
std::vector<int> chosen(const char* list, const std::array<const char*, N>& names) {
  std::vector<int> picked;
  std::string wanted(",");
  wanted.append(list == nullptr ? "" : list).append(",");
  for (int n = 0; n < static_cast<int>(N); ++n) {
    std::string name(",");
    name.append(names[n]).append(",");
    if (list == nullptr || wanted.find(name) != std::string::npos) picked.push_back(n);
  }
  return picked;
}

}  // namespace
}  // namespace yut

int main(int argc, char** argv) {
  using namespace yut;
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const int games = argc > 1 ? std::atoi(argv[1]) : 3000;
  const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atol(argv[2]) : 2026);
  const int look_ahead = argc > 3 ? std::atoi(argv[3]) : kStrongLookAhead;
  const std::vector<int> levels = chosen(argc > 4 ? argv[4] : nullptr, kLevelNames);
  const std::vector<int> players = chosen(argc > 5 ? argv[5] : nullptr, kPlayerNames);
  if (games <= 0 || look_ahead < 0 || levels.empty() || players.empty()) {
    std::fprintf(stderr,
                 "usage: strong_computer_bench [games] [seed] [look_ahead] [levels] [players]\n");
    return 2;
  }
  std::printf("strong level looks %d throws ahead; %d games per pair, seed %u\n", look_ahead, games,
              seed);
  moves_per_second(seed);
  std::printf("\nwins of the level (side 2) against each player (side 1), 95%% CI\n%-7s", "");
  for (const int player : players) std::printf(" %-18s", kPlayerNames[player]);
  std::printf("\n");
  std::vector<DecisionTimes> times(levels.size());
  for (std::size_t l = 0; l < levels.size(); ++l) {
    std::printf("%-7s", kLevelNames[levels[l]]);
    for (const int player : players) {
      const double rate = tournament(kLevels[levels[l]], static_cast<Player>(player), games,
                                     seed + player, look_ahead, times[l]);
      const double half = 1.96 * std::sqrt(rate * (1 - rate) / games);
      std::printf(" %5.1f (%4.1f-%4.1f) ", 100 * rate, 100 * (rate - half), 100 * (rate + half));
    }
    std::printf("\n");
  }
  std::printf("\ndecision times, all games of each level\n");
  for (std::size_t l = 0; l < levels.size(); ++l) print_times(kLevelNames[levels[l]], times[l]);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory (ru_maxrss): %ld KiB\n", usage.ru_maxrss);
  return 0;
}
