#include "game/routes.h"

#include <algorithm>
#include <array>
#include <span>

namespace yut {

namespace {

// clang-format off
// The three paths a walk can follow, each ending at the goal.
// Outer way: up the right column, left along the top row, down the left column, right
// along the bottom row.
constexpr std::array<BoardPlace, 25> kOuterPath{{
    {6, 6}, {6, 5}, {6, 4}, {6, 3}, {6, 2}, {6, 1}, {6, 0},  // right column
    {5, 0}, {4, 0}, {3, 0}, {2, 0}, {1, 0}, {0, 0},          // top row
    {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6},          // left column
    {1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6},          // bottom row
}};
// From the top-right corner down the first diagonal through the centre, then the bottom row.
constexpr std::array<BoardPlace, 13> kFirstDiagonalPath{{
    {6, 0}, {5, 1}, {4, 2}, {3, 3}, {2, 4}, {1, 5}, {0, 6},
    {1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6},
}};
// From the top-left corner down the second diagonal through the centre to the goal.
constexpr std::array<BoardPlace, 7> kSecondDiagonalPath{{
    {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6},
}};

// Which path a walk takes, by its start cell: rows j = 0..6, columns i = 0..6.
// 'O' outer way, 'A' first diagonal then bottom row, 'B' second diagonal.
// Shortcuts start only on the top-right corner, the top-left corner and the centre.
constexpr const char* kPathByStart[7] = {
    "BOOOOOA",  //
    "OB...AO",  //
    "O.B.A.O",  //
    "O..B..O",  //
    "O.A.B.O",  //
    "OA...BO",  //
    "OOOOOOO",  //
};

// clang-format on

bool inside_board(BoardPlace s) {
  return s.i >= 0 && s.i < 7 && s.j >= 0 && s.j < 7;
}

std::span<const BoardPlace> path_from(BoardPlace start) {
  if (!inside_board(start)) return {};
  switch (kPathByStart[start.j][start.i]) {
    case 'A':
      return kFirstDiagonalPath;
    case 'B':
      return kSecondDiagonalPath;
    default:
      return kOuterPath;
  }
}

struct BackStep {
  BoardPlace from;
  BoardPlace to;
};

// clang-format off
// One station back from every station. A piece that enters with a back-do (from the
// goal corner) lands on the last station before the goal; the centre always goes back
// along the second diagonal.
constexpr std::array<BackStep, 33> kBackSteps{{
    {{6, 6}, {5, 6}},
    {{6, 5}, {6, 6}}, {{6, 4}, {6, 5}}, {{6, 3}, {6, 4}}, {{6, 2}, {6, 3}}, {{6, 1}, {6, 2}},
    {{6, 0}, {6, 1}},
    {{5, 0}, {6, 0}}, {{4, 0}, {5, 0}}, {{3, 0}, {4, 0}}, {{2, 0}, {3, 0}}, {{1, 0}, {2, 0}},
    {{0, 0}, {1, 0}},
    {{0, 1}, {0, 0}}, {{0, 2}, {0, 1}}, {{0, 3}, {0, 2}}, {{0, 4}, {0, 3}}, {{0, 5}, {0, 4}},
    {{0, 6}, {0, 5}},
    {{1, 6}, {0, 6}}, {{2, 6}, {1, 6}}, {{3, 6}, {2, 6}}, {{4, 6}, {3, 6}}, {{5, 6}, {4, 6}},
    {{5, 1}, {6, 0}}, {{4, 2}, {5, 1}}, {{2, 4}, {3, 3}}, {{1, 5}, {2, 4}},
    {{3, 3}, {2, 2}},
    {{1, 1}, {0, 0}}, {{2, 2}, {1, 1}}, {{4, 4}, {3, 3}}, {{5, 5}, {4, 4}},
}};
// clang-format on

}  // namespace

BoardPlace walk_forward(BoardPlace start, int steps) {
  const std::span<const BoardPlace> path = path_from(start);
  const auto at = std::ranges::find(path, start);
  if (at == path.end()) return start;  // not a station: nowhere to go
  const auto last = static_cast<int>(path.end() - at) - 1;
  return *(at + std::clamp(steps, 0, last));
}

BoardPlace step_back(BoardPlace start) {
  const auto step = std::ranges::find(kBackSteps, start, &BackStep::from);
  return step != kBackSteps.end() ? step->to : start;
}

}  // namespace yut
