#include "app/menu_frame.h"

#include "console/box.h"

namespace yut {

namespace {

constexpr int kFrameCells = 21;  // two-column glyphs between the frame's corners
constexpr int kFrameSideLines = 21;

constexpr int kBoxColumn = 11;
constexpr std::string_view kMarker = "▶";

// Label row of item k (1-based); its box spans the rows just above and below.
constexpr int label_row(int item) {
  return 4 * item + 2;
}

// Clears the screen and draws the outer frame over rows 0 to 22, columns 0 to 45.
void draw_frame(Console& con) {
  con.clear_screen();
  con.gotoxy(0, 0);
  print_box(con, kFrameCells, kFrameSideLines);
}

void draw_boxes(Console& con, const MenuLayout& layout) {
  int item = 1;
  for (std::string_view label : layout.labels) {
    const int row = label_row(item++);
    con.gotoxy(kBoxColumn, row - 1);
    con.print(layout.box_top);
    con.gotoxy(kBoxColumn, row);
    con.print(label);
    con.gotoxy(kBoxColumn, row + 1);
    con.print(layout.box_bottom);
  }
}

// The selection after one key: the arrows' second codes (and H, P) move it with
// wrap-around; every other code, the arrows' prefix included, leaves it in place.
int next_selection(int selected, int key, int count) {
  switch (key) {
    case kKeyUp:
      return selected <= 1 ? count : selected - 1;
    case kKeyDown:
      return selected >= count ? 1 : selected + 1;
    default:
      return selected;
  }
}

int select_item(Console& con, const MenuLayout& layout) {
  const int count = static_cast<int>(layout.labels.size());
  int selected = 1;
  for (;;) {
    if (layout.hides_cursor) {
      con.hide_cursor();
    }
    con.gotoxy(layout.marker_column, label_row(selected));
    con.print(kMarker);
    const int key = con.read_key();
    con.gotoxy(layout.marker_column, label_row(selected));
    con.print(" ");
    if (key == kKeyEnter) {
      return selected;
    }
    selected = next_selection(selected, key, count);
  }
}

}  // namespace

int run_menu(Console& con, const MenuLayout& layout) {
  draw_frame(con);
  con.gotoxy(layout.header_x, layout.header_y);
  con.print(layout.header);
  draw_boxes(con, layout);
  return select_item(con, layout);
}

}  // namespace yut
