#include "game/strong_computer.h"

#include <algorithm>
#include <cmath>

namespace yut {

namespace {

// Throw kinds seen by the look-ahead: step value, chance and whether it earns a throw.
struct Kind {
  const ThrowInfo* info;
  double chance;
};

// Weights of the evaluation, in throws of the race to the goal.
constexpr double kCaptureThrow = 1.0;  // what the extra throw of a capture is worth
constexpr double kRisk = 0.3;          // share counted of what the next side's captures cost
constexpr double kTempo = 0.9;         // the side that throws next is that much ahead
constexpr double kSpread = 0.55;       // spread of the race's outcome per root of its length

// A turn's chain of extra throws rarely runs longer than this; reach beyond it is ignored.
constexpr int kReachThrows = 4;

struct Tables {
  std::array<Kind, 6> kinds{};
  int kind_count = 0;
  // Expected throws a lone piece needs from each station to the goal; from waiting.
  std::array<double, kStations> to_goal{};
  double from_waiting = 0;
  // [from][to]: chance that a unit at `from` lands on `to` at some throw of one turn when
  // the turn moves it alone; from kGoalStation it enters (without back-do).
  std::array<std::array<double, kStations>, kStations> reach{};
  // The same for a piece that enters with a back-do (only while nothing is out).
  std::array<double, kStations> reach_back_do_entry{};
};

void add_reach(const Tables& t, int from, int throws_left, double chance,
               std::array<double, kStations>& into, bool entering) {
  if (throws_left == 0) return;
  for (int k = 0; k < t.kind_count; ++k) {
    const ThrowInfo& info = *t.kinds[k].info;
    if (entering && info.steps < 0) continue;
    const int to = destination(from, info.steps);
    if (to == kGoalStation) continue;
    const double c = chance * t.kinds[k].chance;
    into[to] += c;
    if (info.extra_throw) add_reach(t, to, throws_left - 1, c, into, false);
  }
}

Tables make_tables() {
  Tables t;
  for (int roll = 0; roll < kRollRange; ++roll) {
    const ThrowInfo& info = throw_for_roll(roll);
    int k = 0;
    while (k < t.kind_count && t.kinds[k].info != &info) ++k;
    if (k == t.kind_count) t.kinds[t.kind_count++] = {&info, 0.0};
    t.kinds[k].chance += 1.0 / kRollRange;
  }
  // Expected throws to the goal: iterate until settled (back-do makes it a loop).
  for (int round = 0; round < 500; ++round) {
    std::array<double, kStations> next{};
    for (int s = 1; s < kStations; ++s) {
      double sum = 1;
      for (int k = 0; k < t.kind_count; ++k) {
        sum += t.kinds[k].chance * t.to_goal[destination(s, t.kinds[k].info->steps)];
      }
      next[s] = sum;
    }
    t.to_goal = next;
  }
  t.from_waiting = 1;
  for (int k = 0; k < t.kind_count; ++k) {
    t.from_waiting +=
        t.kinds[k].chance * t.to_goal[destination(kGoalStation, t.kinds[k].info->steps)];
  }
  for (int from = 0; from < kStations; ++from) {
    add_reach(t, from, kReachThrows, 1.0, t.reach[from], from == kGoalStation);
  }
  for (int k = 0; k < t.kind_count; ++k) {
    const ThrowInfo& info = *t.kinds[k].info;
    if (info.steps >= 0) continue;
    const int to = destination(kGoalStation, info.steps);
    t.reach_back_do_entry[to] += t.kinds[k].chance;
    if (info.extra_throw) {
      add_reach(t, to, kReachThrows - 1, t.kinds[k].chance, t.reach_back_do_entry, false);
    }
  }
  return t;
}

// Built on first use: the tables read the routes of the rules, whose own tables another
// file builds, and the order in which files build their constants is not fixed.
const Tables& tables() {
  static const Tables built = make_tables();
  return built;
}

// One side's units as the evaluation sees them.
struct Units {
  std::array<int, 8> station{};
  std::array<int, 8> pieces{};
  int count = 0;
  int waiting = 0;
};

Units units_of(const Position& p, int side) {
  Units u;
  int on_board = 0;
  for (int k = 0; k < kPiecesPerSide; ++k) {
    for (const int code : {piece_code(side, k), stack_code(side, k)}) {
      const int at = p.station[unit_slot(code)];
      if (at == kOffBoard) continue;
      u.station[u.count] = at;
      u.pieces[u.count++] = pieces_in(code);
      on_board += pieces_in(code);
    }
  }
  u.waiting = kPiecesPerSide - on_board - p.arrived_count[side];
  return u;
}

// Expected throws the side still needs: each unit on the board moves its pieces together.
double race(const Units& u) {
  double sum = u.waiting * tables().from_waiting;
  for (int k = 0; k < u.count; ++k) sum += tables().to_goal[u.station[k]];
  return sum;
}

// Chance that the hunter's next turn lands on `station`.
double hit_chance(const Units& hunter, int station) {
  double miss = 1;
  for (int k = 0; k < hunter.count; ++k) miss *= 1 - tables().reach[hunter.station[k]][station];
  if (hunter.waiting > 0) {
    miss *= 1 - tables().reach[kGoalStation][station];
    if (hunter.count == 0) miss *= 1 - tables().reach_back_do_entry[station];
  }
  return 1 - miss;
}

// Throws the prey expects to lose to the hunter's captures in the hunter's next turn.
double risk(const Units& prey, const Units& hunter) {
  double loss = 0;
  for (int k = 0; k < prey.count; ++k) {
    const int at = prey.station[k];
    const double lost =
        prey.pieces[k] * tables().from_waiting - tables().to_goal[at] + kCaptureThrow;
    loss += hit_chance(hunter, at) * lost;
  }
  return loss;
}

struct Search {
  int side;  // the side the search plays for

  double chance_node(const Position& p, int mover, int throws_after, int depth) const {
    if (depth == 0) return position_worth(p, side, mover);
    double value = 0;
    for (int k = 0; k < tables().kind_count; ++k) {
      const ThrowInfo& info = *tables().kinds[k].info;
      value += tables().kinds[k].chance * best_move(p, mover, info, throws_after, depth);
    }
    return value;
  }

  // The worth of the best move of `mover` for this throw: highest for the side, lowest
  // for its opponent.
  double best_move(const Position& p, int mover, const ThrowInfo& info, int throws_after,
                   int depth) const {
    std::array<int, 5> choices{};
    const int count = valid_choices(p, mover, info.steps, choices);
    double best = mover == side ? 0.0 : 1.0;
    for (int m = 0; m < count; ++m) {
      const double worth = after_move(p, mover, choices[m], info, throws_after, depth - 1);
      best = mover == side ? std::max(best, worth) : std::min(best, worth);
    }
    return best;
  }

  double after_move(const Position& p, int mover, int choice, const ThrowInfo& info,
                    int throws_after, int depth) const {
    Position next = p;
    const MoveOutcome outcome = apply_move(next, choice + side_offset(mover), mover, info.steps);
    if (has_won(next, mover)) return mover == side ? 1.0 : 0.0;
    const int left = throws_after + throws_earned(info, outcome.landing == Landing::kCaptured);
    if (left > 0) return chance_node(next, mover, left - 1, depth);
    return chance_node(next, 1 - mover, 0, depth);
  }
};

}  // namespace

int valid_choices(const Position& p, int side, int steps, std::array<int, 5>& choices) {
  int count = 0;
  for (int k = kPiecesPerSide - 1; k >= 0; --k) {
    if (is_out(p, stack_code(side, k))) choices[count++] = k + 11;
  }
  for (int k = kPiecesPerSide - 1; k >= 0; --k) {
    if (is_out(p, piece_code(side, k))) choices[count++] = k + 1;
  }
  if (steps < 0 && count != 0) return count;  // back-do moves only what is out
  for (int k = 0; k < kPiecesPerSide; ++k) {
    const int code = piece_code(side, k);
    if (!is_out(p, code) && choice_refusal(p, code, side) == Refusal::kNone) {
      choices[count++] = k + 1;
      break;
    }
  }
  return count;
}

double position_worth(const Position& p, int side, int to_move) {
  if (has_won(p, side)) return 1;
  if (has_won(p, 1 - side)) return 0;
  const Units own = units_of(p, side);
  const Units other = units_of(p, 1 - side);
  const double own_race = race(own);
  const double other_race = race(other);
  // Only the side that throws next threatens at once; the other can answer first.
  const bool own_next = to_move == side;
  const double own_risk = own_next ? 0 : kRisk * risk(own, other);
  const double other_risk = own_next ? kRisk * risk(other, own) : 0;
  const double lead =
      (other_race + other_risk) - (own_race + own_risk) + (own_next ? kTempo : -kTempo);
  const double spread = kSpread * std::sqrt(own_race + other_race + 1);
  return 1 / (1 + std::exp(-lead / spread));
}

int strong_choice(const Position& p, int side, int steps, int throws_pending, int look_ahead) {
  std::array<int, 5> choices{};
  const int count = valid_choices(p, side, steps, choices);
  if (count == 1) return choices[0];
  const ThrowInfo* info = nullptr;
  for (int k = 0; k < tables().kind_count; ++k) {
    if (tables().kinds[k].info->steps == steps) info = tables().kinds[k].info;
  }
  if (info == nullptr) return choices[0];
  const Search search{side};
  int best = choices[0];
  double best_worth = -1;
  for (int m = 0; m < count; ++m) {
    const double worth = search.after_move(p, side, choices[m], *info, throws_pending, look_ahead);
    if (worth > best_worth) {
      best_worth = worth;
      best = choices[m];
    }
  }
  return best;
}

}  // namespace yut
