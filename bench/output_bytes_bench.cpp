// Bytes sent to the terminal for the same screens: this program's renderer against
// ncurses' screen optimisation, and against a floor.
//
//   build/bench/output_bytes_bench
//
// A scripted session runs through the real menus and game (title screen, the marker moved
// down and up five times, the mode menu, a two-player game with the throws of seed 7 and 30
// player turns). Every refresh's screen is kept and drawn again with ncurses (newterm into
// a file, TERM=xterm-256color, the same cells as a terminal that draws box drawing one
// column wide shows). The floor is the UTF-8 bytes of the changed columns, plus the
// cheapest cursor moves between them, plus ECH or EL where a run becomes blank: about what
// a renderer that always knows where the cursor stands would send.
// The figures are printed for a terminal that draws ambiguous glyphs one column wide, one
// that draws them two wide, and two that never answered the width probe (drawing them one
// and two wide). For the two-column terminal ncurses is given the two-column screen: each
// glyph of ambiguous width stands in for a wide glyph of the same UTF-8 length, so that
// ncurses (whose widths are the C library's, one column for these) places the same columns
// and counts the same bytes. For the silent ones ncurses' figures are those of its own,
// one-column, idea of the widths: what it would send not knowing.

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <curses.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/app/scripted_session.h"
#include "../tests/console/vt_terminal.h"

namespace yut {
namespace {

using test::TerminalKind;

constexpr int kTurns = 30;
constexpr char32_t kRightHalf = 0;

// What a terminal of this kind shows for the screen, column by column.
std::vector<char32_t> terminal_image(const Screen& screen, TerminalKind kind) {
  std::vector<char32_t> image(static_cast<size_t>(screen.cols() * screen.rows()), U' ');
  for (int y = 0; y < screen.rows(); ++y) {
    for (int x = 0; x < screen.cols(); ++x) {
      const char32_t ch = screen.at(x, y).ch;
      if (ch == 0) continue;
      const size_t at = static_cast<size_t>(y * screen.cols() + x);
      image[at] = ch;
      if (ch < 0x80) continue;
      if (test::terminal_draws_wide(ch) || test::ambiguous_columns(kind) == 2) {
        image[at + 1] = kRightHalf;
      } else {
        image[at + 1] = test::filler_after(ch, x, screen.cols());
      }
    }
  }
  return image;
}

int utf8_bytes(char32_t ch) {
  return ch < 0x80 ? 1 : ch < 0x800 ? 2 : ch < 0x10000 ? 3 : 4;
}

int digits(int n) {
  return n < 10 ? 1 : n < 100 ? 2 : 3;
}

// ESC [ n final, n left out when 1.
int csi(int n) {
  return 3 + (n == 1 ? 0 : digits(n));
}

// The cheapest move from (fx, fy) to (x, y); `resent` is what sending the columns between
// fx and x on row y again costs (or a large number), `from_start` the same after a CR.
int move_cost(int fx, int fy, int x, int y, int resent, int from_start) {
  if (fx == x && fy == y) return 0;
  int best = 3 + (y == 0 && x == 0 ? 0 : digits(y + 1)) + (x == 0 ? 0 : 1 + digits(x + 1));
  int horizontal = 0;
  if (fx != x) {
    horizontal = std::min(csi(x + 1), from_start);  // CHA, or CR and the columns again
    if (x == 0) horizontal = 1;
    if (x > fx) horizontal = std::min({horizontal, csi(x - fx), resent});
    if (x < fx) horizontal = std::min({horizontal, fx - x, csi(fx - x)});
  }
  if (fy == y) return std::min(best, horizontal);
  const int vertical = std::min(csi(y + 1), csi(std::abs(y - fy)));
  return std::min(best, vertical + horizontal);
}

// Floor of one refresh from `before` to `after`, the rows taken from `first_row` down and
// then round from the top; the cursor starts at (cx, cy).
int rows_floor(const std::vector<char32_t>& before, const std::vector<char32_t>& after,
               int first_row, int& cx, int& cy) {
  int total = 0;
  for (int i = 0; i < kScreenRows; ++i) {
    const int y = (first_row + i) % kScreenRows;
    const auto row = [y](const std::vector<char32_t>& image, int x) {
      return image[static_cast<size_t>(y * kScreenCols + x)];
    };
    int x = 0;
    while (x < kScreenCols) {
      if (row(after, x) == row(before, x)) {
        ++x;
        continue;
      }
      int start = x;
      if (row(after, start) == kRightHalf) --start;
      int end = start;
      int cost = 0;
      if (row(after, start) == U' ') {
        // Blanks up to the last changed one of the stretch, or erased (ECH; EL where the row
        // stays blank to its end).
        int stretch = start;
        while (stretch < kScreenCols && row(after, stretch) == U' ') {
          if (row(before, stretch) != U' ') end = stretch + 1;
          ++stretch;
        }
        cost = std::min(end - start, stretch == kScreenCols ? 3 : csi(end - start));
      } else {
        // Changed glyphs, whole.
        while (end < kScreenCols && row(after, end) != U' ' &&
               (row(after, end) != row(before, end) || row(after, end) == kRightHalf)) {
          cost += row(after, end) == kRightHalf ? 0 : utf8_bytes(row(after, end));
          ++end;
        }
      }
      // Columns left of the run already show what they should: sending them again is a
      // way to reach the run, from the cursor's column or, after CR, from column 0.
      const auto resent = [&](int from) {
        int bytes = 0;
        for (int i = from; i < start; ++i) {
          bytes += row(after, i) == kRightHalf ? 0 : utf8_bytes(row(after, i));
        }
        return bytes;
      };
      total += move_cost(cx, cy, start, y, cx < start ? resent(cx) : 1 << 20, 1 + resent(0));
      total += cost;
      cx = end;
      cy = y;
      x = end;
    }
  }
  return total;
}

// The rows top to bottom, or from the cursor's row round, whichever is cheaper.
int floor_bytes(const std::vector<char32_t>& before, const std::vector<char32_t>& after, int& cx,
                int& cy) {
  int top_x = cx;
  int top_y = cy;
  const int top_down = rows_floor(before, after, 0, top_x, top_y);
  const int round = rows_floor(before, after, cy, cx, cy);
  if (round <= top_down) return round;
  cx = top_x;
  cy = top_y;
  return top_down;
}

struct Run {
  std::vector<test::SessionAction> actions;
  std::vector<std::size_t> bytes;  // per refresh: this renderer
  std::vector<std::size_t> floor;  // per refresh
  std::vector<Screen> screens;     // per refresh
};

Run run_session(TerminalKind kind) {
  Run run;
  test::ScriptedSession session(kTurns);
  test::set_up_platform(session, kind);
  std::vector<char32_t> shown(static_cast<size_t>(kScreenCols * kScreenRows), U' ');
  int cx = 0;
  int cy = 0;
  bool first = true;
  session.on_refresh = [&](std::string_view bytes, const Screen& screen) {
    run.bytes.push_back(bytes.size());
    run.screens.push_back(screen);
    const auto image = terminal_image(screen, kind);
    // The first paint clears the terminal and hides the cursor.
    std::size_t floor = first ? 13 : 0;
    first = false;
    floor += static_cast<std::size_t>(floor_bytes(shown, image, cx, cy));
    run.floor.push_back(floor);
    shown = image;
  };
  session.run();
  run.actions = session.actions();
  return run;
}

// A wide glyph (CJK) with as many UTF-8 bytes as ch, one for each glyph the game uses.
wchar_t wide_stand_in(char32_t ch) {
  constexpr char32_t kCjkStart = 0x4E00;
  constexpr char32_t kSpan = 0x4000;  // up to 0x8DFF, all of it wide
  return static_cast<wchar_t>(kCjkStart + ch % kSpan);
}

// ncurses' bytes for each screen as a terminal of this width shows it; the first includes
// its set-up, of which `setup` tells the bytes written before the first refresh.
std::vector<std::size_t> ncurses_bytes(const std::vector<Screen>& screens, TerminalKind kind,
                                       std::size_t& setup) {
  const bool two_columns = kind == TerminalKind::TwoColumns;
  setenv("LINES", "34", 1);
  setenv("COLUMNS", "80", 1);
  FILE* out = std::tmpfile();
  FILE* in = std::fopen("/dev/null", "r");
  SCREEN* term = newterm("xterm-256color", out, in);
  if (out == nullptr || in == nullptr || term == nullptr) {
    std::fprintf(stderr, "ncurses could not be set up\n");
    std::exit(1);
  }
  set_term(term);
  leaveok(stdscr, TRUE);  // the game's cursor is hidden: it need not be placed
  curs_set(0);
  const auto written = [out] {
    std::fflush(out);
    return static_cast<std::size_t>(std::ftell(out));
  };
  setup = written();
  std::vector<std::size_t> result;
  std::size_t before = 0;
  for (const Screen& screen : screens) {
    const auto image = terminal_image(screen, kind);
    for (int y = 0; y < kScreenRows; ++y) {
      std::wstring line;
      for (int x = 0; x < kScreenCols; ++x) {
        const char32_t ch = image[static_cast<size_t>(y * kScreenCols + x)];
        if (ch == kRightHalf) continue;
        const bool stand_in = two_columns && ch >= 0x80 && !test::terminal_draws_wide(ch);
        line += stand_in ? wide_stand_in(ch) : static_cast<wchar_t>(ch);
      }
      mvaddnwstr(y, 0, line.c_str(), -1);
    }
    refresh();
    const std::size_t now = written();
    result.push_back(now - before);
    before = now;
  }
  endwin();
  delscreen(term);
  std::fclose(out);
  std::fclose(in);
  return result;
}

struct Phase {
  const char* name;
  double ours;
  double ncurses;
  double floor;
};

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<Phase> phases(const Run& run, const std::vector<std::size_t>& curses) {
  const auto& actions = run.actions;
  // Bytes per action: its refreshes up to the next action's.
  const auto sum = [&](const std::vector<std::size_t>& per_refresh, size_t a, size_t b) {
    const size_t first = actions[a].first_refresh;
    const size_t last = b < actions.size() ? actions[b].first_refresh : per_refresh.size();
    double total = 0;
    for (size_t i = first; i < last; ++i) total += static_cast<double>(per_refresh[i]);
    return total;
  };
  const auto all = [&](size_t a, size_t b) {
    return std::array<double, 3>{sum(run.bytes, a, b), sum(curses, a, b), sum(run.floor, a, b)};
  };
  std::vector<std::array<double, 3>> markers, throws, turns;
  std::array<double, 3> title{}, mode{}, game{};
  size_t turn_start = 0;
  for (size_t i = 0; i < actions.size(); ++i) {
    const test::SessionAction& a = actions[i];
    switch (a.kind) {
      case test::ActionKind::Start:
        title = all(i, i + 1);
        break;
      case test::ActionKind::Arrow:
        markers.push_back(all(i, i + 1));
        break;
      case test::ActionKind::MenuEnter:
        mode = all(i, i + 1);
        break;
      case test::ActionKind::ModeEnter:
        game = all(i, i + 1);
        break;
      case test::ActionKind::Choice: {
        const bool plain =
            i + 1 < actions.size() && actions[i + 1].kind == test::ActionKind::Choice;
        if (a.choice <= 4 && plain) throws.push_back(all(i, i + 1));
        if (a.turn_starts) {
          if (turn_start != 0) turns.push_back(all(turn_start, i));
          turn_start = i;
        }
        break;
      }
      case test::ActionKind::Pause:
      case test::ActionKind::Name:
        break;
    }
  }
  const auto mid = [](const std::vector<std::array<double, 3>>& values, int k) {
    std::vector<double> column;
    for (const auto& v : values) column.push_back(v[static_cast<size_t>(k)]);
    return median(column);
  };
  const auto mean = [](const std::vector<std::array<double, 3>>& values, int k) {
    double total = 0;
    for (const auto& v : values) total += v[static_cast<size_t>(k)];
    return values.empty() ? 0 : total / static_cast<double>(values.size());
  };
  const auto whole = all(0, actions.size());
  double largest_marker_move = 0;
  for (const auto& m : markers) largest_marker_move = std::max(largest_marker_move, m[0]);
  std::printf(
      "  (%zu marker moves, the largest %.0f bytes; %zu one-piece throws; %zu whole turns; "
      "%zu refreshes)\n",
      markers.size(), largest_marker_move, throws.size(), turns.size(), run.bytes.size());
  return {
      {"title screen, first paint", title[0], title[1], title[2]},
      {"one marker move (mean)", mean(markers, 0), mean(markers, 1), mean(markers, 2)},
      {"mode menu", mode[0], mode[1], mode[2]},
      {"mode menu to game screen", game[0], game[1], game[2]},
      {"one-piece throw (median)", mid(throws, 0), mid(throws, 1), mid(throws, 2)},
      {"one player's turn (median)", mid(turns, 0), mid(turns, 1), mid(turns, 2)},
      {"whole session", whole[0], whole[1], whole[2]},
  };
}

}  // namespace
}  // namespace yut

int main() {
  using namespace yut;
  std::setlocale(LC_ALL, "C.UTF-8");
  const Run reference = run_session(TerminalKind::OneColumn);
  std::size_t setup = 0;
  const std::vector<std::size_t> one_column =
      ncurses_bytes(reference.screens, TerminalKind::OneColumn, setup);
  const std::vector<std::size_t> two_columns =
      ncurses_bytes(reference.screens, TerminalKind::TwoColumns, setup);
  for (const TerminalKind kind : test::kTerminalKinds) {
    const Run run = kind == TerminalKind::OneColumn ? reference : run_session(kind);
    const auto& curses = kind == TerminalKind::TwoColumns ? two_columns : one_column;
    if (run.bytes.size() != curses.size()) {
      std::fprintf(stderr, "the %s session differs from the reference\n", test::name_of(kind));
      return 1;
    }
    std::printf("\n%s terminal\n", test::name_of(kind));
    const auto table = phases(run, curses);
    std::printf("  %-28s %9s %9s %7s %9s %7s\n", "phase (bytes)", "this", "ncurses", "this/nc",
                "floor", "this/fl");
    for (const Phase& p : table) {
      std::printf("  %-28s %9.1f %9.1f %7.3f %9.1f %7.3f\n", p.name, p.ours, p.ncurses,
                  p.ours / p.ncurses, p.floor, p.ours / p.floor);
    }
  }
  std::printf(
      "\nncurses' title paint includes %zu bytes of set-up written before its first refresh\n",
      setup);
  return 0;
}
