#include "game/rules.h"

#include <algorithm>

#include "game/routes.h"

namespace yut {

namespace {

inline constexpr int kMaxSteps = 5;

// BoardPlace numbers and every walk's end, worked out once from the routes.
struct Tables {
  std::array<std::int8_t, kCells> station_of_cell{};
  std::array<std::int8_t, kStations> cell_of_station{};
  // [station][steps + 1]: steps -1 (back-do), 0 (unused), 1..5
  std::array<std::array<std::int8_t, kMaxSteps + 2>, kStations> destination{};
};

Tables make_tables() {
  Tables t;
  t.station_of_cell.fill(-1);
  const int goal = cell_index(kStartGoal.i, kStartGoal.j);
  int next = kGoalStation;
  t.station_of_cell[goal] = static_cast<std::int8_t>(next);
  t.cell_of_station[next++] = static_cast<std::int8_t>(goal);
  for (int cell = 0; cell < kCells; ++cell) {
    if (initial_board()[cell] == kNoStation || cell == goal) continue;
    t.station_of_cell[cell] = static_cast<std::int8_t>(next);
    t.cell_of_station[next++] = static_cast<std::int8_t>(cell);
  }
  for (int s = 0; s < kStations; ++s) {
    const int cell = t.cell_of_station[s];
    const BoardPlace from{cell / kBoardSize, cell % kBoardSize};
    for (int steps = -1; steps <= kMaxSteps; ++steps) {
      if (steps == 0) continue;
      const BoardPlace to = steps < 0 ? step_back(from) : walk_forward(from, steps);
      t.destination[s][steps + 1] = t.station_of_cell[cell_index(to.i, to.j)];
    }
  }
  return t;
}

// Built on first use, so that constants of other files built while the program starts
// may already ask for stations and walks.
const Tables& tables() {
  static const Tables built = make_tables();
  return built;
}

bool listed(const std::array<std::int8_t, 4>& slots, int code) {
  return std::ranges::find(slots, code) != slots.end();
}

void add_to(std::array<std::int8_t, 4>& slots, std::int8_t& count, int code) {
  if (count < kPiecesPerSide) slots[count++] = static_cast<std::int8_t>(code);
}

// Takes the last entry off a side's stacked list and returns it (0 if the list is empty).
int take_last_stacked(Position& p, int side) {
  std::int8_t& count = p.stacked_count[side];
  if (count == 0) return 0;
  const int code = p.stacked[side][--count];
  p.stacked[side][count] = 0;
  return code;
}

MoveOutcome reach_goal(Position& p, int side, int code) {
  const int pieces = pieces_in(code);
  if (is_piece_code(code)) {
    add_to(p.arrived[side], p.arrived_count[side], code);
  } else {
    // Which entry belongs to which stack is not kept: the entries added last leave.
    for (int k = 0; k < pieces; ++k) {
      add_to(p.arrived[side], p.arrived_count[side], take_last_stacked(p, side));
    }
  }
  return {Landing::kGoal, pieces * kGoalPoints};
}

MoveOutcome join_own(Position& p, int side, int mover, int found, int station) {
  // A stack that lands on a single piece takes the code of the total, so that the goal
  // and the capture always take as many entries off the list as the stack holds.
  const int code = stack_code_for(p, side, pieces_in(mover) + pieces_in(found));
  if (is_piece_code(found)) add_to(p.stacked[side], p.stacked_count[side], found);
  if (is_piece_code(mover)) add_to(p.stacked[side], p.stacked_count[side], mover);
  p.station[unit_slot(found)] = kOffBoard;
  p.station[unit_slot(code)] = static_cast<std::int8_t>(station);
  return {Landing::kStacked, 0};
}

MoveOutcome capture(Position& p, int side, int mover, int taken, int station) {
  const int pieces = pieces_in(taken);
  if (is_stack_code(taken)) {
    for (int k = 0; k < pieces; ++k) take_last_stacked(p, 1 - side);
  }
  p.station[unit_slot(taken)] = kOffBoard;
  p.station[unit_slot(mover)] = static_cast<std::int8_t>(station);
  return {Landing::kCaptured, pieces * kCapturePoints};
}

}  // namespace

int station_of_cell(int cell) {
  return tables().station_of_cell[cell];
}

int cell_of_station(int station) {
  return tables().cell_of_station[station];
}

int destination(int station, int steps) {
  return tables().destination[station][steps + 1];
}

Position to_position(const GameState& state) {
  Position p;
  for (int cell = 0; cell < kCells; ++cell) {
    const int code = state.board[cell];
    if (is_piece_code(code) || is_stack_code(code)) {
      p.station[unit_slot(code)] = tables().station_of_cell[cell];
    }
  }
  for (int side = 0; side < kSides; ++side) {
    for (int k = 0; k < kPiecesPerSide; ++k) {
      p.stacked[side][k] = static_cast<std::int8_t>(state.stacked[side][k]);
      p.arrived[side][k] = static_cast<std::int8_t>(state.arrived[side][k]);
    }
    p.stacked_count[side] = static_cast<std::int8_t>(state.stacked_count[side]);
    p.arrived_count[side] = static_cast<std::int8_t>(state.arrived_count[side]);
  }
  return p;
}

void store_position(const Position& p, GameState& state) {
  for (int cell = 0; cell < kCells; ++cell) {
    if (state.board[cell] != kNoStation) state.board[cell] = kEmptyStation;
  }
  for (int slot = 0; slot < kUnitCodes; ++slot) {
    if (p.station[slot] != kOffBoard) {
      state.board[tables().cell_of_station[p.station[slot]]] = unit_code(slot);
    }
  }
  for (int side = 0; side < kSides; ++side) {
    for (int k = 0; k < kPiecesPerSide; ++k) {
      state.stacked[side][k] = p.stacked[side][k];
      state.arrived[side][k] = p.arrived[side][k];
    }
    state.stacked_count[side] = p.stacked_count[side];
    state.arrived_count[side] = p.arrived_count[side];
  }
}

int stack_code_for(const Position& p, int side, int pieces) {
  switch (pieces) {
    case 2: {
      const int pair = stack_code(side, kPairOffset);
      return is_out(p, pair) ? stack_code(side, kSecondPairOffset) : pair;
    }
    case 3:
      return stack_code(side, kTripleOffset);
    default:
      return stack_code(side, kQuadOffset);
  }
}

int code_at(const Position& p, int station) {
  for (int slot = 0; slot < kUnitCodes; ++slot) {
    if (p.station[slot] == station) return unit_code(slot);
  }
  return kEmptyStation;
}

int units_out(const Position& p, int side) {
  int count = 0;
  for (int k = 0; k < kPiecesPerSide; ++k) {
    count += is_out(p, piece_code(side, k)) ? 1 : 0;
    count += is_out(p, stack_code(side, k)) ? 1 : 0;
  }
  return count;
}

MoveOutcome apply_move(Position& p, int number, int side, int steps) {
  const int code = number + 1;
  if (!is_own_code(side, code)) return {};
  if (listed(p.arrived[side], code) || listed(p.stacked[side], code)) return {};

  std::int8_t& at = p.station[unit_slot(code)];
  int start = kGoalStation;  // a waiting piece enters on the goal corner
  if (at != kOffBoard) {
    start = at;
    at = kOffBoard;
  } else if (is_stack_code(code)) {
    return {};
  }

  const int end = destination(start, steps);
  if (end == kGoalStation) return reach_goal(p, side, code);
  const int found = code_at(p, end);
  if (found == kEmptyStation) {
    at = static_cast<std::int8_t>(end);
    return {Landing::kEmpty, 0};
  }
  if (is_own_code(side, found)) return join_own(p, side, code, found, end);
  return capture(p, side, code, found, end);
}

Refusal choice_refusal(const Position& p, int code, int side) {
  if (!is_own_code(side, code) || (is_stack_code(code) && !is_out(p, code))) {
    return Refusal::kWrongPiece;
  }
  for (int k = 0; k < kPiecesPerSide; ++k) {
    if (p.arrived[0][k] == code || p.arrived[1][k] == code) return Refusal::kArrived;
    if (p.stacked[0][k] == code || p.stacked[1][k] == code) return Refusal::kCarried;
  }
  return Refusal::kNone;
}

Refusal refusal_of(const Position& p, int code, int side, int steps) {
  const Refusal why = choice_refusal(p, code, side);
  if (why == Refusal::kNone && steps < 0 && !is_out(p, code) && units_out(p, side) != 0) {
    return Refusal::kBackDoOnTheBoard;
  }
  return why;
}

}  // namespace yut
