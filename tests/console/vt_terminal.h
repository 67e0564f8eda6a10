#pragma once
// A tiny terminal for tests: applies the console layer's output bytes (UTF-8 text, CUP, CHA,
// ECH, EL, ED, cursor visibility) to a grid, drawing glyphs of ambiguous width one or two
// columns wide as a real terminal would. Tests compare its grid with the screen model.

#include <string>
#include <string_view>
#include <vector>

#include "console/text/glyph_width.h"
#include "console/text/utf8.h"

namespace yut::test {

class VtTerminal {
 public:
  static constexpr char32_t kRightHalf = 0;  // second column of a two-column glyph

  VtTerminal(int ambiguous_width, int cols = 80, int rows = 34)
      : ambiguous_width_(ambiguous_width),
        cols_(cols),
        rows_(rows),
        cells_(size_t(cols) * rows, U' ') {}

  void feed(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
      if (bytes[pos] == '\x1b') {
        pos = control(bytes, pos);
        continue;
      }
      const char32_t ch = decode_utf8(bytes, pos);
      if (ch == U'\r') {
        x_ = 0;
        wrap_pending_ = false;
      } else if (ch == U'\n') {
        y_ = std::min(y_ + 1, rows_ - 1);
      } else {
        put(ch);
      }
    }
  }

  char32_t at(int x, int y) const { return cells_[size_t(y) * cols_ + x]; }
  int cursor_x() const { return x_; }
  int cursor_y() const { return y_; }
  bool cursor_visible() const { return cursor_visible_; }
  int width_of(char32_t ch) const {
    if (ch < 0x80) return 1;
    return is_east_asian_wide(ch) ? 2 : ambiguous_width_;
  }

 private:
  char32_t& cell(int x, int y) { return cells_[size_t(y) * cols_ + x]; }

  void put(char32_t ch) {
    const int width = width_of(ch);
    if (wrap_pending_ || x_ + width > cols_) {
      x_ = 0;
      y_ = std::min(y_ + 1, rows_ - 1);
      wrap_pending_ = false;
    }
    blank_halves(x_, width);
    cell(x_, y_) = ch;
    if (width == 2) cell(x_ + 1, y_) = kRightHalf;
    x_ += width;
    if (x_ >= cols_) {
      x_ = cols_ - 1;
      wrap_pending_ = true;
    }
  }

  // A glyph written over part of a two-column glyph destroys the whole of it.
  void blank_halves(int x, int width) {
    if (x > 0 && at(x, y_) == kRightHalf) cell(x - 1, y_) = U' ';
    if (x + width < cols_ && at(x + width, y_) == kRightHalf) cell(x + width, y_) = U' ';
  }

  std::size_t control(std::string_view bytes, std::size_t pos) {
    ++pos;  // ESC
    if (pos >= bytes.size() || bytes[pos] != '[') return pos;
    ++pos;
    std::string params;
    while (pos < bytes.size() && (bytes[pos] < 0x40 || bytes[pos] > 0x7E)) params += bytes[pos++];
    if (pos >= bytes.size()) return pos;
    const char final_byte = bytes[pos++];
    int first = 0;
    int second = 0;
    const auto semi = params.find(';');
    if (!params.empty() && params[0] != '?') {
      first = std::stoi(params.substr(0, semi));
      if (semi != std::string::npos) second = std::stoi(params.substr(semi + 1));
    }
    wrap_pending_ = false;
    switch (final_byte) {
      case 'H':
        y_ = std::max(first, 1) - 1;
        x_ = std::max(second, 1) - 1;
        break;
      case 'G':
        x_ = std::max(first, 1) - 1;
        break;
      case 'X':
        for (int i = 0; i < std::max(first, 1) && x_ + i < cols_; ++i) erase(x_ + i);
        break;
      case 'K':
        for (int i = x_; i < cols_; ++i) erase(i);
        break;
      case 'J':
        std::fill(cells_.begin(), cells_.end(), U' ');
        break;
      case 'h':
      case 'l':
        if (params == "?25") cursor_visible_ = final_byte == 'h';
        break;
      default:
        break;
    }
    return pos;
  }

  void erase(int x) {
    if (at(x, y_) == kRightHalf && x > 0) cell(x - 1, y_) = U' ';
    if (x + 1 < cols_ && at(x + 1, y_) == kRightHalf) cell(x + 1, y_) = U' ';
    cell(x, y_) = U' ';
  }

  int ambiguous_width_;
  int cols_;
  int rows_;
  std::vector<char32_t> cells_;
  int x_ = 0;
  int y_ = 0;
  bool wrap_pending_ = false;
  bool cursor_visible_ = true;
};

}  // namespace yut::test
