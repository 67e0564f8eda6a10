// Console key events become the bytes a terminal sends, and the shared key decoder reads
// them as the menus expect (an arrow as 224 then 72 or 80).
#include "console/input/key_events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/input/key_decoder.h"

namespace yut {
namespace {

constexpr unsigned kVkReturn = 0x0D;
constexpr unsigned kVkShift = 0x10;
constexpr unsigned kVkMenu = 0x12;
constexpr unsigned kVkUp = 0x26;
constexpr unsigned kVkDown = 0x28;
constexpr unsigned kVkF1 = 0x70;
constexpr unsigned kVkA = 0x41;

ConsoleKeyEvent press(unsigned vk, char16_t ch = 0, unsigned repeat = 1) {
  return {true, vk, ch, repeat};
}
ConsoleKeyEvent release(unsigned vk, char16_t ch = 0) {
  return {false, vk, ch, 1};
}

std::string translate(Encoding encoding, const std::vector<ConsoleKeyEvent>& events) {
  KeyEventTranslator translator(encoding);
  std::string out;
  for (const ConsoleKeyEvent& e : events) translator.translate(e, out);
  return out;
}

TEST(KeyEventsTest, KeysBecomeTerminalBytes) {
  struct Case {
    const char* what;
    std::vector<ConsoleKeyEvent> events;
    std::string bytes;
  };
  const std::vector<Case> cases{
      {"up arrow", {press(kVkUp), release(kVkUp)}, "\x1b[A"},
      {"down arrow", {press(kVkDown)}, "\x1b[B"},
      {"F1", {press(kVkF1)}, "\x1bOP"},
      {"Enter", {press(kVkReturn, u'\r'), release(kVkReturn, u'\r')}, "\r"},
      {"letter", {press(kVkA, u'a'), release(kVkA, u'a')}, "a"},
      {"shift alone types nothing", {press(kVkShift), release(kVkShift)}, ""},
      {"held key repeats", {press(kVkDown, 0, 3)}, "\x1b[B\x1b[B\x1b[B"},
      {"Hangul", {press(0xE5, u'게')}, "\xea\xb2\x8c"},
      {"Alt+numpad on the release of Alt", {press(kVkMenu), release(kVkMenu, u'é')}, "\xc3\xa9"},
      {"surrogate pair", {press(0xE7, 0xD83D), press(0xE7, 0xDE00)}, "\xf0\x9f\x98\x80"},
      {"lone low surrogate", {press(0xE7, 0xDE00)}, "?"},
  };
  for (const Case& c : cases) EXPECT_EQ(translate(Encoding::Utf8, c.events), c.bytes) << c.what;
}

TEST(KeyEventsTest, Cp949ConsoleGetsCp949Bytes) {
  EXPECT_EQ(translate(Encoding::Cp949, {press(0xE5, u'게'), press(kVkA, u'a')}),
            "\xB0\xD4"
            "a");
  EXPECT_EQ(translate(Encoding::Cp949, {press(0xE7, u'ก')}), "?");  // Thai: not in CP949
  EXPECT_EQ(translate(Encoding::Cp949, {press(kVkUp)}), "\x1b[A");
}

TEST(KeyEventsTest, DecoderReadsArrowsAsThePcConsoleCodes) {
  const std::string bytes = translate(
      Encoding::Utf8, {press(kVkDown), press(kVkUp), press(kVkReturn, u'\r'), press(kVkA, u'7')});
  std::size_t pos = 0;
  const ByteSource source = [&](int) {
    return pos < bytes.size() ? static_cast<unsigned char>(bytes[pos++]) : kReadEndOfInput;
  };
  KeyDecoder decoder(Encoding::Utf8);
  EXPECT_EQ(decoder.next(source), (Key{KeyKind::Extended, 0, kKeyPrefix, kKeyDown}));
  EXPECT_EQ(decoder.next(source), (Key{KeyKind::Extended, 0, kKeyPrefix, kKeyUp}));
  EXPECT_EQ(decoder.next(source), (Key{KeyKind::Char, U'\r', kKeyEnter, 0}));
  EXPECT_EQ(decoder.next(source), (Key{KeyKind::Char, U'7', '7', 0}));
  EXPECT_EQ(decoder.next(source).kind, KeyKind::EndOfInput);
}

}  // namespace
}  // namespace yut
