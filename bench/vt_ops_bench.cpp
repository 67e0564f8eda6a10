// The console-API back ends' share of a refresh: reading the renderer's bytes into console
// operations. The counter "ops" is the number of console calls one refresh turns into.
#include <benchmark/benchmark.h>

#include <string>

#include "../tests/console/title_drawing.h"
#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "console/platform/vt_ops.h"

namespace yut {
namespace {

// The bytes of the title screen's first paint, as the renderer sends them.
std::string title_screen_bytes(Encoding encoding, int ambiguous_width) {
  MemoryPlatform platform;
  platform.set_encoding(encoding);
  platform.set_ambiguous_width(ambiguous_width);
  Console con(platform);
  test::draw_title_screen(con);
  test::move_marker(con, 1, 1);
  con.refresh();
  return platform.output();
}

void interpret_title_screen(benchmark::State& state, Encoding encoding, int ambiguous_width,
                            bool wide_in_one_cell) {
  const std::string bytes = title_screen_bytes(encoding, ambiguous_width);
  const VtOptions options{encoding, ambiguous_width, 80, wide_in_one_cell};
  std::size_t ops = 0;
  for (auto _ : state) {
    VtState vt;
    const auto result = interpret_vt(bytes, options, vt);
    ops = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["ops"] = static_cast<double>(ops);
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

BENCHMARK_CAPTURE(interpret_title_screen, utf16_console, Encoding::Utf8, 1, false);
BENCHMARK_CAPTURE(interpret_title_screen, cp949_console, Encoding::Cp949, 2, false);
BENCHMARK_CAPTURE(interpret_title_screen, wine_console, Encoding::Utf8, 1, true);

}  // namespace
}  // namespace yut

BENCHMARK_MAIN();
