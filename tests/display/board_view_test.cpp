#include "display/board_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../game/game_rig.h"

namespace yut {
namespace {

// The whole game screen in the state of a game not yet begun.
TEST(BoardView, InitialScreen) {
  GameRig rig({});
  draw_board(rig.con, rig.state);
  // Rows 0 to 33, columns 0 to 77.
  const std::vector<std::string> rows = {
      "┏━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━┓",
      "┃                                                                          ┃",
      "┃                                                                          ┃",
      "┃                                                                          ┃",
      "┃                         윷놀이 게임                                      ┃",
      "┃                                                                          ┃",
      "┃                                                  제작자 : 가나다, 라마바 ┃",
      "┃                                                                          ┃",
      "┣━━━━━━━━━━━━━━━━━━━━┳━━━━━━━━━━━━━━━━┫",
      "┃                                        ┃                                ┃",
      "┃                                        ┃                                ┃",
      "┃      ○  ○  ○  ○  ○  ○  ○        ┃                                ┃",
      "┃                                        ┃                                ┃",
      "┃      ○  ○              ○  ○        ┃                                ┃",
      "┃                                        ┃                                ┃",
      "┃      ○      ○      ○      ○        ┃                                ┃",
      "┃                                        ┃                                ┃",
      "┃      ○          ○          ○        ┃                                ┃",
      "┃                                        ┃                                ┃",
      "┃      ○      ○      ○      ○        ┃                                ┃",
      "┃                                        ┃                                ┃",
      "┃      ○  ○              ○  ○        ┣━━━━━━━━━━━━━━━━┫",
      "┃                                        ┃--------------------------------┃",
      "┃      ○  ○  ○  ○  ○  ○  ○        ┃골인지점에 도달할 경우 : 500점  ┃",
      "┃                                        ┃말을 잡았을 경우 : 250점        ┃",
      "┃                                        ┃--------------------------------┃",
      "┃                                        ┃                                ┃",
      "┣━━━━━━━━━━━━━━━━━━━━┫           현재 score           ┃",
      "┃  player1 대기중인 말 : ⓐ ⓑ ⓒ ⓓ     ┃                                ┃",
      "┃            도착한 말 :                 ┃        player1의 점수 : 0      ┃",
      "┃                                        ┃        player2의 점수 : 0      ┃",
      "┃  player2 대기중인 말 : ⓔ ⓕ ⓖ ⓗ     ┃                                ┃",
      "┃            도착한 말 :                 ┃                                ┃",
      "┗━━━━━━━━━━━━━━━━━━━━┻━━━━━━━━━━━━━━━━┛",
  };
  for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
    EXPECT_EQ(rig.text(0, y, 78), rows[y]) << "row " << y;
  }
  EXPECT_FALSE(rig.con.screen().cursor_visible());
}

TEST(BoardView, CellGlyphsAtTheirPositions) {
  GameRig rig({});
  const std::vector<std::pair<int, std::string>> glyphs = {
      {2, "ⓐ"},  {5, "ⓓ"},  {6, "ⓔ"},  {9, "ⓗ"},  {12, "②"},
      {13, "③"}, {14, "④"}, {16, "⑵"}, {17, "⑶"}, {18, "⑷"},
  };
  for (const auto& [code, glyph] : glyphs) {
    rig.put({6, 6}, code);
    draw_board(rig.con, rig.state);
    EXPECT_EQ(rig.text(32, 23, 2), glyph) << code;
  }
}

// "②'" and "⑵'" take three columns: the apostrophe stands in the column after the glyph.
TEST(BoardView, SecondPairsAreThreeColumnsWide) {
  GameRig rig({});
  rig.put({0, 0}, 15);
  rig.put({0, 1}, 19);
  draw_board(rig.con, rig.state);
  EXPECT_EQ(rig.text(8, 11, 6), "②' ○");
  EXPECT_EQ(rig.text(8, 13, 6), "⑵' ○");
}

TEST(BoardView, CodesWithoutAGlyphLeaveTheFrameBlank) {
  GameRig rig({});
  rig.put({0, 0}, 10);
  rig.put({1, 0}, 11);
  rig.put({2, 0}, -1);
  rig.put({3, 0}, 25);
  draw_board(rig.con, rig.state);
  EXPECT_EQ(rig.text(8, 11, 18), std::string(16, ' ') + "○");
}

TEST(BoardView, WaitingAndArrivedLines) {
  GameRig rig({});
  rig.put({6, 3}, 3);   // b on the board
  rig.put({0, 0}, 16);  // side 2's pair of f and h
  rig.state.stacked[1] = {7, 9, 0, 0};
  rig.state.arrived[0] = {4, 2, 0, 0};  // c, then a arrived
  rig.state.arrived[1] = {8, 0, 0, 0};
  rig.state.score = {750, 2000};
  draw_board(rig.con, rig.state);
  // A blanked label is one column narrower, so what follows moves left.
  EXPECT_EQ(rig.text(4, 28, 30), "player1 대기중인 말 :       ⓓ");
  EXPECT_EQ(rig.text(4, 29, 31), "          도착한 말 : ⓐ   ⓒ  ");
  EXPECT_EQ(rig.text(4, 31, 30), "player2 대기중인 말 : ⓔ      ");
  EXPECT_EQ(rig.text(4, 32, 30), "          도착한 말 :     ⓖ  ");
  EXPECT_EQ(rig.text(44, 29, 28), "        player1의 점수 : 750");
  EXPECT_EQ(rig.text(44, 30, 29), "        player2의 점수 : 2000");
  EXPECT_EQ(rig.state.arrived_labels[0][2], "ⓒ");
  EXPECT_EQ(rig.state.arrived_labels[1][2], "ⓖ");
}

// A repaint of an unchanged state changes nothing, so nothing is sent to the terminal.
TEST(BoardView, RepaintWithoutChangeSendsNothing) {
  GameRig rig({});
  rig.put({6, 3}, 3);
  draw_board(rig.con, rig.state);
  rig.con.refresh();
  const auto sent = rig.platform.bytes_written();
  draw_board(rig.con, rig.state);
  rig.con.refresh();
  EXPECT_EQ(rig.platform.bytes_written(), sent);
}

TEST(BoardView, RepaintWipesMessagesInsideTheFrame) {
  GameRig rig({});
  draw_board(rig.con, rig.state);
  rig.con.gotoxy(44, 19);
  rig.con.print("상대 말을 잡았습니다.");
  draw_board(rig.con, rig.state);
  EXPECT_EQ(rig.message(19), "");
}

}  // namespace
}  // namespace yut
