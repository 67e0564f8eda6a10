#include <algorithm>
#include <cstdio>
#include <string>

#include "console/box.h"
#include "ranking/ranking.h"
#include "ranking/ranking_name.h"

namespace yut {
namespace {

constexpr int kBoxInnerCells = 21;  // two-column box characters between the corners
constexpr int kBoxInnerRows = 21;
constexpr int kListX = 5;
constexpr int kListY = 5;
constexpr int kNameWidth = 6;
constexpr int kFailureY = kListY + kRankingShown + 1;

// "%6s" of the CP949 name: right-aligned in six bytes, which are six columns.
std::string padded_name(const RankingEntry& entry) {
  const std::string name = name_for_screen(entry);
  const int columns = screen_columns(name);
  return std::string(static_cast<std::size_t>(kNameWidth - std::min(columns, kNameWidth)), ' ') +
         name;
}

std::string ranking_line(int place, const RankingEntry& entry) {
  char score[16];
  std::snprintf(score, sizeof score, "%7d", static_cast<int>(entry.score));
  return std::to_string(place) + "등  :  " + padded_name(entry) + "   " + score + " 점 입니다. \n";
}

}  // namespace

void show_ranking(Console& con, const RankingTable& table) {
  con.clear_screen();
  con.gotoxy(0, 0);
  print_box(con, kBoxInnerCells, kBoxInnerRows);
  for (int i = 0; i < kRankingShown; ++i) {
    con.gotoxy(kListX, kListY + i);
    con.print(ranking_line(i + 1, table[static_cast<std::size_t>(i)]));
  }
}

void load_and_show_ranking(Console& con, RankingTable& table, const std::string& path) {
  const ReadStatus status = read_ranking_file(table, path);
  show_ranking(con, table);
  if (status == ReadStatus::Failed) {
    con.gotoxy(kListX, kFailureY);
    print_load_failure(con);
  }
}

}  // namespace yut
