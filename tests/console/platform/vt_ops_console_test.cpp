// The whole output path of a console-API back end, without Windows: the console layer's
// refreshes go through interpret_vt and the operations are carried out on a simulated
// console that draws glyphs as the Windows consoles do (every glyph one cell, as a legacy
// console on a Western code page and wine do; Hangul two cells, as a current console does
// with UTF-16 and Windows Terminal also on code page 949; every double-byte glyph two cells,
// as a legacy CP949 console does). Every glyph of
// the screen model must stand on its own column, in the console's cells and, for wine's
// console, also on the terminal that shows those cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "console/platform/vt_ops.h"
#include "console/text/cp949.h"
#include "console/text/utf8.h"
#include "console/title_drawing.h"
#include "console/vt_terminal.h"

namespace yut {
namespace {

enum class Drawing { OneCellEach, WideHangul, Cp949DoubleCells };

struct ConsoleKind {
  const char* name;
  Drawing drawing;
  Encoding encoding;
  int ambiguous_width;    // what the back end reports for this console
  bool wide_in_one_cell;  // what the back end finds out about it
  bool on_terminal;       // the cells are shown by a terminal (wine's console)
};

// The kind's name stands for it in test listings (not its bytes).
void PrintTo(const ConsoleKind& kind, std::ostream* out) {
  *out << kind.name;
}

constexpr char32_t kRightHalf = 0;
constexpr char32_t kZeroWidthSpace = 0x200B;

// Cells and a cursor, changed only by console operations, as the console API changes them.
class ApiConsole {
 public:
  ApiConsole(Drawing drawing, Encoding encoding)
      : drawing_(drawing), encoding_(encoding), cells_(kCols * kRows, U' ') {}

  void apply(const ConsoleOp& op) {
    switch (op.kind) {
      case ConsoleOpKind::MoveCursor:
        x_ = std::min(op.x, kCols - 1);
        y_ = std::min(op.y, kRows - 1);
        break;
      case ConsoleOpKind::WriteText:
        write(op.text);
        break;
      case ConsoleOpKind::EraseCells:
        for (int i = 0; i < op.count && op.x + i < kCols; ++i) blank(op.x + i, op.y);
        break;
      case ConsoleOpKind::ClearScreen:
        std::fill(cells_.begin(), cells_.end(), U' ');
        x_ = 0;
        y_ = 0;
        break;
      case ConsoleOpKind::ShowCursor:
        cursor_visible_ = op.visible;
        break;
      case ConsoleOpKind::ReportCursor:
        break;
      case ConsoleOpKind::LineFeed:
        x_ = 0;
        y_ = std::min(op.y + 1, kRows - 1);
        break;
    }
  }

  char32_t at(int x, int y) const { return cells_[static_cast<std::size_t>(y * kCols + x)]; }

  // Row y as a terminal shows the cells one after the other: wide glyphs two columns, a
  // zero-width space none, everything else one.
  std::vector<char32_t> terminal_row(int y) const {
    std::vector<char32_t> shown;
    for (int x = 0; x < kCols; ++x) {
      const char32_t ch = at(x, y);
      if (ch == kZeroWidthSpace || ch == kRightHalf) continue;
      shown.push_back(ch);
      if (test::terminal_draws_wide(ch)) shown.push_back(kRightHalf);
    }
    return shown;
  }
  bool cursor_visible() const { return cursor_visible_; }

  int width_of(char32_t ch) const {
    if (ch < 0x80) return 1;
    switch (drawing_) {
      case Drawing::OneCellEach:
        return 1;
      case Drawing::WideHangul:
        return test::terminal_draws_wide(ch) ? 2 : 1;
      case Drawing::Cp949DoubleCells:
        return 2;
    }
    return 1;
  }

  static constexpr int kCols = 80;
  static constexpr int kRows = 34;

 private:
  char32_t& cell(int x, int y) { return cells_[static_cast<std::size_t>(y * kCols + x)]; }

  void write(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
      char32_t ch = 0;
      const auto lead = static_cast<unsigned char>(text[pos]);
      if (encoding_ == Encoding::Cp949 && lead >= 0x81 && pos + 1 < text.size()) {
        ch = cp949_decode(lead, static_cast<unsigned char>(text[pos + 1]));
        pos += 2;
      } else {
        ch = decode_utf8(text, pos);
      }
      put(ch);
    }
  }

  void put(char32_t ch) {
    const int width = width_of(ch);
    if (x_ + width > kCols) {
      x_ = 0;
      ++y_;
    }
    blank(x_, y_);
    if (width == 2) blank(x_ + 1, y_);
    cell(x_, y_) = ch;
    if (width == 2) cell(x_ + 1, y_) = kRightHalf;
    x_ = std::min(x_ + width, kCols - 1);  // the back end turns the wrap at the row end off
  }

  // A cell overwritten or blanked takes the other half of a two-cell glyph with it.
  void blank(int x, int y) {
    if (cell(x, y) == kRightHalf && x > 0) cell(x - 1, y) = U' ';
    if (x + 1 < kCols && cell(x + 1, y) == kRightHalf) cell(x + 1, y) = U' ';
    cell(x, y) = U' ';
  }

  Drawing drawing_;
  Encoding encoding_;
  std::vector<char32_t> cells_;
  int x_ = 0;
  int y_ = 0;
  bool cursor_visible_ = true;
};

std::string utf8(char32_t ch) {
  std::string s;
  append_utf8(s, ch);
  return s;
}

class VtConsoleTest : public ::testing::TestWithParam<ConsoleKind> {
 protected:
  VtConsoleTest() : console_(GetParam().drawing, GetParam().encoding) {
    platform_.set_encoding(GetParam().encoding);
    platform_.set_ambiguous_width(GetParam().ambiguous_width);
  }

  void refresh() {
    platform_.clear_output();
    con_.refresh();
    const VtOptions options{GetParam().encoding, GetParam().ambiguous_width, ApiConsole::kCols,
                            GetParam().wide_in_one_cell};
    for (const ConsoleOp& op : interpret_vt(platform_.output(), options, state_)) {
      console_.apply(op);
    }
  }

  void expect_console_shows_model() {
    const Screen& screen = con_.screen();
    for (int y = 0; y < screen.rows(); ++y) {
      for (int x = 0; x < screen.cols(); ++x) {
        const char32_t ch = screen.at(x, y).ch;
        if (ch == 0) continue;
        ASSERT_EQ(utf8(console_.at(x, y)), utf8(ch)) << "at (" << x << ", " << y << ")";
        if (ch < 0x80) continue;
        const char32_t second = console_.at(x + 1, y);
        if (console_.width_of(ch) == 2) {
          ASSERT_EQ(second, kRightHalf) << "at (" << x + 1 << ", " << y << ")";
        } else {
          // One cell drawn: the second column holds the filler, or the padding.
          ASSERT_TRUE(second == test::filler_after(ch, x, screen.cols()) ||
                      second == kZeroWidthSpace)
              << "at (" << x + 1 << ", " << y << ")";
        }
      }
      if (GetParam().on_terminal) expect_terminal_row_shows_model(y);
    }
  }

  void expect_terminal_row_shows_model(int y) {
    const std::vector<char32_t> shown = console_.terminal_row(y);
    const Screen& screen = con_.screen();
    for (int x = 0; x < screen.cols(); ++x) {
      const char32_t ch = screen.at(x, y).ch;
      if (ch == 0) continue;
      ASSERT_LT(static_cast<std::size_t>(x), shown.size()) << "row " << y;
      ASSERT_EQ(utf8(shown[static_cast<std::size_t>(x)]), utf8(ch))
          << "terminal column " << x << ", row " << y;
    }
  }

  MemoryPlatform platform_;
  Console con_{platform_};
  VtState state_;
  ApiConsole console_;
};

INSTANTIATE_TEST_SUITE_P(
    Consoles, VtConsoleTest,
    ::testing::Values(
        ConsoleKind{"LegacyOneCellEach", Drawing::OneCellEach, Encoding::Utf8, 1, false, false},
        ConsoleKind{"WineInATerminal", Drawing::OneCellEach, Encoding::Utf8, 1, true, true},
        ConsoleKind{"WideHangul", Drawing::WideHangul, Encoding::Utf8, 1, false, false},
        ConsoleKind{"Cp949", Drawing::Cp949DoubleCells, Encoding::Cp949, 2, false, false},
        ConsoleKind{"Cp949NarrowBoxDrawing", Drawing::WideHangul, Encoding::Cp949, 1, false,
                    false}),
    [](const ::testing::TestParamInfo<ConsoleKind>& info) { return std::string(info.param.name); });

TEST_P(VtConsoleTest, TitleScreenAndMarkerMovesStandOnTheirColumns) {
  test::draw_title_screen(con_);
  test::move_marker(con_, 1, 1);
  refresh();
  expect_console_shows_model();
  EXPECT_EQ(utf8(console_.at(4, test::marker_row(1))), "▶");
  EXPECT_EQ(utf8(console_.at(15, 2)), "윷");
  EXPECT_FALSE(console_.cursor_visible());
  for (int step = 1; step <= 4; ++step) {
    test::move_marker(con_, step, step % 4 + 1);
    refresh();
    expect_console_shows_model();
  }
}

TEST_P(VtConsoleTest, RandomDrawingsStayInStep) {
  // Glyphs CP949 has, so that every console kind can show all of them.
  static const char* const kGlyphs[] = {"a", " ", "가", "━",  "┏", "┃",      "○", "▶",
                                        "ⓐ", "②", "\n", "  ", "┻", "윷놀이", "x1"};
  std::mt19937 random(2024);
  for (int round = 0; round < 300; ++round) {
    test::draw_at_random(con_, random, kGlyphs);
    refresh();
    expect_console_shows_model();
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace yut
