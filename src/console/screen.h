#pragma once
// The screen model: a grid of cells in the game's column model. ASCII takes one column;
// every other glyph takes two (the second cell is a continuation). Text printed past the
// right edge goes on at the next row; text below the last row is dropped.

#include <string>
#include <string_view>
#include <vector>

namespace yut {

inline constexpr int kScreenCols = 80;
inline constexpr int kScreenRows = 34;

struct Cell {
  char32_t ch = U' ';         // the glyph; 0 in the continuation cell of a two-column glyph
  bool operator==(const Cell&) const = default;
};

class Screen {
 public:
  Screen(int cols = kScreenCols, int rows = kScreenRows);

  int cols() const { return cols_; }
  int rows() const { return rows_; }
  int cursor_x() const { return cx_; }
  int cursor_y() const { return cy_; }
  bool cursor_visible() const { return cursor_visible_; }

  void move_to(int x, int y);
  void put_text(std::string_view utf8);  // at the cursor; '\n' goes to column 0 of the next row
  void clear();                          // all blank, cursor to (0, 0)
  void set_cursor_visible(bool visible) { cursor_visible_ = visible; }

  const Cell& at(int x, int y) const { return cells_[static_cast<size_t>(y * cols_ + x)]; }
  // The row as UTF-8, one glyph per two-column cell pair, trailing blanks kept.
  std::string row_text(int y) const;
  // count columns of row y starting at column x, as UTF-8.
  std::string text_at(int x, int y, int count) const;

 private:
  int cols_;
  int rows_;
  int cx_ = 0;
  int cy_ = 0;
  bool cursor_visible_ = true;
  std::vector<Cell> cells_;
};

}  // namespace yut
