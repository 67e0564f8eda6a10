#pragma once
// The entry of a winner's name into the ranking at a game's end.

#include <functional>
#include <string>

#include "console/console.h"
#include "ranking/table.h"

namespace yut {

// Where a game's end finds the ranking and shows what went wrong.
struct RankingPlace {
  Console& con;
  RankingTable& table;
  const std::string& path;
  int failure_x;  // a failed load is said at (failure_x, failure_y), a failed save a row lower
  int failure_y;
  // Asked when Esc ends the name entry: true to leave without a name, false to type on.
  std::function<bool()> confirm_leave;
};

// How a game's end went.
enum class EntryResult {
  kNotAsked,   // the score does not qualify: no name asked
  kEntered,    // the winner typed a name and everything went well
  kFailed,     // the file could not be read or written; the message stays on the screen
  kLeft,       // the winner left with Esc: no name, nothing saved
  kPushedOut,  // scores other games saved meanwhile left this one out; the screen says so
};

// At a game's end, after the winner was announced: brings the table up to date from the
// file, and if `score` qualifies asks for the winner's name, inserts the entry and saves
// the file.
EntryResult enter_high_score(const RankingPlace& place, int score);

}  // namespace yut
