#pragma once
// Process-wide part of the POSIX terminal: the terminal mode found at start, its restoration
// on every way out, and the signals. Handlers only set flags and wake the input wait, except
// on a crash, where the mode is restored at once before the signal takes its course.

#include <sys/types.h>
#include <termios.h>

#include <cstddef>

namespace yut::posix {

// What a signal asked for, taken (and cleared) by the input wait.
struct SignalRequests {
  int quit = 0;  // SIGINT, SIGTERM, SIGHUP or SIGQUIT: the signal number
  bool suspend = false;
  bool resumed = false;
  bool resized = false;
};

// Registers the restoration (atexit and signal handlers) for a terminal whose mode was
// `saved` (null when standard input is no terminal). Call before changing the mode.
void install_restoration(int in_fd, int out_fd, const termios* saved, bool out_is_terminal);

// Where the game writes its output: a non-blocking descriptor of its own on the terminal (or
// pipe) where one could be opened, else standard output itself, which then blocks
// (output_blocks()).
int output_fd();
bool output_blocks();
// Writes to output that blocks, so that a signal that comes while it waits acts at once
// (from its handler); -1 with EINTR when one came before it.
ssize_t write_blocking(const char* data, std::size_t length);

// The read end of the pipe that signal handlers write to, to wake a waiting poll.
int wake_fd();
// Changes whenever the window size may have changed (a resize, a resume).
int size_generation();
SignalRequests take_requests();

// Gives the terminal back (saved mode, cursor visible). below_screen also moves the
// cursor below the game's screen, for ways out that interrupt a screen.
void restore_terminal(bool below_screen);
// Raw mode; again after a suspension.
void enter_raw_mode();

// Ends the process as quit_by_signal does when a quit signal is pending; stops it as suspend
// does when Ctrl-Z is pending and returns true once it is continued; returns false otherwise.
// Leaves the other requests (and the repaint after a stop) for the input wait.
bool act_on_signals_while_waiting();

// Restores the terminal and ends the process by the signal's default action.
[[noreturn]] void quit_by_signal(int signal_number);
// Restores the terminal, stops the process (as Ctrl-Z does) and takes raw mode again once
// it is continued.
void suspend();

}  // namespace yut::posix
