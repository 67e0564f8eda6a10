#pragma once
// Turns the key events of a console API (such as Windows' ReadConsoleInputW) into the
// bytes a terminal would send for them, so the same key decoder reads both: characters in
// the console's encoding, and the arrows and other extended keys as VT sequences.

#include <string>

#include "console/platform.h"

namespace yut {

// One key event, reduced to what the translation needs.
struct ConsoleKeyEvent {
  bool key_down = true;
  unsigned virtual_key = 0;  // the Windows virtual-key code
  char16_t ch = 0;           // the UTF-16 unit the key typed, 0 for none
  unsigned repeat = 1;       // how many times the key repeated
};

class KeyEventTranslator {
 public:
  explicit KeyEventTranslator(Encoding encoding) : encoding_(encoding) {}

  // Appends the bytes for the event (nothing for key releases and keys that type nothing).
  void translate(const ConsoleKeyEvent& event, std::string& out);

 private:
  void append_char(char32_t ch, std::string& out) const;

  Encoding encoding_;
  char16_t high_surrogate_ = 0;  // the first half of a character outside the BMP
};

}  // namespace yut
