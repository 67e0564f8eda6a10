// The real terminal back end on a pseudo-terminal: raw mode while the game reads, the mode
// given back on every way out.
#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "console/console.h"
#include "console/platform/terminal.h"
#include "ranking/file_store.h"

namespace yut {
namespace {

enum class Ending {
  ReadForever,
  Crash,
  Farewell,
  ShowTwoKeys,  // shows the codes of the first two keys read, then ends
  TwoDigits,    // exits with the two digit keys read first, as a number, after a third key
  Flood,        // writes without end
  FloodAsUser,  // the same as another user than the terminal's owner, who may not open it
  LockWait,     // waits for a lock on the file named by kHeldFile, as a job a shell started
};

// The file whose lock the LockWait child waits for (the test holds it meanwhile).
constexpr const char* kHeldFile = "YUT_TEST_HELD_FILE";
// The LockWait child's status when the game stopped (Ctrl-Z), and when its wait ran out.
constexpr int kStopped = 77;
constexpr int kWaitRanOut = 4;
constexpr int kLockPatienceMs = 10000;

// A child process on a new pseudo-terminal that opens the terminal and reads keys.
class TerminalChild {
 public:
  // The test keeps its own descriptor of the terminal's open file description, the one the
  // child's standard streams share (as a shell shares its own with the programs it starts).
  explicit TerminalChild(Ending ending) {
    winsize size{};
    size.ws_col = 80;
    size.ws_row = 34;
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(master_);
      setsid();
      ioctl(slave_, TIOCSCTTY, 0);
      for (int fd = 0; fd <= 2; ++fd) dup2(slave_, fd);
      close(slave_);
      run(ending);
    }
  }
  ~TerminalChild() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
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
  // To the terminal's foreground job, as the terminal itself sends its signals.
  void signal_foreground(int signal_number) { kill(-tcgetpgrp(master_), signal_number); }
  // Whether the terminal's shared file status flags hold O_NONBLOCK.
  bool shared_nonblocking() const { return (fcntl(slave_, F_GETFL) & O_NONBLOCK) != 0; }

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
    if (ending == Ending::FloodAsUser) {
      constexpr uid_t kNobody = 65534;  // as after su: the terminal is still root's
      if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
    }
    _exit(ending == Ending::LockWait ? run_as_job(ending) : play(ending));
  }

  // Runs the game as a shell runs a job: in a process group of its own in the terminal's
  // foreground, so that Ctrl-Z stops it (a session leader's own group would not be stopped).
  // Ends as the game does, with kStopped when the game stopped.
  static int run_as_job(Ending ending) {
    const pid_t game = fork();
    if (game == 0) {
      setpgid(0, 0);
      while (tcgetpgrp(STDIN_FILENO) != getpid()) usleep(1000);
      _exit(play(ending));
    }
    setpgid(game, game);
    tcsetpgrp(STDIN_FILENO, game);
    int status = 0;
    waitpid(game, &status, WUNTRACED);
    if (WIFSTOPPED(status)) {
      kill(game, SIGKILL);
      waitpid(game, nullptr, 0);
      return kStopped;
    }
    if (WIFSIGNALED(status)) {
      ::signal(WTERMSIG(status), SIG_DFL);
      raise(WTERMSIG(status));
    }
    return WEXITSTATUS(status);
  }

  // The terminal is given back when `terminal` goes out of scope (the child then leaves by
  // _exit, which runs no atexit handlers).
  static int play(Ending ending) {
    auto terminal = open_terminal();
    Console con(*terminal);
    con.print("ready");
    if (ending == Ending::LockWait) {
      set_lock_wait_check(act_on_signals_while_waiting);
      con.refresh();
      const FileLock lock(std::getenv(kHeldFile), kLockPatienceMs);
      return lock.held() ? 0 : kWaitRanOut;
    }
    if (ending == Ending::Flood || ending == Ending::FloodAsUser) {
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
  int slave_ = -1;
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

enum class Outcome { Ended, Stopped, Killed };

struct SignalCase {
  int signal_number;
  const char* key;  // typed instead of sent, when given
  bool lock_wait;   // the game waits for another game's lock, not for a key
  Outcome outcome = Outcome::Ended;
};

TEST(PosixTerminalTest, SignalsGiveTheTerminalBack) {
  const char* const held = "/tmp/yut-terminal-test-held";
  const int holder = open(held, O_RDWR | O_CREAT, 0600);  // another game, saving
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  setenv(kHeldFile, held, 1);
  // Signals sent by another process, and by keys (Ctrl-C, Ctrl-\\, Ctrl-Z).
  const SignalCase cases[] = {
      {SIGTERM, nullptr, false},
      {SIGHUP, nullptr, false},
      {SIGINT, "\x03", false},
      {SIGQUIT, "\x1c", false},
      {SIGUSR1, nullptr, false},  // any other signal whose default ends the process
      {SIGTERM, nullptr, true},
      {SIGINT, "\x03", true},
      {SIGTSTP, "\x1a", true, Outcome::Stopped},
      {SIGKILL, nullptr, false, Outcome::Killed},  // nothing survives it: the mode stays raw
  };
  for (const SignalCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.signal_number) + (c.lock_wait ? " in the lock wait" : ""));
    TerminalChild child(c.lock_wait ? Ending::LockWait : Ending::ReadForever);
    start(child);
    if (HasFatalFailure()) break;
    if (c.lock_wait) usleep(100000);  // well inside the wait
    const auto sent = std::chrono::steady_clock::now();
    if (c.key != nullptr) {
      child.type(c.key);
    } else if (c.lock_wait) {
      child.signal_foreground(c.signal_number);
    } else {
      child.signal(c.signal_number);
    }
    const int status = child.wait_status();
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(500));
    if (c.outcome == Outcome::Stopped) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kStopped) << status;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal_number) << status;
    }
    // The file status flags are shared with the shell and everything else on the terminal.
    EXPECT_FALSE(child.shared_nonblocking());
    if (c.outcome != Outcome::Killed) {
      EXPECT_TRUE(is_cooked(child.mode()));
      EXPECT_NE(child.output().rfind("\x1b[?25h"), std::string::npos);
    }
  }
  unsetenv(kHeldFile);
  close(holder);
  unlink(held);
}

TEST(PosixTerminalTest, SignalEndsAGameWhoseTerminalStoppedReading) {
  // Also where the game cannot open a descriptor of its own on the terminal, whose writes
  // then block.
  for (const Ending ending : {Ending::Flood, Ending::FloodAsUser}) {
    if (ending == Ending::FloodAsUser && geteuid() != 0) continue;
    SCOPED_TRACE(ending == Ending::Flood ? "own descriptor" : "blocking writes");
    TerminalChild child(ending);
    start(child);
    if (HasFatalFailure()) return;
    usleep(300000);  // the terminal's buffer fills: the child waits to write
    const auto sent = std::chrono::steady_clock::now();
    child.signal(SIGTERM);
    const int status = child.wait_status(false);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(is_cooked(child.mode()));
    EXPECT_FALSE(child.shared_nonblocking());
  }
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
