// Bytes the console layer sends and the time it takes to bring an 80x34 screen up to date.
// The counters "bytes" are bytes sent per iteration.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/console/title_drawing.h"
#include "console/console.h"
#include "console/memory_platform.h"

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
    platform.set_ambiguous_width(static_cast<int>(state.range(0)));
    Console con(platform);
    draw(con);
    con.refresh();
    bytes = platform.bytes_written();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_FirstPaintTitleScreen(benchmark::State& state) {
  first_paint(state, [](Console& con) {
    test::draw_title_screen(con);
    test::move_marker(con, 1, 1);
  });
}
BENCHMARK(BM_FirstPaintTitleScreen)->Arg(1)->Arg(2)->ArgName("ambiguous_width");

void BM_FirstPaintGameFrame(benchmark::State& state) {
  first_paint(state, draw_game_frame);
}
BENCHMARK(BM_FirstPaintGameFrame)->Arg(1)->Arg(2)->ArgName("ambiguous_width");

void BM_MarkerMove(benchmark::State& state) {
  MemoryPlatform platform;
  platform.keep_output(false);
  platform.set_ambiguous_width(static_cast<int>(state.range(0)));
  Console con(platform);
  test::draw_title_screen(con);
  test::move_marker(con, 1, 1);
  con.refresh();
  const std::size_t before = platform.bytes_written();
  int item = 1;
  for (auto _ : state) {
    const int next = item % 4 + 1;
    test::move_marker(con, item, next);
    con.refresh();
    item = next;
  }
  state.counters["bytes"] = benchmark::Counter(
      static_cast<double>(platform.bytes_written() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MarkerMove)->Arg(1)->Arg(2)->ArgName("ambiguous_width");

void BM_RefreshUnchanged(benchmark::State& state) {
  MemoryPlatform platform;
  platform.keep_output(false);
  Console con(platform);
  draw_game_frame(con);
  con.refresh();
  for (auto _ : state) {
    con.refresh();
  }
  state.counters["writes"] = static_cast<double>(platform.writes());
}
BENCHMARK(BM_RefreshUnchanged);

void BM_RefreshOneCellChanged(benchmark::State& state) {
  MemoryPlatform platform;
  platform.keep_output(false);
  Console con(platform);
  draw_game_frame(con);
  con.refresh();
  const std::size_t before = platform.bytes_written();
  bool flip = false;
  for (auto _ : state) {
    con.gotoxy(50, 15);
    con.print(flip ? "a" : "b");
    flip = !flip;
    con.refresh();
  }
  state.counters["bytes"] = benchmark::Counter(
      static_cast<double>(platform.bytes_written() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RefreshOneCellChanged);

// Redrawing the whole game frame in place (as every repaint of the board does) with only
// one station changed.
void BM_RedrawFrameOneStationChanged(benchmark::State& state) {
  MemoryPlatform platform;
  platform.keep_output(false);
  Console con(platform);
  draw_game_frame(con);
  con.refresh();
  const std::size_t before = platform.bytes_written();
  bool flip = false;
  for (auto _ : state) {
    draw_game_frame(con);
    con.gotoxy(8, 11);
    con.print(flip ? "ⓐ" : "○");
    flip = !flip;
    con.refresh();
  }
  state.counters["bytes"] = benchmark::Counter(
      static_cast<double>(platform.bytes_written() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RedrawFrameOneStationChanged);

}  // namespace
}  // namespace yut

BENCHMARK_MAIN();
