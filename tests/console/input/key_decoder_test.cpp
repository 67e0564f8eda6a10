#include "console/input/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace yut {
namespace {

// Bytes as a terminal delivers them; '|' marks a pause longer than any timeout (a split
// read), and the end of the script is the end of input.
class ScriptedBytes {
 public:
  explicit ScriptedBytes(std::string script) : script_(std::move(script)) {}
  int operator()(int /*timeout_ms*/) {
    if (pos_ >= script_.size()) return kReadEndOfInput;
    const char c = script_[pos_++];
    if (c == '|') return kReadTimeout;
    return static_cast<unsigned char>(c);
  }

 private:
  std::string script_;
  std::size_t pos_ = 0;
};

// What the decoder makes of a script, as a readable list: key codes of characters and
// extended keys, "CPR r,c", "DA", "-" for ignored, "T" for a timeout.
std::string decode_all(const std::string& script, Encoding encoding = Encoding::Utf8) {
  ScriptedBytes bytes(script);
  const ByteSource source = [&bytes](int timeout) { return bytes(timeout); };
  KeyDecoder decoder(encoding);
  std::string result;
  for (int guard = 0; guard < 100; ++guard) {
    const Key key = decoder.next(source, 0);
    if (!result.empty()) result += ' ';
    switch (key.kind) {
      case KeyKind::Char:
        result += std::to_string(key.code);
        break;
      case KeyKind::Extended:
        result += std::to_string(key.code) + "," + std::to_string(key.second);
        break;
      case KeyKind::CursorReport:
        result += "CPR " + std::to_string(key.code) + "," + std::to_string(key.second);
        break;
      case KeyKind::DeviceAttributes:
        result += "DA";
        break;
      case KeyKind::Ignored:
        result += "-";
        break;
      case KeyKind::Timeout:
        result += "T";
        break;
      case KeyKind::EndOfInput:
        result += "EOF";
        return result;
    }
  }
  return result + " (no end)";
}

TEST(KeyDecoderTest, Table) {
  struct Case {
    const char* name;
    std::string script;
    std::string expected;
  };
  const Case cases[] = {
      {"plain keys", "a1 ", "97 49 32 EOF"},
      {"CR and LF are Enter, CR LF once", "\r\n\r|\n", "13 13 13 EOF"},
      {"backspace and delete", "\x7f\x08", "8 8 EOF"},
      {"CSI arrows", "\x1b[A\x1b[B", "224,72 224,80 EOF"},
      {"SS3 arrows", "\x1bOA\x1bOB", "224,72 224,80 EOF"},
      {"modified arrow", "\x1b[1;5A", "224,72 EOF"},
      {"left and right are no up or down", "\x1b[C\x1b[D", "224,77 224,75 EOF"},
      {"arrow split across reads", "\x1b", "27 EOF"},
      {"lone ESC then a key after a pause", "\x1b|x", "27 120 EOF"},
      {"ESC before a key (Alt+x)", "\x1bx", "27 120 EOF"},
      {"ESC ESC [ A", "\x1b\x1b[A", "27 224,72 EOF"},
      {"sequence cut by a pause", "\x1b[1|A", "- 65 EOF"},
      {"function keys", "\x1bOP\x1b[15~\x1b[24~", "0,59 0,63 224,134 EOF"},
      {"editing keys", "\x1b[2~\x1b[3~\x1b[5~\x1b[H", "224,82 224,83 224,73 224,71 EOF"},
      {"unknown sequences", "\x1b[99~\x1b[5z\x1bOz\x1b[?1h", "- - - - EOF"},
      {"cursor position report", "\x1b[12;40R", "CPR 12,40 EOF"},
      {"device attributes reply", "\x1b[?64;1;2;6;22c", "DA EOF"},
      {"secondary device attributes", "\x1b[>0;95;0c", "DA EOF"},
      {"control byte inside a sequence", "\x1b[1\rA", "- 13 65 EOF"},
      {"overlong sequence", "\x1b[" + std::string(40, '1') + "A",
       "- 49 49 49 49 49 49 49 49 65 EOF"},
      {"UTF-8 Hangul", "가", "44032 EOF"},
      {"broken UTF-8", "\xea\x80x", "- 120 EOF"},
      {"stray continuation byte", "\x80z", "- 122 EOF"},
      {"keypad Enter", "\x1bOM", "13 EOF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decode_all(c.script), c.expected) << c.name;
  }
}

TEST(KeyDecoderTest, Cp949Input) {
  EXPECT_EQ(decode_all("\xb0\xa1z", Encoding::Cp949), "44032 122 EOF");  // 가
  EXPECT_EQ(decode_all("\xb0\x20", Encoding::Cp949), "- 32 EOF");        // no trail byte
  EXPECT_EQ(decode_all("\xb0", Encoding::Cp949), "- EOF");
}

TEST(KeyDecoderTest, NothingWaitingGivesATimeout) {
  ScriptedBytes bytes("|");
  const ByteSource source = [&bytes](int timeout) { return bytes(timeout); };
  KeyDecoder decoder;
  EXPECT_EQ(decoder.next(source, 0).kind, KeyKind::Timeout);
}

}  // namespace
}  // namespace yut
