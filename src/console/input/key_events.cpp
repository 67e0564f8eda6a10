#include "console/input/key_events.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "console/text/cp949.h"
#include "console/text/utf8.h"

namespace yut {
namespace {

// Windows virtual-key codes of the keys that type no character.
constexpr unsigned kVkMenu = 0x12;  // Alt: its release carries an Alt+numpad character

struct ExtendedKey {
  unsigned virtual_key;
  std::string_view sequence;
};

// What an xterm sends for each key; the key decoder turns them into the PC console's
// two-code form (224 then 72 for the up arrow, 0 then 59 for F1).
constexpr std::array<ExtendedKey, 20> kExtendedKeys{{
    {0x26, "\x1b[A"},   {0x28, "\x1b[B"},   {0x27, "\x1b[C"},   {0x25, "\x1b[D"},
    {0x24, "\x1b[H"},   {0x23, "\x1b[F"},   {0x2D, "\x1b[2~"},  {0x2E, "\x1b[3~"},
    {0x21, "\x1b[5~"},  {0x22, "\x1b[6~"},  {0x70, "\x1bOP"},   {0x71, "\x1bOQ"},
    {0x72, "\x1bOR"},   {0x73, "\x1bOS"},   {0x74, "\x1b[15~"}, {0x75, "\x1b[17~"},
    {0x76, "\x1b[18~"}, {0x77, "\x1b[19~"}, {0x78, "\x1b[20~"}, {0x79, "\x1b[21~"},
}};

constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kLowSurrogateLast = 0xDFFF;
constexpr char32_t kSupplementaryBase = 0x10000;
constexpr char kUnknown = '?';

bool is_high_surrogate(char16_t u) {
  return u >= kHighSurrogateFirst && u < kLowSurrogateFirst;
}
bool is_low_surrogate(char16_t u) {
  return u >= kLowSurrogateFirst && u <= kLowSurrogateLast;
}

}  // namespace

void KeyEventTranslator::translate(const ConsoleKeyEvent& event, std::string& out) {
  // Alt+numpad composition delivers its character with the release of Alt.
  const bool alt_composed = !event.key_down && event.virtual_key == kVkMenu && event.ch != 0;
  if (!event.key_down && !alt_composed) return;
  const unsigned repeat = event.repeat == 0 ? 1 : event.repeat;
  if (event.ch == 0) {
    for (const ExtendedKey& key : kExtendedKeys) {
      if (key.virtual_key != event.virtual_key) continue;
      for (unsigned i = 0; i < repeat; ++i) out += key.sequence;
    }
    return;
  }
  if (is_high_surrogate(event.ch)) {
    high_surrogate_ = event.ch;
    return;
  }
  char32_t ch = event.ch;
  if (is_low_surrogate(event.ch)) {
    if (high_surrogate_ == 0) {
      ch = kUnknown;
    } else {
      ch = kSupplementaryBase +
           ((static_cast<char32_t>(high_surrogate_ - kHighSurrogateFirst) << 10U) |
            static_cast<char32_t>(event.ch - kLowSurrogateFirst));
    }
  }
  high_surrogate_ = 0;
  for (unsigned i = 0; i < repeat; ++i) append_char(ch, out);
}

void KeyEventTranslator::append_char(char32_t ch, std::string& out) const {
  if (encoding_ == Encoding::Utf8) {
    append_utf8(out, ch);
    return;
  }
  const std::uint16_t code = cp949_encode(ch);
  if (code == 0) {
    out += kUnknown;  // CP949 has no such character
  } else if (code < 0x80) {
    out += static_cast<char>(code);
  } else {
    out += static_cast<char>(code >> 8U);
    out += static_cast<char>(code & 0xFFU);
  }
}

}  // namespace yut
