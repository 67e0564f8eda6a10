#include "ranking/high_score.h"

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
    // Wipe the refused word's echo, which may run past the brackets, and ask again.
    con.gotoxy(kPromptX, kPromptY + 1);
    con.print(std::string(static_cast<std::size_t>(screen_columns(word)) + 4, ' '));
    con.gotoxy(kPromptX, kRetryY);
    con.print(kCannotStore);
  }
}

}  // namespace

void enter_high_score(GameContext& ctx) {
  RankingTable& table = ctx.ranking;
  // The table must hold the stored entries before the score is tested, or the save
  // below would replace them. A missing file is the first run: the table stays as it is.
  if (read_ranking_file(table, ctx.ranking_file) == ReadStatus::Failed) {
    print_load_failure(ctx.con);
  }
  const int score = ctx.state.candidate_score;
  if (ranking_qualifies(table, score) == 0) return;

  const std::string name = ask_name(ctx.con);
  if (!insert_high_score(table, ctx.ranking_file, name, score)) print_save_failure(ctx.con);
}

}  // namespace yut
