#include "console/screen/renderer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <tuple>

#include "console/text/cp949.h"
#include "console/text/glyph_encoding.h"
#include "console/text/glyph_width.h"
#include "console/text/utf8.h"

namespace yut {
namespace {

// The second column of a glyph the terminal draws two columns wide.
constexpr char32_t kRightHalf = 0;
// A column whose content on the terminal is not known (writing over half of a two-column
// glyph leaves its other half to the terminal's taste).
constexpr char32_t kUnknown = 0x110000;
// The "━" that fills the second column of a glyph whose line runs on to the right, where
// the terminal draws that glyph one column wide. Kept apart from a "━" glyph of its own:
// only a filler column is the second half of the glyph before it.
constexpr char32_t kRunFiller = 0x110001;
// Heavy lines of fewer units go unit by unit.
constexpr int kShortestLineRun = 3;
// No cursor movement is longer than this; sending unchanged cells again stops there.
constexpr std::size_t kLongestMove = 10;

// ESC [ n final; n is left out where it is 1, the default of every sequence used here.
void append_csi(std::string& out, int n, char final_byte) {
  out += "\x1b[";
  if (n != 1) out += std::to_string(n);
  out += final_byte;
}

// Width 1 or 2 depends on the terminal.
bool is_ambiguous(char32_t ch) {
  return ch >= 0x80 && !is_east_asian_wide(ch);
}

void append_glyph(std::string& out, char32_t ch, Encoding encoding) {
  if (ch == kRunFiller) ch = U'━';
  if (ch < 0x80) {
    out += static_cast<char>(ch);
  } else {
    encode_glyph(ch, encoding, out);
  }
}

}  // namespace

Renderer::Renderer(int cols, int rows)
    : cols_(cols),
      rows_(rows),
      shown_(static_cast<size_t>(cols) * static_cast<size_t>(rows), U' '),
      wanted_(shown_.size(), U' '),
      unit_(shown_.size(), 1) {}

void Renderer::render(const Screen& screen, const TerminalTraits& traits, std::string& out) {
  out_ = &out;
  if (!(traits == traits_)) repaint_all_ = true;
  traits_ = traits;
  const TerminalCaps& caps = traits_.caps;
  if (repaint_all_) {
    // A terminal that cannot clear gets every column painted.
    out += caps.clear;
    std::fill(shown_.begin(), shown_.end(), caps.clear.empty() ? kUnknown : U' ');
    cursor_known_ = !caps.clear.empty();
    row_known_ = cursor_known_;
    cursor_x_ = 0;
    cursor_y_ = 0;
    cursor_visible_ = -1;
    repaint_all_ = false;
  }
  if (!screen.cursor_visible() && cursor_visible_ != 0) {
    out += caps.hide_cursor;  // nothing where the cursor cannot be hidden
    cursor_visible_ = 0;
  }
  for (int y = 0; y < rows_; ++y) picture_row(screen, y);
  render_rows();
  // The terminal's cursor ends where the model's stands, shown or hidden: an input method
  // shows the text being composed (a Hangul name) at the terminal's cursor, and the cursor
  // tells whoever watches the terminal that the screen is complete.
  const int y = std::min(screen.cursor_y(), rows_ - 1);
  const int x = screen.cursor_y() < rows_ ? screen.cursor_x() : 0;
  move_cursor(x, y);
  if (screen.cursor_visible() && cursor_visible_ != 1) {
    out += caps.show_cursor;
    cursor_visible_ = 1;
  }
  out_ = nullptr;
}

// Sends the rows that differ top to bottom, or from the cursor's row down and then round
// from the top, whichever is shorter: a change above the last one (a marker moving up) then
// costs no jump back down.
void Renderer::render_rows() {
  const auto send_rows = [this](int first) {
    for (int i = 0; i < rows_; ++i) {
      const int y = (first + i) % rows_;
      const auto begin = index(0, y);
      const auto end = begin + static_cast<size_t>(cols_);
      if (!std::equal(wanted_.begin() + begin, wanted_.begin() + end, shown_.begin() + begin)) {
        render_row(y);
      }
    }
  };
  const int cursor_row = row_known_ ? cursor_y_ : 0;
  if (cursor_row == 0 || wanted_ == shown_) {
    send_rows(0);
    return;
  }
  std::string& out = *out_;
  const size_t start = out.size();
  const std::vector<char32_t> shown_before = shown_;
  const auto cursor_before = std::make_tuple(cursor_known_, row_known_, cursor_x_, cursor_y_);
  send_rows(0);
  const std::string top_down = out.substr(start);
  std::vector<char32_t> shown_top_down = shown_;
  const auto cursor_top_down = std::make_tuple(cursor_known_, row_known_, cursor_x_, cursor_y_);
  out.resize(start);
  shown_ = shown_before;
  std::tie(cursor_known_, row_known_, cursor_x_, cursor_y_) = cursor_before;
  send_rows(cursor_row);
  if (out.size() - start > top_down.size()) {
    out.resize(start);
    out += top_down;
    shown_ = std::move(shown_top_down);
    std::tie(cursor_known_, row_known_, cursor_x_, cursor_y_) = cursor_top_down;
  }
}

// What the terminal should show on row y, and how the bytes for it are cut into units.
void Renderer::picture_row(const Screen& screen, int y) {
  const auto model = screen.row(y);
  char32_t* want = &wanted_[index(0, y)];
  unsigned char* unit = &unit_[index(0, y)];
  std::fill(want, want + cols_, U' ');
  std::fill(unit, unit + cols_, 1);
  for (int x = 0; x < cols_; ++x) {
    const char32_t ch = model[static_cast<size_t>(x)].ch;
    if (ch == 0 || ch < 0x80 || x + 1 >= cols_) {
      if (ch != 0) want[x] = ch < 0x80 ? ch : U' ';
      continue;
    }
    // A glyph of two model columns.
    ++x;
    if (traits_.encoding == Encoding::Cp949 && cp949_encode(ch) == 0) {
      want[x - 1] = U'?';  // the terminal's encoding has no such glyph
      continue;
    }
    want[x - 1] = ch;
    if (!is_ambiguous(ch) || traits_.ambiguous_width == 2) {
      want[x] = kRightHalf;
      unit[x - 1] = 2;
      unit[x] = 0;
      continue;
    }
    // Drawn one column wide: the second column gets a filler that keeps a frame unbroken.
    // Near the right edge a blank: a line ends there anyway, and a "━" there could spill
    // past the edge on a terminal of unknown width (see send_unit).
    want[x] = runs_right(ch) && x + 2 < cols_ ? kRunFiller : U' ';
    if (!traits_.width_measured) {  // sent together with its glyph
      unit[x - 1] = 2;
      unit[x] = 0;
      continue;
    }
    // An apostrophe that follows (the stacks "②'" and "⑵'") stands beside its glyph, the
    // blank after it: one mark over the same columns.
    if (want[x] == U' ' && x + 1 < cols_ && model[static_cast<size_t>(x) + 1].ch == U'\'') {
      want[x] = U'\'';
      ++x;
    }
  }
}

void Renderer::render_row(int y) {
  const char32_t* want = &wanted_[index(0, y)];
  const char32_t* shown = &shown_[index(0, y)];
  // Glyphs of unmeasured width whose blank filler is still to be sent: both columns are
  // blanked as the row goes by (where the cursor's place stays known), the glyphs follow.
  std::vector<int> deferred;
  int x = 0;
  while (x < cols_) {
    if (want[x] == shown[x]) {
      ++x;
      continue;
    }
    const int start = unit_start(x, y);
    if (want[start] == U' ' && unit_[index(start, y)] == 1) {
      x = blank_run(start, y);
      continue;
    }
    if (const int units = line_run(start, y); units >= kShortestLineRun) {
      x = send_line_run(start, y, units);
      continue;
    }
    const size_t at = index(start, y);
    if (!traits_.width_measured && unit_[at] == 2 && wanted_[at + 1] == U' ' &&
        shown_[at + 1] != U' ') {
      x = blank_filler(start, y, deferred);
      continue;
    }
    send_unit(start, y);
    x = start + unit_[index(start, y)];
  }
  for (const int glyph : deferred) send_unit(glyph, y);
}

// The units of a heavy line that starts at (x, y) and is to be sent, where the width is not
// measured: a glyph whose line runs on to the right, then "━" glyphs, each with its "━"
// filler. 0 where there is none.
int Renderer::line_run(int x, int y) const {
  if (traits_.width_measured) return 0;
  int units = 0;
  for (; x + 1 < cols_; x += 2, ++units) {
    const size_t at = index(x, y);
    const bool line = units == 0 ? runs_right(wanted_[at]) : wanted_[at] == U'━';
    const bool changed = wanted_[at] != shown_[at] || wanted_[at + 1] != shown_[at + 1];
    if (!line || unit_[at] != 2 || wanted_[at + 1] != kRunFiller || !changed) break;
  }
  return units;
}

// Sends a heavy line of `units` units from (x, y) in the same bytes for a terminal that
// draws "━" one column wide and one that draws it two wide. In chunks from left to right:
// for a chunk of n units at column c, n "━" from c + n (the right half of the chunk where
// "━" is one column wide; where it is two, from c + n to c + 3n), then the chunk's first
// glyph and n - 1 "━" from c (the left half, or the whole chunk). On a two-column terminal
// the first part spills n columns past the chunk: the next chunk, twice as large at most,
// covers that again, and after the last one the spilled columns are unknown. The last
// chunk spills no further than the row's end; the others double leftwards. Returns the
// column after the line.
int Renderer::send_line_run(int x, int y, int units) {
  const int end = x + 2 * units;
  std::vector<int> sizes;  // right to left
  for (int cap = cols_ - end, remaining = units; remaining > 0;) {
    const int n = std::min(remaining, cap);
    if (n <= 0) {  // the line reaches the row's end: unit by unit
      for (int at = x; at < end; at += 2) send_unit(at, y);
      return end;
    }
    sizes.push_back(n);
    remaining -= n;
    cap = 2 * n;  // which also keeps c + 3n within the row, as the last chunk is
  }
  int chunk = x;
  for (auto n = sizes.rbegin(); n != sizes.rend(); ++n) {
    move_cursor(chunk + *n, y);
    for (int i = 0; i < *n; ++i) append_glyph(*out_, kRunFiller, traits_.encoding);
    cursor_known_ = false;
    move_cursor(chunk, y);
    append_glyph(*out_, wanted_[index(chunk, y)], traits_.encoding);
    for (int i = 1; i < *n; ++i) append_glyph(*out_, kRunFiller, traits_.encoding);
    cursor_known_ = false;
    chunk += 2 * *n;
  }
  for (int at = x; at < end; at += 2) record(at, y, 2);
  const int spilled = std::min(cols_, end + sizes.front() + 1);
  for (int at = end; at < spilled; ++at) shown_[index(at, y)] = kUnknown;
  return end;
}

// Blanks the two columns of the glyph of unmeasured width at (x, y), whose blank filler is
// still to be sent, and returns the column after what it blanked. Where blanks to be sent
// follow, the glyph's columns and theirs are erased at once (ECH, or EL to the row's end)
// and the glyph goes at once; otherwise two blanks go as the row goes by and the glyph
// waits in `deferred` for the end of the row.
int Renderer::blank_filler(int x, int y, std::vector<int>& deferred) {
  const TerminalCaps& caps = traits_.caps;
  int end = x + 2;
  int last = -1;  // the last column after the glyph that is to be blanked
  while (end < cols_ && wanted_[index(end, y)] == U' ' && unit_[index(end, y)] == 1) {
    if (shown_[index(end, y)] != U' ') last = end;
    ++end;
  }
  const bool to_row_end = end == cols_ && !caps.erase_to_row_end.empty();
  move_cursor(x, y);
  if (last < 0 || (!to_row_end && !caps.erase_chars)) {
    *out_ += "  ";
    record_blanks(x, y, 2);
    advance(2);
    deferred.push_back(x);
    return x + 2;
  }
  const int erased_end = to_row_end ? cols_ : last + 1;
  if (to_row_end) {
    *out_ += caps.erase_to_row_end;
  } else {
    append_csi(*out_, erased_end - x, 'X');
  }
  record_blanks(x, y, erased_end - x);
  send_unit(x, y);
  return erased_end;
}

// Blanks the changed columns of the run of wanted blanks that starts at x, with blanks, ECH
// or EL, whichever costs least together with the move to the next change. Returns the
// column after the last one it blanked.
int Renderer::blank_run(int x, int y) {
  const char32_t* want = &wanted_[index(0, y)];
  const char32_t* shown = &shown_[index(0, y)];
  int end = x;
  int last = x;
  while (end < cols_ && want[end] == U' ' && unit_[index(end, y)] == 1) {
    if (shown[end] != U' ') last = end;
    ++end;
  }
  const int count = last - x + 1;
  move_cursor(x, y);
  const int next = next_change(last + 1, y);
  const auto cost_from = [&](int from_x) {
    if (next < 0) return 0;
    if (from_x >= cols_) return static_cast<int>(kLongestMove);  // a pending wrap: CUP
    return move_cost(from_x, y, next % cols_, next / cols_);
  };
  // EL where the run reaches the row's end, else ECH, where the terminal has them.
  std::string erase;
  int erased_end = x + count;
  if (end == cols_ && !traits_.caps.erase_to_row_end.empty()) {
    erase = traits_.caps.erase_to_row_end;
    erased_end = cols_;
  } else if (traits_.caps.erase_chars) {
    append_csi(erase, count, 'X');
  }
  const int erase_cost = static_cast<int>(erase.size()) + cost_from(x);
  const int blanks_cost = count + cost_from(x + count);
  if (erase.empty() || blanks_cost <= erase_cost) {
    for (int i = x; i < x + count; ++i) {
      *out_ += ' ';
      record(i, y, 1);
    }
    advance(count);
    return x + count;
  }
  *out_ += erase;
  for (int i = x; i < erased_end; ++i) record(i, y, 1);
  return erased_end;
}

// Sends the unit at (x, y), moving the cursor there first.
void Renderer::send_unit(int x, int y) {
  const size_t at = index(x, y);
  const char32_t ch = wanted_[at];
  const int width = unit_[at];
  // A glyph of unmeasured width with its filler. A terminal that draws the glyph one column
  // wide shows the filler beside it, one that draws it two wide covers the filler with it;
  // so where the filler already shows (a blank one always does by now, see blank_filler),
  // the glyph goes alone.
  const bool has_filler = width == 2 && wanted_[at + 1] != kRightHalf;
  move_cursor(x, y);
  append_glyph(*out_, ch, traits_.encoding);
  // A "━" follows its glyph (the line's next glyph comes after it anyway). Where both are
  // drawn two columns wide it lands on the two columns after the unit: those are unknown.
  const bool run_filler = has_filler && shown_[at + 1] != wanted_[at + 1];
  if (run_filler) append_glyph(*out_, wanted_[at + 1], traits_.encoding);
  record(x, y, width);
  for (int after = x + 2; run_filler && after < std::min(x + 4, cols_); ++after) {
    shown_[index(after, y)] = kUnknown;
  }
  advance(width);
  // Where the width was not measured, the terminal may have drawn the glyph either way.
  if (!traits_.width_measured && is_ambiguous(ch)) cursor_known_ = false;
}

// The cursor went `columns` to the right by sending text.
void Renderer::advance(int columns) {
  cursor_x_ += columns;
  if (cursor_x_ >= cols_) cursor_known_ = row_known_ = false;  // a pending wrap
}

// Notes that columns x..x+count-1 of row y now show blanks.
void Renderer::record_blanks(int x, int y, int count) {
  char32_t* shown = &shown_[index(0, y)];
  if (x > 0 && shown[x] == kRightHalf) shown[x - 1] = kUnknown;
  if (x + count < cols_ && shown[x + count] == kRightHalf) shown[x + count] = kUnknown;
  std::fill_n(shown + x, count, U' ');
}

// Notes that columns x..x+width-1 of row y now show what they should. A terminal that
// loses half of a two-column glyph may blank or keep the other half: that one is unknown.
void Renderer::record(int x, int y, int width) {
  char32_t* shown = &shown_[index(0, y)];
  if (x > 0 && shown[x] == kRightHalf) shown[x - 1] = kUnknown;
  if (x + width < cols_ && shown[x + width] == kRightHalf) shown[x + width] = kUnknown;
  std::copy_n(&wanted_[index(x, y)], width, shown + x);
}

int Renderer::unit_start(int x, int y) const {
  while (x > 0 && unit_[index(x, y)] == 0) --x;
  return x;
}

// The first column at or after (x, y), in reading order, that does not show what it
// should, as y * cols + x; -1 if there is none.
int Renderer::next_change(int x, int y) const {
  for (size_t i = index(x, y); i < shown_.size(); ++i) {  // x == cols_ is the next row's start
    if (wanted_[i] != shown_[i]) {
      const int row = static_cast<int>(i) / cols_;
      return row * cols_ + unit_start(static_cast<int>(i) % cols_, row);
    }
  }
  return -1;
}

// Appends the bytes that send the cells from column `from` up to `to` of row y again,
// which the terminal already shows; false where that cannot be done safely or cheaply.
bool Renderer::resend(int from, int to, int y, std::string& out) const {
  const size_t limit = out.size() + kLongestMove;
  int x = from;
  while (x < to) {
    const size_t at = index(x, y);
    const int width = unit_[at];
    const char32_t ch = wanted_[at];
    if (width == 0 || x + width > to || ch == kUnknown) return false;
    if (!traits_.width_measured && is_ambiguous(ch)) return false;
    if (!std::equal(&wanted_[at], &wanted_[at] + width, &shown_[at])) return false;
    append_glyph(out, ch, traits_.encoding);
    if (out.size() > limit) return false;
    x += width;
  }
  return true;
}

// The shortest bytes that take the cursor from column `from` (-1: unknown) to `to` on
// row y; false (and nothing appended) where the terminal has no way but a full placement.
bool Renderer::horizontal(int from, int to, int y, std::string& out) const {
  if (from == to) return true;
  const TerminalCaps& caps = traits_.caps;
  std::optional<std::string> best;
  const auto consider = [&best](std::string&& candidate) {
    if (!best || candidate.size() < best->size()) best = std::move(candidate);
  };
  const auto csi = [](int n, char final_byte, std::string prefix = {}) {
    append_csi(prefix, n, final_byte);
    return prefix;
  };
  if (caps.column_address) consider(csi(to + 1, 'G'));
  if (to == 0) consider("\r");
  if (from >= 0 && to > from) {
    if (caps.relative_moves) consider(csi(to - from, 'C'));
    if (std::string again; resend(from, to, y, again)) consider(std::move(again));
  }
  if (from > to) {
    if (caps.backspace) consider(std::string(static_cast<size_t>(from - to), '\b'));
    if (caps.relative_moves) consider(csi(from - to, 'D'));
  }
  if (to > 0) {
    if (std::string again = "\r"; resend(0, to, y, again)) consider(std::move(again));
    if (caps.relative_moves) consider(csi(to, 'C', "\r"));
  }
  if (!best) return false;
  out += *best;
  return true;
}

// The shortest bytes that take the cursor from row `from` to row y in its column; empty
// where the terminal has no such move.
std::string Renderer::vertical(int from, int y) const {
  std::string best;
  if (from == y) return best;
  if (traits_.caps.row_address) append_csi(best, y + 1, 'd');
  if (traits_.caps.relative_moves) {
    std::string step;
    append_csi(step, std::abs(y - from), y > from ? 'B' : 'A');
    if (best.empty() || step.size() < best.size()) best = std::move(step);
  }
  return best;
}

// Bytes of the move from a known (from_x, from_y) to (x, y).
int Renderer::move_cost(int from_x, int from_y, int x, int y) const {
  if (x == 0 && y == from_y + 1) return 2;  // CR LF
  std::string moves = vertical(from_y, y);
  if (from_y != y && moves.empty()) return static_cast<int>(kLongestMove);
  if (!horizontal(from_x, x, y, moves)) return static_cast<int>(kLongestMove);
  return static_cast<int>(std::min(moves.size(), kLongestMove));
}

void Renderer::move_cursor(int x, int y) {
  *out_ += move_bytes(x, y);
  cursor_known_ = true;
  row_known_ = true;
  cursor_x_ = x;
  cursor_y_ = y;
}

// The shortest bytes that take the cursor from where it is to (x, y).
std::string Renderer::move_bytes(int x, int y) const {
  if (cursor_known_ && cursor_x_ == x && cursor_y_ == y) return {};
  std::string best = "\x1b[";
  if (x != 0 || y != 0) best += std::to_string(y + 1);
  if (x != 0) {
    best += ';';
    best += std::to_string(x + 1);
  }
  best += 'H';
  if (row_known_) {
    // To the start of the next row: CR LF, which cannot scroll above the last row.
    if (x == 0 && y == cursor_y_ + 1) best = "\r\n";
    std::string relative = vertical(cursor_y_, y);
    if ((cursor_y_ == y || !relative.empty()) &&
        horizontal(cursor_known_ ? cursor_x_ : -1, x, y, relative) &&
        relative.size() < best.size()) {
      best = relative;
    }
  }
  return best;
}

}  // namespace yut
