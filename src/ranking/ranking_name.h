#pragma once
// Names between the terminal (UTF-8) and the ranking file (CP949 in a 20-byte field).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ranking/table.h"

namespace yut {

inline constexpr std::size_t kMaxNameBytes = kNameBytes - 1;  // the field keeps its zero byte

// The typed word as the CP949 bytes to store, cut to at most 19 bytes at a character
// boundary; nullopt when a character of it has no CP949 code.
std::optional<std::string> name_for_file(std::string_view utf8_word);

// Writes the name and its zero byte into the field; the bytes after the zero keep
// whatever they held.
void store_name(RankingEntry& entry, std::string_view cp949_name);

// The stored name as UTF-8 for the screen: the field up to its zero byte (all 20 bytes if
// it has none); control characters and bytes that are not CP949 come out as "?".
std::string name_for_screen(const RankingEntry& entry);

// Columns a UTF-8 text takes on the screen: one for ASCII, two for every other glyph.
int screen_columns(std::string_view utf8);

}  // namespace yut
