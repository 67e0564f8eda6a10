#include "console/platform/posix_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace yut::posix {
namespace {

constexpr char kShowCursor[] = "\x1b[?25h";
// To the left column of the last row, then a new line, so a shell prompt starts below.
constexpr char kBelowScreen[] = "\x1b[999;1H\r\n";
// How long the last words to the terminal may wait for it to read: a terminal that has
// stopped reading must not keep the game from ending.
constexpr long kRestoreWriteMs = 300;

struct Terminal {
  int in_fd = 0;
  termios saved{};
  termios raw{};
  bool has_mode = false;  // in_fd is a terminal whose mode is saved
  bool out_is_terminal = false;
  int write_fd = 1;                   // where the game's output goes: own_fd, else the output
  int own_fd = -1;                    // the game's own non-blocking descriptor on the output
  volatile sig_atomic_t changed = 0;  // the terminal is not in the mode it was found in
};

Terminal g_terminal;
int g_wake_pipe[2] = {-1, -1};
volatile sig_atomic_t g_woken = 0;  // the wake pipe may hold bytes
volatile sig_atomic_t g_quit = 0;
volatile sig_atomic_t g_suspend = 0;
volatile sig_atomic_t g_resumed = 0;
volatile sig_atomic_t g_resized = 0;
volatile sig_atomic_t g_size_generation = 0;
volatile sig_atomic_t g_in_blocking_write = 0;  // write_blocking() is under way

// Only inequality counts: the number wraps before it could overflow.
void size_may_have_changed() {
  g_size_generation = (g_size_generation + 1) % 1000000;
}

void wake() {
  g_woken = 1;
  if (g_wake_pipe[1] >= 0) {
    const int saved_errno = errno;
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = write(g_wake_pipe[1], &byte, 1);
    errno = saved_errno;
  }
}

long now_ms() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Writes what the terminal takes until deadline_ms; each write waits for the terminal to
// take bytes first, so that it does not block on the shared descriptor either.
void write_until(long deadline_ms, const char* text, std::size_t length) {
  while (length > 0) {
    const long left = deadline_ms - now_ms();
    if (left <= 0) return;
    pollfd out{g_terminal.write_fd, POLLOUT, 0};
    const int ready = poll(&out, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || (out.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return;
    const ssize_t n = write(g_terminal.write_fd, text, length);
    if (n > 0) {
      text += n;
      length -= static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    return;  // the output is gone
  }
}

// The path by which a descriptor of the game's own reaches what out_fd writes to: the
// terminal's device, or the pipe. Empty for anything else (a file, whose reopening would
// not share the shell's position in it).
std::string output_path(int out_fd, const struct stat& info) {
  if (S_ISCHR(info.st_mode) && isatty(out_fd) == 1) {
    const char* name = ttyname(out_fd);
    return name != nullptr ? name : "";
  }
  if (S_ISFIFO(info.st_mode)) return "/proc/self/fd/" + std::to_string(out_fd);
  return "";
}

// A non-blocking descriptor of the game's own on the output, so that a write never keeps a
// signal from acting. O_NONBLOCK set on out_fd itself would change the open file description
// that the shell and every program on the terminal share, and a game killed by SIGKILL could
// not give it back. -1 where none can be opened.
int open_own_output(int out_fd) {
  struct stat info {};
  if (fstat(out_fd, &info) != 0) return -1;
  const std::string path = output_path(out_fd, info);
  if (path.empty()) return -1;
  const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat own {};
  if (fstat(fd, &own) != 0 || own.st_dev != info.st_dev || own.st_ino != info.st_ino ||
      own.st_rdev != info.st_rdev) {
    close(fd);
    return -1;
  }
  return fd;
}

// Only async-signal-safe calls: it also runs in the crash handler.
void restore_now(bool below_screen) {
  if (g_terminal.changed == 0) return;
  g_terminal.changed = 0;
  // TCSANOW: waiting for the output to drain could wait for ever on a stalled terminal.
  if (g_terminal.has_mode) tcsetattr(g_terminal.in_fd, TCSANOW, &g_terminal.saved);
  if (g_terminal.out_is_terminal) {
    const long deadline_ms = now_ms() + kRestoreWriteMs;
    if (below_screen) write_until(deadline_ms, kBelowScreen, sizeof kBelowScreen - 1);
    write_until(deadline_ms, kShowCursor, sizeof kShowCursor - 1);
  }
}

// While a write waits on output that blocks, nothing else would notice a signal until the
// terminal reads again: the handler acts itself.
void on_quit(int signal_number) {
  g_quit = signal_number;
  if (g_in_blocking_write != 0) quit_by_signal(signal_number);
  wake();
}
void on_suspend(int /*signal_number*/) {
  if (g_in_blocking_write != 0) {
    suspend();
    return;
  }
  g_suspend = 1;
  wake();
}
void on_continue(int /*signal_number*/) {
  g_resumed = 1;
  size_may_have_changed();
  wake();
}
void on_resize(int /*signal_number*/) {
  g_resized = 1;
  size_may_have_changed();
  wake();
}
void on_crash(int signal_number) {
  restore_now(true);
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void at_exit() {
  restore_now(false);
}

constexpr int kQuitSignals[] = {
    SIGINT,    SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF,
#ifdef SIGIO
    SIGIO,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
constexpr int kCrashSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE,
                                 SIGILL,  SIGTRAP, SIGSYS, SIGXCPU};

void unblock(int signal_number) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal_number);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void handle(int signal_number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal_number, &action, nullptr);
}

}  // namespace

void install_restoration(int in_fd, int out_fd, const termios* saved, bool out_is_terminal) {
  g_terminal.in_fd = in_fd;
  g_terminal.out_is_terminal = out_is_terminal;
  if (g_terminal.own_fd >= 0) close(g_terminal.own_fd);
  g_terminal.own_fd = open_own_output(out_fd);
  g_terminal.write_fd = g_terminal.own_fd >= 0 ? g_terminal.own_fd : out_fd;
  if (saved != nullptr) {
    g_terminal.saved = *saved;
    g_terminal.has_mode = true;
  }
  if (g_wake_pipe[0] < 0 && pipe(g_wake_pipe) == 0) {
    for (const int fd : g_wake_pipe) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
      fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
  }
  std::atexit(at_exit);
  // Every signal whose default action ends the process ends the game through the terminal's
  // restoration: the quit signals by the game's own way out, the crash signals at once.
  for (const int s : kQuitSignals) handle(s, on_quit);
#if defined(SIGRTMIN) && defined(SIGRTMAX)
  for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) handle(s, on_quit);
#endif
  handle(SIGTSTP, on_suspend);
  handle(SIGCONT, on_continue);
  handle(SIGWINCH, on_resize);
  for (const int s : kCrashSignals) handle(s, on_crash);
  signal(SIGPIPE, SIG_IGN);  // output to a closed pipe is dropped, not fatal
  signal(SIGXFSZ, SIG_IGN);  // a file too large fails the write instead of killing the game
  g_terminal.changed = 1;
}

int output_fd() {
  return g_terminal.write_fd;
}

bool output_blocks() {
  return g_terminal.own_fd < 0;
}

ssize_t write_blocking(const char* data, std::size_t length) {
  g_in_blocking_write = 1;
  // A signal that came before the flag was set is acted on by the caller.
  if (g_quit != 0 || g_suspend != 0) {
    g_in_blocking_write = 0;
    errno = EINTR;
    return -1;
  }
  const ssize_t n = write(g_terminal.write_fd, data, length);
  const int error = errno;
  g_in_blocking_write = 0;
  errno = error;
  return n;
}

int wake_fd() {
  return g_wake_pipe[0];
}

int size_generation() {
  return g_size_generation;
}

SignalRequests take_requests() {
  if (g_woken != 0) {  // no read per call: the input is taken a byte at a time
    g_woken = 0;
    char drain[64];
    while (g_wake_pipe[0] >= 0 && read(g_wake_pipe[0], drain, sizeof drain) > 0) {
    }
  }
  SignalRequests requests;
  requests.quit = g_quit;
  requests.suspend = g_suspend != 0;
  requests.resumed = g_resumed != 0;
  requests.resized = g_resized != 0;
  g_suspend = 0;
  g_resumed = 0;
  g_resized = 0;
  return requests;
}

void restore_terminal(bool below_screen) {
  restore_now(below_screen);
}

void enter_raw_mode() {
  if (g_terminal.has_mode) {
    termios raw = g_terminal.saved;
    // No line editing and no echo; signals stay (Ctrl-C, Ctrl-Z); Enter arrives as CR;
    // Ctrl-S and Ctrl-Q are plain keys.
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ECHONL | IEXTEN));
    raw.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR | IXON | ISTRIP));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(g_terminal.in_fd, TCSANOW, &raw);
  }
  g_terminal.changed = 1;
}

bool act_on_signals_while_waiting() {
  const int signal_number = g_quit;
  if (signal_number != 0) quit_by_signal(signal_number);
  if (g_suspend == 0) return false;
  g_suspend = 0;
  suspend();  // leaves g_resumed set, so the input wait repaints the screen
  return true;
}

void quit_by_signal(int signal_number) {
  restore_now(true);
  signal(signal_number, SIG_DFL);
  unblock(signal_number);  // within its own handler, it is blocked
  raise(signal_number);
  std::_Exit(128 + signal_number);  // the signal was blocked or ignored by our parent
}

void suspend() {
  restore_now(true);
  signal(SIGTSTP, SIG_DFL);
  unblock(SIGTSTP);
  kill(getpid(), SIGTSTP);  // stops here until continued
  handle(SIGTSTP, on_suspend);
  enter_raw_mode();
  g_resumed = 1;
  size_may_have_changed();
}

}  // namespace yut::posix
