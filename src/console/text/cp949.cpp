#include "console/text/cp949.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "console/text/cp949_table.h"

namespace yut {
namespace {

using cp949_detail::kKsCells;
using cp949_detail::kKsFirstByte;
using cp949_detail::kKsGrid;

constexpr unsigned char kFirstLead = 0x81;
constexpr unsigned char kLastLead = 0xFE;
constexpr char32_t kAsciiEnd = 0x80;
constexpr char32_t kDelete = 0x7F;
constexpr char32_t kFirstPrintable = 0x20;
constexpr char kReplacement = '?';

// Hangul syllables: KS X 1001 holds 2350 of them, in Unicode order, in rows 0xB0..0xC8;
// the extension holds the other 8822, also in Unicode order.
constexpr char32_t kFirstSyllable = 0xAC00;
constexpr char32_t kLastSyllable = 0xD7A3;
constexpr std::size_t kKsSyllableRow = 0xB0 - kKsFirstByte;
constexpr std::size_t kKsSyllables = 2350;
constexpr unsigned kExtensionSyllables = 8822;

// Extension layout: leads 0x81..0xA0 take all 178 trails; leads 0xA1..0xC6 take the 84
// trails below 0xA1 (the rest of their row is KS X 1001).
struct ByteRange {
  unsigned char first;
  unsigned char last;
};
constexpr std::array<ByteRange, 3> kExtensionTrails{{{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}}};
constexpr unsigned kWideTrails = 178;
constexpr unsigned kNarrowTrails = 84;
constexpr unsigned char kFirstNarrowLead = 0xA1;
constexpr unsigned kWideSyllables = (kFirstNarrowLead - kFirstLead) * kWideTrails;

std::span<const char16_t, kKsSyllables> ks_syllables() {
  return std::span<const char16_t, kKsSyllables>(kKsGrid.data() + kKsSyllableRow * kKsCells,
                                                 kKsSyllables);
}

// Position of an extension trail byte among all extension trails, -1 when it is none.
int extension_trail_index(unsigned char trail) {
  int index = 0;
  for (const ByteRange& range : kExtensionTrails) {
    if (trail >= range.first && trail <= range.last) return index + (trail - range.first);
    index += range.last - range.first + 1;
  }
  return -1;
}

unsigned char extension_trail_byte(unsigned index) {
  for (const ByteRange& range : kExtensionTrails) {
    const unsigned count = range.last - range.first + 1U;
    if (index < count) return static_cast<unsigned char>(range.first + index);
    index -= count;
  }
  return 0;
}

// The n-th (from 0) syllable that KS X 1001 lacks. ks[i] has ks[i] - U+AC00 - i such
// syllables below it; that count never decreases, so a binary search finds how many KS
// syllables come before the answer.
char32_t nth_extension_syllable(unsigned n) {
  const auto ks = ks_syllables();
  std::size_t low = 0;
  std::size_t high = ks.size();
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    if (ks[mid] - kFirstSyllable - mid <= n) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return kFirstSyllable + n + static_cast<char32_t>(low);
}

char32_t decode_extension(unsigned char lead, unsigned char trail) {
  const int trail_index = extension_trail_index(trail);
  if (trail_index < 0) return 0;
  const auto index = static_cast<unsigned>(trail_index);
  unsigned n = 0;
  if (lead < kFirstNarrowLead) {
    n = (lead - kFirstLead) * kWideTrails + index;
  } else if (index < kNarrowTrails) {
    n = kWideSyllables + (lead - kFirstNarrowLead) * kNarrowTrails + index;
  } else {
    return 0;
  }
  return n < kExtensionSyllables ? nth_extension_syllable(n) : 0;
}

std::uint16_t code_of(unsigned lead, unsigned trail) {
  return static_cast<std::uint16_t>(lead << 8U | trail);
}

std::uint16_t ks_code(std::size_t grid_index) {
  // Both bytes lie in 0xA1..0xFE: the grid has 94 x 94 cells.
  return code_of(static_cast<unsigned>(kKsFirstByte + grid_index / kKsCells),
                 static_cast<unsigned>(kKsFirstByte + grid_index % kKsCells));
}

std::uint16_t encode_syllable(char32_t ch) {
  const auto ks = ks_syllables();
  const auto found = std::lower_bound(ks.begin(), ks.end(), ch);
  const auto below = static_cast<std::size_t>(found - ks.begin());
  if (found != ks.end() && *found == ch) return ks_code(kKsSyllableRow * kKsCells + below);
  const auto n = static_cast<unsigned>(ch - kFirstSyllable - below);
  if (n < kWideSyllables) {
    return code_of(kFirstLead + n / kWideTrails, extension_trail_byte(n % kWideTrails));
  }
  const unsigned narrow = n - kWideSyllables;
  return code_of(kFirstNarrowLead + narrow / kNarrowTrails,
                 extension_trail_byte(narrow % kNarrowTrails));
}

struct ReverseEntry {
  char16_t ch;
  std::uint16_t code;
};

// The KS X 1001 characters other than syllables, sorted by character; built on first use.
const std::vector<ReverseEntry>& reverse_table() {
  static const std::vector<ReverseEntry> table = [] {
    std::vector<ReverseEntry> entries;
    for (std::size_t i = 0; i < kKsGrid.size(); ++i) {
      const char16_t ch = kKsGrid[i];
      if (ch != 0 && (ch < kFirstSyllable || ch > kLastSyllable)) {
        entries.push_back({ch, ks_code(i)});
      }
    }
    std::sort(entries.begin(), entries.end(),
              [](const ReverseEntry& a, const ReverseEntry& b) { return a.ch < b.ch; });
    return entries;
  }();
  return table;
}

// Decodes one UTF-8 character at text[pos], advancing pos; nullopt for a malformed,
// overlong, surrogate or out-of-range sequence.
std::optional<char32_t> next_utf8(std::string_view text, std::size_t& pos) {
  struct Form {
    unsigned char mask;
    unsigned char lead;
    int extra;
    char32_t min;
  };
  static constexpr std::array<Form, 4> kForms{{{0x80, 0x00, 0, 0},
                                               {0xE0, 0xC0, 1, 0x80},
                                               {0xF0, 0xE0, 2, 0x800},
                                               {0xF8, 0xF0, 3, 0x10000}}};
  const auto first = static_cast<unsigned char>(text[pos]);
  for (const Form& form : kForms) {
    if ((first & form.mask) != form.lead) continue;
    if (text.size() - pos <= static_cast<std::size_t>(form.extra)) return std::nullopt;
    char32_t ch = first & static_cast<unsigned char>(~form.mask);
    for (int i = 1; i <= form.extra; ++i) {
      const auto byte = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
      if ((byte & 0xC0U) != 0x80U) return std::nullopt;
      ch = ch << 6U | (byte & 0x3FU);
    }
    if (ch < form.min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return std::nullopt;
    pos += static_cast<std::size_t>(form.extra) + 1;
    return ch;
  }
  return std::nullopt;
}

void append_utf8(std::string& out, char32_t ch) {
  const auto put = [&out](unsigned value) { out.push_back(static_cast<char>(value)); };
  if (ch < 0x80) {
    put(ch);
  } else if (ch < 0x800) {
    put(0xC0U | ch >> 6U);
    put(0x80U | (ch & 0x3FU));
  } else if (ch < 0x10000) {
    put(0xE0U | ch >> 12U);
    put(0x80U | (ch >> 6U & 0x3FU));
    put(0x80U | (ch & 0x3FU));
  } else {
    put(0xF0U | ch >> 18U);
    put(0x80U | (ch >> 12U & 0x3FU));
    put(0x80U | (ch >> 6U & 0x3FU));
    put(0x80U | (ch & 0x3FU));
  }
}

}  // namespace

std::uint16_t cp949_encode(char32_t ch) {
  if (ch < kAsciiEnd) return static_cast<std::uint16_t>(ch);
  if (ch >= kFirstSyllable && ch <= kLastSyllable) return encode_syllable(ch);
  const auto& table = reverse_table();
  const auto found = std::lower_bound(table.begin(), table.end(), ch,
                                      [](const ReverseEntry& e, char32_t c) { return e.ch < c; });
  return found != table.end() && found->ch == ch ? found->code : 0;
}

char32_t cp949_decode(unsigned char lead, unsigned char trail) {
  if (!cp949_is_lead(lead)) return 0;
  if (lead >= kKsFirstByte && trail >= kKsFirstByte && trail <= kLastLead) {
    return kKsGrid[(lead - kKsFirstByte) * kKsCells + (trail - kKsFirstByte)];
  }
  return decode_extension(lead, trail);
}

bool cp949_is_lead(unsigned char byte) {
  return byte >= kFirstLead && byte <= kLastLead;
}

std::optional<std::string> utf8_to_cp949(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto ch = next_utf8(utf8, pos);
    if (!ch) return std::nullopt;
    if (*ch < kAsciiEnd) {
      out.push_back(static_cast<char>(*ch));
      continue;
    }
    const std::uint16_t code = cp949_encode(*ch);
    if (code == 0) return std::nullopt;
    out.push_back(static_cast<char>(code >> 8U));
    out.push_back(static_cast<char>(code & 0xFFU));
  }
  return out;
}

std::string cp949_to_utf8(std::string_view cp949) {
  std::string out;
  out.reserve(cp949.size() * 3 / 2);
  for (std::size_t pos = 0; pos < cp949.size(); ++pos) {
    const auto byte = static_cast<unsigned char>(cp949[pos]);
    if (byte < kAsciiEnd) {
      out.push_back(byte < kFirstPrintable || byte == kDelete ? kReplacement : cp949[pos]);
      continue;
    }
    const char32_t ch =
        pos + 1 < cp949.size() ? cp949_decode(byte, static_cast<unsigned char>(cp949[pos + 1])) : 0;
    if (ch == 0) {
      // Only the bad byte is replaced: the next one may start a valid character.
      out.push_back(kReplacement);
      continue;
    }
    append_utf8(out, ch);
    ++pos;
  }
  return out;
}

}  // namespace yut
