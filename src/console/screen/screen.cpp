#include "console/screen/screen.h"

#include <algorithm>

#include "console/text/glyph_width.h"
#include "console/text/utf8.h"

namespace yut {

void place_glyph(std::span<Cell> row, int x, char32_t ch) {
  const int width = model_width(ch);
  const auto first = static_cast<size_t>(x);
  const auto after = first + static_cast<size_t>(width);
  if (first > 0 && row[first].ch == 0) row[first - 1].ch = U' ';       // right half of a wide glyph
  if (after < row.size() && row[after].ch == 0) row[after].ch = U' ';  // its left half
  row[first].ch = ch;
  if (width == 2) row[first + 1].ch = 0;
}

Screen::Screen(int cols, int rows)
    : cols_(cols), rows_(rows), cells_(static_cast<size_t>(cols) * static_cast<size_t>(rows)) {}

void Screen::move_to(int x, int y) {
  // Like a console, a position outside the screen is refused and the cursor stays.
  if (x < 0 || y < 0 || x >= cols_ || y >= rows_) return;
  cx_ = x;
  cy_ = y;
}

void Screen::clear() {
  std::fill(cells_.begin(), cells_.end(), Cell{});
  cx_ = 0;
  cy_ = 0;
}

void Screen::put_text(std::string_view utf8) {
  std::size_t pos = 0;
  while (pos < utf8.size()) put_glyph(decode_utf8(utf8, pos));
}

void Screen::put_glyph(char32_t ch) {
  if (ch == U'\n') {
    cx_ = 0;
    ++cy_;
    return;
  }
  if (ch == U'\r') {
    cx_ = 0;
    return;
  }
  if (ch < 0x20 || ch == 0x7F) return;  // other control characters draw nothing
  if (cy_ >= rows_) return;             // below the screen: dropped
  const int width = model_width(ch);
  if (cx_ + width > cols_) {
    // A two-column glyph that does not fit in the last column goes to the next row; the
    // column it leaves is blanked.
    place_glyph(row_cells(cy_), cx_, U' ');
    cx_ = 0;
    if (++cy_ >= rows_) return;
  }
  place_glyph(row_cells(cy_), cx_, ch);
  cx_ += width;
  if (cx_ >= cols_) {
    cx_ = 0;
    ++cy_;
  }
}

std::string Screen::row_text(int y) const {
  return text_at(0, y, cols_);
}

std::string Screen::text_at(int x, int y, int count) const {
  std::string out;
  if (y < 0 || y >= rows_) return out;
  const int end = std::min(cols_, x + count);
  for (int col = std::max(0, x); col < end; ++col) {
    const char32_t ch = at(col, y).ch;
    if (ch == 0) {
      if (col == x) out += ' ';  // the right half of a glyph that starts left of the range
      continue;
    }
    append_utf8(out, ch);
  }
  return out;
}

}  // namespace yut
