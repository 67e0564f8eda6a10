#pragma once
// CP949 (Unified Hangul Code, Windows code page 949) <-> Unicode. CP949 is KS X 1001 in
// the EUC-KR area (both bytes 0xA1..0xFE) plus the 8822 Hangul syllables KS X 1001 lacks,
// in leads 0x81..0xC6 with trails 0x41..0x5A, 0x61..0x7A and 0x81..0xFE.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace yut {

// CP949 code of a Unicode character: 0x00..0x7F for ASCII, 0x8141..0xFEFE for a
// double-byte character, 0 when CP949 has none.
std::uint16_t cp949_encode(char32_t ch);

// The character of a double-byte code, 0 when (lead, trail) is not a valid CP949 pair.
char32_t cp949_decode(unsigned char lead, unsigned char trail);

// Whether a byte starts a double-byte character: 0x81..0xFE.
bool cp949_is_lead(unsigned char byte);

// Whole strings. utf8_to_cp949 gives nullopt when a character has no CP949 code or the
// input is not valid UTF-8.
std::optional<std::string> utf8_to_cp949(std::string_view utf8);

// CP949 bytes to UTF-8; every byte or pair that is not valid CP949, and every control
// character (below 0x20, and 0x7F), becomes "?" so nothing raw reaches a terminal.
std::string cp949_to_utf8(std::string_view cp949);

}  // namespace yut
