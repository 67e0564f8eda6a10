// The terminal of a POSIX system: standard input and output, raw mode while the game runs.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "console/platform/posix_signals.h"
#include "console/platform/terminal.h"
#include "console/platform/terminfo.h"
#include "console/platform/width_probe.h"
#include "console/text/locale_encoding.h"

namespace yut {
namespace {

constexpr int kInFd = STDIN_FILENO;
constexpr int kOutFd = STDOUT_FILENO;
// Bytes taken from standard input by one read.
constexpr std::size_t kReadChunk = 256;

// The locale as the C library would take it: LC_ALL, then LC_CTYPE, then LANG.
Encoding locale_encoding() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return encoding_of_locale(value);
  }
  return Encoding::Utf8;
}

class PosixTerminal : public Platform {
 public:
  PosixTerminal() : encoding_(locale_encoding()) {
    // TERM decides what is sent, also into a pipe; a terminal the game cannot drive is
    // refused before anything changes.
    TerminalDescription described = describe_terminal(std::getenv("TERM"));
    if (!described.refusal.empty()) throw TerminalRefused(described.refusal);
    caps_ = std::move(described.caps);
    const bool in_is_terminal = isatty(kInFd) == 1;
    out_is_terminal_ = isatty(kOutFd) == 1;
    termios saved{};
    const bool has_mode = in_is_terminal && tcgetattr(kInFd, &saved) == 0;
    // How to leave is registered before the mode changes.
    posix::install_restoration(kInFd, kOutFd, has_mode ? &saved : nullptr, out_is_terminal_);
    posix::enter_raw_mode();
    if (has_mode && out_is_terminal_ && caps_.cursor_report) {
      width_ = probe_ambiguous_width(*this);
      // Keys typed while the probe waited for its answer are read first, in their order.
      buffer_.insert(buffer_pos_, width_.typed);
      width_.typed.clear();
    }
  }

  ~PosixTerminal() override { posix::restore_terminal(false); }

  // The output is a non-blocking descriptor of the game's own: while the terminal does not
  // take more, the write waits in a poll that a signal wakes, so that Ctrl-C or SIGTERM still
  // end the game. Where the output blocks, each piece is written once the poll says the
  // terminal takes bytes, and a signal that comes while the write still waits acts from its
  // handler.
  void write(std::string_view bytes) override {
    const int fd = posix::output_fd();
    const bool blocks = posix::output_blocks();
    while (!bytes.empty()) {
      if (blocks && !wait_until_writable()) return;
      const std::size_t piece =
          blocks ? std::min<std::size_t>(bytes.size(), PIPE_BUF) : bytes.size();
      const ssize_t n =
          blocks ? posix::write_blocking(bytes.data(), piece) : ::write(fd, bytes.data(), piece);
      if (n > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && wait_until_writable()) continue;
      return;  // output closed: nothing more can be shown
    }
  }

  int read_byte(int timeout_ms) override {
    if (buffer_pos_ < buffer_.size()) return static_cast<unsigned char>(buffer_[buffer_pos_++]);
    if (ended_) return kReadEndOfInput;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      if (handle_signals()) return kReadInterrupted;
      int wait_ms = -1;
      if (timeout_ms >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        wait_ms = left > 0 ? static_cast<int>(left) : 0;
      }
      pollfd fds[2] = {{kInFd, POLLIN, 0}, {posix::wake_fd(), POLLIN, 0}};
      const int ready = poll(fds, fds[1].fd >= 0 ? 2 : 1, wait_ms);
      if (ready < 0) {
        if (errno == EINTR) continue;
        return end_of_input();
      }
      if (ready == 0) return kReadTimeout;
      if (fds[0].revents == 0) continue;  // woken by a signal
      buffer_.resize(kReadChunk);
      const ssize_t n = ::read(kInFd, buffer_.data(), buffer_.size());
      const int error = errno;
      buffer_.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
      buffer_pos_ = 0;
      if (n < 0 && (error == EINTR || error == EAGAIN || error == EWOULDBLOCK)) continue;
      if (n <= 0) return end_of_input();
      buffer_pos_ = 1;
      return static_cast<unsigned char>(buffer_[0]);
    }
  }

  // Asked of the system only when the size can have changed: at start, after a resize
  // and after a resume.
  TermSize size() override {
    const int generation = posix::size_generation();
    if (!size_known_ || generation != size_generation_) {
      size_generation_ = generation;
      size_known_ = true;
      size_ = ask_size();
    }
    return size_;
  }

  unsigned take_events() override {
    handle_signals();
    const unsigned events = events_;
    events_ = 0;
    return events;
  }

  Encoding encoding() const override { return encoding_; }
  int ambiguous_width() const override { return width_.columns; }
  bool ambiguous_width_measured() const override { return width_.measured; }
  const TerminalCaps& caps() const override { return caps_; }
  void late_probe_reply(int column) override { take_late_reply(width_, column); }

 private:
  static TermSize ask_size() {
    winsize ws{};
    for (const int fd : {kOutFd, kInFd}) {
      if (ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
        return {ws.ws_col, ws.ws_row};
      }
    }
    return {};  // no terminal to ask: the game's own size
  }

  // Waits until the output takes bytes again, acting on signals meanwhile (a quit signal
  // ends the game here). False when the output is gone.
  bool wait_until_writable() {
    for (;;) {
      handle_signals();
      pollfd fds[2] = {{posix::output_fd(), POLLOUT, 0}, {posix::wake_fd(), POLLIN, 0}};
      const int ready = poll(fds, fds[1].fd >= 0 ? 2 : 1, -1);
      if (ready < 0 && errno != EINTR) return false;
      if (ready > 0 && fds[0].revents != 0) return (fds[0].revents & POLLNVAL) == 0;
    }
  }

  int end_of_input() {
    ended_ = true;
    return kReadEndOfInput;
  }

  // Acts on what the signal handlers asked for; true when the screen wants a repaint.
  bool handle_signals() {
    const posix::SignalRequests requests = posix::take_requests();
    if (requests.quit != 0) posix::quit_by_signal(requests.quit);
    if (requests.suspend) posix::suspend();
    if (requests.resumed || requests.suspend) {
      posix::enter_raw_mode();
      events_ |= kEventResumed;
    }
    if (requests.resized) events_ |= kEventResized;
    return events_ != 0;
  }

  Encoding encoding_;
  TerminalCaps caps_;
  bool out_is_terminal_ = false;
  ProbedWidth width_;
  unsigned events_ = 0;
  bool ended_ = false;
  std::string buffer_;  // input read but not yet taken, from buffer_pos_ on
  std::size_t buffer_pos_ = 0;
  TermSize size_;
  int size_generation_ = 0;
  bool size_known_ = false;
};

}  // namespace

bool act_on_signals_while_waiting() {
  return posix::act_on_signals_while_waiting();
}

void open_closed_standard_streams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // The lowest free descriptor is taken, which is fd itself since those below are open.
    const int opened = open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

std::unique_ptr<Platform> open_terminal() {
  return std::make_unique<PosixTerminal>();
}

}  // namespace yut
