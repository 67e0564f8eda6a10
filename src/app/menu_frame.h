#pragma once
// What the main menu and the mode menu share: the outer frame, the item boxes and the
// marker that the arrow keys move.

#include <span>
#include <string_view>

#include "console/console.h"

namespace yut {

struct MenuLayout {
  std::span<const std::string_view> labels;  // label lines, item 1 first
  std::string_view box_top;
  std::string_view box_bottom;
  int marker_column;
  bool hides_cursor;  // the main menu hides the cursor before every key read
};

inline constexpr int kMenuBoxColumn = 11;
inline constexpr std::string_view kMenuMarker = "▶";

// Label row of item k (1-based); its box spans the rows just above and below.
constexpr int menu_label_row(int item) {
  return 4 * item + 2;
}

// Clears the screen and draws the outer frame over rows 0 to 22, columns 0 to 45.
void draw_menu_frame(Console& con);
// Draws every item's box at column 11.
void draw_menu_boxes(Console& con, const MenuLayout& layout);
// Moves the marker with the keys until Enter; returns the chosen item, 1-based.
int select_menu_item(Console& con, const MenuLayout& layout);

}  // namespace yut
