#pragma once
// The console as the game sees it: absolute cursor placement and printing into a screen
// model, single keys, the pause, and scanf-like line reads. The terminal is brought up to
// date from the model before every wait for input.

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "console/platform.h"
#include "console/screen.h"

#if defined(__GNUC__)
#define YUT_PRINTF_LIKE(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define YUT_PRINTF_LIKE(fmt_index, first_arg)
#endif

namespace yut {

// Key codes as the menus see them.
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyPrefix = 224;  // first code of an arrow key
inline constexpr int kKeyUp = 72;       // second code of the up arrow
inline constexpr int kKeyDown = 80;     // second code of the down arrow

// Thrown by every read when standard input has ended; the program then gives the
// terminal back and ends with status 0.
class InputClosed : public std::exception {
 public:
  const char* what() const noexcept override { return "input closed"; }
};

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
  int read_key();                 // one key code; an arrow gives kKeyPrefix, then kKeyUp/kKeyDown
  void pause();                   // discard pending line input, then read one key
  std::optional<int> read_int();  // like scanf("%d"): nullopt when the input is not a number
  std::string read_word();        // like scanf("%s"): one word, UTF-8

  // Sends what changed in the model since the last refresh (nothing if nothing changed).
  void refresh();

  const Screen& screen() const { return screen_; }

 private:
  struct Impl;
  Platform& platform_;
  Screen screen_;
  Impl* impl_;
};

}  // namespace yut
