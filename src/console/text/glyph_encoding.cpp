#include "console/text/glyph_encoding.h"

#include <cstdint>

#include "console/text/cp949.h"
#include "console/text/utf8.h"

namespace yut {

bool encode_glyph(char32_t ch, Encoding encoding, std::string& out) {
  if (ch < 0x80 || encoding == Encoding::Utf8) {
    append_utf8(out, ch);
    return true;
  }
  const std::uint16_t code = cp949_encode(ch);
  if (code == 0) return false;
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
  return true;
}

}  // namespace yut
