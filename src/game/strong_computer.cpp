#include "game/strong_computer.h"

#include <cmath>

#include "game/side_config.h"
#include "game/solo_race.h"

namespace yut {

namespace {

// Weights of the evaluation, in turns of the race to the goal.
constexpr double kCaptureTurn = 0.75;  // what the extra throw of a capture is worth
constexpr double kRisk = 0.15;         // share counted of what the next side's captures cost
constexpr double kTempo = 0.5;         // the side that throws next is half a turn ahead
constexpr double kSpread = 0.48;       // spread of the race's outcome per root of its length

// Decisions that must find the other side with one unit out and pieces waiting, and never
// with two pieces out, before it is expected to keep to one unit.
constexpr int kKeptToOneEvidence = 2;
// Until then, and while it has never had two pieces out, the chance given to its keeping
// to its one unit rather than making the move that looks best to it.
constexpr double kKeepsToOneBefore = 0.5;
// The chance that a side keeping to one unit takes a capture that another of its moves
// (a piece brought in) would make, until it has been seen passing one over. Many people
// keep to one unit and still take a piece when they can; the basic computer never does.
constexpr double kTakesCaptureChance = 0.30;

// A turn's chain of extra throws rarely runs longer than this; reach beyond it is ignored.
constexpr int kReachThrows = 4;

// Against a side that follows a habit the search looks one throw further when the search
// at the usual depth, times the growth of a throw more (about ten), stays within this many
// positions weighed: some ten milliseconds on a desktop core. Counting positions rather
// than time keeps a seeded game the same on any machine.
constexpr long kFurtherLeaves = 70'000;
constexpr long kLeafGrowthPerThrow = 12;

struct Tables {
  // [from][to]: chance that a unit at `from` lands on `to` at some throw of one turn when
  // the turn moves it alone; from kGoalStation it enters (without back-do).
  std::array<std::array<double, kStations>, kStations> reach{};
  // The same for a piece that enters with a back-do (only while nothing is out).
  std::array<double, kStations> reach_back_do_entry{};
};

void add_reach(const Tables& t, int from, int throws_left, double chance,
               std::array<double, kStations>& into, bool entering) {
  if (throws_left == 0) return;
  for (const ThrowChance& kind : throw_chances()) {
    const ThrowInfo& info = *kind.info;
    if (entering && info.steps < 0) continue;
    const int to = destination(from, info.steps);
    if (to == kGoalStation) continue;
    const double c = chance * kind.chance;
    into[to] += c;
    if (info.extra_throw) add_reach(t, to, throws_left - 1, c, into, false);
  }
}

Tables make_tables() {
  Tables t;
  for (int from = 0; from < kStations; ++from) {
    add_reach(t, from, kReachThrows, 1.0, t.reach[from], from == kGoalStation);
  }
  for (const ThrowChance& kind : throw_chances()) {
    const ThrowInfo& info = *kind.info;
    if (info.steps >= 0) continue;
    const int to = destination(kGoalStation, info.steps);
    t.reach_back_do_entry[to] += kind.chance;
    if (info.extra_throw) {
      add_reach(t, to, kReachThrows - 1, kind.chance, t.reach_back_do_entry, false);
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

// Chance that the hunter's next turn lands on `station`.
double hit_chance(const SideConfig& hunter, int station) {
  double miss = 1;
  for (int k = 0; k < hunter.count; ++k) {
    miss *= 1 - tables().reach[hunter.units[k].station][station];
  }
  if (hunter.waiting() > 0) {
    miss *= 1 - tables().reach[kGoalStation][station];
    if (hunter.count == 0) miss *= 1 - tables().reach_back_do_entry[station];
  }
  return 1 - miss;
}

// Turns the prey expects to lose to the hunter's captures in the hunter's next turn.
double risk(const SideConfig& prey, const RaceTurns& prey_race, const SideConfig& hunter) {
  double loss = 0;
  for (int k = 0; k < prey.count; ++k) {
    const double chance = hit_chance(hunter, prey.units[k].station);
    if (chance == 0) continue;
    const double lost = prey_race.without_unit[k] - prey_race.turns + kCaptureTurn;
    loss += chance * lost;
  }
  return loss;
}

// The choice whose worth is highest (the first of equals) and that worth.
struct Best {
  int choice = 0;
  double worth = -1;
};
template <class Worth>
Best best_of(const std::array<int, kMostChoices>& choices, int count, Worth&& worth) {
  Best best{choices[0], -1};
  for (int m = 0; m < count; ++m) {
    const double w = worth(m);
    if (w > best.worth) best = {choices[m], w};
  }
  return best;
}

// How the search expects the other side to answer.
enum class Expect {
  // Not yet shown: with its one unit or with the move that looks best to it right away by
  // this evaluation, half each.
  kEither,
  // With its one unit: it moves the unit it has out (its stacks first, then its highest
  // piece) and brings a piece in only when nothing is out.
  kItsUnit,
  // By the habit of a side that has left one unit: it captures when it can, else brings a
  // piece home, else stacks, else moves its unit nearest home, bringing a piece in only
  // when nothing is out.
  kHabit,
};
struct Answer {
  Expect expect = Expect::kEither;
  bool takes_captures = true;  // while keeping to its unit, it may still take a capture
  bool keeps_to_one() const { return expect == Expect::kItsUnit; }
};

// The first choice other than the first valid one that captures, or 0.
int capturing_choice(const Position& p, int side, const ThrowInfo& info,
                     const std::array<int, kMostChoices>& choices, int count) {
  for (int m = 1; m < count; ++m) {
    Position next = p;
    if (apply_move(next, number_of_choice(choices[m], side), side, info.steps).landing ==
        Landing::kCaptured) {
      return choices[m];
    }
  }
  return 0;
}

// Learns from the other side's turn since the strong side's last choice: a one-unit side
// that moved its unit by one throw with which a piece brought in would have taken one of
// ours has passed over that capture.
void learn_from_answer(StrongMemory& memory, const Position& now, int side) {
  const Position& before = memory.after_own_move;
  const SideConfig was = config_of(before, 1 - side);
  const SideConfig is = config_of(now, 1 - side);
  if (!memory.has_moved || key_of(was) == key_of(is)) return;  // no turn of the other side
  memory.has_moved = false;
  const bool own_unchanged = key_of(config_of(before, side)) == key_of(config_of(now, side));
  if (!own_unchanged || was.count != 1 || is.count != 1 || was.waiting() != is.waiting() ||
      was.waiting() == 0) {
    return;
  }
  bool any = false;
  bool each_would_capture = true;
  for (const ThrowChance& kind : throw_chances()) {
    const int steps = kind.info->steps;
    if (kind.info->extra_throw || destination(was.units[0].station, steps) != is.units[0].station) {
      continue;
    }
    any = true;
    const int entry = destination(kGoalStation, steps);
    const int found = code_at(before, entry);
    if (steps < 0 || found == kEmptyStation || !is_own_code(side, found)) {
      each_would_capture = false;
    }
  }
  if (any && each_would_capture) memory.other_passed_a_capture = true;
}

struct Search {
  int side;                 // the side the search plays for
  Answer answer;            // what the other side is expected to do
  mutable long leaves = 0;  // positions weighed so far

  double chance_node(const Position& p, int mover, int throws_after, int depth) const {
    if (depth == 0) {
      ++leaves;
      return position_worth(p, side, mover, answer.keeps_to_one());
    }
    double value = 0;
    for (const ThrowChance& kind : throw_chances()) {
      value += kind.chance * best_move(p, mover, *kind.info, throws_after, depth);
    }
    return value;
  }

  // The worth of the move that `mover` makes on this throw: the side's best, or the
  // other side's expected answer.
  double best_move(const Position& p, int mover, const ThrowInfo& info, int throws_after,
                   int depth) const {
    std::array<int, kMostChoices> choices{};
    const int count = valid_choices(p, mover, info.steps, choices);
    if (mover != side) {
      auto after = [&](int choice) {
        return after_move(p, mover, choice, info, throws_after, depth - 1);
      };
      if (count == 1) return after(choices[0]);
      switch (answer.expect) {
        case Expect::kItsUnit: {
          const int capture =
              answer.takes_captures ? capturing_choice(p, mover, info, choices, count) : 0;
          if (capture == 0) return after(choices[0]);
          return kTakesCaptureChance * after(capture) +
                 (1 - kTakesCaptureChance) * after(choices[0]);
        }
        case Expect::kHabit:
          return after(habit_choice(p, mover, info.steps, choices, count));
        case Expect::kEither:
          break;
      }
      const int best_now = best_now_choice(p, mover, info, throws_after);
      if (best_now == choices[0]) return after(best_now);
      return kKeepsToOneBefore * after(choices[0]) + (1 - kKeepsToOneBefore) * after(best_now);
    }
    return best_of(choices, count,
                   [&](int m) {
                     return after_move(p, mover, choices[m], info, throws_after, depth - 1);
                   })
        .worth;
  }

  double after_move(const Position& p, int mover, int choice, const ThrowInfo& info,
                    int throws_after, int depth) const {
    Position next = p;
    const MoveOutcome outcome =
        apply_move(next, number_of_choice(choice, mover), mover, info.steps);
    if (has_won(next, mover)) return mover == side ? 1.0 : 0.0;
    const int left = throws_after + throws_earned(info, outcome.landing == Landing::kCaptured);
    if (left > 0) return chance_node(next, mover, left - 1, depth);
    return chance_node(next, 1 - mover, 0, depth);
  }
};

}  // namespace

double position_worth(const Position& p, int side, int to_move, bool other_keeps_to_one) {
  if (has_won(p, side)) return 1;
  if (has_won(p, 1 - side)) return 0;
  const SideConfig own = config_of(p, side);
  const SideConfig other = config_of(p, 1 - side);
  const RaceTurns& own_turns = race_turns(own);
  const RaceTurns& other_turns =
      other_keeps_to_one ? one_unit_race_turns(other) : race_turns(other);
  const double own_race = own_turns.turns;
  const double other_race = other_turns.turns;
  // Only the side that throws next threatens at once; the other can answer first.
  const bool own_next = to_move == side;
  const double own_risk = own_next ? 0 : kRisk * risk(own, own_turns, other);
  const double other_risk = own_next ? kRisk * risk(other, other_turns, own) : 0;
  const double lead =
      (other_race + other_risk) - (own_race + own_risk) + (own_next ? kTempo : -kTempo);
  const double spread = kSpread * std::sqrt(own_race + other_race + 1);
  return 1 / (1 + std::exp(-lead / spread));
}

int habit_choice(const Position& p, int side, int steps,
                 const std::array<int, kMostChoices>& choices, int count) {
  std::array<Landing, kMostChoices> landing{};
  for (int m = 0; m < count; ++m) {
    Position next = p;
    landing[m] = apply_move(next, number_of_choice(choices[m], side), side, steps).landing;
  }
  for (const Landing wanted : {Landing::kCaptured, Landing::kGoal, Landing::kStacked}) {
    for (int m = 0; m < count; ++m) {
      if (landing[m] == wanted) return choices[m];
    }
  }
  int best = choices[0];  // a piece brought in when nothing is out
  int best_left = -1;
  for (int m = 0; m < count; ++m) {
    const int code = code_of_choice(choices[m], side);
    if (!is_out(p, code)) continue;
    const int left = steps_to_goal(p.station[unit_slot(code)]);
    if (best_left < 0 || left < best_left) {
      best = choices[m];
      best_left = left;
    }
  }
  return best;
}

int best_now_choice(const Position& p, int side, const ThrowInfo& info, int throws_pending) {
  std::array<int, kMostChoices> choices{};
  const int count = valid_choices(p, side, info.steps, choices);
  if (count == 1) return choices[0];
  return best_of(choices, count,
                 [&](int m) {
                   Position next = p;
                   const MoveOutcome outcome =
                       apply_move(next, number_of_choice(choices[m], side), side, info.steps);
                   const bool again =
                       throws_pending + throws_earned(info, outcome.landing == Landing::kCaptured) >
                       0;
                   return position_worth(next, side, again ? side : 1 - side);
                 })
      .choice;
}

WeighedChoices weigh_choices(const Position& p, int side, const ThrowInfo& info, int throws_pending,
                             StrongMemory& memory, int look_ahead, bool look_further_on_habit) {
  // A side that has never had two pieces out at once is expected to go on moving the one
  // unit it has, half expected to until it has shown it a few times; once it has had two
  // out, it is expected to follow the habit of a side that has left one unit.
  learn_from_answer(memory, p, side);
  const SideConfig other = config_of(p, 1 - side);
  if (other.on_board() >= 2) memory.other_left_one_unit = true;
  if (other.count == 1 && other.waiting() > 0) ++memory.other_kept_to_one;
  Answer answer;
  if (memory.other_left_one_unit) {
    answer.expect = Expect::kHabit;
  } else if (memory.other_kept_to_one >= kKeptToOneEvidence) {
    answer.expect = Expect::kItsUnit;
    answer.takes_captures = !memory.other_passed_a_capture;
  }
  const Search search{side, answer};
  WeighedChoices weighed;
  weighed.count = valid_choices(p, side, info.steps, weighed.choices);
  if (weighed.count == 1) return weighed;
  auto weigh = [&](int throws) {
    for (int m = 0; m < weighed.count; ++m) {
      weighed.worth[m] =
          search.after_move(p, side, weighed.choices[m], info, throws_pending, throws);
    }
  };
  weigh(look_ahead);
  // A habit is cheap to follow: a throw more then costs about ten times the positions,
  // and it is taken when that stays within the bound.
  if (look_further_on_habit && answer.expect != Expect::kEither &&
      search.leaves * kLeafGrowthPerThrow <= kFurtherLeaves) {
    weigh(look_ahead + 1);
  }
  return weighed;
}

int strong_choice(const Position& p, int side, int steps, int throws_pending, StrongMemory& memory,
                  int look_ahead) {
  const ThrowInfo* info = throw_chances()[0].info;
  for (const ThrowChance& kind : throw_chances()) {
    if (kind.info->steps == steps) info = kind.info;
  }
  const WeighedChoices weighed = weigh_choices(p, side, *info, throws_pending, memory, look_ahead);
  const int choice =
      best_of(weighed.choices, weighed.count, [&](int m) { return weighed.worth[m]; }).choice;
  note_own_choice(memory, p, side, choice, steps);
  return choice;
}

void note_own_choice(StrongMemory& memory, const Position& p, int side, int choice, int steps) {
  memory.after_own_move = p;
  apply_move(memory.after_own_move, number_of_choice(choice, side), side, steps);
  memory.has_moved = true;
}

void prepare_strong_computer() {
  tables();
  prepare_solo_race();
}

}  // namespace yut
