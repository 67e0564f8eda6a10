#include "ranking/high_score.h"

#include <string>

#include "game/messages.h"
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

// Asks until the typed word can be stored in CP949; returns its CP949 bytes.
std::string ask_name(Console& con) {
  con.gotoxy(kPromptX, kPromptY);
  con.print(kPrompt);
  for (;;) {
    con.gotoxy(kPromptX, kPromptY + 1);
    con.print(kNameBox);
    con.gotoxy(kNameX, kPromptY + 1);
    const std::string word = con.read_word();
    if (auto name = name_for_file(word)) return *name;
    // The rest of a refused line is no answer to the new question: it goes, with the
    // echo of the whole line, which may run past the brackets.
    const std::string line = con.discard_line();
    con.gotoxy(kNameX, kPromptY + 1);
    con.print(std::string(static_cast<std::size_t>(screen_columns(line)), ' '));
    con.gotoxy(kPromptX, kRetryY);
    con.print(kCannotStore);
  }
}

// The game screen's message area, where a failure stays readable beside the final board.
void show_failure(Console& con, int row, void (*print_failure)(Console&)) {
  con.gotoxy(kMessageColumn, row);
  print_failure(con);
}

}  // namespace

bool enter_high_score(GameContext& ctx) {
  RankingTable& table = ctx.ranking;
  bool all_well = true;
  // The table must hold the stored entries before the score is tested, or the save
  // below would replace them. A missing file is the first run: the table stays as it is.
  if (read_ranking_file(table, ctx.ranking_file) == ReadStatus::Failed) {
    show_failure(ctx.con, kMessageFirstRow, print_load_failure);
    all_well = false;
  }
  const int score = ctx.state.candidate_score;
  if (ranking_qualifies(table, score) == 0) return false;

  const std::string name = ask_name(ctx.con);
  bool pushed_out = false;
  if (!insert_high_score(table, ctx.ranking_file, name, score, &pushed_out)) {
    show_failure(ctx.con, kMessageFirstRow + 1, print_save_failure);
    all_well = false;
  } else if (pushed_out) {
    ctx.con.gotoxy(kMessageColumn, kMessageFirstRow + 1);
    ctx.con.print(kPushedOut);
  }
  return all_well;
}

}  // namespace yut
