#include "game/throw.h"

#include <algorithm>
#include <array>

namespace yut {

namespace {

constexpr std::array<ThrowInfo, kThrowKinds> kThrows{{
    {6, ThrowKind::kBackDo, -1, "(빽도)가 나왔습니다.\n", false},
    {25, ThrowKind::kDo, 1, "(도)가 나왔습니다.\n", false},
    {50, ThrowKind::kGae, 2, "(개)가 나왔습니다.\n", false},
    {75, ThrowKind::kGeol, 3, "(걸)이 나왔습니다.\n", false},
    {90, ThrowKind::kYut, 4, "(윷)이 나왔습니다.\n", true},
    {kRollRange, ThrowKind::kMo, 5, "(모)가 나왔습니다.\n", true},
}};

}  // namespace

const ThrowInfo& throw_for_roll(int roll) {
  const auto band = std::ranges::find_if(
      kThrows, [roll](const ThrowInfo& info) { return roll < info.rolls_below; });
  return band != kThrows.end() ? *band : kThrows.back();
}

const std::array<ThrowChance, kThrowKinds>& throw_chances() {
  static const std::array<ThrowChance, kThrowKinds> chances = [] {
    std::array<ThrowChance, kThrowKinds> built{};
    for (int k = 0; k < kThrowKinds; ++k) built[k].info = &kThrows[k];
    for (int roll = 0; roll < kRollRange; ++roll) {
      for (ThrowChance& c : built) {
        if (c.info == &throw_for_roll(roll)) c.chance += 1.0 / kRollRange;
      }
    }
    return built;
  }();
  return chances;
}

}  // namespace yut
