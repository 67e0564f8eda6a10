#include "ranking/ranking_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace yut {
namespace {

using namespace std::string_literals;

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(RankingNameTest, TypedNamesBecomeCp949CutAtACharacterBoundary) {
  const std::string ga = "\xB0\xA1";  // 가
  struct Case {
    std::string typed;
    std::optional<std::string> stored;
  };
  const Case cases[] = {
      {"AB", "AB"},
      {"홍길동", "\xC8\xAB\xB1\xE6\xB5\xBF"s},
      {"똠", "\x8C\x63"s},                            // a syllable outside KS X 1001
      {repeat("가", 9) + "A", repeat(ga, 9) + "A"},   // 19 bytes fit whole
      {"A" + repeat("가", 10), "A" + repeat(ga, 9)},  // 21 bytes: the last syllable goes
      {repeat("가", 10), repeat(ga, 9)},              // 20 bytes: cut to 18
      {repeat("x", 25), repeat("x", 19)},
      {"", ""},
      {"😀", std::nullopt},          // no CP949 code
      {"ab\x1B[2J", std::nullopt},  // control characters are refused
      {"\xFF\xFE", std::nullopt},   // not UTF-8
  };
  for (const Case& c : cases) EXPECT_EQ(name_for_file(c.typed), c.stored) << c.typed;
}

TEST(RankingNameTest, StoringKeepsTheBytesAfterTheZero) {
  RankingEntry entry;
  entry.name.fill('Z');
  store_name(entry, "AB");
  EXPECT_EQ(std::string(entry.name.data(), 5), "AB\0ZZ"s);
  store_name(entry, repeat("y", 19));
  EXPECT_EQ(entry.name[19], '\0');
}

TEST(RankingNameTest, StoredNamesForTheScreen) {
  struct Case {
    std::string field;
    std::string shown;
  };
  const Case cases[] = {
      {"\xC8\xAB\xB1\xE6\xB5\xBF"s, "홍길동"},
      {"AB\0garbage"s, "AB"},
      {repeat("Q", 20), repeat("Q", 20)},  // no zero byte: the 20 bytes, no more
      {"a\x1B"
       "b\x07"s,
       "a?b?"},        // control characters
      {"\xC8"s, "?"},  // a lead byte without its trail
      {repeat("\xB0\xA1", 9) + "\xB0"s, repeat("가", 9) + "?"},
  };
  for (const Case& c : cases) {
    RankingEntry entry;
    std::copy_n(c.field.begin(), std::min<std::size_t>(c.field.size(), kNameBytes),
                entry.name.begin());
    const std::string shown = name_for_screen(entry);
    EXPECT_EQ(shown, c.shown) << c.field;
  }
}

TEST(RankingNameTest, ColumnsCountTwoForEveryNonAsciiGlyph) {
  EXPECT_EQ(screen_columns(""), 0);
  EXPECT_EQ(screen_columns("AB?"), 3);
  EXPECT_EQ(screen_columns("홍길동"), 6);
  EXPECT_EQ(screen_columns("a가b"), 4);
}

}  // namespace
}  // namespace yut
