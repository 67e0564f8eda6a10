#pragma once
// Operations on the high-score table and its file "lanksave.txt".

#include <string>
#include <string_view>

#include "console/console.h"
#include "ranking/file_store.h"
#include "ranking/table.h"

namespace yut {

// 1 if score beats at least one shown entry (strict, signed), else 0.
int ranking_qualifies(const RankingTable& table, int score);
// Selection sort of all ten entries, highest score first.
void sort_ranking(RankingTable& table);
void swap_entries(RankingEntry& a, RankingEntry& b);

// Reads the file into the shown entries; writes the shown entries (the old file is
// replaced only once the new one is whole). The callers say what failed.
ReadStatus read_ranking_file(RankingTable& table, const std::string& path);
bool write_ranking_file(const RankingTable& table, const std::string& path);
void print_load_failure(Console& con);
void print_save_failure(Console& con);

// Enters a name (CP949) and score that qualified. Another process may have saved while the
// name was typed, so under the file's lock the table is loaded again, the entry inserted
// into it and, if it still qualifies, the file saved. False when the file could not be
// read or written: the old file is then left whole and only the table holds the entry.
// pushed_out (when given) tells whether the scores saved meanwhile left this one out.
bool insert_high_score(RankingTable& table, const std::string& path, std::string_view cp949_name,
                       int score, bool* pushed_out = nullptr);

// Paints the ranking screen (clears first; does not wait).
void show_ranking(Console& con, const RankingTable& table);
// Loads the file and paints the ranking screen; a file that exists but cannot be read is
// said so inside the box, under the list (a missing one is the first run: nothing to say).
void load_and_show_ranking(Console& con, RankingTable& table, const std::string& path);

}  // namespace yut
