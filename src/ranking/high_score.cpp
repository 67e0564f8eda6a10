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

constexpr std::size_t kCandidate = kRankingEntries - 1;

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
    ctx.con.print("Don't open the file. error !!!!!");
  }
  const int score = ctx.state.candidate_score;
  if (ranking_qualifies(table, score) == 0) return;

  const std::string name = ask_name(ctx.con);

  // Another game may have saved while the name was typed: load again under the lock and
  // insert into what is on disk now, so neither entry is lost.
  const FileLock lock(ctx.ranking_file);
  const bool reloaded =
      lock.held() && read_ranking_file(table, ctx.ranking_file) != ReadStatus::Failed;
  if (!reloaded) {
    print_save_failure(ctx.con);
    return;
  }
  // Scores saved meanwhile may have pushed this one out: then the file stays as it is.
  const bool still_qualifies = ranking_qualifies(table, score) != 0;
  store_name(table[kCandidate], name);
  table[kCandidate].score = score;
  sort_ranking(table);
  if (still_qualifies && !write_ranking_file(table, ctx.ranking_file)) {
    print_save_failure(ctx.con);
  }
}

}  // namespace yut
