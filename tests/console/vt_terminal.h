#pragma once
// A tiny terminal for tests: applies the console layer's output bytes (UTF-8 text, CR, BS,
// CUP, CHA, VPA, CUU/CUD/CUF/CUB, ECH, EL, ED, cursor visibility) to a grid, drawing glyphs
// of ambiguous width one or two columns wide as a real terminal would. Its width and filler
// tables are its own, written from what terminals do, so that a slip in the game's tables
// shows as a difference from the screen model.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "console/platform/memory_platform.h"
#include "console/screen/screen.h"
#include "console/text/utf8.h"

namespace yut::test {

// The terminals the console must draw correctly on: one that answers the width probe and
// draws box drawing, "○", "▶" and the like one column wide, one that draws them two wide,
// and two that never answer, one drawing them one wide and one two wide.
enum class TerminalKind { OneColumn, TwoColumns, Silent, SilentTwoColumns };
inline constexpr std::array kTerminalKinds{TerminalKind::OneColumn, TerminalKind::TwoColumns,
                                           TerminalKind::Silent, TerminalKind::SilentTwoColumns};

inline const char* name_of(TerminalKind kind) {
  switch (kind) {
    case TerminalKind::OneColumn:
      return "OneColumn";
    case TerminalKind::TwoColumns:
      return "TwoColumns";
    case TerminalKind::Silent:
      return "Silent";
    case TerminalKind::SilentTwoColumns:
      return "SilentTwoColumns";
  }
  return "?";
}
inline void PrintTo(TerminalKind kind, std::ostream* os) {
  *os << name_of(kind);
}
inline int ambiguous_columns(TerminalKind kind) {
  return kind == TerminalKind::TwoColumns || kind == TerminalKind::SilentTwoColumns ? 2 : 1;
}
inline bool answers_probe(TerminalKind kind) {
  return kind == TerminalKind::OneColumn || kind == TerminalKind::TwoColumns;
}
// What the platform reports after the start-up probe on such a terminal (a silent one is
// taken to draw one column wide).
inline void set_up_platform(MemoryPlatform& platform, TerminalKind kind) {
  if (answers_probe(kind)) {
    platform.set_ambiguous_width(ambiguous_columns(kind), true);
  } else {
    platform.set_ambiguous_width(1, false);
  }
}

// Every terminal draws these two columns wide (Hangul, CJK, full-width forms).
inline bool terminal_draws_wide(char32_t ch) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kWide[] = {{0x1100, 0x115F}, {0x2E80, 0xA4CF},   {0xAC00, 0xD7A3},
                                    {0xF900, 0xFAFF}, {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},
                                    {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x20000, 0x3FFFD}};
  return std::any_of(std::begin(kWide), std::end(kWide),
                     [ch](const Range& r) { return r.first <= ch && ch <= r.last; });
}

// Where a terminal draws a glyph at column x of a row `cols` wide one column wide, the
// column after it must show this filler: a heavy line after box drawing whose line leaves to
// the right, else a blank (also in the last three columns, where no line goes on).
inline char32_t filler_after(char32_t ch, int x, int cols) {
  static constexpr std::u32string_view kRunsRight = U"━┏┣┳┗┻";
  const bool runs_right = kRunsRight.find(ch) != std::u32string_view::npos;
  return runs_right && x + 3 < cols ? U'━' : U' ';
}

class VtTerminal {
 public:
  static constexpr char32_t kRightHalf = 0;  // second column of a two-column glyph

  explicit VtTerminal(int ambiguous_width, int cols = 80, int rows = 34)
      : ambiguous_width_(ambiguous_width),
        cols_(cols),
        rows_(rows),
        cells_(size_t(cols) * rows, U' ') {}
  explicit VtTerminal(TerminalKind kind) : VtTerminal(ambiguous_columns(kind)) {
    apostrophe_beside_glyph_ = kind == TerminalKind::OneColumn;
  }

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
      } else if (ch == U'\b') {
        x_ = std::max(x_ - 1, 0);
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
  // The game knows this terminal draws glyphs of ambiguous width one column wide: "②'"
  // shows its apostrophe right after the glyph.
  bool apostrophe_beside_glyph() const { return apostrophe_beside_glyph_; }
  int width_of(char32_t ch) const {
    if (ch < 0x80) return 1;
    return terminal_draws_wide(ch) ? 2 : ambiguous_width_;
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
    // Missing or zero parameters count as 1.
    int first = 1;
    int second = 1;
    if (!params.empty() && params[0] != '?') {
      const auto semi = params.find(';');
      const std::string a = params.substr(0, semi);
      const std::string b = semi == std::string::npos ? "" : params.substr(semi + 1);
      if (!a.empty()) first = std::max(std::stoi(a), 1);
      if (!b.empty()) second = std::max(std::stoi(b), 1);
    }
    wrap_pending_ = false;
    switch (final_byte) {
      case 'H':
        y_ = std::min(first, rows_) - 1;
        x_ = std::min(second, cols_) - 1;
        break;
      case 'G':
        x_ = std::min(first, cols_) - 1;
        break;
      case 'd':
        y_ = std::min(first, rows_) - 1;
        break;
      case 'A':
        y_ = std::max(y_ - first, 0);
        break;
      case 'B':
        y_ = std::min(y_ + first, rows_ - 1);
        break;
      case 'C':
        x_ = std::min(x_ + first, cols_ - 1);
        break;
      case 'D':
        x_ = std::max(x_ - first, 0);
        break;
      case 'X':
        for (int i = 0; i < first && x_ + i < cols_; ++i) erase(x_ + i);
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
  bool apostrophe_beside_glyph_ = false;
};

inline std::string glyph_text(char32_t ch) {
  std::string s;
  append_utf8(s, ch);
  return s;
}

// Every glyph of the model stands on its own column in the terminal; where the terminal
// drew a two-column glyph one column wide, the second column holds the filler.
inline ::testing::AssertionResult terminal_shows(const VtTerminal& term, const Screen& screen) {
  const auto differs = [](int x, int y, char32_t shown, const std::string& wanted) {
    return ::testing::AssertionFailure()
           << "at (" << x << ", " << y << "): the terminal shows \"" << glyph_text(shown)
           << "\", the model has \"" << wanted << "\"";
  };
  for (int y = 0; y < screen.rows(); ++y) {
    for (int x = 0; x < screen.cols(); ++x) {
      const char32_t ch = screen.at(x, y).ch;
      if (ch == 0) continue;
      if (term.at(x, y) != ch) return differs(x, y, term.at(x, y), glyph_text(ch));
      if (ch < 0x80) continue;
      const char32_t second = term.at(x + 1, y);
      if (term.width_of(ch) == 2) {
        if (second != VtTerminal::kRightHalf) return differs(x + 1, y, second, "(right half)");
      } else if (term.apostrophe_beside_glyph() && filler_after(ch, x, screen.cols()) == U' ' &&
                 x + 2 < screen.cols() && screen.at(x + 2, y).ch == U'\'') {
        // "②'" on a terminal whose width was measured: the apostrophe beside its glyph.
        if (second != U'\'' || term.at(x + 2, y) != U' ') {
          return differs(x + 1, y, second, "' then a blank");
        }
        x += 2;
      } else if (second != filler_after(ch, x, screen.cols())) {
        return differs(x + 1, y, second, glyph_text(filler_after(ch, x, screen.cols())));
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace yut::test
