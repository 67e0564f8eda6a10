#pragma once
// Opens the real terminal of this platform (raw mode, restore on every way out).

#include <memory>
#include <stdexcept>

#include "console/platform.h"

namespace yut {

// Thrown by open_terminal() where the game cannot run (TERM unset, a terminal that cannot
// place the cursor); what() is one line saying why. The terminal is left untouched.
class TerminalRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::unique_ptr<Platform> open_terminal();

// Opens standard input, output and error on the null device where they are closed, so that
// no descriptor the game opens later takes their place (a closed input then reads as ended).
// Call first thing in main.
#ifdef _WIN32
inline void open_closed_standard_streams() {}
#else
void open_closed_standard_streams();
#endif

// For waits outside the input wait (another game's lock): when a signal has asked the game
// to end (Ctrl-C, SIGTERM, SIGHUP, SIGQUIT), gives the terminal back and ends the process by
// that signal; when Ctrl-Z has asked it to stop, gives the terminal back, stops, takes the
// terminal again once continued (the screen is repainted at the next key wait) and returns
// true; otherwise returns false at once. Does nothing before open_terminal() and where the
// platform acts by itself (the Windows console's control handler).
bool act_on_signals_while_waiting();

}  // namespace yut
