#include "console/text/glyph_width.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace yut {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// East Asian Wide and Fullwidth blocks, in ascending order.
constexpr std::array<Range, 14> kWideRanges{{
    {0x1100, 0x115F},    // Hangul Jamo, leading consonants
    {0x2E80, 0x303E},    // CJK radicals, ideographic description, CJK symbols and punctuation
    {0x3041, 0x33FF},    // Kana, Bopomofo, Hangul compatibility Jamo, enclosed CJK, CJK compat
    {0x3400, 0x4DBF},    // CJK extension A
    {0x4E00, 0x9FFF},    // CJK unified ideographs
    {0xA000, 0xA4CF},    // Yi
    {0xA960, 0xA97F},    // Hangul Jamo extended A
    {0xAC00, 0xD7A3},    // Hangul syllables
    {0xF900, 0xFAFF},    // CJK compatibility ideographs
    {0xFE30, 0xFE4F},    // CJK compatibility forms
    {0xFF00, 0xFF60},    // full-width forms
    {0xFFE0, 0xFFE6},    // full-width signs
    {0x1F300, 0x1F64F},  // pictographs and emoticons
    {0x20000, 0x3FFFD},  // CJK planes
}};

}  // namespace

bool is_east_asian_wide(char32_t ch) {
  const auto* it = std::lower_bound(std::begin(kWideRanges), std::end(kWideRanges), ch,
                                    [](const Range& r, char32_t c) { return r.last < c; });
  return it != std::end(kWideRanges) && it->first <= ch;
}

bool runs_right(char32_t ch) {
  switch (ch) {
    case U'━':
    case U'┏':
    case U'┣':
    case U'┳':
    case U'┗':
    case U'┻':
      return true;
    default:
      return false;
  }
}

}  // namespace yut
