#pragma once
// The board's routes: where a piece or stack ends after a forward walk or a back-do, on the
// places of the 7x7 grid of board cells. (The rules number the places that are stations:
// rules.h.)

namespace yut {

struct BoardPlace {
  int i = 0;  // screen column of the cell, 0..6
  int j = 0;  // screen row of the cell, 0..6
  bool operator==(const BoardPlace&) const = default;
};

// Pieces enter here and the walk ends here: the goal.
inline constexpr BoardPlace kStartGoal{6, 6};
// Where a waiting piece lands when it enters with a back-do.
inline constexpr BoardPlace kBackDoEntry{5, 6};

// End of a forward walk of 1..5 steps from a place (kStartGoal for a piece that enters).
// The start alone chooses the path; reaching kStartGoal ends the walk, dropping the rest.
BoardPlace walk_forward(BoardPlace start, int steps);

// One place back (kStartGoal for a piece that enters gives kBackDoEntry).
BoardPlace step_back(BoardPlace start);

}  // namespace yut
