// The exact best win chance that any player of side 2 has against the basic computer
// playing side 1, by value iteration, with cross-checks that the solution is right.
//
//   build/bench/optimal_vs_basic [throw_cap] [games] [seed]
//
// Against the basic computer's fixed order of preference the game is a Markov decision
// process for side 2. The basic side never has more than one piece out: it moves what it
// has out, and enters a piece (drawn at random; a draw of an arrived piece only throws
// again) when nothing is out. So its state is its piece's station (or none) and its
// arrived count. Side 2's state is a set of units (station, pieces) on distinct stations
// and its arrived count; its pieces are anonymous. A state also records whose throw it is
// and the throws in hand; extra throws beyond `throw_cap` in hand are dropped (for both
// sides), and the program solves every cap from 2 up to it to show what the cap costs.
// Every move comes from the rules (valid_choices, preferred_choice, apply_move), once per
// side-2 configuration and throw, and is checked against moves on whole positions.
//
// It prints, for each cap, the best win chance of side 2 from the game's start (side 1
// throws first) and with side 2 throwing first; then cross-checks: (a) the basic rule as
// side 2, evaluated exactly and played in a tournament; (b) the solved policy played in a
// tournament; (c) the strong computer in a tournament, with how often and how much its
// choices fall short of the solved ones. Then running time and peak memory.
// Run it on one core, e.g. taskset -c 0; it needs about 1 GiB.

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

#include "game/computer.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/rules_turn.h"
#include "game/side_config.h"
#include "game/strong_computer.h"

namespace yut {
namespace {

constexpr int kBasicSide = 0;   // side 1: the basic computer, first to throw in the game
constexpr int kSolvedSide = 1;  // side 2: the side whose best play is solved
constexpr int kMaxUnits = kPiecesPerSide;
constexpr int kMaxChoices = 5;
constexpr int kKinds = kThrowKinds;  // back-do, do, gae, geol, yut, mo
constexpr double kTolerance = 1e-7;
constexpr int kMaxSweeps = 100000;
// Basic side: arrived count (0..3) times station (0 when nothing is out).
constexpr int kBasicStates = kPiecesPerSide * kStations;

double cpu_seconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// ---------------------------------------------------------------------------------------
// One side's pieces without their identities: units on the board and the arrived count.

using Config = SideConfig;

// The basic side's state index, or -1 if the side has more than one piece out or a stack.
int basic_index(const Config& c) {
  if (c.count > 1 || (c.count == 1 && c.units[0].pieces != 1)) return -1;
  if (c.arrived >= kPiecesPerSide) return -1;
  return c.arrived * kStations + (c.count == 1 ? c.units[0].station : 0);
}

Config basic_config(int b) {
  Config c;
  c.arrived = b / kStations;
  if (b % kStations != 0) c.units[c.count++] = {b % kStations, 1};
  return c;
}

// The basic computer's choice as the game makes it. With nothing out it draws a piece at
// random, and a draw of an arrived piece only throws again, so the one waiting piece that
// valid_choices offers stands for every draw that moves.
class NoDraw : public Random {
 public:
  int uniform(int) override { std::abort(); }
};

int basic_choice(const Position& p, int side, int steps) {
  if (units_out(p, side) == 0) {
    std::array<int, kMaxChoices> choices{};
    if (valid_choices(p, side, steps, choices) != 1) std::abort();
    return choices[0];
  }
  NoDraw no_draw;
  return preferred_choice(p, side, no_draw);
}

// Where the unit chosen by `choice` stops: kGoalStation when it arrives.
int landing_of(const Position& p, int side, int choice, int steps) {
  const int code = code_of_choice(choice, side);
  return destination(is_out(p, code) ? p.station[unit_slot(code)] : kGoalStation, steps);
}

// ---------------------------------------------------------------------------------------
// The model: every side-2 configuration, and every move of either side, from the rules.

struct SolvedMove {
  std::int32_t next = -1;   // side 2's configuration after it, or -1 when side 2 has won
  std::int8_t landing = 0;  // station where the unit stops (0 at the goal)
  std::int8_t choice = 0;   // 1..4 a piece, 11..14 a stack
};

struct Model {
  std::array<ThrowChance, kKinds> kinds{};
  std::vector<Config> configs;  // side 2's, most advanced first
  std::unordered_map<std::uint64_t, int> index;
  std::vector<std::array<SolvedMove, kMaxChoices>> moves;  // [m * kKinds + t]
  std::vector<std::int8_t> move_count;                     // [m * kKinds + t]
  std::vector<std::int8_t> basic_rule_move;  // [m * kKinds + t]: the basic rule's move
  std::vector<std::uint64_t> occupied;       // [m]: bit s set when a unit stands on s
  std::vector<std::array<std::int32_t, kMaxUnits>> after_capture;  // [m][unit]
  // The basic side's moves: next state (-1 when it has won) and the landing station.
  std::array<std::array<std::int16_t, kKinds>, kBasicStates> basic_next{};
  std::array<std::array<std::int8_t, kKinds>, kBasicStates> basic_landing{};
  std::array<int, kBasicStates> basic_order{};  // most advanced first
  long checked_moves = 0;

  int find(const Config& c) const {
    const auto it = index.find(key_of(c));
    return it == index.end() ? -1 : it->second;
  }
  int capture_result(int m, int station) const {
    const Config& c = configs[m];
    for (int u = 0; u < c.count; ++u) {
      if (c.units[u].station == station && after_capture[m][u] >= 0) return after_capture[m][u];
    }
    std::abort();
  }
};

[[noreturn]] void disagree(const char* what, int m, int b, int t) {
  std::fprintf(stderr, "model and rules disagree (%s) at configuration %d, basic %d, kind %d\n",
               what, m, b, t);
  std::exit(1);
}

void build_solved_moves(Model& model) {
  const auto configs = static_cast<int>(model.configs.size());
  model.moves.assign(static_cast<std::size_t>(configs) * kKinds, {});
  model.move_count.assign(model.moves.size(), 0);
  model.basic_rule_move.assign(model.moves.size(), 0);
  model.occupied.assign(configs, 0);
  for (int m = 0; m < configs; ++m) {
    const Config& c = model.configs[m];
    for (int u = 0; u < c.count; ++u) model.occupied[m] |= std::uint64_t{1} << c.units[u].station;
    Position p;
    place(p, kSolvedSide, c);
    for (int t = 0; t < kKinds; ++t) {
      const int steps = model.kinds[t].info->steps;
      std::array<int, kMaxChoices> choices{};
      const int count = valid_choices(p, kSolvedSide, steps, choices);
      const std::size_t at = static_cast<std::size_t>(m) * kKinds + t;
      model.move_count[at] = static_cast<std::int8_t>(count);
      const int rule_choice = basic_choice(p, kSolvedSide, steps);
      model.basic_rule_move[at] = -1;
      for (int k = 0; k < count; ++k) {
        Position next = p;
        apply_move(next, number_of_choice(choices[k], kSolvedSide), kSolvedSide, steps);
        SolvedMove& move = model.moves[at][k];
        move.choice = static_cast<std::int8_t>(choices[k]);
        move.landing = static_cast<std::int8_t>(landing_of(p, kSolvedSide, choices[k], steps));
        move.next = has_won(next, kSolvedSide) ? -1 : model.find(config_of(next, kSolvedSide));
        if (!has_won(next, kSolvedSide) && move.next < 0) disagree("unknown result", m, -1, t);
        if (choices[k] == rule_choice) model.basic_rule_move[at] = static_cast<std::int8_t>(k);
      }
      if (model.basic_rule_move[at] < 0) disagree("basic rule", m, -1, t);
    }
  }
}

void build_basic_moves(Model& model) {
  for (int b = 0; b < kBasicStates; ++b) {
    Position p;
    place(p, kBasicSide, basic_config(b));
    for (int t = 0; t < kKinds; ++t) {
      const int steps = model.kinds[t].info->steps;
      const int choice = basic_choice(p, kBasicSide, steps);
      Position next = p;
      apply_move(next, number_of_choice(choice, kBasicSide), kBasicSide, steps);
      model.basic_next[b][t] = static_cast<std::int16_t>(
          has_won(next, kBasicSide) ? -1 : basic_index(config_of(next, kBasicSide)));
      model.basic_landing[b][t] =
          static_cast<std::int8_t>(landing_of(p, kBasicSide, choice, steps));
    }
    model.basic_order[b] = b;
  }
  std::array<int, kBasicStates> left{};
  for (int b = 0; b < kBasicStates; ++b) left[b] = steps_left(basic_config(b));
  std::sort(model.basic_order.begin(), model.basic_order.end(),
            [&](int x, int y) { return left[x] < left[y]; });
}

// Plays every move of either side on whole positions (both sides on the board) and checks
// that the tables, built on one side at a time, give the same result; fills the table of
// side 2's configurations after the basic side captures one of its units (a unit that no
// move of the basic side can reach keeps -1).
void check_on_whole_positions(Model& model) {
  const auto configs = static_cast<int>(model.configs.size());
  model.after_capture.assign(configs, {-1, -1, -1, -1});
  for (int m = 0; m < configs; ++m) {
    for (int station = 0; station < kStations; ++station) {
      if (model.occupied[m] >> station & 1) continue;
      const int b = station;  // arrived 0: the arrived count plays no part in a capture
      Position p;
      place(p, kSolvedSide, model.configs[m]);
      place(p, kBasicSide, basic_config(b));
      for (int t = 0; t < kKinds; ++t) {
        const int steps = model.kinds[t].info->steps;
        // The basic side moves.
        Position q = p;
        apply_move(q, number_of_choice(basic_choice(p, kBasicSide, steps), kBasicSide), kBasicSide,
                   steps);
        const int landing = model.basic_landing[b][t];
        const bool captured = landing != 0 && (model.occupied[m] >> landing & 1);
        const int m_after = model.find(config_of(q, kSolvedSide));
        if (basic_index(config_of(q, kBasicSide)) != model.basic_next[b][t]) {
          disagree("basic move", m, b, t);
        }
        if (captured) {
          const Config& c = model.configs[m];
          int u = 0;
          while (c.units[u].station != landing) ++u;
          if (model.after_capture[m][u] >= 0 && model.after_capture[m][u] != m_after) {
            disagree("capture", m, b, t);
          }
          model.after_capture[m][u] = m_after;
        } else if (m_after != m) {
          disagree("basic move left side 2 changed", m, b, t);
        }
        ++model.checked_moves;
        // Each move of side 2: the same choices as on its own, and the same results.
        const std::size_t at = static_cast<std::size_t>(m) * kKinds + t;
        std::array<int, kMaxChoices> choices{};
        if (valid_choices(p, kSolvedSide, steps, choices) != model.move_count[at]) {
          disagree("side 2 choices", m, b, t);
        }
        for (int k = 0; k < model.move_count[at]; ++k) {
          const SolvedMove& move = model.moves[at][k];
          if (move.choice != choices[k]) disagree("side 2 choices", m, b, t);
          Position r = p;
          const MoveOutcome outcome =
              apply_move(r, number_of_choice(move.choice, kSolvedSide), kSolvedSide, steps);
          const bool takes = station != 0 && move.landing == station;
          const int expected_basic = takes ? 0 : b;
          const int next = has_won(r, kSolvedSide) ? -1 : model.find(config_of(r, kSolvedSide));
          if (next != move.next || takes != (outcome.landing == Landing::kCaptured) ||
              basic_index(config_of(r, kBasicSide)) != expected_basic) {
            disagree("side 2 move", m, b, t);
          }
          ++model.checked_moves;
        }
      }
    }
  }
}

Model build_model() {
  Model model;
  model.kinds = throw_chances();
  for (const std::uint64_t key : all_config_keys()) model.configs.push_back(config_of_key(key));
  for (std::size_t m = 0; m < model.configs.size(); ++m) {
    model.index.emplace(key_of(model.configs[m]), static_cast<int>(m));
  }
  if (model.index.size() != model.configs.size()) std::abort();  // keys must be distinct
  build_solved_moves(model);
  build_basic_moves(model);
  check_on_whole_positions(model);
  return model;
}

// ---------------------------------------------------------------------------------------
// Values: side 2's win chance in each state, by Gauss-Seidel value iteration.

enum Mover { kBasicMoves = 0, kSolvedMoves = 1 };

class Values {
 public:
  Values(int configs, int cap)
      : cap_(cap),
        layer_(static_cast<std::size_t>(configs) * kBasicStates),
        v_(layer_ * 2 * static_cast<std::size_t>(cap), 0.0) {}
  int cap() const { return cap_; }
  // `throws` 1..cap in hand of the side `mover` that throws next.
  double& at(int mover, int throws, int m, int b) { return v_[slot(mover, throws, m, b)]; }
  double at(int mover, int throws, int m, int b) const { return v_[slot(mover, throws, m, b)]; }
  // Side 2's win chance once a move has left `throws` in hand to the side that moved.
  double after(int mover, int throws, int m, int b) const {
    const int left = std::min(throws, cap_);
    return left == 0 ? at(1 - mover, 1, m, b) : at(mover, left, m, b);
  }

 private:
  std::size_t slot(int mover, int throws, int m, int b) const {
    return (static_cast<std::size_t>(mover) * cap_ + (throws - 1)) * layer_ +
           static_cast<std::size_t>(m) * kBasicStates + b;
  }

  int cap_;
  std::size_t layer_;
  std::vector<double> v_;
};

enum class Policy { kOptimal, kBasicRule };

double solved_side_value(const Model& model, const Values& v, Policy policy, int m, int b,
                         int throws) {
  const int basic_station = b % kStations;
  double sum = 0;
  for (int t = 0; t < kKinds; ++t) {
    const std::size_t at = static_cast<std::size_t>(m) * kKinds + t;
    const ThrowInfo& info = *model.kinds[t].info;
    int first = 0;
    int last = model.move_count[at];
    if (policy == Policy::kBasicRule) {
      first = model.basic_rule_move[at];
      last = first + 1;
    }
    double best = 0;
    for (int k = first; k < last; ++k) {
      const SolvedMove& move = model.moves[at][k];
      double worth = 1;
      if (move.next >= 0) {
        const bool takes = basic_station != 0 && move.landing == basic_station;
        worth = v.after(kSolvedMoves, throws - 1 + throws_earned(info, takes), move.next,
                        takes ? b - basic_station : b);
      }
      best = std::max(best, worth);
    }
    sum += model.kinds[t].chance * best;
  }
  return sum;
}

double basic_side_value(const Model& model, const Values& v, int m, int b, int throws) {
  double sum = 0;
  for (int t = 0; t < kKinds; ++t) {
    const int next = model.basic_next[b][t];
    if (next < 0) continue;  // the basic side has won: side 2's chance is 0
    const int landing = model.basic_landing[b][t];
    const bool takes = landing != 0 && (model.occupied[m] >> landing & 1);
    const int left = throws - 1 + throws_earned(*model.kinds[t].info, takes);
    const int m_after = takes ? model.capture_result(m, landing) : m;
    sum += model.kinds[t].chance * v.after(kBasicMoves, left, m_after, next);
  }
  return sum;
}

struct Solution {
  int sweeps = 0;
  double largest_change = 0;
  double seconds = 0;
};

// Sweeps the most advanced states first, so that most successors already hold this
// sweep's values, until no value changes by kTolerance or more.
Solution solve(const Model& model, Values& v, Policy policy) {
  Solution s;
  const double start = cpu_seconds();
  const auto configs = static_cast<int>(model.configs.size());
  do {
    double largest = 0;
    for (int m = 0; m < configs; ++m) {
      for (const int b : model.basic_order) {
        if (model.occupied[m] >> (b % kStations) & 1) continue;
        for (int throws = 1; throws <= v.cap(); ++throws) {
          double& solved = v.at(kSolvedMoves, throws, m, b);
          const double next_solved = solved_side_value(model, v, policy, m, b, throws);
          largest = std::max(largest, std::abs(next_solved - solved));
          solved = next_solved;
          double& basic = v.at(kBasicMoves, throws, m, b);
          const double next_basic = basic_side_value(model, v, m, b, throws);
          largest = std::max(largest, std::abs(next_basic - basic));
          basic = next_basic;
        }
      }
    }
    s.largest_change = largest;
    ++s.sweeps;
  } while (s.largest_change >= kTolerance && s.sweeps < kMaxSweeps);
  s.seconds = cpu_seconds() - start;
  return s;
}

// ---------------------------------------------------------------------------------------
// Tournaments through the game's own turn on the rules.

// Side 2's solved win chance after it makes `choice` on a position with `pending` more
// throws in hand; -1 if the position lies outside the model.
double value_of_choice(const Model& model, const Values& v, const Position& p, int choice,
                       const ThrowInfo& info, int pending) {
  Position next = p;
  const MoveOutcome outcome =
      apply_move(next, number_of_choice(choice, kSolvedSide), kSolvedSide, info.steps);
  if (has_won(next, kSolvedSide)) return 1;
  const int m = model.find(config_of(next, kSolvedSide));
  const int b = basic_index(config_of(next, kBasicSide));
  if (m < 0 || b < 0) return -1;
  return v.after(kSolvedMoves, pending + throws_earned(info, outcome.landing == Landing::kCaptured),
                 m, b);
}

// What a move does, for telling where the choices fall short.
enum MoveKind { kEnters, kMovesOn, kStacks, kCaptures, kArrives };
constexpr std::array<const char*, 5> kMoveKinds{"enters a piece", "moves on", "stacks", "captures",
                                                "arrives"};

struct Record {
  long games = 0;
  long wins = 0;
  long outside_model = 0;  // positions the model does not hold (none expected)
  long decisions = 0;      // side 2's decisions with more than one valid choice
  long differs = 0;        // of those, where the choice is worth less than the best
  double value_lost = 0;   // summed over those decisions
  long differs_much = 0;   // of those, where it loses 0.01 or more
  std::array<long, kKinds> differs_by_kind{};
  std::array<double, kKinds> lost_by_kind{};
  // [what the choice made does][what the best choice does]
  std::array<std::array<long, kMoveKinds.size()>, kMoveKinds.size()> differs_by_move{};
  std::array<std::array<double, kMoveKinds.size()>, kMoveKinds.size()> lost_by_move{};
};

MoveKind move_kind(const Position& p, int choice, int steps) {
  const int code = code_of_choice(choice, kSolvedSide);
  Position next = p;
  switch (apply_move(next, code - 1, kSolvedSide, steps).landing) {
    case Landing::kStacked:
      return kStacks;
    case Landing::kCaptured:
      return kCaptures;
    case Landing::kGoal:
      return kArrives;
    default:
      return is_out(p, code) ? kMovesOn : kEnters;
  }
}

template <class Choose>
void play(Record& r, int games, std::uint32_t seed, Choose&& solved_choice) {
  SeededRandom roller(seed);  // the throws and the basic side's draws, as in the game
  auto roll = [&] { return roller.uniform(kRollRange); };
  auto basic = [&](const Position& p, const ThrowInfo&, int) {
    return preferred_choice(p, kBasicSide, roller);
  };
  for (int g = 0; g < games; ++g) {
    Position p;
    for (;;) {
      if (play_rules_turn(p, kBasicSide, roll, basic)) break;
      if (play_rules_turn(p, kSolvedSide, roll, solved_choice)) {
        ++r.wins;
        break;
      }
    }
    ++r.games;
  }
}

int kind_of(const Model& model, const ThrowInfo& info) {
  for (int t = 0; t < kKinds; ++t) {
    if (model.kinds[t].info == &info) return t;
  }
  std::abort();
}

// Compares `choice` with the best valid choice by solved value and records the shortfall.
void score_choice(const Model& model, const Values& v, Record& r, const Position& p,
                  const ThrowInfo& info, int pending, int choice) {
  std::array<int, kMaxChoices> choices{};
  const int count = valid_choices(p, kSolvedSide, info.steps, choices);
  if (count < 2) return;
  double best = -1;
  int best_choice = 0;
  double chosen = -1;
  for (int k = 0; k < count; ++k) {
    const double worth = value_of_choice(model, v, p, choices[k], info, pending);
    if (worth < 0) {
      ++r.outside_model;
      return;
    }
    if (worth > best) {
      best = worth;
      best_choice = choices[k];
    }
    if (choices[k] == choice) chosen = worth;
  }
  ++r.decisions;
  if (chosen < best - 1e-9) {
    const int t = kind_of(model, info);
    const int made = move_kind(p, choice, info.steps);
    const int wanted = move_kind(p, best_choice, info.steps);
    ++r.differs;
    r.differs_much += best - chosen >= 0.01 ? 1 : 0;
    ++r.differs_by_kind[t];
    r.value_lost += best - chosen;
    r.lost_by_kind[t] += best - chosen;
    ++r.differs_by_move[made][wanted];
    r.lost_by_move[made][wanted] += best - chosen;
  }
}

int optimal_choice(const Model& model, const Values& v, Record& r, const Position& p,
                   const ThrowInfo& info, int pending) {
  std::array<int, kMaxChoices> choices{};
  const int count = valid_choices(p, kSolvedSide, info.steps, choices);
  int best = choices[0];
  double best_worth = -2;
  for (int k = 0; k < count; ++k) {
    const double worth = value_of_choice(model, v, p, choices[k], info, pending);
    if (worth < 0) ++r.outside_model;
    if (worth > best_worth) {
      best_worth = worth;
      best = choices[k];
    }
  }
  return best;
}

double half_interval(double rate, long games) {
  return 1.96 * std::sqrt(rate * (1 - rate) / static_cast<double>(games));
}

void print_tournament(const char* label, const Record& r, double exact) {
  const double rate = static_cast<double>(r.wins) / static_cast<double>(r.games);
  const double half = half_interval(rate, r.games);
  const bool agrees = std::abs(rate - exact) <= half;
  std::printf(
      "  %s: %ld games: side 2 wins %.2f%%\n"
      "      (95%% CI %.2f%% to %.2f%%); exact %.4f%%: %s\n",
      label, r.games, 100 * rate, 100 * (rate - half), 100 * (rate + half), 100 * exact,
      agrees ? "agrees" : "OUTSIDE THE INTERVAL");
  if (r.outside_model != 0) {
    std::printf("    positions outside the model: %ld\n", r.outside_model);
  }
}

// The strong computer's tournament, and where its choices fall short of the solved ones.
void print_strong(const Model& model, const Record& r, double best) {
  const auto games = static_cast<double>(r.games);
  const double rate = static_cast<double>(r.wins) / games;
  const double half = half_interval(rate, r.games);
  std::printf(
      "  (c) strong computer as side 2: %ld games: side 2 wins %.2f%% (95%% CI %.2f%% to %.2f%%),\n"
      "      %.2f points short of the best %.4f%%\n",
      r.games, 100 * rate, 100 * (rate - half), 100 * (rate + half), 100 * (best - rate),
      100 * best);
  const auto decisions = static_cast<double>(r.decisions);
  std::printf(
      "      its decisions with more than one valid choice: %ld; worth less than the best:\n"
      "      %ld (%.2f%%), by 0.01 or more: %ld (%.2f%%)\n",
      r.decisions, r.differs, 100.0 * static_cast<double>(r.differs) / decisions, r.differs_much,
      100.0 * static_cast<double>(r.differs_much) / decisions);
  std::printf(
      "      win chance lost per game by its choices: %.4f (the tournament's shortfall: %.4f)\n",
      r.value_lost / games, best - rate);
  std::printf("      lost per game by throw (steps: lost per game, decisions):\n       ");
  for (int t = 0; t < kKinds; ++t) {
    std::printf(" %d: %.4f, %ld%s", model.kinds[t].info->steps, r.lost_by_kind[t] / games,
                r.differs_by_kind[t], t + 1 == kKinds ? "\n" : ";");
  }
  std::printf("      where it loses most (its move, the best move: lost per game, decisions):\n");
  std::vector<std::pair<double, int>> cells;
  constexpr int kinds = static_cast<int>(kMoveKinds.size());
  for (int made = 0; made < kinds; ++made) {
    for (int wanted = 0; wanted < kinds; ++wanted) {
      cells.emplace_back(r.lost_by_move[made][wanted], made * kinds + wanted);
    }
  }
  std::sort(cells.rbegin(), cells.rend());
  for (int k = 0; k < 6 && cells[k].first > 0; ++k) {
    const int made = cells[k].second / kinds;
    const int wanted = cells[k].second % kinds;
    std::printf("        it %-14s where the best %-14s %.4f, %ld\n", kMoveKinds[made],
                kMoveKinds[wanted], cells[k].first / games, r.differs_by_move[made][wanted]);
  }
}

double start_value(const Model& model, const Values& v, int first_mover) {
  Config empty;
  return v.at(first_mover, 1, model.find(empty), 0);
}

}  // namespace
}  // namespace yut

int main(int argc, char** argv) {
  using namespace yut;
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const int cap = argc > 1 ? std::atoi(argv[1]) : 3;
  const int games = argc > 2 ? std::atoi(argv[2]) : 10000;
  const auto seed = static_cast<std::uint32_t>(argc > 3 ? std::atol(argv[3]) : 2026);
  if (cap < 1 || games <= 0) {
    std::fprintf(stderr, "usage: optimal_vs_basic [throw_cap] [games] [seed]\n");
    return 2;
  }
  const auto wall_start = std::chrono::steady_clock::now();
  const double cpu_start = cpu_seconds();

  const Model model = build_model();
  std::printf("Side 2's best play against the basic computer (side 1), solved exactly\n");
  std::printf("throw chances:");
  for (const ThrowChance& k : model.kinds) {
    std::printf(" %d steps %.2f,", k.info->steps, k.chance);
  }
  long states = 0;
  for (std::size_t m = 0; m < model.configs.size(); ++m) {
    for (int b = 0; b < kBasicStates; ++b)
      states += (model.occupied[m] >> (b % kStations) & 1) ? 0 : 1;
  }
  std::printf("\nside 2: %zu configurations; basic side: %d states; together %ld, each for\n",
              model.configs.size(), kBasicStates, states);
  std::printf("either side to throw with 1..cap throws in hand (%.1f s CPU to build)\n",
              cpu_seconds() - cpu_start);
  std::printf("every move of the tables replayed on whole positions: %ld moves, all agree\n",
              model.checked_moves);
  std::printf(
      "model: side 2 makes only valid choices, as a computer side must (naming a refused\n"
      "piece on purpose would buy a new throw). Pieces are anonymous: which pieces the stacked\n"
      "and arrived lists name is not modelled (when one of two stacks leaves the board the game\n"
      "takes the other's entries off the list), only how many, which is what the moves depend\n"
      "on. Throws in hand beyond the cap are dropped.\n\n");

  double best_first = 0;
  double best_second = 0;
  Values values(static_cast<int>(model.configs.size()), 1);
  for (int c = std::min(2, cap); c <= cap; ++c) {
    values = Values(static_cast<int>(model.configs.size()), c);
    const Solution s = solve(model, values, Policy::kOptimal);
    best_first = start_value(model, values, kBasicMoves);
    best_second = start_value(model, values, kSolvedMoves);
    std::printf("cap %d throws in hand: %d sweeps, largest last change %.1e, %.0f s CPU\n", c,
                s.sweeps, s.largest_change, s.seconds);
    std::printf("  best win chance of side 2, side 1 throwing first (the game): %.5f%%\n",
                100 * best_first);
    std::printf("  best win chance of side 2, side 2 throwing first:            %.5f%%\n",
                100 * best_second);
  }

  std::printf("\ncross-checks\n");
  {
    Values rule(static_cast<int>(model.configs.size()), cap);
    const Solution s = solve(model, rule, Policy::kBasicRule);
    const double exact = start_value(model, rule, kBasicMoves);
    std::printf("  (a) basic rule as side 2, exact: %.4f%% (%d sweeps, %.0f s CPU)\n", 100 * exact,
                s.sweeps, s.seconds);
    Record r;
    SeededRandom draws(seed ^ 0x5bd1e995U);
    play(r, 100000, seed, [&](const Position& p, const ThrowInfo&, int) {
      return preferred_choice(p, kSolvedSide, draws);
    });
    print_tournament("(a) basic rule as side 2, tournament", r, exact);
  }
  {
    Record r;
    play(r, games, seed + 1, [&](const Position& p, const ThrowInfo& info, int pending) {
      return optimal_choice(model, values, r, p, info, pending);
    });
    print_tournament("(b) solved policy as side 2", r, best_first);
  }
  {
    Record r;
    StrongMemory memory;  // the strong side's, new with each game
    long game = -1;
    prepare_strong_computer();
    play(r, games, seed + 2, [&](const Position& p, const ThrowInfo& info, int pending) {
      if (r.games != game) {
        memory = {};
        game = r.games;
      }
      const int choice = strong_choice(p, kSolvedSide, info.steps, pending, memory);
      score_choice(model, values, r, p, info, pending, choice);
      return choice;
    });
    print_strong(model, r, best_first);
  }

  std::printf("\n");
  if (best_first < 0.9) {
    std::printf(
        "verdict: no player of side 2 can win more than %.3f%% against the basic computer,\n"
        "so a win rate of 90%% is out of reach for any side-2 player.\n",
        100 * best_first);
  } else {
    std::printf(
        "verdict: the best side-2 player wins %.3f%% against the basic computer: 90%% is\n"
        "within reach of a player that makes only valid choices.\n",
        100 * best_first);
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_start;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("running time: %.0f s wall, %.0f s CPU; peak memory (ru_maxrss): %ld KiB\n",
              wall.count(), cpu_seconds() - cpu_start, usage.ru_maxrss);
  return 0;
}
