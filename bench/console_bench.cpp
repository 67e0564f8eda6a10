// Bytes the console layer sends and the time it takes to bring an 80x34 screen up to date.
// The counters "bytes" are bytes sent per iteration.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/console/title_drawing.h"
#include "console/console.h"
#include "console/platform/memory_platform.h"

namespace yut {
namespace {

// The game screen's frame: 34 lines of 78 columns from (0, 0).
void draw_game_frame(Console& con) {
  const std::string side = "┃" + std::string(40, ' ') + "┃" + std::string(32, ' ') + "┃\n";
  con.gotoxy(0, 0);
  con.print("┏" + test::repeated("━", 37) + "┓\n");
  for (int row = 1; row < 8; ++row) con.print("┃" + std::string(74, ' ') + "┃\n");
  con.print("┣" + test::repeated("━", 20) + "┳" + test::repeated("━", 16) + "┫\n");
  for (int row = 9; row < 33; ++row) con.print(side);
  con.print("┗" + test::repeated("━", 20) + "┻" + test::repeated("━", 16) + "┛\n");
  for (int i = 0; i < 7; ++i) {
    for (int j = 0; j < 7; ++j) {
      con.gotoxy(8 + 4 * i, 11 + 2 * j);
      con.print((i == j || i + j == 6 || i == 0 || j == 0 || i == 6 || j == 6) ? "○" : "  ");
    }
  }
  con.hide_cursor();
}

void first_paint(benchmark::State& state, void (*draw)(Console&)) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    MemoryPlatform platform;
    platform.keep_output(false);
    platform.set_ambiguous_width(static_cast<int>(state.range(0)), true);
    Console con(platform);
    draw(con);
    con.refresh();
    bytes = platform.bytes_written();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void draw_title_with_marker(Console& con);

void BM_FirstPaintTitleScreen(benchmark::State& state) {
  first_paint(state, draw_title_with_marker);
}
BENCHMARK(BM_FirstPaintTitleScreen)->Arg(1)->Arg(2)->ArgName("ambiguous_width");

void BM_FirstPaintGameFrame(benchmark::State& state) {
  first_paint(state, draw_game_frame);
}
BENCHMARK(BM_FirstPaintGameFrame)->Arg(1)->Arg(2)->ArgName("ambiguous_width");

// A console whose screen has been painted once; counts the bytes sent after that.
struct PaintedConsole {
  PaintedConsole(void (*draw)(Console&), int ambiguous_width) {
    platform.keep_output(false);
    platform.set_ambiguous_width(ambiguous_width, true);
    draw(con);
    con.refresh();
    painted_bytes = platform.bytes_written();
  }
  benchmark::Counter bytes_per_iteration() const {
    return {static_cast<double>(platform.bytes_written() - painted_bytes),
            benchmark::Counter::kAvgIterations};
  }

  MemoryPlatform platform;
  Console con{platform};
  std::size_t painted_bytes = 0;
};

void draw_title_with_marker(Console& con) {
  test::draw_title_screen(con);
  test::move_marker(con, 1, 1);
}

void BM_MarkerMove(benchmark::State& state) {
  PaintedConsole painted(draw_title_with_marker, static_cast<int>(state.range(0)));
  int item = 1;
  for (auto _ : state) {
    const int next = item % 4 + 1;
    test::move_marker(painted.con, item, next);
    painted.con.refresh();
    item = next;
  }
  state.counters["bytes"] = painted.bytes_per_iteration();
}
BENCHMARK(BM_MarkerMove)->Arg(1)->Arg(2)->ArgName("ambiguous_width");

void BM_RefreshUnchanged(benchmark::State& state) {
  PaintedConsole painted(draw_game_frame, 1);
  for (auto _ : state) {
    painted.con.refresh();
  }
  state.counters["bytes"] = painted.bytes_per_iteration();
}
BENCHMARK(BM_RefreshUnchanged);

void BM_RefreshOneCellChanged(benchmark::State& state) {
  PaintedConsole painted(draw_game_frame, 1);
  bool flip = false;
  for (auto _ : state) {
    painted.con.gotoxy(50, 15);
    painted.con.print(flip ? "a" : "b");
    flip = !flip;
    painted.con.refresh();
  }
  state.counters["bytes"] = painted.bytes_per_iteration();
}
BENCHMARK(BM_RefreshOneCellChanged);

// Redrawing the whole game frame in place (as every repaint of the board does) with only
// one station changed.
void BM_RedrawFrameOneStationChanged(benchmark::State& state) {
  PaintedConsole painted(draw_game_frame, 1);
  bool flip = false;
  for (auto _ : state) {
    draw_game_frame(painted.con);
    painted.con.gotoxy(8, 11);
    painted.con.print(flip ? "ⓐ" : "○");
    flip = !flip;
    painted.con.refresh();
  }
  state.counters["bytes"] = painted.bytes_per_iteration();
}
BENCHMARK(BM_RedrawFrameOneStationChanged);

}  // namespace
}  // namespace yut

BENCHMARK_MAIN();
