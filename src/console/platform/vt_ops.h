#pragma once
// Reads the VT sequences the renderer sends and turns them into console operations, for a
// console that is driven through calls (cursor placement, filling cells, writing text)
// rather than by escape sequences. Pure: the caller carries the state between refreshes.
//
// Understood: CSI row;col H (and f), CSI col G, CSI row d, CSI n A/B/C/D, CSI 2J and 3J,
// CSI n K, CSI n X, CSI ?25h and ?25l, CSI 6n, and the controls CR, LF and BS. Other
// sequences (SGR, OSC strings, two-byte escapes) are skipped.
//
// The console is expected not to wrap by itself (its wrap at the end of a row is off, so that
// writing the last cell of the last row does not scroll the screen): text that reaches the
// end of a row is followed by an explicit placement at the start of the next one. Only a
// line feed is left to the console, which scrolls when it is given one on its bottom row.
//
// Every glyph that the console draws two columns wide (Hangul and other East Asian wide
// glyphs, and every non-ASCII glyph when ambiguous_width is 2), whether it is sent as UTF-8
// or as CP949, is written on two blanked cells and followed by an explicit cursor placement,
// so the console's own idea of its width never shifts what follows (or padded, see
// VtOptions::wide_in_one_cell). Glyphs of ambiguous width on a console that draws them one
// column wide are written as they come: the renderer fills their second column itself.

#include <string>
#include <string_view>
#include <vector>

#include "console/platform.h"

namespace yut {

enum class ConsoleOpKind {
  MoveCursor,    // to (x, y)
  WriteText,     // text, encoded for the console, at the cursor
  EraseCells,    // count cells from (x, y) become blanks; the cursor stays
  ClearScreen,   // the whole screen buffer becomes blanks and the cursor goes to (0, 0)
  ShowCursor,    // visible says whether the cursor is shown
  ReportCursor,  // the console's cursor position is wanted as input (ESC [ row ; col R)
  LineFeed,      // from row y to the start of the next row; on the bottom row the console scrolls
};

struct ConsoleOp {
  ConsoleOpKind kind = ConsoleOpKind::MoveCursor;
  int x = 0;
  int y = 0;
  int count = 0;
  bool visible = false;
  std::string text;
  bool operator==(const ConsoleOp&) const = default;
};

inline ConsoleOp make_op(ConsoleOpKind kind, int x = 0, int y = 0, int count = 0) {
  ConsoleOp op;
  op.kind = kind;
  op.x = x;
  op.y = y;
  op.count = count;
  return op;
}
inline ConsoleOp move_op(int x, int y) {
  return make_op(ConsoleOpKind::MoveCursor, x, y);
}
inline ConsoleOp erase_op(int x, int y, int count) {
  return make_op(ConsoleOpKind::EraseCells, x, y, count);
}
inline ConsoleOp write_op(std::string_view text) {
  ConsoleOp op = make_op(ConsoleOpKind::WriteText);
  op.text = text;
  return op;
}
inline ConsoleOp show_cursor_op(bool visible) {
  ConsoleOp op = make_op(ConsoleOpKind::ShowCursor);
  op.visible = visible;
  return op;
}

struct VtOptions {
  Encoding encoding = Encoding::Utf8;
  int ambiguous_width = 1;  // what Platform::ambiguous_width reports for this console
  int cols = 80;            // console width: where text wraps and a row ends
  // The console keeps a Hangul syllable (or another wide glyph) in one cell although the
  // screen that shows it draws it two columns wide (wine's console in a terminal, a legacy
  // console). Each such glyph is then followed by a zero-width space in its second cell, so
  // that the cells and the columns on the screen stay in step. UTF-8 text only.
  bool wide_in_one_cell = false;
};

// Where the interpreter believes the console's cursor is, and the bytes of a sequence or
// glyph that the last refresh ended in the middle of.
struct VtState {
  int x = 0;
  int y = 0;
  std::string pending;
};

std::vector<ConsoleOp> interpret_vt(std::string_view bytes, const VtOptions& options,
                                    VtState& state);

}  // namespace yut
