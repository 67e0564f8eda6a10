#pragma once
// The board's routes: where a piece or stack ends after a forward walk or a back-do.

namespace yut {

struct Station {
  int i = 0;  // screen column of the cell, 0..6
  int j = 0;  // screen row of the cell, 0..6
  bool operator==(const Station&) const = default;
};

// Pieces enter here and the walk ends here: the goal.
inline constexpr Station kStartGoal{6, 6};
// Where a waiting piece lands when it enters with a back-do.
inline constexpr Station kBackDoEntry{5, 6};

// End of a forward walk of 1..5 steps from a station (kStartGoal for a piece that enters).
// The start alone chooses the path; reaching kStartGoal ends the walk, dropping the rest.
Station walk_forward(Station start, int steps);

// One station back (kStartGoal for a piece that enters gives kBackDoEntry).
Station step_back(Station start);

}  // namespace yut
