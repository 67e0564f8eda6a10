#pragma once
// The drawing sequence of the title screen and main menu, for tests and benchmarks of the
// console layer: an outer frame printed as lines from (0, 0), the title, four item boxes
// and the selection marker.

#include <random>
#include <span>
#include <string>

#include "console/console.h"

namespace yut::test {

inline std::string repeated(const char* glyph, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += glyph;
  return out;
}

inline int marker_row(int item) {
  return 4 * item + 2;
}

inline void draw_title_screen(Console& con) {
  static const char* const kLabels[] = {"┃    게임 시작     ┃", "┃    게임 설명     ┃",
                                        "┃    랭     킹     ┃", "┃    게임 종료     ┃"};
  con.clear_screen();
  con.gotoxy(0, 0);
  con.print("┏" + repeated("━", 21) + "┓\n");
  for (int i = 0; i < 21; ++i) con.print("┃" + std::string(42, ' ') + "┃\n");
  con.print("┗" + repeated("━", 21) + "┛\n");
  con.gotoxy(4, 2);
  con.print("           윷놀이 게임!!!!           ");
  for (int item = 1; item <= 4; ++item) {
    con.gotoxy(11, marker_row(item) - 1);
    con.print("┏" + repeated("━", 9) + "┓");
    con.gotoxy(11, marker_row(item));
    con.print(kLabels[item - 1]);
    con.gotoxy(11, marker_row(item) + 1);
    con.print("┗" + repeated("━", 9) + "┛");
  }
  con.hide_cursor();
}

// Erases the marker of one item and draws it at another, as the menu does on an arrow key.
inline void move_marker(Console& con, int from, int to) {
  con.gotoxy(4, marker_row(from));
  con.print(" ");
  con.gotoxy(4, marker_row(to));
  con.print("▶");
}

// One step of a random drawing: now and then a clearing, then a run of up to 11 of the given
// glyphs at a random place.
inline void draw_at_random(Console& con, std::mt19937& random,
                           std::span<const char* const> glyphs) {
  if (random() % 40 == 0) con.clear_screen();
  con.gotoxy(static_cast<int>(random() % 80), static_cast<int>(random() % 34));
  const int count = static_cast<int>(random() % 12);
  for (int i = 0; i < count; ++i) con.print(glyphs[random() % glyphs.size()]);
}

}  // namespace yut::test
