#pragma once
// The high-score table: nine shown entries, best first, and a candidate slot.

#include <array>
#include <cstdint>

namespace yut {

inline constexpr int kRankingShown = 9;
inline constexpr int kRankingEntries = 10;  // the last one is the candidate slot
inline constexpr int kNameBytes = 20;       // CP949 name and its terminating zero byte

struct RankingEntry {
  std::array<char, kNameBytes> name{};  // CP949 bytes, as stored in the file
  std::int32_t score = 0;
};

using RankingTable = std::array<RankingEntry, kRankingEntries>;

}  // namespace yut
