#pragma once
// One side's pieces without their identities: the units it has on the board (station and
// pieces) and how many have arrived; the rest wait. Tables that weigh or solve positions
// are kept per configuration, and a position can be rebuilt from one.

#include <array>
#include <cstdint>
#include <vector>

#include "game/rules.h"

namespace yut {

struct Unit {
  int station = 0;
  int pieces = 0;
};

struct SideConfig {
  std::array<Unit, kPiecesPerSide> units{};  // by station, ascending
  int count = 0;
  int arrived = 0;  // kPiecesPerSide + 1 marks a side no configuration describes

  int on_board() const;
  int waiting() const { return kPiecesPerSide - arrived - on_board(); }
};

// A number that tells configurations apart: the arrived count, then 9 bits per unit.
std::uint64_t key_of(const SideConfig& c);
SideConfig config_of_key(std::uint64_t key);

// The configuration of `side` on the position.
SideConfig config_of(const Position& p, int side);

// The configuration after its unit number `u` is captured: its pieces wait again.
SideConfig without_unit(const SideConfig& c, int u);

// Puts `side`'s pieces on the position as `c` has them. Which piece carries which code is
// arbitrary: the pieces go to the units in station order (a stack's pieces into the
// stacked list), then to the arrived list; the rest wait.
void place(Position& p, int side, const SideConfig& c);

// Single steps a unit at `station` still walks to the goal along its route; from
// kGoalStation, a waiting piece's whole way round.
int steps_to_goal(int station);

// Single steps the side's pieces still have to walk, waiting ones from the start.
int steps_left(const SideConfig& c);

// The keys of every configuration with fewer than four arrivals, the most advanced first
// (fewest steps left), so that sweeps over them meet most moves' results already updated.
std::vector<std::uint64_t> all_config_keys();

}  // namespace yut
