#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/platform/memory_platform.h"

namespace yut {
namespace {

// One read of a line-read script: 'i' read_int, 'w' read_word, 'p' pause, 'k' read_key.
// The result of every read, as text: a number, "none" for a failed %d, the word, the key
// code, or "closed" once the input has ended.
std::vector<std::string> run_reads(const std::string& input, const std::string& reads) {
  MemoryPlatform platform(input);
  Console con(platform);
  std::vector<std::string> results;
  for (const char r : reads) {
    try {
      switch (r) {
        case 'i': {
          const std::optional<int> n = con.read_int();
          results.push_back(n ? std::to_string(*n) : "none");
          break;
        }
        case 'w':
          results.push_back(con.read_word());
          break;
        case 'p':
          con.pause();
          results.push_back("paused");
          break;
        default:
          results.push_back(std::to_string(con.read_key()));
          break;
      }
    } catch (const InputClosed&) {
      results.push_back("closed");
    }
  }
  return results;
}

using Results = std::vector<std::string>;

TEST(ConsoleInputTest, LineReadsAsScanf) {
  struct Case {
    const char* name;
    std::string input;
    std::string reads;
    Results expected;
  };
  const std::string long_line(600, '7');
  const Case cases[] = {
      {"two numbers on one line", "2 3\n", "ii", {"2", "3"}},
      {"blank lines before a number", "\n\n   \n  12\n", "i", {"12"}},
      {"CR line ends", "\r\r5\r", "i", {"5"}},
      {"signs", "-4 +6\n", "ii", {"-4", "6"}},
      {"a word is no number and stays", "abc\n7\n", "iiwi", {"none", "none", "abc", "7"}},
      {"the pause drops the rest of the line", "abc\nx9\n", "ipi", {"none", "paused", "9"}},
      {"the pause drops a second number", "1 2\nq3\n", "ipi", {"1", "paused", "3"}},
      {"digits then letters", "12ab\n", "iw", {"12", "ab"}},
      {"too large for an int",
       "99999999999 2147483648 -2147483649 4\n",
       "iiii",
       {"none", "none", "none", "4"}},
      {"largest and smallest int", "2147483647 -2147483648\n", "ii", {"2147483647", "-2147483648"}},
      {"overlong line is cut", long_line + "\n5\n", "ii", {"none", "5"}},
      {"word then number", "hong 3\n", "wi", {"hong", "3"}},
      {"Hangul word", "홍길동\n", "w", {"홍길동"}},
      {"backspace over Hangul", "홍길\x7f동\n", "w", {"홍동"}},
      {"backspace over ASCII and on an empty line",
       "\x7f\x7f"
       "ab\x08"
       "c\n",
       "w",
       {"ac"}},
      {"arrows and ESC type nothing", "1\x1b[A2\x1bOB\n", "i", {"12"}},
      {"last line without a line end", "42", "ii", {"42", "closed"}},
      {"end of input", "", "iwpk", {"closed", "closed", "closed", "closed"}},
      {"end of input after blank lines", "\n \n", "i", {"closed"}},
      {"arrow as two codes", "\x1b[A\x1bOB\r", "kkkkk", {"224", "72", "224", "80", "13"}},
      {"pause takes the prefix, the second code stays", "\x1b[Bz", "pkk", {"paused", "80", "122"}},
      {"terminal replies never reach the keys", "\x1b[3;7R\x1b[?62;c\r", "k", {"13"}},
      {"unknown sequence and function key", "\x1b[99~\x1bOP\r", "kkk", {"0", "59", "13"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run_reads(c.input, c.reads), c.expected) << c.name;
  }
}

TEST(ConsoleInputTest, TypedTextIsEchoedAtTheCursor) {
  MemoryPlatform platform(
      "ab가\x7f"
      "c 7\n");
  Console con(platform);
  con.hide_cursor();
  con.gotoxy(45, 17);
  con.print("> ");
  EXPECT_EQ(con.read_word(), "abc");
  EXPECT_EQ(con.screen().text_at(45, 17, 9), "> abc 7  ");
  EXPECT_EQ(con.screen().cursor_x(), 0);  // Enter moved to the next row
  EXPECT_EQ(con.screen().cursor_y(), 18);
}

TEST(ConsoleInputTest, EchoStaysInsideTheFrame) {
  // A prompt that ends four columns left of the frame's right border, as the game's piece
  // prompt does. Blank lines leave the prompt waiting where it stands; a long line shows
  // what fits and keeps the rest; Backspace takes the hidden part first. A field end set
  // by the caller (the name's brackets) stops the echo as a frame does.
  MemoryPlatform platform(
      "\n \t\n"
      "123456789\x7f\x7f\x7f\x7f\x7f\x7f"
      "0\n"
      "가나다라마바사아자차\n");
  Console con(platform);
  con.gotoxy(0, 17);
  con.print(std::string(76, '.') + "┃\n┃");
  con.gotoxy(72, 17);
  con.print("    ");
  con.gotoxy(72, 17);
  EXPECT_EQ(con.read_int(), 1230);
  EXPECT_EQ(con.screen().text_at(70, 17, 10), "..1230┃  ");
  EXPECT_EQ(con.screen().text_at(0, 18, 4), "┃  ");
  con.gotoxy(20, 19);
  con.print("[         ]");
  con.gotoxy(22, 19);
  EXPECT_EQ(con.read_word(30), "가나다라마바사아자차");
  EXPECT_EQ(con.screen().text_at(20, 19, 12), "[ 가나다라] ");
}

TEST(ConsoleInputTest, OverlongLineKeepsMemoryBounded) {
  MemoryPlatform platform(std::string(100000, 'x') + "\n");
  Console con(platform);
  platform.keep_output(false);
  const std::string word = con.read_word();
  EXPECT_EQ(word.size(), kMaxLineBytes);
}

// Grows to 80x34 when it reads '!', as a window that the player enlarges.
class GrowingPlatform : public MemoryPlatform {
 public:
  using MemoryPlatform::MemoryPlatform;
  int read_byte(int timeout_ms) override {
    const int b = MemoryPlatform::read_byte(timeout_ms);
    if (b == '!') set_size({80, 34});
    return b;
  }
};

TEST(ConsoleInputTest, TooSmallTerminalShowsTheSizeAndWaits) {
  GrowingPlatform platform("xy!\r", {70, 24});
  Console con(platform);
  con.print("hello");
  EXPECT_EQ(con.read_key(), 13);  // x, y and ! were typed while the game could not be shown
  const std::string& out = platform.output();
  const auto message = out.find("창 크기를 80x34 이상으로 늘려 주세요 (현재 70x24)");
  ASSERT_NE(message, std::string::npos);
  EXPECT_NE(out.find("hello", message), std::string::npos);  // painted once large enough
}

TEST(ConsoleInputTest, TooSmallTerminalAtEndOfInput) {
  MemoryPlatform platform("", {80, 20});
  Console con(platform);
  EXPECT_THROW(con.read_key(), InputClosed);
}

}  // namespace
}  // namespace yut
