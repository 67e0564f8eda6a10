// The Windows console behind the platform seam. Output: the renderer's VT sequences are read
// by interpret_vt and carried out with console calls (SetConsoleCursorPosition,
// FillConsoleOutputCharacterW, SetConsoleCursorInfo); text goes out with WriteConsoleA as
// CP949 bytes when the output code page is 949, and with WriteConsoleW as UTF-16 on any
// other code page. How wide the console draws a Hangul syllable and a box-drawing glyph is
// measured at start (consoles differ by code page, font and host). While the game runs the
// console does not wrap at the end of a row, so drawing the bottom-right cell never scrolls
// the screen. Input: key events from ReadConsoleInputW become the bytes a terminal would
// send, so the shared key decoder turns an arrow into 224 then 72 or 80. Keys are read one by
// one without echo, and QuickEdit is off, so a mouse click neither starts a selection (which
// would hold every write) nor takes the next key; the line reader above echoes through the
// screen model. The console's input and output modes and its cursor are given back at exit,
// on Ctrl-C and Ctrl-Break, and when the console window closes. When standard input or output
// is not a console (a pipe or a file), bytes pass through unchanged.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <string>

#include "console/input/key_events.h"
#include "console/platform/terminal.h"
#include "console/platform/vt_ops.h"
#include "console/text/glyph_encoding.h"

namespace yut {
namespace {

constexpr UINT kCp949CodePage = 949;
constexpr DWORD kInputBatch = 64;  // input records taken per ReadConsoleInputW
constexpr DWORD kPipePollMs = 10;  // how often a pipe is looked at while waiting
constexpr DWORD kStreamChunk = 4096;
// How often the window size is looked at while waiting for a key: a console whose buffer is
// taller than its window reports no event when only the window changes.
constexpr DWORD kWindowPollMs = 250;

// The console state found at start, given back when the process ends. The control handler
// runs on a thread of its own, so the state and every console write share one lock: a
// refresh is never cut in half by the restore, and nothing is drawn after it.
struct SavedConsole {
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE out = INVALID_HANDLE_VALUE;
  bool has_input_mode = false;
  DWORD input_mode = 0;
  bool has_output_mode = false;
  DWORD output_mode = 0;
  bool has_cursor = false;
  CONSOLE_CURSOR_INFO cursor{};
  bool given_back = true;
};

std::mutex g_console_lock;
SavedConsole g_saved;

// Gives the console back. below_screen also moves the cursor to a fresh row under the
// game's screen, for ways out that interrupt a screen (the prompt then starts below it).
// The caller holds g_console_lock, except on a crash.
void restore_saved_console(bool below_screen) {
  if (g_saved.given_back) return;
  if (g_saved.has_input_mode) SetConsoleMode(g_saved.in, g_saved.input_mode);
  if (g_saved.has_output_mode) SetConsoleMode(g_saved.out, g_saved.output_mode);
  if (g_saved.has_cursor) {
    SetConsoleCursorInfo(g_saved.out, &g_saved.cursor);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (below_screen && GetConsoleScreenBufferInfo(g_saved.out, &info)) {
      SetConsoleCursorPosition(g_saved.out, COORD{0, info.srWindow.Bottom});
      DWORD written = 0;
      WriteConsoleW(g_saved.out, L"\r\n", 2, &written, nullptr);
    }
  }
  g_saved.given_back = true;
}

void give_back_console(bool below_screen = false) {
  const std::lock_guard lock(g_console_lock);
  restore_saved_console(below_screen);
}

LPTOP_LEVEL_EXCEPTION_FILTER g_previous_filter = nullptr;
std::terminate_handler g_previous_terminate = nullptr;

// A crash: the console is given back before Windows ends the program, without the lock,
// which the thread that crashed may hold. (Nothing runs after TerminateProcess, as
// taskkill /f uses.)
LONG WINAPI on_unhandled_exception(EXCEPTION_POINTERS* exception) {
  restore_saved_console(true);
  return g_previous_filter != nullptr ? g_previous_filter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// An exception nothing catches, or another reason the C++ runtime ends the program.
[[noreturn]] void on_terminate() {
  restore_saved_console(true);
  if (g_previous_terminate != nullptr) g_previous_terminate();
  std::abort();
}

// Runs on a thread of the system's. Ctrl-C and Ctrl-Break end the game at once, with the
// status Windows gives a program ended by Ctrl-C; closing the window, logging off and
// shutting down go on to the system's handler once the console is given back.
BOOL WINAPI on_console_control(DWORD event) {
  const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  give_back_console(interrupt);
  if (interrupt) ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  return FALSE;
}

void give_back_at_exit() {
  give_back_console();
}

bool console_info(HANDLE out, CONSOLE_SCREEN_BUFFER_INFO& info) {
  return GetConsoleScreenBufferInfo(out, &info) != 0;
}

std::wstring utf16_from_utf8(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

void write_console_text(HANDLE out, Encoding encoding, const std::string& text) {
  DWORD written = 0;
  if (encoding == Encoding::Cp949) {
    WriteConsoleA(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  } else {
    const std::wstring wide = utf16_from_utf8(text);
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  }
}

// How many cells the console gives the glyph, written as the game writes text: writes it
// where the cursor stands, looks where the cursor went, and blanks it again. 0 when it cannot
// be told (the cursor too near the right edge, a failed call).
int cells_taken(HANDLE out, Encoding encoding, char32_t glyph) {
  CONSOLE_SCREEN_BUFFER_INFO before{};
  CONSOLE_SCREEN_BUFFER_INFO after{};
  std::string text;
  if (!encode_glyph(glyph, encoding, text) || !console_info(out, before) ||
      before.dwCursorPosition.X + 2 >= before.dwSize.X) {
    return 0;
  }
  write_console_text(out, encoding, text);
  const bool measured = console_info(out, after);
  DWORD done = 0;
  FillConsoleOutputCharacterW(out, L' ', 2, before.dwCursorPosition, &done);
  SetConsoleCursorPosition(out, before.dwCursorPosition);
  if (!measured || after.dwCursorPosition.Y != before.dwCursorPosition.Y) return 0;
  const int cells = after.dwCursorPosition.X - before.dwCursorPosition.X;
  return cells == 1 || cells == 2 ? cells : 0;
}

class WindowsConsole final : public Platform {
 public:
  WindowsConsole();
  ~WindowsConsole() override;
  WindowsConsole(const WindowsConsole&) = delete;
  WindowsConsole& operator=(const WindowsConsole&) = delete;

  void write(std::string_view bytes) override;
  int read_byte(int timeout_ms) override;
  TermSize size() override;
  unsigned take_events() override;
  Encoding encoding() const override { return encoding_; }
  // As measured at start: a legacy console on code page 949, or with a CJK font, draws box
  // drawing and the like two cells wide; Windows Terminal, also on code page 949, one.
  int ambiguous_width() const override { return ambiguous_width_; }

 private:
  void apply(const ConsoleOp& op, const CONSOLE_SCREEN_BUFFER_INFO& info);
  void clear(const CONSOLE_SCREEN_BUFFER_INFO& info);
  void report_cursor();
  // Reads what the console has and returns kReadInterrupted, kReadEndOfInput or 0.
  int take_console_input();
  int read_console(int timeout_ms);
  bool window_resized();
  int read_stream(int timeout_ms);
  int next_input_byte();
  bool input_waiting() const { return input_pos_ < input_.size(); }

  HANDLE in_;
  HANDLE out_;
  bool console_in_ = false;
  bool console_out_ = false;
  Encoding encoding_ = Encoding::Utf8;
  bool wide_in_one_cell_ = false;
  int ambiguous_width_ = 1;
  TermSize window_;  // the window size last reported by size()
  VtState vt_;
  KeyEventTranslator keys_;
  std::string input_;  // bytes translated from the console and not read yet
  std::size_t input_pos_ = 0;
  unsigned events_ = 0;
};

WindowsConsole::WindowsConsole()
    : in_(GetStdHandle(STD_INPUT_HANDLE)),
      out_(GetStdHandle(STD_OUTPUT_HANDLE)),
      keys_(Encoding::Utf8) {
  DWORD in_mode = 0;
  console_in_ = GetConsoleMode(in_, &in_mode) != 0;
  DWORD out_mode = 0;
  console_out_ = GetConsoleMode(out_, &out_mode) != 0;
  if (console_out_) {
    if (GetConsoleOutputCP() == kCp949CodePage) encoding_ = Encoding::Cp949;
    // Only UTF-16 can pad a syllable kept in one cell (CP949 has no zero-width space).
    wide_in_one_cell_ = encoding_ == Encoding::Utf8 && cells_taken(out_, encoding_, U'가') == 1;
    // Unmeasured, the code page is the best guess: a legacy CP949 console draws every
    // double-byte glyph two cells wide.
    const int box = cells_taken(out_, encoding_, U'━');
    ambiguous_width_ = box != 0 ? box : (encoding_ == Encoding::Cp949 ? 2 : 1);
    window_ = size();
  }
  keys_ = KeyEventTranslator(encoding_);

  {
    const std::lock_guard lock(g_console_lock);
    g_saved = SavedConsole{};
    g_saved.in = in_;
    g_saved.out = out_;
    g_saved.has_input_mode = console_in_;
    g_saved.input_mode = in_mode;
    g_saved.has_output_mode = console_out_;
    g_saved.output_mode = out_mode;
    g_saved.has_cursor = console_out_ && GetConsoleCursorInfo(out_, &g_saved.cursor) != 0;
    g_saved.given_back = false;
  }
  if (console_in_) {
    // No line input, no echo; Ctrl-C still reaches the control handler; resizes are reported;
    // QuickEdit off (the extended flags without it), insert mode as it was.
    SetConsoleMode(in_, ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS |
                            (in_mode & ENABLE_INSERT_MODE));
  }
  if (console_out_) {
    // No wrap at the end of a row: the bottom-right cell is drawn without scrolling.
    SetConsoleMode(out_, (out_mode | ENABLE_PROCESSED_OUTPUT) & ~DWORD{ENABLE_WRAP_AT_EOL_OUTPUT});
  }
  SetConsoleCtrlHandler(on_console_control, TRUE);
  static const bool registered = [] {
    g_previous_filter = SetUnhandledExceptionFilter(on_unhandled_exception);
    g_previous_terminate = std::set_terminate(on_terminate);
    return std::atexit(give_back_at_exit) == 0;
  }();
  static_cast<void>(registered);
}

WindowsConsole::~WindowsConsole() {
  give_back_console();
  SetConsoleCtrlHandler(on_console_control, FALSE);
}

void WindowsConsole::write(std::string_view bytes) {
  const std::lock_guard lock(g_console_lock);
  if (g_saved.given_back) return;  // the process is ending
  if (!console_out_) {
    DWORD written = 0;
    while (!bytes.empty() &&
           WriteFile(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written > 0) {
      bytes.remove_prefix(written);
    }
    return;
  }
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!console_info(out_, info)) return;
  const VtOptions options{encoding_, ambiguous_width(), info.dwSize.X, wide_in_one_cell_};
  for (const ConsoleOp& op : interpret_vt(bytes, options, vt_)) apply(op, info);
}

void WindowsConsole::apply(const ConsoleOp& op, const CONSOLE_SCREEN_BUFFER_INFO& info) {
  const auto cell = [&info](int x, int y) {
    return COORD{static_cast<SHORT>(std::clamp(x, 0, info.dwSize.X - 1)),
                 static_cast<SHORT>(std::clamp(y, 0, info.dwSize.Y - 1))};
  };
  DWORD done = 0;
  switch (op.kind) {
    case ConsoleOpKind::MoveCursor:
      SetConsoleCursorPosition(out_, cell(op.x, op.y));
      break;
    case ConsoleOpKind::WriteText:
      write_console_text(out_, encoding_, op.text);
      break;
    case ConsoleOpKind::LineFeed:
      // The console's own line feed, which scrolls on the bottom row of the buffer.
      SetConsoleCursorPosition(out_, cell(0, op.y));
      WriteConsoleW(out_, L"\n", 1, &done, nullptr);
      break;
    case ConsoleOpKind::EraseCells:
      FillConsoleOutputCharacterW(out_, L' ', static_cast<DWORD>(op.count), cell(op.x, op.y),
                                  &done);
      break;
    case ConsoleOpKind::ClearScreen:
      clear(info);
      break;
    case ConsoleOpKind::ShowCursor: {
      CONSOLE_CURSOR_INFO cursor{};
      if (GetConsoleCursorInfo(out_, &cursor)) {
        cursor.bVisible = op.visible ? TRUE : FALSE;
        SetConsoleCursorInfo(out_, &cursor);
      }
      break;
    }
    case ConsoleOpKind::ReportCursor:
      report_cursor();
      break;
  }
}

// What "cls" does, without a child process: every cell of the buffer blank in the current
// colours, the cursor (and with it the window) at the top-left corner.
void WindowsConsole::clear(const CONSOLE_SCREEN_BUFFER_INFO& info) {
  const auto cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  const COORD origin{0, 0};
  DWORD done = 0;
  FillConsoleOutputCharacterW(out_, L' ', cells, origin, &done);
  FillConsoleOutputAttribute(out_, info.wAttributes, cells, origin, &done);
  SetConsoleCursorPosition(out_, origin);
}

// Answers a cursor position request the way a terminal does, through the input.
void WindowsConsole::report_cursor() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!console_info(out_, info)) return;
  input_ += "\x1b[" + std::to_string(info.dwCursorPosition.Y + 1) + ';' +
            std::to_string(info.dwCursorPosition.X + 1) + 'R';
}

int WindowsConsole::read_byte(int timeout_ms) {
  if (input_waiting()) return next_input_byte();
  return console_in_ ? read_console(timeout_ms) : read_stream(timeout_ms);
}

int WindowsConsole::next_input_byte() {
  const auto byte = static_cast<unsigned char>(input_[input_pos_++]);
  if (input_pos_ == input_.size()) {
    input_.clear();
    input_pos_ = 0;
  }
  return byte;
}

int WindowsConsole::take_console_input() {
  std::array<INPUT_RECORD, kInputBatch> records{};
  DWORD count = 0;
  if (!ReadConsoleInputW(in_, records.data(), kInputBatch, &count)) return kReadEndOfInput;
  bool resized = false;
  for (DWORD i = 0; i < count; ++i) {
    const INPUT_RECORD& record = records[i];
    if (record.EventType == KEY_EVENT) {
      const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
      keys_.translate({key.bKeyDown != 0, key.wVirtualKeyCode,
                       static_cast<char16_t>(key.uChar.UnicodeChar), key.wRepeatCount},
                      input_);
    } else if (record.EventType == WINDOW_BUFFER_SIZE_EVENT) {
      resized = true;
    }
  }
  if (resized) {
    events_ |= kEventResized;
    return kReadInterrupted;
  }
  return 0;
}

int WindowsConsole::read_console(int timeout_ms) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    DWORD wait = kWindowPollMs;
    bool last_wait = false;
    if (timeout_ms >= 0) {
      const ULONGLONG elapsed = GetTickCount64() - start;
      const auto limit = static_cast<ULONGLONG>(timeout_ms);
      const ULONGLONG left = elapsed >= limit ? 0 : limit - elapsed;
      last_wait = left <= kWindowPollMs;
      wait = static_cast<DWORD>(std::min<ULONGLONG>(left, kWindowPollMs));
    }
    const DWORD waited = WaitForSingleObject(in_, wait);
    if (waited == WAIT_TIMEOUT) {
      if (window_resized()) {
        events_ |= kEventResized;
        return kReadInterrupted;
      }
      if (last_wait) return kReadTimeout;
      continue;
    }
    if (waited != WAIT_OBJECT_0) return kReadEndOfInput;  // the console is gone
    const int status = take_console_input();
    if (status != 0) return status;
    if (input_waiting()) return next_input_byte();
    // Only key releases, focus or mouse events: wait on for the rest of the time.
  }
}

// Standard input redirected from a pipe or a file.
int WindowsConsole::read_stream(int timeout_ms) {
  if (GetFileType(in_) == FILE_TYPE_PIPE) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
      DWORD available = 0;
      if (!PeekNamedPipe(in_, nullptr, 0, nullptr, &available, nullptr)) return kReadEndOfInput;
      if (available > 0) break;
      if (timeout_ms >= 0 && GetTickCount64() - start >= static_cast<ULONGLONG>(timeout_ms)) {
        return kReadTimeout;
      }
      Sleep(kPipePollMs);
    }
  }
  std::string chunk(kStreamChunk, '\0');
  DWORD got = 0;
  if (!ReadFile(in_, chunk.data(), kStreamChunk, &got, nullptr) || got == 0) return kReadEndOfInput;
  chunk.resize(got);
  input_ += chunk;
  return next_input_byte();
}

TermSize WindowsConsole::size() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!console_out_ || !console_info(out_, info)) return {};
  window_ = {info.srWindow.Right - info.srWindow.Left + 1,
             info.srWindow.Bottom - info.srWindow.Top + 1};
  return window_;
}

// Whether the window has changed size since size() last looked.
bool WindowsConsole::window_resized() {
  const TermSize seen = window_;
  const TermSize now = size();
  return now.cols != seen.cols || now.rows != seen.rows;
}

unsigned WindowsConsole::take_events() {
  const unsigned events = events_;
  events_ = 0;
  return events;
}

}  // namespace

// The console's control handler ends the game itself; nothing waits for a flag here.
bool act_on_signals_while_waiting() {
  return false;
}

std::unique_ptr<Platform> open_terminal() {
  return std::make_unique<WindowsConsole>();
}

}  // namespace yut
