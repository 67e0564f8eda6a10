#include "game/computer_levels.h"

namespace yut {

int level_choice(ComputerMind& mind, const Position& position, int side, const ThrowInfo& info,
                 int throws_pending, RuleSet /*rules*/, Random& random) {
  switch (mind.level) {
    case ComputerLevel::kStrong:
    case ComputerLevel::kMedium:
      return strong_choice(position, side, info.steps, throws_pending, mind.memory);
    case ComputerLevel::kEasy:
    case ComputerLevel::kBasic:
      break;
  }
  return preferred_choice(position, side, random);
}

void prepare_level(ComputerLevel level) {
  if (level == ComputerLevel::kStrong || level == ComputerLevel::kMedium) {
    prepare_strong_computer();
  }
}

}  // namespace yut
