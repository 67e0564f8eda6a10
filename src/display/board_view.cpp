#include "display/board_view.h"

#include <array>
#include <string>
#include <string_view>

#include "game/side.h"

namespace yut {

namespace {

// The game screen's frame, rows 0 to 33, each 78 columns wide. Printed in full on every
// drawing, it wipes the messages printed inside it since the previous one.
constexpr const char* kTop = "┏━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━┓";
constexpr const char* kBlank =
    "┃                                                                          ┃";
constexpr const char* kTitle =
    "┃                         윷놀이 게임                                      ┃";
constexpr const char* kCredit =
    "┃                                                  제작자 : 가나다, 라마바 ┃";
constexpr const char* kSplit = "┣━━━━━━━━━━━━━━━━━━━━┳━━━━━━━━━━━━━━━━┫";
constexpr const char* kTwoParts =
    "┃                                        ┃                                ┃";
constexpr const char* kRightSplit = "┃                                        ┣━━━━━━━━━━━━━━━━┫";
constexpr const char* kLeftSplit = "┣━━━━━━━━━━━━━━━━━━━━┫                                ┃";
constexpr const char* kBottom = "┗━━━━━━━━━━━━━━━━━━━━┻━━━━━━━━━━━━━━━━┛";

struct FrameRows {
  int first;
  int last;
  const char* line;
};

constexpr std::array<FrameRows, 13> kFrame{{
    {0, 0, kTop},
    {1, 3, kBlank},
    {4, 4, kTitle},
    {5, 5, kBlank},
    {6, 6, kCredit},
    {7, 7, kBlank},
    {8, 8, kSplit},
    {9, 20, kTwoParts},
    {21, 21, kRightSplit},
    {22, 26, kTwoParts},
    {27, 27, kLeftSplit},
    {28, 32, kTwoParts},
    {33, 33, kBottom},
}};

constexpr int kBoardLeft = 8;  // screen column of cell (0, j)
constexpr int kBoardTop = 11;  // screen row of cell (i, 0)
constexpr int kCellColumns = 4;
constexpr int kCellRows = 2;

constexpr const char* kNoPiece = " ";
using Labels = std::array<std::string_view, kPiecesPerSide>;

void draw_frame(Console& con) {
  con.gotoxy(0, 0);
  for (const FrameRows& rows : kFrame) {
    for (int row = rows.first; row <= rows.last; ++row) {
      con.print(rows.line);
      con.print("\n");
    }
  }
}

void draw_cells(Console& con, const GameState& state) {
  for (int i = 0; i < kBoardSize; ++i) {
    for (int j = 0; j < kBoardSize; ++j) {
      const std::string_view glyph = cell_glyph(state.board[cell_index(i, j)]);
      if (glyph.empty()) continue;
      con.gotoxy(kBoardLeft + kCellColumns * i, kBoardTop + kCellRows * j);
      con.print(glyph);
    }
  }
}

void draw_scores(Console& con, const GameState& state) {
  constexpr const char* kRule = "--------------------------------";
  con.gotoxy(44, 22);
  con.print(kRule);
  con.gotoxy(44, 23);
  con.print("골인지점에 도달할 경우 : 500점");
  con.gotoxy(44, 24);
  con.print("말을 잡았을 경우 : 250점");
  con.gotoxy(44, 25);
  con.print(kRule);
  con.gotoxy(44, 27);
  con.print("           현재 score");
  con.gotoxy(44, 29);
  con.printf("        player1의 점수 : %d", state.score[0]);
  con.gotoxy(44, 30);
  con.printf("        player2의 점수 : %d", state.score[1]);
}

// Index of side's k-th piece for a code of that side's pieces, or -1.
int piece_of_side(int side, int code) {
  const int k = code - piece_code(side, 0);
  return k >= 0 && k < kPiecesPerSide ? k : -1;
}

// Blanks the waiting label of every piece that is on the board, carried or arrived, and
// gives each arrived piece its glyph in the side's arrived labels.
void settle_labels(GameState& state, std::array<Labels, kSides>& waiting) {
  for (int slot = 0; slot < kPiecesPerSide; ++slot) {
    for (int side = 0; side < kSides; ++side) {
      if (const int k = piece_of_side(side, state.arrived[side][slot]); k >= 0) {
        state.arrived_labels[side][k] = cell_glyph(piece_code(side, k));
        waiting[side][k] = kNoPiece;
      }
      if (const int k = piece_of_side(side, state.stacked[side][slot]); k >= 0) {
        waiting[side][k] = kNoPiece;
      }
    }
  }
  for (const int code : state.board) {
    for (int side = 0; side < kSides; ++side) {
      if (const int k = piece_of_side(side, code); k >= 0) waiting[side][k] = kNoPiece;
    }
  }
}

// "caption : %s %s %s %s" with the four labels.
void print_labels(Console& con, int row, std::string_view caption, const Labels& labels) {
  std::string line(caption);
  line += " :";
  for (const std::string_view label : labels) {
    line += ' ';
    line += label;
  }
  con.gotoxy(4, row);
  con.print(line);
}

}  // namespace

void draw_board(Console& con, GameState& state) {
  std::array<Labels, kSides> waiting;
  for (int side = 0; side < kSides; ++side) {
    for (int k = 0; k < kPiecesPerSide; ++k) waiting[side][k] = cell_glyph(piece_code(side, k));
  }
  draw_frame(con);
  draw_cells(con, state);
  draw_scores(con, state);
  settle_labels(state, waiting);
  print_labels(con, 28, "player1 대기중인 말", waiting[0]);
  print_labels(con, 29, "          도착한 말", state.arrived_labels[0]);
  print_labels(con, 31, "player2 대기중인 말", waiting[1]);
  print_labels(con, 32, "          도착한 말", state.arrived_labels[1]);
  con.hide_cursor();
}

}  // namespace yut
