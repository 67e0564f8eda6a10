#include "ranking/ranking_file.h"

#include <algorithm>
#include <cstdint>

namespace yut {
namespace {

constexpr char kLineFeed = '\x0A';
constexpr char kCarriageReturn = '\x0D';

// The 24 bytes of one entry as they lie in the file before the line-end translation.
void append_record(const RankingEntry& entry, std::string& out) {
  out.append(entry.name.data(), entry.name.size());
  const auto score = static_cast<std::uint32_t>(entry.score);
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<char>((score >> shift) & 0xFFU));
  }
}

// Overwrites the first record.size() bytes of the entry, as a short read into it would.
void fill_record(std::string_view record, RankingEntry& entry) {
  const std::size_t name_bytes = std::min(record.size(), entry.name.size());
  std::copy_n(record.begin(), name_bytes, entry.name.begin());
  auto score = static_cast<std::uint32_t>(entry.score);
  for (std::size_t i = kNameBytes; i < record.size(); ++i) {
    const unsigned shift = 8U * static_cast<unsigned>(i - kNameBytes);
    score &= ~(0xFFU << shift);
    score |= static_cast<std::uint32_t>(static_cast<unsigned char>(record[i])) << shift;
  }
  entry.score = static_cast<std::int32_t>(score);
}

}  // namespace

std::string encode_ranking_file(const RankingTable& table) {
  std::string data;
  data.reserve(kRecordsBytes);
  for (int i = 0; i < kRankingShown; ++i) append_record(table[static_cast<std::size_t>(i)], data);

  std::string file;
  file.reserve(kMaxFileBytes);
  for (const char byte : data) {
    if (byte == kLineFeed) file.push_back(kCarriageReturn);
    file.push_back(byte);
  }
  return file;
}

void decode_ranking_file(std::string_view file_bytes, RankingTable& table) {
  std::string data;
  data.reserve(kRecordsBytes);
  for (std::size_t i = 0; i < file_bytes.size() && data.size() < kRecordsBytes; ++i) {
    const bool crlf = file_bytes[i] == kCarriageReturn && i + 1 < file_bytes.size() &&
                      file_bytes[i + 1] == kLineFeed;
    if (crlf) ++i;
    data.push_back(file_bytes[i]);
  }
  for (std::size_t r = 0; r < static_cast<std::size_t>(kRankingShown); ++r) {
    const std::size_t start = r * kRecordBytes;
    if (start >= data.size()) break;
    fill_record(std::string_view(data).substr(start, kRecordBytes), table[r]);
  }
}

}  // namespace yut
