#include "ranking/ranking_file.h"

#include <gtest/gtest.h>

#include <string>

namespace yut {
namespace {

using namespace std::string_literals;

RankingEntry entry(const std::string& name, int score) {
  RankingEntry e;
  std::copy(name.begin(), name.end(), e.name.begin());
  e.score = score;
  return e;
}

// One record's bytes before the line-end translation.
std::string record(const std::string& name, const std::string& score_le) {
  std::string r = name;
  r.resize(kNameBytes, '\0');
  return r + score_le;
}

TEST(RankingFileTest, WritesTheDocumentedBytes) {
  struct Case {
    const char* what;
    RankingEntry first;
    std::string first_bytes;
  };
  const Case cases[] = {
      {"AB with 2000", entry("AB", 2000), "AB"s + std::string(18, '\0') + "\xD0\x07\x00\x00"s},
      {"2750 holds 0x0A", entry("", 2750), std::string(20, '\0') + "\xBE\x0D\x0A\x00\x00"s},
      {"6750 holds 0x1A", entry("", 6750), std::string(20, '\0') + "\x5E\x1A\x00\x00"s},
      {"negative score", entry("", -2), std::string(20, '\0') + "\xFE\xFF\xFF\xFF"s},
      {"line feed in a name", entry("A\nB", 1), "A\r\nB"s + std::string(17, '\0') + "\x01\0\0\0"s},
  };
  for (const Case& c : cases) {
    RankingTable table{};
    table[0] = c.first;
    table[9] = entry("candidate", 99);  // never written
    const std::string file = encode_ranking_file(table);
    EXPECT_EQ(file.size(), kRecordsBytes + c.first_bytes.size() - kRecordBytes) << c.what;
    EXPECT_EQ(file.substr(0, c.first_bytes.size()), c.first_bytes) << c.what;
    EXPECT_EQ(file.substr(c.first_bytes.size()), std::string(8 * kRecordBytes, '\0')) << c.what;
  }
}

TEST(RankingFileTest, ReadsBackWhatItWrote) {
  // The file's bytes written out by hand: every 0x0A of the data is stored as 0D 0A.
  const std::string z17(17, '\0');
  const std::string file = "AB\0"s + z17 + "\xD0\x07\x00\x00"s +          // "AB", 2000
                           "A\r\nB\0"s + std::string(16, '\0') +          // "A\nB"
                           "\xBE\x0D\x0A\x00\x00"s +                      // 0xABE
                           "n\r\x1A"s + z17 + "\r\n\r\n\r\n\r\n"s +       // 0x0A0A0A0A
                           std::string(20, '\0') + "\x0D\x0D\x0D\x0D"s +  // 0x0D0D0D0D
                           std::string(20, '\0') + "\x5E\x1A\x00\x00"s +  // 6750
                           std::string(20, '\0') + "\xFF\xFF\xFF\xFF"s +  // -1
                           std::string(3 * kRecordBytes, '\0');
  const struct {
    std::string name;
    int score;
  } expected[] = {{"AB", 2000},     {"A\nB", 0xABE}, {"n\r\x1A", 0x0A0A0A0A},
                  {"", 0x0D0D0D0D}, {"", 6750},      {"", -1},
                  {"", 0},          {"", 0},         {"", 0}};
  RankingTable loaded{};
  decode_ranking_file(file, loaded);
  for (int i = 0; i < kRankingShown; ++i) {
    const auto k = static_cast<std::size_t>(i);
    EXPECT_EQ(std::string(loaded[k].name.data()), expected[i].name) << i;
    EXPECT_EQ(loaded[k].score, expected[i].score) << i;
  }
  EXPECT_EQ(encode_ranking_file(loaded), file);
}

TEST(RankingFileTest, LoneCarriageReturnAndEndOfFileByteStayBytes) {
  // A CR not followed by LF is a byte of the data, and 0x1A does not end the reading.
  std::string data = record(
      "\x0D"
      "A\x1A",
      "\x0D\x0D\x0A\x00"s.substr(0, 4));
  data += record("B", "\x1A\x00\x00\x00"s);
  RankingTable table{};
  decode_ranking_file(data, table);
  EXPECT_EQ(std::string(table[0].name.data(), 3),
            "\x0D"
            "A\x1A");
  // Score bytes 0D, then 0D 0A read as 0A, then 00 and the next record's first byte.
  EXPECT_EQ(static_cast<std::uint32_t>(table[0].score), 0x42000A0DU);
}

TEST(RankingFileTest, ShortFilesKeepWhatTheyDoNotReach) {
  RankingTable table{};
  for (auto& e : table) e = entry("old name here", 0x11223344);
  const std::string data = record("first", "\x64\x00\x00\x00"s) + "sec" + std::string(18, '\0');
  decode_ranking_file(data, table);
  EXPECT_STREQ(table[0].name.data(), "first");
  EXPECT_EQ(table[0].score, 100);
  // The second record is cut after 21 bytes: the name field and the score's low byte.
  EXPECT_STREQ(table[1].name.data(), "sec");
  EXPECT_EQ(static_cast<std::uint32_t>(table[1].score), 0x11223300U);
  for (std::size_t i = 2; i < table.size(); ++i) {
    EXPECT_STREQ(table[i].name.data(), "old name here") << i;
    EXPECT_EQ(table[i].score, 0x11223344) << i;
  }
}

TEST(RankingFileTest, EmptyAndOverlongFiles) {
  RankingTable table{};
  table[3] = entry("kept", 7);
  decode_ranking_file("", table);
  EXPECT_STREQ(table[3].name.data(), "kept");

  std::string data;
  for (int i = 0; i < 12; ++i)
    data += record("r" + std::to_string(i), std::string(1, char(i)) + "\0\0\0"s);
  decode_ranking_file(data, table);
  EXPECT_STREQ(table[8].name.data(), "r8");
  EXPECT_EQ(table[8].score, 8);
  EXPECT_EQ(table[9].score, 0);  // the candidate slot is not loaded
}

TEST(RankingFileTest, NameFieldWithoutZeroByteStaysInItsField) {
  std::string data = std::string(kNameBytes, 'X') + "\x05\x00\x00\x00"s;
  RankingTable table{};
  decode_ranking_file(data, table);
  EXPECT_EQ(std::string(table[0].name.data(), kNameBytes), std::string(kNameBytes, 'X'));
  EXPECT_EQ(table[0].score, 5);
}

}  // namespace
}  // namespace yut
