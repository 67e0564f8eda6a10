#include "game/movement.h"

#include <algorithm>

#include "display/board_view.h"
#include "game/messages.h"
#include "game/routes.h"
#include "game/side.h"

namespace yut {

namespace {

int& cell_at(GameState& state, Station s) {
  return state.board[cell_index(s.i, s.j)];
}

bool find_on_board(const GameState& state, int code, Station& where) {
  for (int i = 0; i < kBoardSize; ++i) {
    for (int j = 0; j < kBoardSize; ++j) {
      if (state.board[cell_index(i, j)] == code) {
        where = {i, j};
        return true;
      }
    }
  }
  return false;
}

bool listed(const std::array<int, 4>& slots, int code) {
  return std::ranges::find(slots, code) != slots.end();
}

void add_stacked(GameState& state, int side, int code) {
  int& count = state.stacked_count[side];
  if (count < kPiecesPerSide) state.stacked[side][count++] = code;
}

// Takes the last entry off a side's stacked list and returns it (0 if the list is empty).
int take_last_stacked(GameState& state, int side) {
  int& count = state.stacked_count[side];
  if (count == 0) return 0;
  const int code = state.stacked[side][--count];
  state.stacked[side][count] = 0;
  return code;
}

void add_arrived(GameState& state, int side, int code) {
  int& count = state.arrived_count[side];
  if (count < kPiecesPerSide) state.arrived[side][count++] = code;
}

// The code of an own stack of `pieces` pieces: a new pair takes the first-pair code unless
// that one is already on the board.
int stack_code_for(const GameState& state, int side, int pieces) {
  switch (pieces) {
    case 2: {
      const int pair = stack_code(side, kPairOffset);
      return on_board(state, pair - 1) == 0 ? pair : stack_code(side, kSecondPairOffset);
    }
    case 3:
      return stack_code(side, kTripleOffset);
    default:
      return stack_code(side, kQuadOffset);
  }
}

MoveOutcome reach_goal(GameState& state, int side, int code) {
  const int pieces = pieces_in(code);
  if (is_piece_code(code)) {
    add_arrived(state, side, code);
  } else {
    // Which entry belongs to which stack is not kept: the entries added last leave.
    for (int k = 0; k < pieces; ++k) add_arrived(state, side, take_last_stacked(state, side));
  }
  return {Landing::kGoal, pieces * kGoalPoints};
}

MoveOutcome join_own(GameState& state, int side, int mover, int& cell) {
  const int found = cell;
  const int total = pieces_in(mover) + pieces_in(found);
  // A stack that lands on a single piece takes the code of the total, so that the goal
  // and the capture always take as many entries off the list as the stack holds.
  const int code = stack_code_for(state, side, total);
  if (is_piece_code(found)) add_stacked(state, side, found);
  if (is_piece_code(mover)) add_stacked(state, side, mover);
  cell = code;
  return {Landing::kStacked, 0};
}

MoveOutcome capture(GameState& state, int side, int mover, int& cell) {
  const int taken = cell;
  const int pieces = pieces_in(taken);
  if (is_stack_code(taken)) {
    for (int k = 0; k < pieces; ++k) take_last_stacked(state, 1 - side);
  }
  cell = mover;
  return {Landing::kCaptured, pieces * kCapturePoints};
}

}  // namespace

MoveOutcome apply_move(GameState& state, int number, int side, int steps) {
  const int code = number + 1;
  if (!is_own_code(side, code)) return {};
  if (listed(state.arrived[side], code) || listed(state.stacked[side], code)) return {};

  Station start = kStartGoal;  // a waiting piece enters on the goal corner
  if (find_on_board(state, code, start)) {
    cell_at(state, start) = kEmptyStation;
  } else if (is_stack_code(code)) {
    return {};
  }

  const Station end = steps < 0 ? step_back(start) : walk_forward(start, steps);
  if (end == kStartGoal) return reach_goal(state, side, code);

  int& cell = cell_at(state, end);
  if (cell == kEmptyStation) {
    cell = code;
    return {Landing::kEmpty, 0};
  }
  if (is_own_code(side, cell)) return join_own(state, side, code, cell);
  return capture(state, side, code, cell);
}

bool move_piece(GameContext& ctx, int number, const PlayerDescriptor& player, int steps) {
  const int side = side_index(player);
  const MoveOutcome outcome = apply_move(ctx.state, number, side, steps);
  if (outcome.landing != Landing::kCaptured) {
    ctx.state.score[side] += outcome.points;
    return false;
  }
  show_message(ctx.con, "상대 말을 잡았습니다.", "윷을 한 번더 던질 수 있습니다.");
  if (!is_computer(player)) ctx.con.pause();
  ctx.state.score[side] += outcome.points;
  draw_board(ctx.con, ctx.state);
  return true;
}

}  // namespace yut
