#pragma once
// The screen model: a grid of cells in the game's column model. ASCII takes one column;
// every other glyph takes two (the second cell is a continuation). Text printed past the
// right edge goes on at the next row; text below the last row is dropped. Writing over
// either half of a two-column glyph blanks its other half, as a console does.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yut {

inline constexpr int kScreenCols = 80;
inline constexpr int kScreenRows = 34;

struct Cell {
  char32_t ch = U' ';  // the glyph; 0 in the continuation cell of a two-column glyph
  bool operator==(const Cell&) const = default;
};

// Puts one glyph (one or two columns) at column x of a row of cells, blanking the halves of
// two-column glyphs it overlaps. The glyph must fit in the row.
void place_glyph(std::span<Cell> row, int x, char32_t ch);

class Screen {
 public:
  explicit Screen(int cols = kScreenCols, int rows = kScreenRows);

  int cols() const { return cols_; }
  int rows() const { return rows_; }
  int cursor_x() const { return cx_; }
  int cursor_y() const { return cy_; }
  bool cursor_visible() const { return cursor_visible_; }

  void move_to(int x, int y);
  void put_text(std::string_view utf8);  // at the cursor; '\n' goes to column 0 of the next row
  void clear();                          // all blank, cursor to (0, 0)
  void put_glyph(char32_t ch);           // one glyph at the cursor, wrapping as put_text does
  void set_cursor_visible(bool visible) { cursor_visible_ = visible; }

  const Cell& at(int x, int y) const { return cells_[index(x, y)]; }
  std::span<const Cell> row(int y) const {
    return {&cells_[index(0, y)], static_cast<size_t>(cols_)};
  }
  // The row as UTF-8, one glyph per two-column cell pair, trailing blanks kept.
  std::string row_text(int y) const;
  // count columns of row y starting at column x, as UTF-8.
  std::string text_at(int x, int y, int count) const;

 private:
  size_t index(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(cols_) + static_cast<size_t>(x);
  }
  std::span<Cell> row_cells(int y) { return {&cells_[index(0, y)], static_cast<size_t>(cols_)}; }

  int cols_;
  int rows_;
  int cx_ = 0;
  int cy_ = 0;
  bool cursor_visible_ = true;
  std::vector<Cell> cells_;
};

}  // namespace yut
