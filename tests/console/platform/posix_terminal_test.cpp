// The real terminal back end on a pseudo-terminal: raw mode while the game reads, the mode
// given back on every way out.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "console/console.h"
#include "console/platform/terminal.h"

namespace yut {
namespace {

enum class Ending {
  ReadForever,
  Crash,
  Farewell,
  ShowTwoKeys,  // shows the codes of the first two keys read, then ends
  TwoDigits,    // exits with the two digit keys read first, as a number, after a third key
  Flood,        // writes without end
};

// A child process on a new pseudo-terminal that opens the terminal and reads keys.
class TerminalChild {
 public:
  explicit TerminalChild(Ending ending) {
    winsize size{};
    size.ws_col = 80;
    size.ws_row = 34;
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) run(ending);
  }
  ~TerminalChild() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
  }

  bool started() const { return pid_ > 0; }

  // Reads the child's output until it contains `text` (or a few seconds pass).
  bool wait_for(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (output_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      if (!read_some(100)) usleep(10000);
    }
    return true;
  }

  void type(const std::string& bytes) {
    [[maybe_unused]] const ssize_t n = write(master_, bytes.data(), bytes.size());
  }
  void signal(int signal_number) { kill(pid_, signal_number); }

  // drain: keep the terminal's output flowing meanwhile (else the terminal stalls).
  int wait_status(bool drain = true) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      if (!drain || !read_some(10)) usleep(10000);
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        waited_ = true;
        while (read_some(0)) {
        }
        return status;
      }
    }
    return -1;
  }

  termios mode() const {
    termios t{};
    tcgetattr(master_, &t);
    return t;
  }
  const std::string& output() const { return output_; }

 private:
  [[noreturn]] static void run(Ending ending) {
    const rlimit no_core{0, 0};  // the crash and Ctrl-\\ cases leave no core file
    setrlimit(RLIMIT_CORE, &no_core);
    _exit(play(ending));
  }

  // The terminal is given back when `terminal` goes out of scope (the child then leaves by
  // _exit, which runs no atexit handlers).
  static int play(Ending ending) {
    auto terminal = open_terminal();
    Console con(*terminal);
    con.print("ready");
    if (ending == Ending::Flood) {
      con.refresh();
      const std::string screenful(4096, 'x');
      for (;;) terminal->write(screenful);
    }
    try {
      if (ending == Ending::ShowTwoKeys) {
        const int first = con.read_key();
        const int second = con.read_key();
        con.printf("keys %d %d.", first, second);
        con.finish();
        return 0;
      }
      const int first = con.read_key();
      if (ending == Ending::TwoDigits) {
        const int number = (first - '0') * 10 + (con.read_key() - '0');
        con.read_key();
        return number;
      }
      if (ending == Ending::Crash) raise(SIGSEGV);
      if (ending == Ending::Farewell) {
        con.finish();
        return 0;
      }
      for (;;) con.read_key();
    } catch (const InputClosed&) {
      con.finish_below();
      return 3;
    }
  }

  bool read_some(int timeout_ms) {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, timeout_ms) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) return false;
    output_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int master_ = -1;
  pid_t pid_ = -1;
  bool waited_ = false;
  std::string output_;
};

bool is_raw(const termios& t) {
  return (t.c_lflag & (ICANON | ECHO)) == 0;
}
bool is_cooked(const termios& t) {
  return (t.c_lflag & ICANON) != 0 && (t.c_lflag & ECHO) != 0;
}

// Starts a child, answers its width probe (after typing early_keys) and waits until it
// shows its screen.
void start(TerminalChild& child, const std::string& early_keys = "") {
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(child.wait_for("\x1b[6n"));
  for (const char key : early_keys) {
    child.type(std::string(1, key));
    usleep(50000);
  }
  child.type("\x1b[3;2R\x1b[?62;22c");
  ASSERT_TRUE(child.wait_for("ready"));
  EXPECT_TRUE(is_raw(child.mode()));
  EXPECT_TRUE((child.mode().c_lflag & ISIG) != 0);  // Ctrl-C and Ctrl-Z stay signals
}

TEST(PosixTerminalTest, SignalsGiveTheTerminalBack) {
  // Signals sent by another process, and by keys (Ctrl-C, Ctrl-\\).
  const std::pair<int, const char*> cases[] = {
      {SIGTERM, nullptr},
      {SIGHUP, nullptr},
      {SIGINT, "\x03"},
      {SIGQUIT, "\x1c"},
      {SIGUSR1, nullptr}};  // any other signal whose default ends the process
  for (const auto& [signal_number, key] : cases) {
    TerminalChild child(Ending::ReadForever);
    start(child);
    if (HasFatalFailure()) return;
    if (key != nullptr) {
      child.type(key);
    } else {
      child.signal(signal_number);
    }
    const int status = child.wait_status();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number)
        << signal_number << " status " << status;
    EXPECT_TRUE(is_cooked(child.mode())) << signal_number;
    EXPECT_NE(child.output().rfind("\x1b[?25h"), std::string::npos) << signal_number;
  }
}

TEST(PosixTerminalTest, SignalEndsAGameWhoseTerminalStoppedReading) {
  TerminalChild child(Ending::Flood);
  start(child);
  if (HasFatalFailure()) return;
  usleep(300000);  // the terminal's buffer fills: the child waits to write
  const auto sent = std::chrono::steady_clock::now();
  child.signal(SIGTERM);
  const int status = child.wait_status(false);
  EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_TRUE(is_cooked(child.mode()));
}

TEST(PosixTerminalTest, KeysTypedBeforeTheProbeIsAnsweredCount) {
  TerminalChild child(Ending::TwoDigits);
  start(child, "78");
  if (HasFatalFailure()) return;
  child.type("x");
  const int status = child.wait_status();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 78) << status;
}

TEST(PosixTerminalTest, CrashGivesTheTerminalBack) {
  TerminalChild child(Ending::Crash);
  start(child);
  if (HasFatalFailure()) return;
  child.type("x");
  const int status = child.wait_status();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV);
  EXPECT_TRUE(is_cooked(child.mode()));
}

TEST(PosixTerminalTest, FarewellLeavesTheCursorVisible) {
  TerminalChild child(Ending::Farewell);
  start(child);
  if (HasFatalFailure()) return;
  child.type("x");
  const int status = child.wait_status();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(is_cooked(child.mode()));
  EXPECT_NE(child.output().rfind("\x1b[?25h"), std::string::npos);
}

TEST(PosixTerminalTest, ArrowKeysAndLateRepliesThroughTheTerminal) {
  TerminalChild child(Ending::ShowTwoKeys);
  start(child);
  if (HasFatalFailure()) return;
  child.type("\x1b[5;9R");  // a late reply is no key: the child keeps reading
  child.type("\x1bOA");     // the up arrow, as a terminal in application mode sends it
  const int status = child.wait_status();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_NE(child.output().find("keys 224 72."), std::string::npos) << child.output();
}

}  // namespace
}  // namespace yut

#endif  // _WIN32
