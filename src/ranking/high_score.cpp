#include "ranking/high_score.h"

#include <optional>
#include <string>

#include "ranking/ranking.h"
#include "ranking/ranking_name.h"

namespace yut {
namespace {

constexpr int kPromptX = 20;
constexpr int kPromptY = 16;
constexpr int kNameX = 22;
constexpr int kRetryY = 18;
constexpr const char* kPrompt = "고득점!! 이름을 입력하시오";
constexpr const char* kNameBox = "[         ]";
constexpr const char* kCannotStore = "쓸 수 없는 글자입니다. 다시 입력하시오";
// Another game saved higher scores while the name was typed.
constexpr const char* kPushedOut = "다른 게임의 점수에 밀렸습니다.";

// Asks until the typed word can be stored in CP949; returns its CP949 bytes, or nothing
// when the winner leaves with Esc.
std::optional<std::string> ask_name(const RankingPlace& place) {
  Console& con = place.con;
  con.gotoxy(kPromptX, kPromptY);
  con.print(kPrompt);
  for (;;) {
    con.gotoxy(kPromptX, kPromptY + 1);
    con.print(kNameBox);
    con.gotoxy(kNameX, kPromptY + 1);
    const std::string word =
        con.read_word(kPromptX + static_cast<int>(std::string_view(kNameBox).size()) - 1);
    if (con.escaped()) {
      if (place.confirm_leave && place.confirm_leave()) return std::nullopt;
      continue;
    }
    if (auto name = name_for_file(word)) return *name;
    // The rest of a refused line is no answer to the new question: it goes. Its echo
    // stayed inside the brackets, which are drawn again empty.
    con.discard_line();
    con.gotoxy(kPromptX, kRetryY);
    con.print(kCannotStore);
  }
}

// A failure stays readable beside the final board.
void show_failure(const RankingPlace& place, int row, void (*print_failure)(Console&)) {
  place.con.gotoxy(place.failure_x, row);
  print_failure(place.con);
}

}  // namespace

EntryResult enter_high_score(const RankingPlace& place, int score) {
  EntryResult result = EntryResult::kEntered;
  // The table must hold the stored entries before the score is tested, or the save
  // below would replace them. A missing file is the first run: the table stays as it is.
  if (read_ranking_file(place.table, place.path) == ReadStatus::Failed) {
    show_failure(place, place.failure_y, print_load_failure);
    result = EntryResult::kFailed;
  }
  if (ranking_qualifies(place.table, score) == 0) {
    return result == EntryResult::kFailed ? result : EntryResult::kNotAsked;
  }
  const std::optional<std::string> name = ask_name(place);
  if (!name) return EntryResult::kLeft;
  bool pushed_out = false;
  if (!insert_high_score(place.table, place.path, *name, score, &pushed_out)) {
    show_failure(place, place.failure_y + 1, print_save_failure);
    result = EntryResult::kFailed;
  } else if (pushed_out) {
    place.con.gotoxy(place.failure_x, place.failure_y + 1);
    place.con.print(kPushedOut);
    result = EntryResult::kPushedOut;
  }
  return result;
}

}  // namespace yut
