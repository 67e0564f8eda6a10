#include "console/screen/renderer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "console/console.h"
#include "console/text/glyph_width.h"
#include "console/platform/memory_platform.h"
#include "console/title_drawing.h"
#include "console/vt_terminal.h"

namespace yut {
namespace {

using test::VtTerminal;

std::string glyph_text(char32_t ch) {
  std::string s;
  append_utf8(s, ch);
  return s;
}

// Every glyph of the model stands on its own column in the terminal; where the terminal
// drew a two-column glyph one column wide, the second column holds the filler.
void expect_terminal_shows(const VtTerminal& term, const Screen& screen) {
  for (int y = 0; y < screen.rows(); ++y) {
    for (int x = 0; x < screen.cols(); ++x) {
      const char32_t ch = screen.at(x, y).ch;
      if (ch == 0) continue;
      ASSERT_EQ(glyph_text(term.at(x, y)), glyph_text(ch)) << "at (" << x << ", " << y << ")";
      if (model_width(ch) == 1) continue;
      const char32_t second = term.at(x + 1, y);
      if (term.width_of(ch) == 2) {
        ASSERT_EQ(second, VtTerminal::kRightHalf) << "at (" << x + 1 << ", " << y << ")";
      } else {
        ASSERT_EQ(glyph_text(second), runs_right(ch) ? "━" : " ")
            << "at (" << x + 1 << ", " << y << ")";
      }
    }
  }
}

class RendererTest : public ::testing::TestWithParam<int> {
 protected:
  RendererTest() : term_(GetParam()) { platform_.set_ambiguous_width(GetParam()); }

  // Refreshes and passes what was sent to the simulated terminal; returns the bytes.
  std::string refresh() {
    platform_.clear_output();
    con_.refresh();
    term_.feed(platform_.output());
    return platform_.output();
  }

  MemoryPlatform platform_;
  Console con_{platform_};
  VtTerminal term_;
};

INSTANTIATE_TEST_SUITE_P(AmbiguousWidth, RendererTest, ::testing::Values(1, 2));

TEST_P(RendererTest, TitleScreenLandsOnTheModelsColumns) {
  test::draw_title_screen(con_);
  test::move_marker(con_, 1, 1);
  refresh();
  expect_terminal_shows(term_, con_.screen());
  EXPECT_EQ(glyph_text(term_.at(0, 0)), "┏");
  EXPECT_EQ(glyph_text(term_.at(44, 0)), "┓");
  EXPECT_EQ(glyph_text(term_.at(44, 22)), "┛");
  EXPECT_EQ(glyph_text(term_.at(11, 5)), "┏");
  EXPECT_EQ(glyph_text(term_.at(31, 6)), "┃");
  EXPECT_EQ(glyph_text(term_.at(4, 6)), "▶");
  EXPECT_EQ(glyph_text(term_.at(15, 2)), "윷");
  EXPECT_FALSE(term_.cursor_visible());
}

TEST_P(RendererTest, UnchangedScreenSendsNothing) {
  test::draw_title_screen(con_);
  refresh();
  EXPECT_EQ(refresh(), "");
  test::draw_title_screen(con_);  // cleared and drawn the same again: no flicker
  EXPECT_EQ(refresh(), "");
}

TEST_P(RendererTest, OneChangedCellSendsOnlyThatCell) {
  test::draw_title_screen(con_);
  refresh();
  con_.gotoxy(30, 12);
  con_.print("x");
  EXPECT_EQ(refresh(), "\x1b[13;31Hx");
  expect_terminal_shows(term_, con_.screen());
}

TEST_P(RendererTest, MarkerMoveIsCheap) {
  test::draw_title_screen(con_);
  test::move_marker(con_, 1, 1);
  refresh();
  for (int step = 1; step <= 4; ++step) {
    test::move_marker(con_, step, step % 4 + 1);
    EXPECT_LT(refresh().size(), 64U);
    expect_terminal_shows(term_, con_.screen());
  }
}

TEST_P(RendererTest, BlankRunsAndHalfOverwrites) {
  con_.print(std::string(80, 'a') + "가나다라마바사아자차카타파하" + std::string(30, '-'));
  refresh();
  con_.gotoxy(1, 1);
  con_.print("z");  // over the right half of 가
  con_.gotoxy(10, 0);
  con_.print(std::string(60, ' '));
  con_.gotoxy(3, 0);
  con_.print("       ");
  con_.gotoxy(27, 1);
  con_.print("ⓐ");  // straddles two Hangul syllables
  refresh();
  expect_terminal_shows(term_, con_.screen());
}

TEST_P(RendererTest, RandomDrawingsStayInStep) {
  static const char* const kGlyphs[] = {"a", " ", "가", "━",  "┏", "┃",  "○",
                                        "▶", "ⓐ", "②'", "\n", "é", "  ", "┻"};
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    if (random() % 40 == 0) con_.clear_screen();
    con_.gotoxy(static_cast<int>(random() % 80), static_cast<int>(random() % 34));
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) con_.print(kGlyphs[random() % std::size(kGlyphs)]);
    refresh();
    expect_terminal_shows(term_, con_.screen());
    if (HasFatalFailure()) return;
  }
}

TEST_P(RendererTest, RepaintAfterResizeSendsEverything) {
  test::draw_title_screen(con_);
  refresh();
  platform_.raise_events(kEventResized);
  VtTerminal fresh(GetParam());
  term_ = fresh;
  const std::string bytes = refresh();
  EXPECT_EQ(bytes.rfind("\x1b[H\x1b[2J", 0), 0U);
  expect_terminal_shows(term_, con_.screen());
}

TEST_P(RendererTest, FinishShowsTheCursorWhereTheModelHasIt) {
  test::draw_title_screen(con_);
  refresh();
  con_.clear_screen();
  con_.gotoxy(15, 5);
  con_.print("재밌게 놀으셨나요!? 또 찾아주세요~ \n");
  for (int row = 6; row <= 10; ++row) {
    con_.gotoxy(15, row);
    con_.print("\n");
  }
  platform_.clear_output();
  con_.finish();
  term_.feed(platform_.output());
  expect_terminal_shows(term_, con_.screen());
  EXPECT_TRUE(term_.cursor_visible());
  EXPECT_EQ(term_.cursor_x(), 0);
  EXPECT_EQ(term_.cursor_y(), 11);
}

TEST(RendererEncodingTest, Cp949TerminalGetsCp949Bytes) {
  MemoryPlatform platform;
  platform.set_encoding(Encoding::Cp949);
  platform.set_ambiguous_width(2);
  Console con(platform);
  con.hide_cursor();
  con.gotoxy(2, 0);
  con.print("가━\xce\xa9z");  // Ω has no... it has a CP949 code; é has none
  con.print("é");
  con.refresh();
  const std::string& out = platform.output();
  EXPECT_NE(out.find("\xb0\xa1"), std::string::npos);  // 가
  EXPECT_NE(out.find("\xa6\xac"), std::string::npos);  // ━
  EXPECT_NE(out.find("? "), std::string::npos);        // é is not in CP949
  EXPECT_EQ(out.find("\xea\xb0\x80"), std::string::npos);
}

TEST(RendererEncodingTest, SizeMessageInCp949) {
  MemoryPlatform platform("", {60, 20});
  platform.set_encoding(Encoding::Cp949);
  Console con(platform);
  con.refresh();
  EXPECT_NE(platform.output().find("\xc3\xa2 \xc5\xa9\xb1\xe2"), std::string::npos);  // 창 크기
}

}  // namespace
}  // namespace yut
