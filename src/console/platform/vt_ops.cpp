#include "console/platform/vt_ops.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "console/text/cp949.h"
#include "console/text/glyph_width.h"
#include "console/text/utf8.h"

namespace yut {
namespace {

constexpr char kEsc = '\x1b';
constexpr char kBel = '\x07';
constexpr std::string_view kZeroWidthSpace = "\u200b";
constexpr int kTabStop = 8;
constexpr int kMaxParam = 10000;
// An unfinished sequence longer than these is garbage: it is dropped, not kept waiting.
constexpr std::size_t kMaxControlSequence = 64;
constexpr std::size_t kMaxStringSequence = 4096;
// Bytes used by one step when the text ends inside what it started to read.
constexpr std::size_t kIncomplete = 0;

struct Params {
  bool is_private = false;  // the parameters began with '?', '>', '=' or '<'
  std::array<int, 4> values{};
  std::size_t count = 0;

  // The n-th value, or fallback where it is missing or 0 (VT's default rule).
  int get(std::size_t n, int fallback) const {
    return n < count && values[n] != 0 ? values[n] : fallback;
  }
  bool contains(int value) const {
    return std::find(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count), value) !=
           values.begin() + static_cast<std::ptrdiff_t>(count);
  }
};

Params parse_params(std::string_view bytes) {
  Params p;
  if (!bytes.empty() && bytes.front() >= '<' && bytes.front() <= '?') {
    p.is_private = true;
    bytes.remove_prefix(1);
  }
  if (bytes.empty()) return p;
  p.count = 1;
  for (const char c : bytes) {
    if (c == ';' || c == ':') {
      if (p.count == p.values.size()) break;
      ++p.count;
    } else if (c >= '0' && c <= '9') {
      int& v = p.values[p.count - 1];
      v = std::min(kMaxParam, v * 10 + (c - '0'));
    }
  }
  return p;
}

bool is_string_introducer(char c) {
  return c == ']' || c == 'P' || c == '_' || c == '^' || c == 'X';
}

class Interpreter {
 public:
  Interpreter(const VtOptions& options, VtState& state, std::vector<ConsoleOp>& ops)
      : options_(options), state_(state), ops_(ops) {}

  // Reads one control, sequence, glyph or run of ASCII at text[pos]. Returns the bytes it
  // used, or kIncomplete when the text ends inside it.
  std::size_t step(std::string_view text, std::size_t pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte == static_cast<unsigned char>(kEsc)) return escape(text, pos);
    if (byte < 0x20 || byte == 0x7F) {
      control(static_cast<char>(byte));
      return 1;
    }
    if (byte < 0x80) return ascii_run(text, pos);
    return options_.encoding == Encoding::Cp949 ? cp949_glyph(text, pos) : utf8_glyph(text, pos);
  }

 private:
  void control(char c) {
    switch (c) {
      case '\r':
        move(0, state_.y);
        break;
      case '\n':
        line_feed();
        break;
      case '\b':
        move(state_.x - 1, state_.y);
        break;
      case '\t':
        move((state_.x / kTabStop + 1) * kTabStop, state_.y);
        break;
      default:
        break;  // bell and the rest change nothing on the screen
    }
  }

  std::size_t escape(std::string_view text, std::size_t pos) {
    if (pos + 1 >= text.size()) return kIncomplete;
    const char kind = text[pos + 1];
    if (kind == '[') return control_sequence(text, pos);
    if (is_string_introducer(kind)) return string_sequence(text, pos);
    // A two-byte escape, possibly with intermediate bytes (ESC ( B): skipped.
    std::size_t end = pos + 1;
    while (end < text.size() && text[end] >= 0x20 && text[end] <= 0x2F) ++end;
    if (end >= text.size()) return kIncomplete;
    return end + 1 - pos;
  }

  std::size_t control_sequence(std::string_view text, std::size_t pos) {
    const std::size_t start = pos + 2;
    std::size_t end = start;
    while (end < text.size() && text[end] >= 0x20 && text[end] <= 0x3F) ++end;
    if (end >= text.size()) {
      return end - pos > kMaxControlSequence ? end - pos : kIncomplete;
    }
    const char final_byte = text[end];
    if (final_byte < 0x40 || final_byte > 0x7E) return end - pos;  // broken: drop up to it
    csi(final_byte, parse_params(text.substr(start, end - start)));
    return end + 1 - pos;
  }

  // OSC and the other string sequences run to BEL or to ESC backslash.
  static std::size_t string_sequence(std::string_view text, std::size_t pos) {
    for (std::size_t i = pos + 2; i < text.size(); ++i) {
      if (text[i] == kBel) return i + 1 - pos;
      if (text[i] == kEsc && i + 1 < text.size() && text[i + 1] == '\\') return i + 2 - pos;
    }
    return text.size() - pos > kMaxStringSequence ? text.size() - pos : kIncomplete;
  }

  void csi(char final_byte, const Params& p) {
    const int x = state_.x;
    const int y = state_.y;
    if (p.is_private) {
      if ((final_byte == 'h' || final_byte == 'l') && p.contains(25)) {
        ops_.push_back(show_cursor_op(final_byte == 'h'));
      }
      return;
    }
    switch (final_byte) {
      case 'H':
      case 'f':
        move(p.get(1, 1) - 1, p.get(0, 1) - 1);
        break;
      case 'G':
      case '`':
        move(p.get(0, 1) - 1, y);
        break;
      case 'd':
        move(x, p.get(0, 1) - 1);
        break;
      case 'A':
        move(x, y - p.get(0, 1));
        break;
      case 'B':
        move(x, y + p.get(0, 1));
        break;
      case 'C':
        move(x + p.get(0, 1), y);
        break;
      case 'D':
        move(x - p.get(0, 1), y);
        break;
      case 'J':
        if (p.get(0, 0) == 2 || p.get(0, 0) == 3) clear();
        break;
      case 'K':
        erase_in_row(p.get(0, 0));
        break;
      case 'X':
        erase(x, std::min(p.get(0, 1), options_.cols - x));
        break;
      case 'n':
        if (p.get(0, 0) == 6) ops_.push_back(make_op(ConsoleOpKind::ReportCursor));
        break;
      default:
        break;  // attributes and the rest: nothing this console needs
    }
  }

  void erase_in_row(int mode) {
    const int x = state_.x;
    if (mode == 0) erase(x, options_.cols - x);
    if (mode == 1) erase(0, x + 1);
    if (mode == 2) erase(0, options_.cols);
  }

  std::size_t ascii_run(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && text[end] >= 0x20 && text[end] < 0x7F) ++end;
    std::string_view run = text.substr(pos, end - pos);
    while (!run.empty()) {  // as much as the row holds, then on at the start of the next
      const auto room = static_cast<std::size_t>(options_.cols - state_.x);
      const std::string_view part = run.substr(0, room);
      write(part);
      advance(static_cast<int>(part.size()));
      run.remove_prefix(part.size());
    }
    return end - pos;
  }

  std::size_t utf8_glyph(std::string_view text, std::size_t pos) {
    const int length = utf8_sequence_length(static_cast<unsigned char>(text[pos]));
    if (length <= 1) return 1;  // a stray continuation or an invalid byte: dropped
    if (pos + static_cast<std::size_t>(length) > text.size()) return kIncomplete;
    std::size_t next = pos;
    const char32_t ch = decode_utf8(text, next);
    if (next - pos != static_cast<std::size_t>(length)) return 1;  // malformed: dropped
    if (options_.wide_in_one_cell && is_east_asian_wide(ch)) {
      padded_glyph(text.substr(pos, next - pos));
    } else {
      glyph(text.substr(pos, next - pos), pinned(ch));
    }
    return next - pos;
  }

  std::size_t cp949_glyph(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x81 || lead > 0xFE) return 1;  // not a lead byte: dropped
    if (pos + 2 > text.size()) return kIncomplete;
    const char32_t ch = cp949_decode(lead, static_cast<unsigned char>(text[pos + 1]));
    glyph(text.substr(pos, 2), pinned(ch));
    return 2;
  }

  bool pinned(char32_t ch) const { return options_.ambiguous_width == 2 || is_east_asian_wide(ch); }

  void glyph(std::string_view bytes, bool two_columns) {
    if (!two_columns) {
      write(bytes);
      advance(1);
      return;
    }
    if (state_.x + 2 > options_.cols) move(0, state_.y + 1);
    // Blank both cells first: a console that draws the glyph one column wide leaves the
    // second cell as it was otherwise. A run of such glyphs on one row shares one blanking.
    if (continues_run()) {
      ops_[static_cast<std::size_t>(run_erase_)].count += 2;
    } else {
      erase(state_.x, 2);
      run_erase_ = static_cast<int>(ops_.size()) - 1;
    }
    write(bytes);
    const int run = run_erase_;
    advance(2);
    move(state_.x, state_.y);
    run_erase_ = run;
  }

  // Whether the glyph about to be written at the cursor directly follows the run of
  // two-column glyphs whose blanking is run_erase_.
  bool continues_run() const {
    if (run_erase_ < 0 || ops_.back() != move_op(state_.x, state_.y)) return false;
    const ConsoleOp& run = ops_[static_cast<std::size_t>(run_erase_)];
    return run.y == state_.y && run.x + run.count == state_.x;
  }

  // A wide glyph that the console keeps in one cell, and a zero-width space in the next.
  void padded_glyph(std::string_view bytes) {
    if (state_.x + 2 > options_.cols) move(0, state_.y + 1);
    write(bytes);
    write(kZeroWidthSpace);
    advance(2);
  }

  // The console does not wrap by itself: a write that fills the row is followed by a
  // placement at the start of the next row.
  void advance(int columns) {
    state_.x += columns;
    if (state_.x >= options_.cols) move(0, state_.y + 1);
  }

  void line_feed() {
    ops_.push_back(make_op(ConsoleOpKind::LineFeed, 0, state_.y));
    state_.x = 0;
    ++state_.y;
    run_erase_ = -1;
  }

  void write(std::string_view bytes) {
    if (bytes.empty()) return;
    if (!ops_.empty() && ops_.back().kind == ConsoleOpKind::WriteText) {
      ops_.back().text += bytes;
    } else {
      ops_.push_back(write_op(bytes));
    }
  }

  // Only the last of several placements in a row counts.
  void move(int x, int y) {
    const ConsoleOp op = move_op(std::clamp(x, 0, options_.cols - 1), std::max(y, 0));
    state_.x = op.x;
    state_.y = op.y;
    if (!ops_.empty() && ops_.back() == op) return;  // already there; a run goes on
    run_erase_ = -1;
    if (!ops_.empty() && ops_.back().kind == ConsoleOpKind::MoveCursor) ops_.pop_back();
    ops_.push_back(op);
  }

  void erase(int x, int count) {
    if (count <= 0) return;
    ops_.push_back(erase_op(x, state_.y, count));
  }

  void clear() {
    ops_.push_back(make_op(ConsoleOpKind::ClearScreen));
    state_.x = 0;
    state_.y = 0;
  }

  const VtOptions& options_;
  VtState& state_;
  std::vector<ConsoleOp>& ops_;
  int run_erase_ = -1;  // the blanking op of the run of two-column glyphs being written
};

}  // namespace

std::vector<ConsoleOp> interpret_vt(std::string_view bytes, const VtOptions& options,
                                    VtState& state) {
  std::string text = std::move(state.pending);
  state.pending.clear();
  text += bytes;
  std::vector<ConsoleOp> ops;
  Interpreter interpreter(options, state, ops);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t used = interpreter.step(text, pos);
    if (used == kIncomplete) {
      state.pending = text.substr(pos);
      break;
    }
    pos += used;
  }
  return ops;
}

}  // namespace yut
