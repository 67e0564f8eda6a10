#include "console/screen/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "app/scripted_session.h"
#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "console/title_drawing.h"
#include "console/vt_terminal.h"

namespace yut {
namespace {

using test::VtTerminal;

using test::glyph_text;
using test::terminal_shows;
using test::TerminalKind;

class RendererTest : public ::testing::TestWithParam<TerminalKind> {
 protected:
  RendererTest() : term_(GetParam()) { test::set_up_platform(platform_, GetParam()); }

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

INSTANTIATE_TEST_SUITE_P(Terminal, RendererTest, ::testing::ValuesIn(test::kTerminalKinds),
                         [](const auto& info) { return test::name_of(info.param); });

// Bytes a refresh may take. Where the width was measured, the renderer knows where a glyph
// leaves the cursor: a frame line goes without a cursor placement after every glyph.
struct Budget {
  std::size_t title_paint;
  std::size_t marker_move;
};
Budget budget(TerminalKind kind) {
  switch (kind) {
    case TerminalKind::OneColumn:
      return {1320, 15};
    case TerminalKind::TwoColumns:
      return {930, 18};
    case TerminalKind::Silent:
    case TerminalKind::SilentTwoColumns:
      break;
  }
  return {2000, 18};
}

TEST_P(RendererTest, TitleScreenLandsOnTheModelsColumns) {
  test::draw_title_screen(con_);
  test::move_marker(con_, 1, 1);
  EXPECT_LE(refresh().size(), budget(GetParam()).title_paint);
  EXPECT_TRUE(terminal_shows(term_, con_.screen()));
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
  const std::string bytes = refresh();
  EXPECT_LE(bytes.size(), std::string_view("\x1b[13;31Hx").size()) << bytes;  // a move, then x
  EXPECT_EQ(bytes.back(), 'x');
  EXPECT_TRUE(terminal_shows(term_, con_.screen()));
}

TEST_P(RendererTest, MarkerMoveIsCheap) {
  test::draw_title_screen(con_);
  test::move_marker(con_, 1, 1);
  refresh();
  for (int step = 1; step <= 4; ++step) {
    test::move_marker(con_, step, step % 4 + 1);
    EXPECT_LE(refresh().size(), budget(GetParam()).marker_move) << "to item " << step % 4 + 1;
    EXPECT_TRUE(terminal_shows(term_, con_.screen()));
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
  EXPECT_TRUE(terminal_shows(term_, con_.screen()));
}

// On a terminal whose description has only cursor placement (no clearing, erasing, column
// or row addressing, relative moves, backspace or cursor hiding), nothing else is sent.
TEST_P(RendererTest, RandomDrawingsStayInStep) {
  static const char* const kGlyphs[] = {"a", " ",  "가", "━", "┏",  "┃", "○",        "▶",
                                        "ⓐ", "②'", "\n", "é", "  ", "┻", "┣━━━━━━━━"};
  TerminalCaps bare;
  bare.clear = bare.erase_to_row_end = bare.hide_cursor = bare.show_cursor = "";
  bare.column_address = bare.row_address = bare.erase_chars = false;
  bare.relative_moves = bare.backspace = false;
  for (const bool placement_only : {false, true}) {
    if (placement_only) {  // what the terminal shows now is not known: here, all x
      platform_.set_caps(bare);
      term_.feed("\x1b[H" + std::string(80 * 34 - 1, 'x'));
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
      test::draw_at_random(con_, random, kGlyphs);
      const std::string bytes = refresh();
      ASSERT_TRUE(terminal_shows(term_, con_.screen()))
          << "round " << round << (placement_only ? " with cursor placement only" : "");
      for (std::size_t at = bytes.find('\x1b'); placement_only && at != std::string::npos;
           at = bytes.find('\x1b', at + 1)) {
        const std::size_t end = bytes.find_first_not_of("[0123456789;", at + 1);
        ASSERT_EQ(bytes.at(end), 'H') << "round " << round;
      }
      if (placement_only) {
        ASSERT_EQ(bytes.find('\b'), std::string::npos) << "round " << round;
      }
    }
  }
}

// A whole session through the real menus and a whole game: after every refresh the
// terminal shows exactly the model.
TEST_P(RendererTest, WholeSessionStaysInStep) {
  test::ScriptedSession session(test::ScriptedSession::kWholeGame);
  test::set_up_platform(session, GetParam());
  VtTerminal term(GetParam());
  std::size_t refreshes = 0;
  session.on_refresh = [&](std::string_view bytes, const Screen& screen) {
    term.feed(bytes);
    ++refreshes;
    if (!HasFailure()) {
      EXPECT_TRUE(terminal_shows(term, screen)) << "refresh " << refreshes;
    }
  };
  session.run();
  const auto& actions = session.actions();
  EXPECT_TRUE(std::any_of(actions.begin(), actions.end(), [](const test::SessionAction& a) {
    return a.kind == test::ActionKind::Name;
  }));  // the game was won
  EXPECT_TRUE(session.back_at_title());
}

TEST_P(RendererTest, RepaintAfterResizeSendsEverything) {
  test::draw_title_screen(con_);
  refresh();
  platform_.raise_events(kEventResized);
  term_ = VtTerminal(GetParam());
  const std::string bytes = refresh();
  EXPECT_EQ(bytes.rfind("\x1b[H\x1b[2J", 0), 0U);
  EXPECT_TRUE(terminal_shows(term_, con_.screen()));
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
  EXPECT_TRUE(terminal_shows(term_, con_.screen()));
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
  EXPECT_NE(out.find("z?"), std::string::npos);        // é is not in CP949
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
