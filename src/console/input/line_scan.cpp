#include "console/input/line_scan.h"

#include <limits>

namespace yut {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::optional<int> scan_int(std::string_view text, std::size_t& pos) {
  std::size_t at = pos;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  const std::size_t digits_start = at;
  long long value = 0;
  bool too_large = false;
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    if (!too_large) {
      value = value * 10 + (text[at] - '0');
      too_large = value > kLimit;
    }
    ++at;
  }
  if (at == digits_start) return std::nullopt;  // no digit: nothing is consumed
  pos = at;
  if (negative) value = -value;
  if (too_large || value > std::numeric_limits<int>::max() ||
      value < std::numeric_limits<int>::min()) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

std::string scan_word(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && !is_blank(text[pos])) ++pos;
  return std::string(text.substr(start, pos - start));
}

}  // namespace yut
