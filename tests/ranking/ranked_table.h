#pragma once
// Nine shown entries named "A".."I" with the scores top, top - step, ... (the candidate
// slot empty), as a test's starting table or file.

#include "ranking/table.h"

namespace yut::testing {

inline RankingTable ranked_table(int top, int step) {
  RankingTable table{};
  for (int i = 0; i < kRankingShown; ++i) {
    auto& e = table[static_cast<std::size_t>(i)];
    e.name[0] = static_cast<char>('A' + i);
    e.score = top - i * step;
  }
  return table;
}

}  // namespace yut::testing
