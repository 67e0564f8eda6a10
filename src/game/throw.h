#pragma once
// The throw of the sticks: a roll 0..99 mapped by fixed bands to a throw kind.

#include <array>

namespace yut {

inline constexpr int kRollRange = 100;  // a roll is 0..99, all equally likely

enum class ThrowKind { kBackDo, kDo, kGae, kGeol, kYut, kMo };

struct ThrowInfo {
  int rolls_below;  // the band ends just before this roll
  ThrowKind kind;
  int steps;         // what the move receives: -1 one station back, else 1..5
  const char* text;  // printed at (45, 13); ends in a line break
  bool extra_throw;  // yut and mo give the side another throw
};

const ThrowInfo& throw_for_roll(int roll);

// Each throw kind with its chance (its share of the rolls), in the order of the bands:
// what a look-ahead over the throws to come weighs.
inline constexpr int kThrowKinds = 6;
struct ThrowChance {
  const ThrowInfo* info;
  double chance;
};
const std::array<ThrowChance, kThrowKinds>& throw_chances();

}  // namespace yut
