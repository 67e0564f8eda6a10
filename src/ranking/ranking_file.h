#pragma once
// The bytes of "lanksave.txt": nine 24-byte records (20 bytes of name, a little-endian
// signed 32-bit score), no header, stored as a CR LF text stream. The translation is done
// here on every platform, so the file is opened in binary mode everywhere.

#include <cstddef>
#include <string>
#include <string_view>

#include "ranking/table.h"

namespace yut {

inline constexpr std::size_t kRecordBytes = kNameBytes + 4;
inline constexpr std::size_t kRecordsBytes = kRecordBytes * kRankingShown;
// The most bytes a file can take for its nine records: every byte a line feed.
inline constexpr std::size_t kMaxFileBytes = 2 * kRecordsBytes;

// The file's bytes for the shown entries: every 0x0A is written as 0x0D 0x0A.
std::string encode_ranking_file(const RankingTable& table);

// Fills the shown entries from the file's bytes: 0x0D 0x0A reads as 0x0A, every other
// byte (a lone 0x0D, 0x1A) as itself. Entries past the end of the data keep their
// contents, a record cut short fills only its first bytes, data past nine records is
// ignored. The candidate entry is not touched.
void decode_ranking_file(std::string_view file_bytes, RankingTable& table);

}  // namespace yut
