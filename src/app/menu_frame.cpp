#include "app/menu_frame.h"

namespace yut {

namespace {

constexpr std::string_view kFrameTop = "┏━━━━━━━━━━━━━━━━━━━━━┓\n";
constexpr std::string_view kFrameSide = "┃                                          ┃\n";
constexpr std::string_view kFrameBottom = "┗━━━━━━━━━━━━━━━━━━━━━┛\n";
constexpr int kFrameSideLines = 21;

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

}  // namespace

void draw_menu_frame(Console& con) {
  con.clear_screen();
  con.gotoxy(0, 0);
  con.print(kFrameTop);
  for (int i = 0; i < kFrameSideLines; ++i) {
    con.print(kFrameSide);
  }
  con.print(kFrameBottom);
}

void draw_menu_boxes(Console& con, const MenuLayout& layout) {
  int item = 1;
  for (std::string_view label : layout.labels) {
    int row = menu_label_row(item++);
    con.gotoxy(kMenuBoxColumn, row - 1);
    con.print(layout.box_top);
    con.gotoxy(kMenuBoxColumn, row);
    con.print(label);
    con.gotoxy(kMenuBoxColumn, row + 1);
    con.print(layout.box_bottom);
  }
}

int select_menu_item(Console& con, const MenuLayout& layout) {
  const int count = static_cast<int>(layout.labels.size());
  int selected = 1;
  for (;;) {
    if (layout.hides_cursor) {
      con.hide_cursor();
    }
    con.gotoxy(layout.marker_column, menu_label_row(selected));
    con.print(kMenuMarker);
    const int key = con.read_key();
    con.gotoxy(layout.marker_column, menu_label_row(selected));
    con.print(" ");
    if (key == kKeyEnter) {
      return selected;
    }
    selected = next_selection(selected, key, count);
  }
}

}  // namespace yut
