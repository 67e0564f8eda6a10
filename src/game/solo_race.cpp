#include "game/solo_race.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "game/side_config.h"
#include "game/strong_computer.h"

namespace yut {

namespace {

constexpr int kMaxChoices = 5;
constexpr int kSolveSide = 0;      // the side the table is worked out on; both sides are alike
constexpr double kSettled = 1e-6;  // largest change of a sweep at which the values stand
constexpr int kMostSweeps = 1000;
constexpr std::size_t kMovesPerConfig = 22;  // room for the moves of all throw kinds

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

Table make_table() {
  const std::vector<std::uint64_t> keys = all_config_keys();
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
    Position p;
    place(p, kSolveSide, config_of_key(key));
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

double turns_of(const SideConfig& c) {
  if (c.arrived == kPiecesPerSide) return 0;
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
