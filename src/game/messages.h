#pragma once
// The two-line messages of a game: captures and refused choices, under the turn's texts.

#include <string_view>

#include "console/console.h"

namespace yut {

inline constexpr int kMessageColumn = 44;
inline constexpr int kMessageFirstRow = 19;

inline void show_message(Console& con, std::string_view first, std::string_view second) {
  con.gotoxy(kMessageColumn, kMessageFirstRow);
  con.print(first);
  con.gotoxy(kMessageColumn, kMessageFirstRow + 1);
  con.print(second);
}

}  // namespace yut
