#pragma once
// Brings a terminal up to date from the screen model. It keeps a picture of what each
// terminal column shows and sends only the columns that differ, reaching each one by the
// cheapest way the terminal has (sending the unchanged cells before it again, CR, CR LF,
// BS, a relative or an absolute cursor movement), and blanking runs with ECH or EL where
// that is shorter. What the terminal has is in TerminalTraits::caps, from its description.
//
// Glyphs that a terminal may draw one or two columns wide (box drawing, "○", "▶", circled
// letters) take two columns in the model. Where the terminal draws them one column wide,
// the second column gets a filler of its own: "━" after a line that runs on to the right, a
// blank after others. When the terminal's width for them was measured, the renderer knows
// where such a glyph leaves the cursor, and an apostrophe that follows one drawn one column
// wide (as in "②'") takes the blank filler's place. When it was not, the bytes land in
// the same columns either way: a glyph goes alone where its filler already shows (a blank
// filler is sent first), a heavy line goes in chunks whose spill the next chunk covers, and
// the cursor is placed again after each such glyph, so the terminal's choice never shifts
// a column.

#include <span>
#include <string>
#include <vector>

#include "console/platform.h"
#include "console/screen/screen.h"

namespace yut {

struct TerminalTraits {
  Encoding encoding = Encoding::Utf8;
  int ambiguous_width = 1;      // columns the terminal gives box drawing, "○", "▶" and the like
  bool width_measured = false;  // ambiguous_width was measured on this terminal
  TerminalCaps caps;            // what it understands; nothing else is sent
  bool operator==(const TerminalTraits&) const = default;
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
  void picture_row(const Screen& screen, int y);
  void render_rows();
  void render_row(int y);
  int blank_run(int x, int y);
  int blank_filler(int x, int y, std::vector<int>& deferred);
  void send_unit(int x, int y);
  int line_run(int x, int y) const;
  int send_line_run(int x, int y, int units);
  void advance(int columns);
  void record(int x, int y, int width);
  void record_blanks(int x, int y, int count);
  void move_cursor(int x, int y);
  std::string move_bytes(int x, int y) const;
  bool resend(int from, int to, int y, std::string& out) const;
  bool horizontal(int from, int to, int y, std::string& out) const;
  std::string vertical(int from, int y) const;
  int unit_start(int x, int y) const;
  int next_change(int x, int y) const;
  int move_cost(int from_x, int from_y, int x, int y) const;

  size_t index(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(cols_) + static_cast<size_t>(x);
  }

  int cols_;
  int rows_;
  // Per terminal column: the glyph that starts there, kRightHalf for the second column of a
  // two-column glyph, or kUnknown. Fillers are glyphs of their own column where the
  // terminal draws the glyph before them one column wide and its width was measured.
  std::vector<char32_t> shown_;   // what the terminal shows
  std::vector<char32_t> wanted_;  // what it should show
  // Per column of wanted_: how many columns the bytes sent from there cover (0 inside).
  std::vector<unsigned char> unit_;
  bool repaint_all_ = true;
  bool cursor_known_ = false;  // the terminal's cursor is at (cursor_x_, cursor_y_)
  bool row_known_ = false;     // at least its row is cursor_y_
  int cursor_x_ = 0;
  int cursor_y_ = 0;
  int cursor_visible_ = -1;  // -1 unknown, 0 hidden, 1 shown
  TerminalTraits traits_;
  std::string* out_ = nullptr;
};

}  // namespace yut
