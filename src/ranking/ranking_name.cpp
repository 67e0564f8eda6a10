#include "ranking/ranking_name.h"

#include <algorithm>

namespace yut {
namespace {

bool printable_ascii(unsigned char byte) {
  return byte >= 0x20 && byte < 0x7F;
}

}  // namespace

std::optional<std::string> name_for_file(std::string_view utf8_word) {
  std::string out;
  for (const char c : utf8_word) {
    if (!printable_ascii(static_cast<unsigned char>(c))) return std::nullopt;
    if (out.size() == kMaxNameBytes) break;
    out.push_back(c);
  }
  return out;
}

void store_name(RankingEntry& entry, std::string_view cp949_name) {
  const std::size_t n = std::min(cp949_name.size(), kMaxNameBytes);
  std::copy_n(cp949_name.begin(), n, entry.name.begin());
  entry.name[n] = '\0';
}

std::string name_for_screen(const RankingEntry& entry) {
  std::string out;
  for (const char c : entry.name) {
    if (c == '\0') break;
    out.push_back(printable_ascii(static_cast<unsigned char>(c)) ? c : '?');
  }
  return out;
}

int screen_columns(std::string_view utf8) {
  int columns = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      columns += 1;
    } else if (byte >= 0xC0) {
      columns += 2;  // the lead byte of a glyph; continuation bytes add nothing
    }
  }
  return columns;
}

}  // namespace yut
