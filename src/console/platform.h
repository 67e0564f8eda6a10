#pragma once
// The seam between the console layer and the operating system. Everything above it
// (screen model, renderer, key decoder, line reader) is the same on every platform.

#include <string>
#include <string_view>

namespace yut {

struct TermSize {
  int cols = 80;
  int rows = 34;
};

// How text bytes travel to and from the terminal.
enum class Encoding { Utf8, Cp949 };

// Results of Platform::read_byte besides a byte value 0..255.
inline constexpr int kReadTimeout = -1;      // nothing arrived within the timeout
inline constexpr int kReadEndOfInput = -2;   // standard input is closed
inline constexpr int kReadInterrupted = -3;  // a resize or a resume wants a repaint

// Event bits returned by Platform::take_events.
inline constexpr unsigned kEventResized = 1U;
inline constexpr unsigned kEventResumed = 2U;

// What a terminal can do, as far as the console layer asks: the sequences it sends for
// whole-screen and whole-row operations, and which of the ECMA-48 cursor movements and
// erasures it may use. The defaults are those of xterm and its kin, which the Windows
// console's interpreter (vt_ops) understands too.
struct TerminalCaps {
  std::string clear = "\x1b[H\x1b[2J";      // blank screen, cursor home; empty: none
  std::string erase_to_row_end = "\x1b[K";  // empty: none
  std::string hide_cursor = "\x1b[?25l";    // both empty where the cursor cannot be hidden
  std::string show_cursor = "\x1b[?25h";
  bool column_address = true;  // ESC [ n G
  bool row_address = true;     // ESC [ n d
  bool erase_chars = true;     // ESC [ n X
  bool relative_moves = true;  // ESC [ n A, B, C and D
  bool backspace = true;       // BS moves one column left
  bool cursor_report = true;   // ESC [ 6 n is answered with the cursor's position
  bool operator==(const TerminalCaps&) const = default;
};

class Platform {
 public:
  Platform() = default;
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;
  virtual ~Platform() = default;

  // Sends one refresh: VT sequences (cursor placement, erase, cursor visibility) and text
  // already encoded for the terminal. Called once per refresh.
  virtual void write(std::string_view bytes) = 0;
  // Waits at most timeout_ms (negative: without limit) for one input byte.
  virtual int read_byte(int timeout_ms) = 0;
  virtual TermSize size() = 0;
  // Returns and clears the events (kEvent...) noticed since the last call.
  virtual unsigned take_events() = 0;
  virtual Encoding encoding() const = 0;
  // Columns the terminal gives glyphs of ambiguous width (box drawing, circled letters,
  // "○", "▶"): 1 on most terminals, 2 on terminals set up for CJK.
  virtual int ambiguous_width() const { return 1; }
  // True when ambiguous_width was measured on this terminal rather than assumed.
  virtual bool ambiguous_width_measured() const { return false; }
  // A reply to the start-up width probe that came after its wait (see width_probe.h).
  virtual void late_probe_reply(int /*column*/) {}
  // The sequences and movements the terminal understands.
  virtual const TerminalCaps& caps() const {
    static const TerminalCaps kAnsi;
    return kAnsi;
  }
};

}  // namespace yut
