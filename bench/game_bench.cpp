// Headless games through the real turn code, and the bytes a turn sends to the terminal.
//
//   build/bench/game_bench [games]
//
// 1. Whole games, two persons typing random choices (MemoryPlatform, no terminal), then
//    versus the computer: games per second on one core (CPU time), turns per game, and
//    peak memory (ru_maxrss) after a tenth of the games and after all of them.
// 2. Bytes sent for a typical turn that moves one piece (from one prompt waiting for its
//    number to the next one), against a full repaint of the game screen, for both
//    encodings and both widths of ambiguous glyphs.

#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "app/game_screen.h"
#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "display/board_view.h"
#include "game/context.h"
#include "game/game_loop.h"
#include "game/random.h"
#include "game/state.h"
#include "game/turn.h"
#include "ranking/table.h"

namespace yut {
namespace {

long peak_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double cpu_seconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Counts the throws (every throw draws one roll of 100).
class CountingRandom : public Random {
 public:
  explicit CountingRandom(unsigned seed) : engine_(seed) {}
  int uniform(int n) override {
    if (n == 100) ++throws_;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }
  long throws() const { return throws_; }

 private:
  std::mt19937 engine_;
  long throws_ = 0;
};

std::string person_keys(std::mt19937& engine, int lines) {
  static const char* const kChoices[] = {"1\n",  "2\n",  "3\n",  "4\n",
                                         "11\n", "12\n", "13\n", "14\n"};
  std::uniform_int_distribution<int> pick(0, std::size(kChoices) - 1);
  std::string keys;
  for (int k = 0; k < lines; ++k) keys += kChoices[pick(engine)];
  return keys;
}

// A person who never stops typing: more random choices whenever the typed ones run out.
class TypingPlatform : public MemoryPlatform {
 public:
  int read_byte(int timeout_ms) override {
    if (input_left() == 0) add_input(person_keys(engine_, 4096));
    return MemoryPlatform::read_byte(timeout_ms);
  }

 private:
  std::mt19937 engine_{777};
};

void simulate(const char* label, void (*game)(GameContext&), int games) {
  TypingPlatform platform;
  platform.keep_output(false);
  Console con(platform);
  GameState state;
  RankingTable ranking{};
  CountingRandom random(12345);
  const std::string ranking_path = "/tmp/yut_game_bench_lanksave.txt";
  std::remove(ranking_path.c_str());
  Session session{con, state, random, ranking, ranking_path};
  GameScreen screen(session);
  GameContext ctx{state, random, screen};

  long peak_early = 0;
  const double start = cpu_seconds();
  for (int g = 0; g < games; ++g) {
    game(ctx);
    if (g == games / 10) peak_early = peak_kib();
  }
  const double seconds = cpu_seconds() - start;
  std::printf("%-22s %6d games  %8.0f games/s  %6.1f throws/game  %8.0f throws/s\n", label, games,
              games / seconds, static_cast<double>(random.throws()) / games,
              static_cast<double>(random.throws()) / seconds);
  std::printf("%-22s peak memory %ld KiB after %d games, %ld KiB after %d\n", "", peak_early,
              games / 10 + 1, peak_kib(), games);
  std::remove(ranking_path.c_str());
}

// Notes the bytes sent so far each time the console waits for input.
class MeasuringPlatform : public MemoryPlatform {
 public:
  using MemoryPlatform::MemoryPlatform;
  int read_byte(int timeout_ms) override {
    sent_at_reads.push_back(bytes_written());
    return MemoryPlatform::read_byte(timeout_ms);
  }
  std::vector<std::size_t> sent_at_reads;
};

// A fixed sequence of throws.
class FixedRandom : public Random {
 public:
  explicit FixedRandom(std::vector<int> values) : values_(std::move(values)) {}
  int uniform(int) override { return next_ < values_.size() ? values_[next_++] : 0; }

 private:
  std::vector<int> values_;
  std::size_t next_ = 0;
};

void turn_bytes(Encoding encoding, int ambiguous_width) {
  // Mid-game: pieces of both sides out, scores on the panel.
  GameState state;
  state.board[cell_index(6, 3)] = 2;
  state.board[cell_index(0, 0)] = 12;
  state.stacked[0] = {3, 4, 0, 0};
  state.stacked_count[0] = 2;
  state.board[cell_index(4, 0)] = 7;
  state.board[cell_index(2, 4)] = 8;
  state.score = {750, 500};

  // Side 1 throws geol and moves piece a from (6,3) to (6,0); side 2's prompt follows.
  MeasuringPlatform platform("1\n");
  platform.keep_output(false);
  platform.set_encoding(encoding);
  platform.set_ambiguous_width(ambiguous_width, true);
  Console con(platform);
  RankingTable ranking{};
  FixedRandom random({60, 30});
  Session session{con, state, random, ranking, "/tmp/yut_game_bench_unused.txt"};
  GameScreen screen(session);
  GameContext ctx{state, random, screen};
  draw_board(con, state);
  try {
    take_turn(ctx, side1_player());
    take_turn(ctx, side2_player());
  } catch (const InputClosed&) {
  }
  const std::size_t turn = platform.sent_at_reads.back() - platform.sent_at_reads.front();

  con.repaint();
  const std::size_t before = platform.bytes_written();
  con.refresh();
  const std::size_t full = platform.bytes_written() - before;
  std::printf("%-6s ambiguous width %d: one turn %4zu bytes, full repaint %5zu bytes (%.1f%%)\n",
              encoding == Encoding::Utf8 ? "UTF-8" : "CP949", ambiguous_width, turn, full,
              100.0 * static_cast<double>(turn) / static_cast<double>(full));
}

}  // namespace
}  // namespace yut

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const int games = argc > 1 ? std::atoi(argv[1]) : 2000;
  yut::simulate("two persons", yut::two_player_game, games);
  yut::simulate("person vs computer", yut::versus_computer_game, games);
  for (const auto encoding : {yut::Encoding::Utf8, yut::Encoding::Cp949}) {
    for (const int width : {1, 2}) yut::turn_bytes(encoding, width);
  }
  return 0;
}
