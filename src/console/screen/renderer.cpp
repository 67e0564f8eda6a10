#include "console/screen/renderer.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "console/text/cp949.h"
#include "console/text/glyph_width.h"
#include "console/text/utf8.h"

namespace yut {
namespace {

constexpr std::string_view kClearAll = "\x1b[H\x1b[2J";
constexpr std::string_view kEraseToEndOfRow = "\x1b[K";
constexpr std::string_view kShowCursor = "\x1b[?25h";
constexpr std::string_view kHideCursor = "\x1b[?25l";
// A run of this many blanks is erased with ECH rather than sent as blanks.
constexpr int kEraseRunMin = 8;
// A gap of at most this many unchanged ASCII cells is sent again rather than jumped over.
constexpr int kResendGapMax = 3;

void append_number(std::string& out, int n) {
  out += std::to_string(n);
}

// Marks a cell whose content on the terminal is not known.
constexpr char32_t kUnknownCell = 0x110000;

// Records a glyph written at column x. A terminal that draws the neighbouring glyph two
// columns wide blanks it whole, one that draws it one column wide (with a filler) does
// not: such a neighbour is marked unknown so that it is sent again.
void record_glyph(std::span<Cell> row, int x, char32_t ch) {
  const auto first = static_cast<size_t>(x);
  const auto after = first + static_cast<size_t>(model_width(ch));
  if (first > 0 && row[first].ch == 0) row[first - 1].ch = kUnknownCell;
  if (after < row.size() && row[after].ch == 0) row[after].ch = kUnknownCell;
  row[first].ch = ch;
  if (after > first + 1) row[first + 1].ch = 0;
}

}  // namespace

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

Renderer::Renderer(int cols, int rows)
    : cols_(cols), rows_(rows), shown_(static_cast<size_t>(cols) * static_cast<size_t>(rows)) {}

std::span<Cell> Renderer::shown_row(int y) {
  return {&shown_[static_cast<size_t>(y) * static_cast<size_t>(cols_)], static_cast<size_t>(cols_)};
}

void Renderer::render(const Screen& screen, const TerminalTraits& traits, std::string& out) {
  out_ = &out;
  traits_ = traits;
  if (repaint_all_) {
    out += kClearAll;
    std::fill(shown_.begin(), shown_.end(), Cell{});
    cursor_known_ = true;
    row_known_ = true;
    cursor_x_ = 0;
    cursor_y_ = 0;
    cursor_visible_ = -1;
    repaint_all_ = false;
  }
  if (!screen.cursor_visible() && cursor_visible_ != 0) {
    out += kHideCursor;
    cursor_visible_ = 0;
  }
  for (int y = 0; y < rows_; ++y) {
    const auto model = screen.row(y);
    const auto shown = shown_row(y);
    if (!std::equal(model.begin(), model.end(), shown.begin())) render_row(screen, y);
  }
  // The terminal's cursor ends where the model's stands, shown or hidden: an input method
  // shows the text being composed (a Hangul name) at the terminal's cursor, and the cursor
  // tells whoever watches the terminal that the screen is complete.
  const int y = std::min(screen.cursor_y(), rows_ - 1);
  const int x = screen.cursor_y() < rows_ ? screen.cursor_x() : 0;
  place_cursor(screen, x, y);
  if (screen.cursor_visible() && cursor_visible_ != 1) {
    out += kShowCursor;
    cursor_visible_ = 1;
  }
  out_ = nullptr;
}

void Renderer::render_row(const Screen& screen, int y) {
  const auto model = screen.row(y);
  const auto shown = shown_row(y);
  int x = 0;
  while (x < cols_) {
    const auto at = static_cast<size_t>(x);
    if (model[at] == shown[at]) {
      ++x;
      continue;
    }
    if (model[at].ch == 0) {  // only the right half differs: redraw its glyph
      place_cursor(screen, x - 1, y);
      draw_glyph(x - 1, y, model[at - 1].ch);
      ++x;
      continue;
    }
    if (model[at].ch == U' ') {
      int end = x;
      int last_changed = x;
      while (end < cols_ && model[static_cast<size_t>(end)].ch == U' ') {
        if (shown[static_cast<size_t>(end)].ch != U' ') last_changed = end;
        ++end;
      }
      const int count = last_changed - x + 1;
      const bool to_end = end == cols_ && count > static_cast<int>(kEraseToEndOfRow.size());
      if (count >= kEraseRunMin || to_end) {
        place_cursor(screen, x, y);
        erase_run(x, y, to_end ? cols_ - x : count, to_end);
        x += count;
        continue;
      }
    }
    place_cursor(screen, x, y);
    draw_glyph(x, y, model[at].ch);
    x += model_width(model[at].ch);
  }
}

void Renderer::erase_run(int x, int y, int count, bool to_end_of_row) {
  std::string& out = *out_;
  if (to_end_of_row) {
    out += kEraseToEndOfRow;
  } else {
    out += "\x1b[";
    append_number(out, count);
    out += 'X';
  }
  const auto row = shown_row(y);
  for (int i = x; i < x + count; ++i) record_glyph(row, i, U' ');
}

void Renderer::draw_glyph(int x, int y, char32_t ch) {
  std::string& out = *out_;
  record_glyph(shown_row(y), x, ch);
  cursor_x_ += model_width(ch);
  if (ch < 0x80) {
    out += static_cast<char>(ch);
  } else if (!encode_glyph(ch, traits_.encoding, out)) {
    out += "? ";  // the terminal's encoding has no such glyph
  } else if (!is_east_asian_wide(ch)) {
    // The terminal chooses this glyph's width: fill the second column where it takes one,
    // and place the cursor explicitly for whatever follows.
    if (traits_.ambiguous_width == 1) {
      if (runs_right(ch)) {
        encode_glyph(U'━', traits_.encoding, out);
      } else {
        out += ' ';
      }
    }
    cursor_known_ = false;
  }
  if (cursor_x_ >= cols_) {  // the terminal may hold a pending wrap
    cursor_known_ = false;
    row_known_ = false;
  }
}

void Renderer::place_cursor(const Screen& screen, int x, int y) {
  std::string& out = *out_;
  if (row_known_ && cursor_y_ == y) {
    if (cursor_known_ && cursor_x_ == x) return;
    const int gap = x - cursor_x_;
    if (cursor_known_ && gap > 0 && gap <= kResendGapMax) {
      // Sending the unchanged ASCII cells again is shorter than a cursor movement.
      const auto model = screen.row(y);
      bool ascii = true;
      for (int i = cursor_x_; i < x; ++i)
        ascii = ascii && model[static_cast<size_t>(i)].ch != 0 &&
                model[static_cast<size_t>(i)].ch < 0x80;
      if (ascii) {
        for (int i = cursor_x_; i < x; ++i)
          out += static_cast<char>(model[static_cast<size_t>(i)].ch);
        cursor_x_ = x;
        return;
      }
    }
    if (x == 0) {
      out += '\r';
    } else {
      out += "\x1b[";
      append_number(out, x + 1);
      out += 'G';
    }
  } else if (x == 0 && y == 0) {
    out += "\x1b[H";
  } else {
    out += "\x1b[";
    append_number(out, y + 1);
    out += ';';
    append_number(out, x + 1);
    out += 'H';
  }
  cursor_known_ = true;
  row_known_ = true;
  cursor_x_ = x;
  cursor_y_ = y;
}

}  // namespace yut
