#pragma once
// What the main menu and the mode menu share: a cleared screen with the outer frame, one
// line of text at the top, a box for each item, and the marker that the arrow keys move.

#include <span>
#include <string_view>

#include "console/console.h"

namespace yut {

struct MenuLayout {
  int header_x;
  int header_y;
  std::string_view header;                   // the title or the prompt
  std::span<const std::string_view> labels;  // label lines, item 1 first
  std::string_view box_top;
  std::string_view box_bottom;
  int marker_column;
  bool hides_cursor;  // the main menu hides the cursor before every key read
};

// Draws the menu, moves the marker with the keys until Enter and returns the chosen item,
// 1-based. The selection starts on item 1 at every call.
int run_menu(Console& con, const MenuLayout& layout);

}  // namespace yut
