#include "game/computer_levels.h"

#include <algorithm>
#include <array>

namespace yut {

namespace {

// The medium level weighs each choice one throw ahead and takes any of those whose worth
// (a chance to win) is within this margin of the best, drawn at random: it misses fine
// points, never a clearly better move.
constexpr int kMediumLookAhead = 1;
constexpr double kMediumMargin = 0.10;

int medium_choice(ComputerMind& mind, const Position& position, int side, const ThrowInfo& info,
                  int throws_pending, Random& random) {
  const WeighedChoices weighed =
      weigh_choices(position, side, info, throws_pending, mind.memory, kMediumLookAhead, false);
  if (weighed.count == 1) {
    note_own_choice(mind.memory, position, side, weighed.choices[0], info.steps);
    return weighed.choices[0];
  }
  const double best =
      *std::max_element(weighed.worth.begin(), weighed.worth.begin() + weighed.count);
  std::array<int, kMostChoices> near{};
  int count = 0;
  for (int m = 0; m < weighed.count; ++m) {
    if (weighed.worth[m] >= best - kMediumMargin) near[count++] = weighed.choices[m];
  }
  const int choice = count == 1 ? near[0] : near[random.uniform(count)];
  note_own_choice(mind.memory, position, side, choice, info.steps);
  return choice;
}

// The easy level keeps the basic computer's order (its stacks, then its pieces, highest
// first; a new piece when nothing is out) but never takes a piece of the other side while
// another move is open to it.
int easy_choice(const Position& position, int side, int steps) {
  std::array<int, kMostChoices> choices{};
  const int count = valid_choices(position, side, steps, choices);
  for (int m = 0; m < count; ++m) {
    Position next = position;
    const MoveOutcome outcome = apply_move(next, number_of_choice(choices[m], side), side, steps);
    if (outcome.landing != Landing::kCaptured) return choices[m];
  }
  return choices[0];
}

}  // namespace

int computer_choice(ComputerMind& mind, const Position& position, int side, const ThrowInfo& info,
                    int throws_pending, RuleSet /*rules*/, Random& random) {
  switch (mind.level) {
    case ComputerLevel::kEasy:
      return easy_choice(position, side, info.steps);
    case ComputerLevel::kBasic:
      break;
    case ComputerLevel::kMedium:
      return medium_choice(mind, position, side, info, throws_pending, random);
    case ComputerLevel::kStrong:
      return strong_choice(position, side, info.steps, throws_pending, mind.memory);
  }
  return preferred_choice(position, side, random);
}

void prepare_level(ComputerLevel level) {
  if (level == ComputerLevel::kMedium || level == ComputerLevel::kStrong) {
    prepare_strong_computer();
  }
}

}  // namespace yut
