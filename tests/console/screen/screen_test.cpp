#include "console/screen/screen.h"

#include <gtest/gtest.h>

#include <string>

namespace yut {
namespace {

struct WidthCase {
  const char* text;
  int columns;
};

TEST(ScreenTest, GlyphsTakeTheirColumns) {
  const WidthCase cases[] = {
      {"a", 1},  {"가", 2},
      {"━", 2},  {"┏", 2},
      {"ⓐ", 2},  {"②", 2},
      {"○", 2},  {"▶", 2},
      {"②'", 3}, {"⑵'", 3},
      {"é", 2},  {"┏━━━━━━━━━┓", 22},
      {"%d", 2}, {"윷놀이 게임", 11},
  };
  for (const WidthCase& c : cases) {
    Screen screen;
    screen.move_to(10, 3);
    screen.put_text(c.text);
    EXPECT_EQ(screen.cursor_x(), 10 + c.columns) << c.text;
    EXPECT_EQ(screen.text_at(10, 3, c.columns), c.text) << c.text;
  }
}

TEST(ScreenTest, WritingOverHalfAWideGlyphBlanksTheOtherHalf) {
  struct Case {
    int x;
    const char* text;
    const char* expected;  // columns 0..5
  };
  const Case cases[] = {
      {0, "a", "a 나다"},   // left half of 가
      {1, "b", " b나다"},   // right half of 가
      {1, "ⓐ", " ⓐ 다"},    // straddles 가 and 나
      {2, " ", "가  다"},   // the marker erase: one blank over a wide glyph
      {3, "xy", "가 xy "},  // right half of 나, left half of 다
  };
  for (const Case& c : cases) {
    Screen screen;
    screen.put_text("가나다");
    screen.move_to(c.x, 0);
    screen.put_text(c.text);
    EXPECT_EQ(screen.text_at(0, 0, 6), c.expected) << c.x << " " << c.text;
  }
}

TEST(ScreenTest, TextPastTheRightEdgeGoesOnAtTheNextRow) {
  Screen screen;
  screen.move_to(78, 0);
  screen.put_text("abc");
  EXPECT_EQ(screen.text_at(78, 0, 2), "ab");
  EXPECT_EQ(screen.text_at(0, 1, 1), "c");

  screen.move_to(79, 5);
  screen.put_text("가");  // does not fit in the last column
  EXPECT_EQ(screen.text_at(79, 5, 1), " ");
  EXPECT_EQ(screen.text_at(0, 6, 2), "가");
  EXPECT_EQ(screen.cursor_x(), 2);
  EXPECT_EQ(screen.cursor_y(), 6);
}

TEST(ScreenTest, LineBreaksAndTheBottomOfTheScreen) {
  Screen screen;
  screen.move_to(15, 5);
  screen.put_text("ab\ncd");
  EXPECT_EQ(screen.text_at(0, 6, 2), "cd");

  screen.move_to(0, 33);
  screen.put_text("last\n\n\nbelow the screen is dropped");
  EXPECT_EQ(screen.text_at(0, 33, 4), "last");
  EXPECT_EQ(screen.cursor_y(), 36);
  screen.move_to(2, 2);  // back on the screen
  EXPECT_EQ(screen.cursor_y(), 2);
}

TEST(ScreenTest, PositionsOutsideTheScreenAreRefused) {
  Screen screen;
  screen.move_to(5, 5);
  for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {80, 0}, {0, 34}}) {
    screen.move_to(x, y);
    EXPECT_EQ(screen.cursor_x(), 5);
    EXPECT_EQ(screen.cursor_y(), 5);
  }
}

TEST(ScreenTest, RowTextAndClear) {
  Screen screen;
  screen.put_text("┃ 가 ┃");
  EXPECT_EQ(screen.row_text(0), "┃ 가 ┃" + std::string(72, ' '));
  screen.clear();
  EXPECT_EQ(screen.row_text(0), std::string(80, ' '));
  EXPECT_EQ(screen.cursor_x(), 0);
}

}  // namespace
}  // namespace yut
