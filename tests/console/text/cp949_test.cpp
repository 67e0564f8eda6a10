#include "console/text/cp949.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#if !defined(_WIN32)
#include <iconv.h>
#endif

namespace yut {
namespace {

constexpr int kValidDoubleByteCodes = 17048;  // 8226 of KS X 1001 and 8822 extension syllables

#if !defined(_WIN32)
// glibc's own CP949 decoder: the character of one byte pair, 0 when it rejects it.
class SystemCp949 {
 public:
  SystemCp949() : cd_(iconv_open("UTF-32LE", "CP949")) {}
  ~SystemCp949() {
    if (ok()) iconv_close(cd_);
  }
  SystemCp949(const SystemCp949&) = delete;
  SystemCp949& operator=(const SystemCp949&) = delete;

  [[nodiscard]] bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  char32_t decode(unsigned char lead, unsigned char trail) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned char out[8] = {};
    char* in_ptr = in;
    char* out_ptr = reinterpret_cast<char*>(out);
    std::size_t in_left = sizeof in;
    std::size_t out_left = sizeof out;
    const std::size_t result = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
    if (result == static_cast<std::size_t>(-1) || in_left != 0 || sizeof out - out_left != 4) {
      return 0;
    }
    return static_cast<char32_t>(out[0] | out[1] << 8U | out[2] << 16U | out[3] << 24U);
  }

 private:
  iconv_t cd_;
};
#endif

TEST(Cp949, DecodeAgreesWithSystemIconvOnEveryPairAndEncodeInvertsIt) {
#if defined(_WIN32)
  GTEST_SKIP() << "iconv(3) is POSIX only";
#else
  SystemCp949 system;
  ASSERT_TRUE(system.ok());
  int valid = 0;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x00; trail <= 0xFF; ++trail) {
      const auto l = static_cast<unsigned char>(lead);
      const auto t = static_cast<unsigned char>(trail);
      const char32_t expected = system.decode(l, t);
      const char32_t ch = cp949_decode(l, t);
      ASSERT_EQ(ch, expected) << std::hex << "code " << lead << ' ' << trail;
      if (ch == 0) continue;
      ++valid;
      ASSERT_EQ(cp949_encode(ch), lead << 8U | trail)
          << std::hex << "U+" << static_cast<std::uint32_t>(ch);
    }
  }
  EXPECT_EQ(valid, kValidDoubleByteCodes);
#endif
}

TEST(Cp949, EncodeGivesOnlyCodesThatDecodeBack) {
  int encodable = 0;
  for (char32_t ch = 0x80; ch <= 0x10FFFF; ++ch) {
    const std::uint16_t code = cp949_encode(ch);
    if (code == 0) continue;
    ++encodable;
    ASSERT_EQ(cp949_decode(static_cast<unsigned char>(code >> 8U),
                           static_cast<unsigned char>(code & 0xFFU)),
              ch)
        << std::hex << "U+" << static_cast<std::uint32_t>(ch);
  }
  EXPECT_EQ(encodable, kValidDoubleByteCodes);
  for (char32_t ch = 0; ch < 0x80; ++ch) EXPECT_EQ(cp949_encode(ch), ch);
}

TEST(Cp949, KnownCodesAtTheEdgesOfEachArea) {
  struct Case {
    std::uint16_t code;
    char32_t ch;
  };
  const Case cases[] = {
      {0x8141, U'갂'}, {0xA0FE, U'좤'}, {0xA141, U'좥'},     {0xC652, U'힣'},  // extension ends
      {0xB0A1, U'가'}, {0xC8FE, U'힝'}, {0xA1A1, U'\u3000'},                   // KS X 1001
      {0xA6A1, U'─'},  {0xCAA1, U'伽'}, {0xFDFE, U'詰'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cp949_encode(c.ch), c.code) << std::hex << c.code;
  }
  EXPECT_EQ(cp949_decode(0xC6, 0x53), 0U);  // past the last extension syllable
  EXPECT_EQ(cp949_decode(0xC7, 0x41), 0U);
  EXPECT_EQ(cp949_decode(0xA1, 0xFF), 0U);
  EXPECT_EQ(cp949_decode(0x80, 0xA1), 0U);
  EXPECT_EQ(cp949_decode(0xFF, 0xA1), 0U);
  EXPECT_FALSE(cp949_is_lead(0x80));
  EXPECT_TRUE(cp949_is_lead(0x81));
  EXPECT_TRUE(cp949_is_lead(0xFE));
  EXPECT_FALSE(cp949_is_lead(0xFF));
}

TEST(Cp949, EveryGlyphAndHangulSyllableTheGameDrawsHasACode) {
  for (char32_t ch : std::u32string_view(U"┏━┓┃┗┛┣┫┳┻▶○ⓐⓑⓒⓓⓔⓕⓖⓗⓘⓙⓚ②③④⑵⑶⑷")) {
    EXPECT_NE(cp949_encode(ch), 0U) << std::hex << "U+" << static_cast<std::uint32_t>(ch);
  }
  for (char32_t ch = U'가'; ch <= U'힣'; ++ch) {
    ASSERT_NE(cp949_encode(ch), 0U) << std::hex << "U+" << static_cast<std::uint32_t>(ch);
  }
}

TEST(Cp949, StringsRoundTrip) {
  struct Case {
    std::string_view utf8;
    std::string_view cp949;
  };
  const Case cases[] = {
      {"윷놀이 게임", "\xC0\xB7\xB3\xEE\xC0\xCC\x20\xB0\xD4\xC0\xD3"},
      {"┏━┓", "\xA6\xAE\xA6\xAC\xA6\xAF"},
      {"ⓐ②⑵▶○", "\xA8\xCD\xA8\xE8\xA9\xE8\xA2\xBA\xA1\xDB"},
      {"똠방각하", "\x8C\x63\xB9\xE6\xB0\xA2\xC7\xCF"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8_to_cp949(c.utf8), std::string(c.cp949)) << c.utf8;
    EXPECT_EQ(cp949_to_utf8(c.cp949), c.utf8) << c.utf8;
  }
  // Nine syllables and one letter fill a 19-byte name exactly.
  const auto name = utf8_to_cp949("홍길동김철수박영희A");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->size(), 19U);
  EXPECT_EQ(cp949_to_utf8(*name), "홍길동김철수박영희A");
}

TEST(Cp949, Utf8ToCp949RefusesWhatItCannotEncode) {
  const std::string_view cases[] = {
      "a\xE2\x88\x92",     // U+2212 minus sign: no CP949 code
      "\xF0\x9F\x98\x80",  // emoji
      "\xC0\xAF",          // overlong '/'
      "\xED\xA0\x80",      // surrogate
      "\xEC\x9C",          // cut short
      "\x80",              // stray continuation byte
      "\xF8\x88\x80\x80\x80",
  };
  for (std::string_view utf8 : cases) EXPECT_FALSE(utf8_to_cp949(utf8)) << utf8;
}

TEST(Cp949, ToUtf8ReplacesControlsAndInvalidBytes) {
  struct Case {
    std::string_view cp949;
    std::string_view utf8;
  };
  const Case cases[] = {
      {std::string_view("A\0B", 3), "A?B"},
      {"\x1B[2J", "?[2J"},  // an escape sequence never reaches the terminal
      {"a\x7F\r\n\t", "a????"},
      {"\xC7\x41", "?A"},  // no such pair: the lead alone is replaced
      {"\xB0", "?"},       // lead cut off at the end
      {"\x80\xFF", "??"},
      {"\xB0\xA1\xB0", "가?"},
      {"\xA1\xFF", "??"},
  };
  for (const Case& c : cases) EXPECT_EQ(cp949_to_utf8(c.cp949), c.utf8);
}

}  // namespace
}  // namespace yut
