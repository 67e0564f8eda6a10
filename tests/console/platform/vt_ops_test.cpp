// The VT reader behind console-API back ends: each sequence the renderer sends becomes the
// right console operation, and two-column glyphs are pinned to their columns.
#include "console/platform/vt_ops.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace yut {
namespace {

using Ops = std::vector<ConsoleOp>;

ConsoleOp clear_op() {
  return make_op(ConsoleOpKind::ClearScreen);
}
ConsoleOp report_op() {
  return make_op(ConsoleOpKind::ReportCursor);
}

struct Case {
  const char* name;
  std::string bytes;
  int start_x;
  int start_y;
  Ops expected;
  int end_x;
  int end_y;
};

// The case's name stands for it in test listings (not its bytes).
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

const VtOptions kUtf16Console{Encoding::Utf8, 1, 80};

class SequenceTest : public ::testing::TestWithParam<Case> {};

TEST_P(SequenceTest, BecomesConsoleOperations) {
  const Case& c = GetParam();
  VtState state{c.start_x, c.start_y, {}};
  EXPECT_EQ(interpret_vt(c.bytes, kUtf16Console, state), c.expected);
  EXPECT_EQ(state.x, c.end_x);
  EXPECT_EQ(state.y, c.end_y);
  EXPECT_TRUE(state.pending.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Renderer, SequenceTest,
    ::testing::Values(
        Case{"Place", "\x1b[5;10H", 0, 0, {move_op(9, 4)}, 9, 4},
        Case{"PlaceHome", "\x1b[H", 7, 7, {move_op(0, 0)}, 0, 0},
        Case{"PlaceWithF", "\x1b[2;3f", 0, 0, {move_op(2, 1)}, 2, 1},
        Case{"OnlyTheLastPlacementCounts", "\x1b[5;5H\x1b[6;6H", 0, 0, {move_op(5, 5)}, 5, 5},
        Case{"ClearHomes", "\x1b[H\x1b[2J", 9, 9, {move_op(0, 0), clear_op()}, 0, 0},
        Case{"ClearAlsoScrollback", "\x1b[3J", 9, 9, {clear_op()}, 0, 0},
        Case{"ColumnInRow", "\x1b[12G", 3, 4, {move_op(11, 4)}, 11, 4},
        Case{"RowInColumn", "\x1b[7d", 3, 4, {move_op(3, 6)}, 3, 6},
        Case{"CarriageReturn", "\r", 30, 4, {move_op(0, 4)}, 0, 4},
        Case{"LineFeedIsTheConsoles", "\n", 30, 4, {make_op(ConsoleOpKind::LineFeed, 0, 4)}, 0, 5},
        Case{"Backspace", "\b", 30, 4, {move_op(29, 4)}, 29, 4},
        Case{"RelativeMoves", "\x1b[2A\x1b[3C", 10, 10, {move_op(13, 8)}, 13, 8},
        Case{"MovesStopAtTheEdges", "\x1b[99D\x1b[99A", 10, 10, {move_op(0, 0)}, 0, 0},
        Case{"PlacementStopsAtTheRightEdge", "\x1b[1;200H", 0, 0, {move_op(79, 0)}, 79, 0},
        Case{"EraseCharacters", "\x1b[12X", 20, 3, {erase_op(20, 3, 12)}, 20, 3},
        Case{"EraseCharactersStopsAtRowEnd", "\x1b[50X", 70, 3, {erase_op(70, 3, 10)}, 70, 3},
        Case{"EraseToRowEnd", "\x1b[K", 70, 3, {erase_op(70, 3, 10)}, 70, 3},
        Case{"EraseToRowStart", "\x1b[1K", 5, 3, {erase_op(0, 3, 6)}, 5, 3},
        Case{"EraseRow", "\x1b[2K", 5, 3, {erase_op(0, 3, 80)}, 5, 3},
        Case{"HideCursor", "\x1b[?25l", 0, 0, {show_cursor_op(false)}, 0, 0},
        Case{"ShowCursor", "\x1b[?25h", 0, 0, {show_cursor_op(true)}, 0, 0},
        Case{"CursorReport", "\x1b[6n", 0, 0, {report_op()}, 0, 0},
        Case{"AsciiRun", "ab cd", 4, 2, {write_op("ab cd")}, 9, 2},
        Case{"AsciiGoesOnAtTheNextRowStart",
             "abc",
             78,
             2,
             {write_op("ab"), move_op(0, 3), write_op("c")},
             1,
             3},
        Case{"AttributesSkipped", "a\x1b[1;31mb\x1b[0m", 0, 0, {write_op("ab")}, 2, 0},
        Case{"TitleSkipped", "\x1b]0;yut\x07x\x1b]2;t\x1b\\y", 0, 0, {write_op("xy")}, 2, 0},
        Case{"CharsetSelectionSkipped", "\x1b(Bz", 0, 0, {write_op("z")}, 1, 0},
        Case{"OtherControlsSkipped", "\a\x01q", 0, 0, {write_op("q")}, 1, 0},
        Case{"InvalidUtf8Dropped", "a\xff\x80z", 0, 0, {write_op("az")}, 2, 0}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(VtGlyphTest, AmbiguousGlyphOnAUtf16ConsoleIsLeftToTheRenderer) {
  // The renderer fills the second column itself and places the cursor afterwards.
  VtState state{10, 1, {}};
  EXPECT_EQ(interpret_vt("━━\x1b[13G", kUtf16Console, state),
            (Ops{write_op("━━"), move_op(12, 1)}));
}

TEST(VtGlyphTest, WideGlyphsArePinnedToTwoBlankedColumns) {
  VtState state{10, 1, {}};
  EXPECT_EQ(interpret_vt("게임a", kUtf16Console, state),
            (Ops{erase_op(10, 1, 4), write_op("게"), move_op(12, 1), write_op("임"), move_op(14, 1),
                 write_op("a")}));
  EXPECT_EQ(state.x, 15);
}

TEST(VtGlyphTest, APlacementOntoThePinKeepsTheRunTogether) {
  VtState state{0, 0, {}};
  EXPECT_EQ(interpret_vt("게\x1b[3G임", kUtf16Console, state),
            (Ops{erase_op(0, 0, 4), write_op("게"), move_op(2, 0), write_op("임"), move_op(4, 0)}));
}

TEST(VtGlyphTest, APlacementElsewhereEndsTheRun) {
  VtState state{0, 0, {}};
  EXPECT_EQ(interpret_vt("게\x1b[9G임", kUtf16Console, state),
            (Ops{erase_op(0, 0, 2), write_op("게"), move_op(8, 0), erase_op(8, 0, 2),
                 write_op("임"), move_op(10, 0)}));
}

TEST(VtGlyphTest, EveryNonAsciiGlyphIsPinnedWhenAmbiguousGlyphsAreWide) {
  VtState state{0, 0, {}};
  const VtOptions options{Encoding::Utf8, 2, 80};
  EXPECT_EQ(interpret_vt("┏━", options, state),
            (Ops{erase_op(0, 0, 4), write_op("┏"), move_op(2, 0), write_op("━"), move_op(4, 0)}));
}

TEST(VtGlyphTest, Cp949DoubleByteGlyphsArePinnedAsTheConsoleDrawsThem) {
  VtState state{0, 0, {}};
  VtOptions options{Encoding::Cp949, 2, 80};
  // "┏" is A6 A3 and "게" is B0 D4 in CP949.
  EXPECT_EQ(interpret_vt("\xA6\xA3\xB0\xD4x", options, state),
            (Ops{erase_op(0, 0, 4), write_op("\xA6\xA3"), move_op(2, 0), write_op("\xB0\xD4"),
                 move_op(4, 0), write_op("x")}));
  // A console that draws box drawing one column wide: only the Hangul is pinned.
  options.ambiguous_width = 1;
  state = {0, 0, {}};
  EXPECT_EQ(interpret_vt("\xA6\xA3\xB0\xD4", options, state),
            (Ops{write_op("\xA6\xA3"), erase_op(1, 0, 2), write_op("\xB0\xD4"), move_op(3, 0)}));
}

TEST(VtGlyphTest, WideGlyphThatDoesNotFitGoesToTheNextRow) {
  VtState state{79, 3, {}};
  EXPECT_EQ(interpret_vt("게", kUtf16Console, state),
            (Ops{move_op(0, 4), erase_op(0, 4, 2), write_op("게"), move_op(2, 4)}));
}

TEST(VtGlyphTest, WideGlyphEndingTheRowLeavesTheCursorOnTheNextRow) {
  VtState state{78, 3, {}};
  EXPECT_EQ(interpret_vt("게", kUtf16Console, state),
            (Ops{erase_op(78, 3, 2), write_op("게"), move_op(0, 4)}));
}

TEST(VtGlyphTest, WideGlyphsKeptInOneCellArePaddedWithAZeroWidthSpace) {
  VtState state{10, 1, {}};
  VtOptions options = kUtf16Console;
  options.wide_in_one_cell = true;
  EXPECT_EQ(interpret_vt("게임━a", options, state), (Ops{write_op("게\u200b임\u200b━a")}));
  EXPECT_EQ(state.x, 16);
  state = {79, 1, {}};
  EXPECT_EQ(interpret_vt("게", options, state), (Ops{move_op(0, 2), write_op("게\u200b")}));
}

TEST(VtGlyphTest, ARunBreaksAtTheRowEnd) {
  VtState state{78, 3, {}};
  EXPECT_EQ(interpret_vt("게\x1b[5;1H임", kUtf16Console, state),
            (Ops{erase_op(78, 3, 2), write_op("게"), move_op(0, 4), erase_op(0, 4, 2),
                 write_op("임"), move_op(2, 4)}));
}

TEST(VtSplitTest, SequencesAndGlyphsCutBetweenWritesAreCompleted) {
  struct Split {
    std::string first;
    std::string second;
    Ops expected;
  };
  const std::vector<Split> splits{
      {"\x1b", "[5;6H", {move_op(5, 4)}},
      {"\x1b[1", "0;5H", {move_op(4, 9)}},
      {"\x1b]0;ti", "tle\x07", {}},
      {"\xea\xb2", "\x8c", {erase_op(0, 0, 2), write_op("게"), move_op(2, 0)}},
  };
  for (const Split& s : splits) {
    VtState state;
    EXPECT_TRUE(interpret_vt(s.first, kUtf16Console, state).empty()) << s.second;
    EXPECT_EQ(state.pending, s.first) << s.second;
    EXPECT_EQ(interpret_vt(s.second, kUtf16Console, state), s.expected) << s.second;
    EXPECT_TRUE(state.pending.empty()) << s.second;
  }
}

TEST(VtSplitTest, Cp949LeadByteAtTheEndWaitsForItsTrail) {
  VtState state;
  const VtOptions options{Encoding::Cp949, 2, 80};
  EXPECT_TRUE(interpret_vt("\xB0", options, state).empty());
  EXPECT_EQ(interpret_vt("\xD4", options, state),
            (Ops{erase_op(0, 0, 2), write_op("\xB0\xD4"), move_op(2, 0)}));
}

TEST(VtSplitTest, AnEndlessSequenceIsDroppedRatherThanKept) {
  VtState state;
  const std::string endless = "\x1b[" + std::string(100, '1');
  EXPECT_TRUE(interpret_vt(endless, kUtf16Console, state).empty());
  EXPECT_TRUE(state.pending.empty());
  EXPECT_EQ(interpret_vt("x", kUtf16Console, state), (Ops{write_op("x")}));
}

}  // namespace
}  // namespace yut
