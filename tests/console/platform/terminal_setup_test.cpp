#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "console/platform/memory_platform.h"
#include "console/platform/width_probe.h"
#include "console/text/locale_encoding.h"

namespace yut {
namespace {

TEST(LocaleEncodingTest, Table) {
  const std::pair<const char*, Encoding> cases[] = {
      {"ko_KR.UTF-8", Encoding::Utf8},
      {"C.UTF-8", Encoding::Utf8},
      {"C", Encoding::Utf8},
      {"POSIX", Encoding::Utf8},
      {"ko_KR", Encoding::Utf8},
      {"ko_KR.EUC-KR", Encoding::Cp949},
      {"ko_KR.euckr", Encoding::Cp949},
      {"ko_KR.CP949", Encoding::Cp949},
      {"ko_KR.UHC", Encoding::Cp949},
      {"ko_KR.eucKR@euro", Encoding::Cp949},
      {"en_US.ISO-8859-1", Encoding::Utf8},
  };
  for (const auto& [locale, expected] : cases) {
    EXPECT_EQ(encoding_of_locale(locale), expected) << locale;
  }
}

TEST(WidthProbeTest, Table) {
  struct Case {
    const char* name;
    std::string replies;
    int width;
    bool measured;
    std::size_t left;   // input bytes the probe leaves unread
    std::string typed;  // keys typed before the replies, handed back in order
  };
  const Case cases[] = {
      {"one column", "\x1b[5;2R\x1b[?62;22c", 1, true, 0, ""},
      {"two columns", "\x1b[5;3R\x1b[?62;22c", 2, true, 0, ""},
      {"no position report, only attributes", "\x1b[?1;2c", 1, false, 0, ""},
      {"no answer", "", 1, false, 0, ""},
      {"keys after the replies stay", "\x1b[1;3R\x1b[?6cab", 2, true, 2, ""},
      {"keys before and between the replies", "1\r\x1b[5;3R\x1b[B가\x1b[?62;22c", 2, true, 0,
       "1\r\x1b[B가"},
      {"keys and no answer", "x\x1b", 1, false, 0, "x\x1b"},
  };
  for (const Case& c : cases) {
    MemoryPlatform platform(c.replies);
    const ProbedWidth width = probe_ambiguous_width(platform, 50);
    EXPECT_EQ(width.columns, c.width) << c.name;
    EXPECT_EQ(width.measured, c.measured) << c.name;
    EXPECT_EQ(width.typed, c.typed) << c.name;
    EXPECT_EQ(platform.input_left(), c.left) << c.name;
    // CR, the probe glyph and the two questions; the first paint clears the glyph.
    EXPECT_EQ(platform.output(), "\r\xe2\x97\x8b\x1b[6n\x1b[c") << c.name;
  }
}

// Replies after the probe's wait are no keys; while the probe awaits them, a report tells
// the width (and only a report the probe can have caused; Ctrl+F3 reads as column 5).
TEST(WidthProbeTest, LateRepliesNeverReachTheMenus) {
  const struct {
    std::string replies;
    bool awaiting;
    int width;
    bool measured;
  } cases[] = {
      {"\x1b[5;3R\x1b[?62;22c", false, 1, false},
      {"\x1b[5;3R\x1b[?62;22c", true, 2, true},
      {"\x1b[5;2R", true, 1, true},
      {"\x1b[1;5R\x1b[?62c\x1b[5;3R", true, 1, false},
  };
  for (const auto& c : cases) {
    MemoryPlatform platform(c.replies + "\x1b[B\r");
    platform.set_ambiguous_width(1, false, c.awaiting);
    Console con(platform);
    EXPECT_EQ(con.read_key(), kKeyPrefix);
    EXPECT_EQ(con.read_key(), kKeyDown);
    EXPECT_EQ(con.read_key(), kKeyEnter);
    EXPECT_EQ(platform.ambiguous_width(), c.width) << c.replies;
    EXPECT_EQ(platform.ambiguous_width_measured(), c.measured) << c.replies;
  }
}

TEST(ConsoleOutputTest, HeadlessRunKeepsNoOutput) {
  MemoryPlatform platform;
  platform.keep_output(false);
  Console con(platform);
  for (int i = 0; i < 100; ++i) {
    con.clear_screen();
    con.printf("game %d", i);
    con.refresh();
  }
  EXPECT_TRUE(platform.output().empty());
  EXPECT_GT(platform.bytes_written(), 0U);
  EXPECT_EQ(platform.writes(), 100U);
}

TEST(ConsoleOutputTest, PrintfFormatsLongText) {
  MemoryPlatform platform;
  Console con(platform);
  const std::string long_text(300, 'x');
  con.printf("player1의 점수 : %d %s", 250, long_text.c_str());
  EXPECT_EQ(con.screen().text_at(0, 0, 22), "player1의 점수 : 250 x");
  EXPECT_EQ(con.screen().cursor_y(), 4);  // 321 columns wrapped over four rows
}

}  // namespace
}  // namespace yut
