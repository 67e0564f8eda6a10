#pragma once
// Brings a terminal up to date from the screen model. It keeps a copy of what the terminal
// shows and sends only the cells that differ, with explicit cursor placement. Glyphs that a
// terminal may draw one or two columns wide are followed by explicit placement, so the
// terminal's choice never shifts a column; where it draws them one column wide, the second
// column is filled ("━" after a line that runs on to the right, a blank after others).

#include <span>
#include <string>
#include <vector>

#include "console/platform.h"
#include "console/screen/screen.h"

namespace yut {

struct TerminalTraits {
  Encoding encoding = Encoding::Utf8;
  int ambiguous_width = 1;  // columns the terminal gives box drawing, "○", "▶" and the like
};

class Renderer {
 public:
  Renderer(int cols, int rows);

  // What the terminal shows is unknown (start, resize, resume): the next render clears the
  // terminal and paints everything.
  void invalidate() { repaint_all_ = true; }

  // Appends to out the bytes that make the terminal show `screen` (nothing when it already
  // does). The screen must have the renderer's size.
  void render(const Screen& screen, const TerminalTraits& traits, std::string& out);

 private:
  void render_row(const Screen& screen, int y);
  void erase_run(int x, int y, int count, bool to_end_of_row);
  void draw_glyph(int x, int y, char32_t ch);
  void place_cursor(const Screen& screen, int x, int y);
  std::span<Cell> shown_row(int y);

  int cols_;
  int rows_;
  std::vector<Cell> shown_;  // what the terminal shows, in the column model
  bool repaint_all_ = true;
  bool cursor_known_ = false;  // the terminal's cursor is at (cursor_x_, cursor_y_)
  bool row_known_ = false;     // at least its row is cursor_y_
  int cursor_x_ = 0;
  int cursor_y_ = 0;
  int cursor_visible_ = -1;  // -1 unknown, 0 hidden, 1 shown
  TerminalTraits traits_;
  std::string* out_ = nullptr;
};

// Appends the glyph as the terminal's encoding has it. Returns false (and appends nothing)
// when the encoding has no such glyph.
bool encode_glyph(char32_t ch, Encoding encoding, std::string& out);

}  // namespace yut
