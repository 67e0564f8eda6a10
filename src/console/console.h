#pragma once
// The console as the game sees it: absolute cursor placement and printing into a screen
// model, single keys, the pause, and scanf-like line reads. The terminal is brought up to
// date from the model before every wait for input.
//
// Start-up, in main():
//     yut::open_closed_standard_streams();  // first thing
//     ...
//     std::unique_ptr<yut::Platform> terminal = yut::open_terminal();
//     yut::Console con(*terminal);
//   open_terminal() (console/platform/terminal.h) sets the terminal up: raw mode without echo, with
//   its restoration registered first for every way out (normal exit, Ctrl-C, SIGTERM,
//   SIGHUP, crash signals), and a probe of how wide it draws box-drawing glyphs (keys typed
//   meanwhile are kept). Nothing else is needed; the console's first refresh clears the
//   terminal.
// Ending (the farewell): call con.finish(), then end the process with status 0 (return
//   from main or std::exit(0)). finish() sends what is left and leaves the cursor visible
//   where the screen model's cursor stands; the terminal's mode is given back at exit.
// End of input: every read throws InputClosed. Let it reach main, catch it there, call
//   con.finish_below() and return 0 (status 0).
// Tests and headless runs use MemoryPlatform (console/platform/memory_platform.h) instead of
//   open_terminal(): scripted input bytes, counted output, 80x34. A long headless run calls
//   keep_output(false) on it so that only a byte count is kept.

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "console/input/key_decoder.h"
#include "console/input/keys.h"
#include "console/platform.h"
#include "console/screen/renderer.h"
#include "console/screen/screen.h"

#if defined(__GNUC__)
#define YUT_PRINTF_LIKE(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define YUT_PRINTF_LIKE(fmt_index, first_arg)
#endif

namespace yut {

// Thrown by every read when standard input has ended; the program then gives the
// terminal back and ends with status 0.
class InputClosed : public std::exception {
 public:
  const char* what() const noexcept override { return "input closed"; }
};

// The longest line a line read keeps; what is typed beyond it is dropped.
inline constexpr std::size_t kMaxLineBytes = 255;

class Console {
 public:
  explicit Console(Platform& platform);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console();

  // Output into the screen model (UTF-8 text; every non-ASCII glyph two columns).
  void gotoxy(int x, int y);
  void print(std::string_view utf8);
  void printf(const char* format, ...) YUT_PRINTF_LIKE(2, 3);
  void clear_screen();
  void hide_cursor();

  // Input. Each brings the terminal up to date first. All throw InputClosed at end of input.
  int read_key();  // one key code; an arrow gives kKeyPrefix, then kKeyUp/kKeyDown
  void pause();    // discard pending line input, then read one key
  // The echo of what is typed starts at the cursor and stops before the first frame glyph
  // of its row, the row's end, or column field_end, whichever comes first; what does not
  // fit is read but not shown.
  static constexpr int kNoFieldEnd = -1;
  // like scanf("%d"): nullopt when the input is not a number
  std::optional<int> read_int(int field_end = kNoFieldEnd);
  std::string read_word(int field_end = kNoFieldEnd);  // like scanf("%s"): one word, UTF-8
  // Whether Esc ended the line that the last read_int or read_word waited for: the line is
  // then dropped and the read gave nullopt or "".
  bool escaped() const { return escaped_; }
  // Holds what is on the screen for up to timeout_ms. A key ends the wait early and is
  // dropped: it is no input. Returns whether a key came.
  bool wait_key(int timeout_ms);
  // Drops what is left unread of the last line read; returns that whole line as it was
  // typed (and echoed), without its line end.
  std::string discard_line();

  // Sends what changed in the model since the last refresh (nothing if nothing changed).
  void refresh();
  // Paints the whole terminal again at the next refresh.
  void repaint();
  // Last output before the process ends: refresh with the cursor visible at the model's
  // cursor (the farewell leaves the shell prompt there).
  void finish();
  // Last output when the game is cut short (end of input): refresh, then the cursor visible
  // at the start of the line below the screen.
  void finish_below();

  const Screen& screen() const { return screen_; }

 private:
  int next_byte(int timeout_ms);
  Key next_key();
  void handle_events();
  bool too_small();
  void show_size_message(TermSize size);
  void wait_until_large_enough();
  void skip_blanks(int field_end);
  Screen& model() {  // the screen model, for a change: the next refresh renders it
    changed_ = true;
    return screen_;
  }
  void start_echo(int field_end);
  void read_line(int field_end);
  void erase_last_typed();

  Platform& platform_;
  Screen screen_;
  Renderer renderer_;
  KeyDecoder decoder_;
  std::string out_;      // bytes of one refresh, reused
  std::string pending_;  // the rest of the last line read, scanned by read_int/read_word
  std::size_t pending_pos_ = 0;
  int queued_code_ = -1;  // the second code of an extended key, not yet read
  // The echo of the line being typed: its row, the column after its field, the column of
  // the next glyph, and how many bytes of pending_ are shown (always a prefix).
  int echo_y_ = 0;
  int echo_end_x_ = 0;
  int echo_x_ = 0;
  std::size_t shown_bytes_ = 0;
  bool escaped_ = false;  // Esc ended the last line read
  bool size_message_shown_ = false;
  bool changed_ = true;  // the model or the terminal changed since the last render
};

}  // namespace yut
