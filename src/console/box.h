#pragma once
// A box of heavy box-drawing glyphs, as the stand-alone screens draw their outer frame.

#include "console/console.h"

namespace yut {

// Prints, from the cursor on, a box `inner_cells` two-column glyphs wide and `inner_rows`
// rows high between its corners; every line ends with a line break.
void print_box(Console& con, int inner_cells, int inner_rows);

}  // namespace yut
