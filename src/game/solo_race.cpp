#include "game/solo_race.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "game/computer.h"
#include "game/side_config.h"

namespace yut {

namespace {

constexpr int kSolveSide = 0;      // the side the table is worked out on; both sides are alike
constexpr double kSettled = 1e-6;  // largest change of a sweep at which the values stand
constexpr int kMostSweeps = 1000;
constexpr std::size_t kMovesPerConfig = 22;  // room for the moves of all throw kinds

// How a side chooses among its valid moves: its best one, or always its first.
enum class Racer { kBest, kOneUnit };
constexpr int kRacers = 2;

// Configuration keys to their places in the list of keys, in an open-addressed table at
// most two-thirds full; the turns of each place for each racer while they are solved,
// then its races.
class Table {
 public:
  explicit Table(const std::vector<std::uint64_t>& keys) {
    for (std::vector<float>& t : turns) t.assign(keys.size(), 0.0F);
    std::size_t size = 1024;
    while (size < keys.size() + keys.size() / 2) size *= 2;
    slots_.resize(size);
    for (std::size_t m = 0; m < keys.size(); ++m) {
      Slot& slot = probe(keys[m]);
      slot.key = keys[m] + 1;
      slot.place = static_cast<std::int32_t>(m);
    }
  }
  // The key's place, or -1 for a key that is not in the table.
  std::int32_t find(std::uint64_t key) const { return probe(key).place; }
  // The key's race once `keep_races` has stored it; all 0 for a key not in the table.
  const RaceTurns& race_of(Racer racer, std::uint64_t key) const {
    static const RaceTurns kNone;
    const std::int32_t place = find(key);
    if (place < 0) return kNone;
    return races_[static_cast<int>(racer)][static_cast<std::size_t>(place)];
  }
  // Once the turns are solved: stores each configuration's turns with its turns after
  // losing each unit, so that the evaluation looks up one entry per side, and lets the
  // turns go.
  void keep_races() {
    for (int r = 0; r < kRacers; ++r) {
      races_[r].resize(turns[r].size());
      for (const Slot& slot : slots_) {
        if (slot.place < 0) continue;
        const SideConfig c = config_of_key(slot.key - 1);
        RaceTurns& race = races_[r][static_cast<std::size_t>(slot.place)];
        race.turns = turns[r][static_cast<std::size_t>(slot.place)];
        for (int u = 0; u < c.count; ++u) {
          const std::int32_t rest = find(key_of(without_unit(c, u)));
          race.without_unit[static_cast<std::size_t>(u)] = turns[r][static_cast<std::size_t>(rest)];
        }
      }
      std::vector<float>().swap(turns[r]);
    }
  }

  std::array<std::vector<float>, kRacers> turns;

 private:
  struct Slot {
    std::uint64_t key = 0;  // key + 1, or 0 when free
    std::int32_t place = -1;
  };
  const Slot& probe(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = (key * 0x9E3779B97F4A7C15ULL) >> 20 & mask;; at = (at + 1) & mask) {
      if (slots_[at].key == 0 || slots_[at].key == key + 1) return slots_[at];
    }
  }
  Slot& probe(std::uint64_t key) { return const_cast<Slot&>(std::as_const(*this).probe(key)); }

  std::vector<Slot> slots_;
  std::array<std::vector<RaceTurns>, kRacers> races_;
};

Table make_table() {
  const std::vector<std::uint64_t> keys = all_config_keys();
  Table table(keys);
  const auto& kinds = throw_chances();

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
    for (const ThrowChance& kind : kinds) {
      std::array<int, kMostChoices> choices{};
      const int valid = valid_choices(p, kSolveSide, kind.info->steps, choices);
      count.push_back(static_cast<std::uint8_t>(valid));
      for (int k = 0; k < valid; ++k) {
        Position next = p;
        apply_move(next, number_of_choice(choices[k], kSolveSide), kSolveSide, kind.info->steps);
        results.push_back(
            has_won(next, kSolveSide) ? -1 : table.find(key_of(config_of(next, kSolveSide))));
      }
    }
  }

  // Turns from the start of a turn: this one, then after each throw's move (the best, or
  // the first), none once the side has won, the rest of this one after a yut or a mo, else
  // those of the position reached. Alone, a side never has more than one throw in hand.
  for (const Racer racer : {Racer::kBest, Racer::kOneUnit}) {
    std::vector<float>& turns = table.turns[static_cast<int>(racer)];
    for (int sweep = 0; sweep < kMostSweeps; ++sweep) {
      double largest = 0;
      std::size_t next = 0;
      for (std::size_t m = 0; m < keys.size(); ++m) {
        double value = 1;
        for (std::size_t t = 0; t < kinds.size(); ++t) {
          const double same_turn = kinds[t].info->extra_throw ? 1.0 : 0.0;
          const std::size_t end = next + count[m * kinds.size() + t];
          double best = 1e9;
          for (std::size_t k = next; k < end; ++k) {
            best = std::min(best, results[k] < 0 ? 0.0 : turns[results[k]] - same_turn);
            if (racer == Racer::kOneUnit) break;
          }
          next = end;
          value += kinds[t].chance * best;
        }
        largest = std::max(largest, std::abs(value - turns[m]));
        turns[m] = static_cast<float>(value);
      }
      if (largest < kSettled) break;
    }
  }
  return table;
}

const Table& table() {
  static const Table built = [] {
    Table solved = make_table();  // its lists of moves are gone once it returns
    solved.keep_races();
    return solved;
  }();
  return built;
}

}  // namespace

const RaceTurns& race_turns(const SideConfig& config) {
  // A side with all its pieces home has no key in the table, so it reads all 0.
  return table().race_of(Racer::kBest, key_of(config));
}

const RaceTurns& one_unit_race_turns(const SideConfig& config) {
  return table().race_of(Racer::kOneUnit, key_of(config));
}

void prepare_solo_race() {
  table();
}

}  // namespace yut
