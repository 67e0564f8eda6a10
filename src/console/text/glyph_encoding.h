#pragma once
// One glyph in the bytes of the terminal's encoding.

#include <string>

#include "console/platform.h"

namespace yut {

// Appends the glyph as the terminal's encoding has it. Returns false (and appends nothing)
// when the encoding has no such glyph.
bool encode_glyph(char32_t ch, Encoding encoding, std::string& out);

}  // namespace yut
