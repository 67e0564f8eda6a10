#pragma once
// What a terminal can do, as far as the console layer asks: the sequences it sends for
// whole-screen and whole-row operations, and which of the ECMA-48 cursor movements and
// erasures it may use. The defaults are those of xterm and its kin, which the Windows
// console's interpreter (vt_ops) understands too.

#include <string>

namespace yut {

struct TerminalCaps {
  std::string clear = "\x1b[H\x1b[2J";      // blank screen, cursor home; empty: none
  std::string erase_to_row_end = "\x1b[K";  // empty: none
  std::string hide_cursor = "\x1b[?25l";    // both empty where the cursor cannot be hidden
  std::string show_cursor = "\x1b[?25h";
  bool column_address = true;  // ESC [ n G
  bool row_address = true;     // ESC [ n d
  bool erase_chars = true;     // ESC [ n X
  bool relative_moves = true;  // ESC [ n A, B, C and D
  bool backspace = true;       // BS moves one column left
  bool cursor_report = true;   // ESC [ 6 n is answered with the cursor's position
  bool operator==(const TerminalCaps&) const = default;
};

}  // namespace yut
