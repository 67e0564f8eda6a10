#include "ranking/ranking_name.h"

#include <algorithm>

#include "console/text/cp949.h"

namespace yut {
namespace {

bool control_byte(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::optional<std::string> name_for_file(std::string_view utf8_word) {
  const auto is_control = [](char c) { return control_byte(static_cast<unsigned char>(c)); };
  if (std::any_of(utf8_word.begin(), utf8_word.end(), is_control)) return std::nullopt;
  std::optional<std::string> name = utf8_to_cp949(utf8_word);
  if (!name) return std::nullopt;
  // Cut at the last character boundary within the field.
  std::size_t end = 0;
  while (end < name->size()) {
    const std::size_t length = cp949_is_lead(static_cast<unsigned char>((*name)[end])) ? 2 : 1;
    if (end + length > kMaxNameBytes) break;
    end += length;
  }
  name->resize(end);
  return name;
}

void store_name(RankingEntry& entry, std::string_view cp949_name) {
  const std::size_t n = std::min(cp949_name.size(), kMaxNameBytes);
  std::copy_n(cp949_name.begin(), n, entry.name.begin());
  entry.name[n] = '\0';
}

std::string name_for_screen(const RankingEntry& entry) {
  const auto zero = std::find(entry.name.begin(), entry.name.end(), '\0');
  return cp949_to_utf8(
      std::string_view(entry.name.data(), static_cast<std::size_t>(zero - entry.name.begin())));
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
