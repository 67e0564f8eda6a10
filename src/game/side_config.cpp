#include "game/side_config.h"

#include <algorithm>
#include <utility>

namespace yut {

namespace {

constexpr int kUnitBits = 9;  // station (6 bits) and pieces (3 bits)
constexpr int kPiecesBits = 3;

void enumerate(SideConfig& c, int from_station, int pieces_left,
               std::vector<std::pair<int, std::uint64_t>>& out) {
  for (int arrived = 0; arrived <= pieces_left && arrived < kPiecesPerSide; ++arrived) {
    c.arrived = arrived;
    out.emplace_back(steps_left(c), key_of(c));
  }
  if (c.count == kPiecesPerSide) return;
  for (int s = from_station; s < kStations; ++s) {
    for (int pieces = 1; pieces <= pieces_left; ++pieces) {
      c.units[c.count++] = {s, pieces};
      enumerate(c, s + 1, pieces_left - pieces, out);
      --c.count;
    }
  }
}

}  // namespace

int steps_to_goal(int station) {
  // Built on first use: the routes' own tables are built in another file.
  static const std::array<int, kStations> steps = [] {
    std::array<int, kStations> table{};
    for (int from = 0; from < kStations; ++from) {
      int at = from;
      do {
        at = destination(at, 1);
        ++table[from];
      } while (at != kGoalStation);
    }
    return table;
  }();
  return steps[station];
}

int SideConfig::on_board() const {
  int sum = 0;
  for (int u = 0; u < count; ++u) sum += units[u].pieces;
  return sum;
}

std::uint64_t key_of(const SideConfig& c) {
  auto key = static_cast<std::uint64_t>(c.arrived);
  for (int u = 0; u < c.count; ++u) {
    key = key << kUnitBits |
          static_cast<std::uint64_t>(c.units[u].station << kPiecesBits | c.units[u].pieces);
  }
  return key;
}

SideConfig config_of_key(std::uint64_t key) {
  SideConfig c;
  std::array<Unit, kPiecesPerSide> last_first{};
  for (; key >> kPiecesBits != 0 && c.count < kPiecesPerSide; key >>= kUnitBits) {
    last_first[c.count++] = {static_cast<int>(key >> kPiecesBits & 63),
                             static_cast<int>(key & ((1U << kPiecesBits) - 1))};
  }
  for (int u = 0; u < c.count; ++u) c.units[u] = last_first[c.count - 1 - u];
  c.arrived = static_cast<int>(key);
  return c;
}

SideConfig config_of(const Position& p, int side) {
  SideConfig c;
  for (int k = 0; k < kPiecesPerSide; ++k) {
    for (const int code : {piece_code(side, k), stack_code(side, k)}) {
      const int at = p.station[unit_slot(code)];
      if (at == kOffBoard) continue;
      if (c.count == kPiecesPerSide) return SideConfig{.arrived = kPiecesPerSide + 1};
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

SideConfig without_unit(const SideConfig& c, int u) {
  SideConfig rest = c;
  --rest.count;
  for (int k = u; k < rest.count; ++k) rest.units[k] = rest.units[k + 1];
  return rest;
}

void place(Position& p, int side, const SideConfig& c) {
  int next = 0;
  for (int u = 0; u < c.count; ++u) {
    const Unit& unit = c.units[u];
    int code = piece_code(side, next);
    if (unit.pieces == 1) {
      ++next;
    } else {
      code = stack_code_for(p, side, unit.pieces);
      for (int k = 0; k < unit.pieces; ++k) {
        p.stacked[side][p.stacked_count[side]++] =
            static_cast<std::int8_t>(piece_code(side, next++));
      }
    }
    p.station[unit_slot(code)] = static_cast<std::int8_t>(unit.station);
  }
  for (int k = 0; k < c.arrived; ++k) {
    p.arrived[side][p.arrived_count[side]++] = static_cast<std::int8_t>(piece_code(side, next++));
  }
}

int steps_left(const SideConfig& c) {
  int sum = c.waiting() * steps_to_goal(kGoalStation);
  for (int u = 0; u < c.count; ++u) sum += c.units[u].pieces * steps_to_goal(c.units[u].station);
  return sum;
}

std::vector<std::uint64_t> all_config_keys() {
  std::vector<std::pair<int, std::uint64_t>> by_steps;
  SideConfig empty;
  enumerate(empty, kGoalStation + 1, kPiecesPerSide, by_steps);
  std::sort(by_steps.begin(), by_steps.end());
  std::vector<std::uint64_t> keys(by_steps.size());
  for (std::size_t m = 0; m < keys.size(); ++m) keys[m] = by_steps[m].second;
  return keys;
}

}  // namespace yut
