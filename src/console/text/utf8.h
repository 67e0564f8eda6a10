#pragma once
// UTF-8 decoding and encoding of single code points.

#include <cstddef>
#include <string>
#include <string_view>

namespace yut {

inline constexpr char32_t kBadUtf8 = U'?';  // stands for a byte that starts no valid sequence

// Decodes the code point that starts at text[pos] and advances pos past it. A malformed
// sequence yields kBadUtf8 and advances by one byte.
char32_t decode_utf8(std::string_view text, std::size_t& pos);

// Number of bytes of the sequence that starts with this lead byte (1..4), 0 if none.
int utf8_sequence_length(unsigned char lead);

void append_utf8(std::string& out, char32_t ch);

}  // namespace yut
