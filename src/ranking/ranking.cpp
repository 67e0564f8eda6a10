#include "ranking/ranking.h"

#include "ranking/file_store.h"
#include "ranking/ranking_file.h"
#include "ranking/ranking_name.h"

namespace yut {
namespace {

constexpr const char* kLoadFailed = "Don't open the file. error !!!!!";
constexpr const char* kSaveFailed = "Don't open the file. error !!!!";

}  // namespace

int ranking_qualifies(const RankingTable& table, int score) {
  for (int i = 0; i < kRankingShown; ++i) {
    if (score > table[static_cast<std::size_t>(i)].score) return 1;
  }
  return 0;
}

void sort_ranking(RankingTable& table) {
  for (std::size_t i = 0; i + 1 < table.size(); ++i) {
    std::size_t m = i;
    for (std::size_t j = i + 1; j < table.size(); ++j) {
      if (table[j].score > table[m].score) m = j;
    }
    swap_entries(table[i], table[m]);
  }
}

void swap_entries(RankingEntry& a, RankingEntry& b) {
  const RankingEntry temp = a;
  a = b;
  b = temp;
}

ReadStatus read_ranking_file(RankingTable& table, const std::string& path) {
  std::string bytes;
  const ReadStatus status = read_file_start(path, kMaxFileBytes, bytes);
  if (status == ReadStatus::Read) decode_ranking_file(bytes, table);
  return status;
}

bool write_ranking_file(const RankingTable& table, const std::string& path) {
  return replace_file(path, encode_ranking_file(table));
}

void print_load_failure(Console& con) {
  con.print(kLoadFailed);
}
void print_save_failure(Console& con) {
  con.print(kSaveFailed);
}

bool insert_high_score(RankingTable& table, const std::string& path, std::string_view cp949_name,
                       int score, bool* pushed_out) {
  const FileLock lock(path);
  // A file that exists but cannot be read is never overwritten: its entries would be lost.
  const bool file_known = lock.held() && read_ranking_file(table, path) != ReadStatus::Failed;
  // Scores saved meanwhile may have pushed this one out: then the file stays as it is.
  const bool still_qualifies = ranking_qualifies(table, score) != 0;
  if (pushed_out != nullptr) *pushed_out = file_known && !still_qualifies;
  RankingEntry& candidate = table[kRankingEntries - 1];
  store_name(candidate, cp949_name);
  candidate.score = score;
  sort_ranking(table);
  if (!file_known) return false;
  return !still_qualifies || write_ranking_file(table, path);
}

}  // namespace yut
