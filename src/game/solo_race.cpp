#include "game/solo_race.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "game/strong_computer.h"

namespace yut {

namespace {

constexpr int kMaxUnits = kPiecesPerSide;
constexpr int kMaxChoices = 5;
constexpr int kSolveSide = 0;      // the side the table is worked out on; both sides are alike
constexpr double kSettled = 1e-6;  // largest change of a sweep at which the values stand
constexpr int kMostSweeps = 1000;
constexpr std::size_t kMovesPerConfig = 22;  // room for the moves of all throw kinds

// One side's pieces without their identities: units by ascending station, and arrivals.
struct Unit {
  int station = 0;
  int pieces = 0;
};

struct Config {
  std::array<Unit, kMaxUnits> units{};
  int count = 0;
  int arrived = 0;
};

std::uint64_t key_of(const Config& c) {
  auto key = static_cast<std::uint64_t>(c.arrived);
  for (int u = 0; u < c.count; ++u) {
    key = key << 9 | static_cast<std::uint64_t>(c.units[u].station << 3 | c.units[u].pieces);
  }
  return key;
}

// The side's configuration; `skip` names a station whose unit is left out (captured).
Config config_of(const Position& p, int side, int skip = -1) {
  Config c;
  for (int k = 0; k < kPiecesPerSide; ++k) {
    for (const int code : {piece_code(side, k), stack_code(side, k)}) {
      const int at = p.station[unit_slot(code)];
      if (at == kOffBoard || at == skip || c.count == kMaxUnits) continue;
      c.units[c.count++] = {at, pieces_in(code)};
    }
  }
  for (int u = 1; u < c.count; ++u) {  // by station: an insertion sort of at most four
    for (int k = u; k > 0 && c.units[k - 1].station > c.units[k].station; --k) {
      std::swap(c.units[k - 1], c.units[k]);
    }
  }
  c.arrived = p.arrived_count[side];
  return c;
}

// Puts the configuration's pieces on an empty position: pieces go to the units in order
// (a stack's pieces into the stacked list), then to the arrived list; the rest wait.
Position position_of(const Config& c) {
  Position p;
  int next = 0;
  bool pair_out = false;
  for (int u = 0; u < c.count; ++u) {
    const Unit& unit = c.units[u];
    int code = piece_code(kSolveSide, next);
    if (unit.pieces == 1) {
      ++next;
    } else {
      const int which = unit.pieces == 3   ? kTripleOffset
                        : unit.pieces == 4 ? kQuadOffset
                        : pair_out         ? kSecondPairOffset
                                           : kPairOffset;
      pair_out = pair_out || unit.pieces == 2;
      code = stack_code(kSolveSide, which);
      for (int k = 0; k < unit.pieces; ++k) {
        p.stacked[kSolveSide][p.stacked_count[kSolveSide]++] =
            static_cast<std::int8_t>(piece_code(kSolveSide, next++));
      }
    }
    p.station[unit_slot(code)] = static_cast<std::int8_t>(unit.station);
  }
  for (int k = 0; k < c.arrived; ++k) {
    p.arrived[kSolveSide][p.arrived_count[kSolveSide]++] =
        static_cast<std::int8_t>(piece_code(kSolveSide, next++));
  }
  return p;
}

Config config_of_key(std::uint64_t key) {
  Config c;
  std::array<Unit, kMaxUnits> reversed{};
  while (key >= 8) {  // units above the arrived count, the last unit lowest
    reversed[c.count++] = {static_cast<int>(key >> 3 & 63), static_cast<int>(key & 7)};
    key >>= 9;
  }
  for (int u = 0; u < c.count; ++u) c.units[u] = reversed[c.count - 1 - u];
  c.arrived = static_cast<int>(key);
  return c;
}

// The keys of every configuration with fewer than four arrivals: units on distinct stations.
void enumerate(Config& c, int from_station, int pieces_left, std::vector<std::uint64_t>& out) {
  for (int arrived = 0; arrived <= pieces_left && arrived < kPiecesPerSide; ++arrived) {
    c.arrived = arrived;
    out.push_back(key_of(c));
  }
  if (c.count == kMaxUnits) return;
  for (int s = from_station; s < kStations; ++s) {
    for (int pieces = 1; pieces <= pieces_left; ++pieces) {
      c.units[c.count++] = {s, pieces};
      enumerate(c, s + 1, pieces_left - pieces, out);
      --c.count;
    }
  }
}

// Turns by configuration key, in an open-addressed table at most two-thirds full.
class Table {
 public:
  explicit Table(std::size_t keys) {
    std::size_t size = 1024;
    while (size < keys + keys / 2) size *= 2;
    slots_.resize(size);
  }
  float& operator[](std::uint64_t key) {
    Slot* slot = probe(key);
    slot->key = key + 1;
    return slot->value;
  }
  const float* find(std::uint64_t key) const {
    const Slot* slot = const_cast<Table*>(this)->probe(key);
    return slot->key == 0 ? nullptr : &slot->value;
  }

 private:
  struct Slot {
    std::uint64_t key = 0;  // key + 1, or 0 when free
    float value = 0;
  };
  Slot* probe(std::uint64_t key) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = (key * 0x9E3779B97F4A7C15ULL) >> 20 & mask;; at = (at + 1) & mask) {
      if (slots_[at].key == 0 || slots_[at].key == key + 1) return &slots_[at];
    }
  }
  std::vector<Slot> slots_;
};

// A configuration's pieces still to walk, counted in single steps: the order in which the
// values are swept, so that most moves lead to values already brought up to date.
int steps_left(const Config& c) {
  auto walk = [](int station) {
    int steps = 0;
    do {
      station = destination(station, 1);
      ++steps;
    } while (station != kGoalStation);
    return steps;
  };
  int waiting = kPiecesPerSide - c.arrived;
  int sum = 0;
  for (int u = 0; u < c.count; ++u) {
    sum += c.units[u].pieces * walk(c.units[u].station);
    waiting -= c.units[u].pieces;
  }
  return sum + waiting * walk(kGoalStation);
}

Table make_table() {
  // Keys in the order of the sweeps.
  std::vector<std::uint64_t> keys;
  Config empty;
  enumerate(empty, kGoalStation + 1, kPiecesPerSide, keys);
  std::vector<std::pair<int, std::uint64_t>> by_steps(keys.size());
  for (std::size_t m = 0; m < keys.size(); ++m) {
    by_steps[m] = {steps_left(config_of_key(keys[m])), keys[m]};
  }
  std::sort(by_steps.begin(), by_steps.end());
  for (std::size_t m = 0; m < keys.size(); ++m) keys[m] = by_steps[m].second;
  by_steps = {};
  Table table(keys.size());
  for (std::size_t m = 0; m < keys.size(); ++m) table[keys[m]] = static_cast<float>(m);

  // Throw kinds with their chances.
  struct Kind {
    int steps;
    bool extra;
    double chance;
  };
  std::vector<Kind> kinds;
  for (int roll = 0; roll < kRollRange; ++roll) {
    const ThrowInfo& info = throw_for_roll(roll);
    auto it = std::find_if(kinds.begin(), kinds.end(),
                           [&](const Kind& k) { return k.steps == info.steps; });
    if (it == kinds.end()) it = kinds.insert(kinds.end(), {info.steps, info.extra_throw, 0.0});
    it->chance += 1.0 / kRollRange;
  }

  // Each configuration's moves for each kind, one after another: the configuration after
  // the move, or -1 when the side has won; `count` tells how many each kind has. There
  // are about 21.3 moves per configuration.
  std::vector<std::uint8_t> count;
  count.reserve(keys.size() * kinds.size());
  std::vector<std::int32_t> results;
  results.reserve(keys.size() * kMovesPerConfig);
  for (const std::uint64_t key : keys) {
    const Position p = position_of(config_of_key(key));
    for (const Kind& kind : kinds) {
      std::array<int, kMaxChoices> choices{};
      const int valid = valid_choices(p, kSolveSide, kind.steps, choices);
      count.push_back(static_cast<std::uint8_t>(valid));
      for (int k = 0; k < valid; ++k) {
        Position next = p;
        apply_move(next, choices[k] + side_offset(kSolveSide), kSolveSide, kind.steps);
        results.push_back(has_won(next, kSolveSide) ? -1
                                                    : static_cast<std::int32_t>(*table.find(
                                                          key_of(config_of(next, kSolveSide)))));
      }
    }
  }

  // Turns still to play after the current one, with one throw in hand: a move that earns
  // a throw stays in the turn, any other ends it. Alone, a side never earns more than one.
  std::vector<float> after(keys.size(), 0.0F);
  for (int sweep = 0; sweep < kMostSweeps; ++sweep) {
    double largest = 0;
    std::size_t next = 0;
    for (std::size_t m = 0; m < keys.size(); ++m) {
      double value = 0;
      for (std::size_t t = 0; t < kinds.size(); ++t) {
        double best = 1e9;
        const std::size_t end = next + count[m * kinds.size() + t];
        for (std::size_t k = next; k < end; ++k) {
          const double rest =
              results[k] < 0 ? 0.0 : after[results[k]] + (kinds[t].extra ? 0.0 : 1.0);
          best = std::min(best, rest);
        }
        next = end;
        value += kinds[t].chance * best;
      }
      largest = std::max(largest, std::abs(value - after[m]));
      after[m] = static_cast<float>(value);
    }
    if (largest < kSettled) break;
  }
  for (std::size_t m = 0; m < keys.size(); ++m) table[keys[m]] = 1.0F + after[m];
  return table;
}

const Table& table() {
  static const Table built = make_table();
  return built;
}

double turns_of(const Config& c) {
  if (c.arrived >= kPiecesPerSide) return 0;
  const float* turns = table().find(key_of(c));
  return turns == nullptr ? 0 : *turns;
}

}  // namespace

double turns_to_finish(const Position& position, int side) {
  return turns_of(config_of(position, side));
}

double turns_after_capture(const Position& position, int side, int station) {
  return turns_of(config_of(position, side, station));
}

void prepare_solo_race() {
  table();
}

}  // namespace yut
