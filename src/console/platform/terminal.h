#pragma once
// Opens the real terminal of this platform (raw mode, restore on every way out).

#include <memory>

#include "console/platform.h"

namespace yut {

std::unique_ptr<Platform> open_terminal();

// For waits outside the input wait (a lock, a slow write): when a signal has asked the game
// to end (Ctrl-C, SIGTERM, SIGHUP, SIGQUIT), gives the terminal back and ends the process by
// that signal; otherwise returns at once. Does nothing before open_terminal() and where the
// platform ends the game by itself (the Windows console's control handler).
void end_if_asked_to_quit();

}  // namespace yut
