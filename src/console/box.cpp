#include "console/box.h"

#include <string>
#include <string_view>

namespace yut {

namespace {

std::string repeat(std::string_view piece, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out.append(piece);
  return out;
}

}  // namespace

void print_box(Console& con, int inner_cells, int inner_rows) {
  std::string box = "┏" + repeat("━", inner_cells) + "┓\n";
  const std::string side = "┃" + repeat(" ", 2 * inner_cells) + "┃\n";
  box += repeat(side, inner_rows);
  box += "┗" + repeat("━", inner_cells) + "┛\n";
  con.print(box);
}

}  // namespace yut
