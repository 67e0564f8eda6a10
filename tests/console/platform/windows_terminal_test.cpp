// The Windows console back end against a real console: what the renderer sends lands on the
// console's cells, keys typed into the console's input come out as the decoder's bytes, and
// the console is given back as it was found. The tests need a console (CONOUT$); without one
// (output to a pipe, as under ctest) they are skipped, unless YUT_REQUIRE_CONSOLE is set.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "console/console.h"
#include "console/platform/terminal.h"

namespace yut {
namespace {

bool console_required() {
  return GetEnvironmentVariableW(L"YUT_REQUIRE_CONSOLE", nullptr, 0) != 0;
}

HANDLE open_console(const wchar_t* name) {
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

// Points the standard handles at the console for one test and back afterwards.
class WindowsConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = open_console(L"CONOUT$");
    in_ = open_console(L"CONIN$");
    DWORD mode = 0;
    if (out_ == INVALID_HANDLE_VALUE || in_ == INVALID_HANDLE_VALUE ||
        !GetConsoleMode(out_, &mode)) {
      if (console_required()) FAIL() << "no console to test with";
      GTEST_SKIP() << "no console";
    }
    saved_out_ = GetStdHandle(STD_OUTPUT_HANDLE);
    saved_in_ = GetStdHandle(STD_INPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, out_);
    SetStdHandle(STD_INPUT_HANDLE, in_);
    GetConsoleMode(in_, &input_mode_);
    GetConsoleCursorInfo(out_, &cursor_);
    FlushConsoleInputBuffer(in_);
  }

  void TearDown() override {
    if (resized_) {
      SetConsoleScreenBufferSize(out_, saved_size_.dwSize);
      SetConsoleWindowInfo(out_, TRUE, &saved_size_.srWindow);
    }
    if (saved_out_ != nullptr) {
      SetStdHandle(STD_OUTPUT_HANDLE, saved_out_);
      SetStdHandle(STD_INPUT_HANDLE, saved_in_);
    }
    if (out_ != INVALID_HANDLE_VALUE) CloseHandle(out_);
    if (in_ != INVALID_HANDLE_VALUE) CloseHandle(in_);
  }

  std::wstring cells(int x, int y, int count) const {
    std::wstring text(static_cast<std::size_t>(count), L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(out_, text.data(), static_cast<DWORD>(count),
                                COORD{static_cast<SHORT>(x), static_cast<SHORT>(y)}, &read);
    text.resize(read);
    return text;
  }

  // Makes the console's buffer cols x rows and its window cols x 34 (the test's end gives the
  // old size back). Where the console does not let it, the test fails when a console is
  // required and is skipped otherwise; the caller returns when made() is false.
  void make_console(SHORT cols, SHORT rows) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!resized_ && GetConsoleScreenBufferInfo(out_, &saved_size_)) resized_ = true;
    const SMALL_RECT window{0, 0, static_cast<SHORT>(cols - 1), 33};
    SetConsoleWindowInfo(out_, TRUE, &window);
    SetConsoleScreenBufferSize(out_, COORD{cols, rows});
    SetConsoleWindowInfo(out_, TRUE, &window);
    if (GetConsoleScreenBufferInfo(out_, &info) && info.dwSize.X == cols && info.dwSize.Y == rows &&
        info.srWindow.Left == 0 && info.srWindow.Top == 0 && info.srWindow.Right == cols - 1 &&
        info.srWindow.Bottom == 33) {
      return;
    }
    if (console_required()) {
      ADD_FAILURE() << "the console cannot be made " << cols << "x" << rows;
    } else {
      GTEST_SKIP() << "the console cannot be made " << cols << "x" << rows;
    }
  }
  bool made() const { return !HasFailure() && !IsSkipped(); }

  // Cells the console gives the bytes (one glyph in the output code page), written at the
  // start of row y.
  int cells_taken(const char* bytes, int y) {
    SetConsoleCursorPosition(out_, COORD{0, static_cast<SHORT>(y)});
    DWORD written = 0;
    WriteConsoleA(out_, bytes, static_cast<DWORD>(std::strlen(bytes)), &written, nullptr);
    return cursor().X;
  }

  COORD cursor() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(out_, &info);
    return info.dwCursorPosition;
  }

  bool cursor_visible() const {
    CONSOLE_CURSOR_INFO info{};
    GetConsoleCursorInfo(out_, &info);
    return info.bVisible != 0;
  }

  void type_key(WORD vk, wchar_t ch) {
    INPUT_RECORD records[2]{};
    for (int i = 0; i < 2; ++i) {
      records[i].EventType = KEY_EVENT;
      records[i].Event.KeyEvent.bKeyDown = i == 0 ? TRUE : FALSE;
      records[i].Event.KeyEvent.wRepeatCount = 1;
      records[i].Event.KeyEvent.wVirtualKeyCode = vk;
      records[i].Event.KeyEvent.uChar.UnicodeChar = ch;
    }
    DWORD written = 0;
    WriteConsoleInputW(in_, records, 2, &written);
  }

  std::string read_all(Platform& platform) {
    std::string bytes;
    for (int b = platform.read_byte(200); b >= 0; b = platform.read_byte(50)) {
      bytes += static_cast<char>(b);
    }
    return bytes;
  }

  HANDLE out_ = INVALID_HANDLE_VALUE;
  HANDLE in_ = INVALID_HANDLE_VALUE;
  HANDLE saved_out_ = nullptr;
  HANDLE saved_in_ = nullptr;
  DWORD input_mode_ = 0;
  CONSOLE_CURSOR_INFO cursor_{};
  bool resized_ = false;
  CONSOLE_SCREEN_BUFFER_INFO saved_size_{};
};

TEST_F(WindowsConsoleTest, SequencesBecomeCellsAndCursorMoves) {
  auto platform = open_terminal();
  platform->write("\x1b[H\x1b[2J\x1b[3;5Habc\x1b[5;1Hxxxxxxxx\x1b[5;3H\x1b[4X");
  EXPECT_EQ(cells(4, 2, 3), L"abc");
  EXPECT_EQ(cells(0, 4, 8), L"xx    xx");
  EXPECT_EQ(cursor().X, 2);
  EXPECT_EQ(cursor().Y, 4);
  platform->write("\x1b[2J");
  EXPECT_EQ(cells(0, 2, 10), std::wstring(10, L' '));
  EXPECT_EQ(cursor().X, 0);
  EXPECT_EQ(cursor().Y, 0);
}

TEST_F(WindowsConsoleTest, WideGlyphsStandOnTheirColumns) {
  auto platform = open_terminal();
  if (platform->encoding() != Encoding::Utf8) GTEST_SKIP() << "a CP949 console";
  platform->write("\x1b[H\x1b[2J\x1b[5;11H게임a");
  EXPECT_EQ(cells(10, 4, 1), L"게");
  EXPECT_EQ(cells(12, 4, 1), L"임");
  EXPECT_EQ(cells(14, 4, 1), L"a");
  EXPECT_EQ(cursor().X, 15);
}

TEST_F(WindowsConsoleTest, ConsoleScreenLandsOnTheModelColumns) {
  auto platform = open_terminal();
  Console con(*platform);
  con.clear_screen();
  con.gotoxy(20, 6);
  con.print("▶ 게임 시작 ok\n┏━━┓");
  con.hide_cursor();
  con.refresh();
  EXPECT_FALSE(cursor_visible());
  // Each glyph stands at the column the model gives it, whatever width the console draws.
  const Screen& screen = con.screen();
  for (int y : {6, 7}) {
    for (int x = 0; x < 40; ++x) {
      const char32_t ch = screen.at(x, y).ch;
      if (ch == 0 || ch == U' ' || ch > 0xFFFF) continue;
      EXPECT_EQ(cells(x, y, 1), std::wstring(1, static_cast<wchar_t>(ch))) << x << "," << y;
    }
  }
}

TEST_F(WindowsConsoleTest, BottomRightCellDoesNotScrollButTheWayOutBelowDoes) {
  make_console(80, 34);
  if (!made()) return;
  auto platform = open_terminal();
  std::string bottom = "┗";  // a frame row as wide as the console
  for (int i = 0; i < 38; ++i) bottom += "━";
  bottom += "┛";
  Console con(*platform);
  con.clear_screen();
  con.print("TOP ROW");
  con.gotoxy(0, 33);
  con.print(bottom);
  con.refresh();
  EXPECT_EQ(cells(0, 0, 7), L"TOP ROW");
  EXPECT_EQ(cells(0, 33, 1), L"┗");
  EXPECT_EQ(cells(76, 33, 1), L"━");
  EXPECT_EQ(cells(78, 33, 1), L"┛");
  // The way out after the end of input or an error goes on below the screen: it scrolls.
  con.finish_below();
  EXPECT_EQ(cells(0, 32, 1), L"┗");
  EXPECT_EQ(cells(0, 33, 80), std::wstring(80, L' '));
  EXPECT_EQ(cursor().X, 0);
  EXPECT_EQ(cursor().Y, 33);
}

TEST_F(WindowsConsoleTest, KeysComeOutAsTerminalBytes) {
  auto platform = open_terminal();
  type_key(VK_DOWN, 0);
  type_key(VK_UP, 0);
  type_key(VK_RETURN, L'\r');
  type_key('A', L'a');
  EXPECT_EQ(read_all(*platform), "\x1b[B\x1b[A\ra");
  EXPECT_EQ(platform->read_byte(0), kReadTimeout);
}

TEST_F(WindowsConsoleTest, ResizeInterruptsTheRead) {
  auto platform = open_terminal();
  INPUT_RECORD record{};
  record.EventType = WINDOW_BUFFER_SIZE_EVENT;
  record.Event.WindowBufferSizeEvent.dwSize = COORD{100, 40};
  DWORD written = 0;
  WriteConsoleInputW(in_, &record, 1, &written);
  EXPECT_EQ(platform->read_byte(500), kReadInterrupted);
  EXPECT_EQ(platform->take_events(), kEventResized);
  EXPECT_EQ(platform->take_events(), 0U);
  // A console whose buffer is taller than its window sends no event when only the window
  // changes: the wait looks at the window itself.
  make_console(80, 60);
  if (!made()) return;
  platform->size();
  const SMALL_RECT window{0, 0, 79, 32};
  ASSERT_TRUE(SetConsoleWindowInfo(out_, TRUE, &window));
  FlushConsoleInputBuffer(in_);
  EXPECT_EQ(platform->read_byte(1000), kReadInterrupted);
  EXPECT_EQ(platform->take_events(), kEventResized);
}

TEST_F(WindowsConsoleTest, CursorReportAnswersThroughTheInput) {
  auto platform = open_terminal();
  platform->write("\x1b[4;7H\x1b[6n");
  EXPECT_EQ(read_all(*platform), "\x1b[4;7R");
}

TEST_F(WindowsConsoleTest, ConsoleIsGivenBackAsItWasFound) {
  // A console as Windows opens it: QuickEdit on, wrapping at the end of a row.
  SetConsoleMode(in_, input_mode_ | ENABLE_EXTENDED_FLAGS | ENABLE_QUICK_EDIT_MODE);
  DWORD output_mode = 0;
  GetConsoleMode(out_, &output_mode);
  SetConsoleMode(out_, output_mode | ENABLE_WRAP_AT_EOL_OUTPUT);
  DWORD found_input = 0;
  DWORD found_output = 0;
  GetConsoleMode(in_, &found_input);
  GetConsoleMode(out_, &found_output);
  const auto expect_given_back = [&] {
    DWORD mode = 0;
    GetConsoleMode(in_, &mode);
    EXPECT_EQ(mode, found_input);
    GetConsoleMode(out_, &mode);
    EXPECT_EQ(mode, found_output);
    EXPECT_EQ(cursor_visible(), cursor_.bVisible != 0);
  };
  // The ways out: the end of the game, and a crash (the filter Windows calls for an
  // exception nothing handles, called here as Windows would, before the program ends).
  for (const bool crash : {false, true}) {
    SCOPED_TRACE(crash ? "crash" : "end");
    {
      auto platform = open_terminal();
      DWORD mode = 0;
      GetConsoleMode(in_, &mode);
      EXPECT_EQ(mode & (ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_QUICK_EDIT_MODE), 0U);
      EXPECT_NE(mode & ENABLE_EXTENDED_FLAGS, 0U);  // without it QuickEdit stays as it was
      GetConsoleMode(out_, &mode);
      EXPECT_EQ(mode & ENABLE_WRAP_AT_EOL_OUTPUT, 0U);
      platform->write("\x1b[?25l");
      EXPECT_FALSE(cursor_visible());
      if (crash) {
        const LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
        SetUnhandledExceptionFilter(filter);
        ASSERT_NE(filter, nullptr);
        EXCEPTION_RECORD record{};
        record.ExceptionCode = 0xE0000001;  // an exception of no one's
        CONTEXT context{};
        EXCEPTION_POINTERS exception{&record, &context};
        EXPECT_EQ(filter(&exception), EXCEPTION_CONTINUE_SEARCH);
        expect_given_back();
      }
    }
    expect_given_back();
  }
  SetConsoleMode(in_, input_mode_);
  SetConsoleMode(out_, output_mode);
}

TEST_F(WindowsConsoleTest, Cp949ConsoleGetsCp949Bytes) {
  const UINT code_page = GetConsoleOutputCP();
  if (!SetConsoleOutputCP(949) || GetConsoleOutputCP() != 949) {
    SetConsoleOutputCP(code_page);
    GTEST_SKIP() << "code page 949 cannot be set here";
  }
  {
    auto platform = open_terminal();
    EXPECT_EQ(platform->encoding(), Encoding::Cp949);
    platform->write("\x1b[H\x1b[2J\x1b[2;1H\xB0\xD4\xC0\xD3");  // "게임" in CP949
    EXPECT_EQ(cells(0, 1, 1), L"게");
    EXPECT_EQ(cells(2, 1, 1), L"임");
    // Box drawing on this code page takes one cell (wine, Windows Terminal) or two (a legacy
    // console): the back end has measured which, and a frame drawn in one cell each has its
    // second columns filled rather than left as gaps.
    const int box_cells = cells_taken("\xA6\xAC", 5);  // "━"
    EXPECT_EQ(platform->ambiguous_width(), box_cells);
    if (box_cells == 1) {
      Console con(*platform);
      con.gotoxy(0, 3);
      con.print("┏━┓");
      con.refresh();
      EXPECT_EQ(cells(0, 3, 5), L"┏━━━┓");
    }
  }
  SetConsoleOutputCP(code_page);
}

}  // namespace
}  // namespace yut
