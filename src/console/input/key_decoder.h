#pragma once
// Turns the bytes a terminal sends into keys: characters (UTF-8 or CP949), the extended keys
// of escape sequences (arrows as prefix 224 then 72/80, as a PC console reports them), and
// the terminal's own replies (cursor position, device attributes), which never reach the
// menus. It never blocks inside a sequence: the bytes after ESC are awaited only briefly.

#include <functional>
#include <string>

#include "console/input/keys.h"
#include "console/platform.h"

namespace yut {

enum class KeyKind {
  Char,              // a typed character in ch; code is what a single-key read returns
  Extended,          // an extended key: code (224, or 0 for function keys), then second
  CursorReport,      // ESC [ row ; col R: row in code, column in second (1-based)
  DeviceAttributes,  // ESC [ ? ... c: the answer to a device attributes request
  Ignored,           // an unknown or broken sequence
  Timeout,           // nothing arrived within the timeout given for the first byte
  EndOfInput,
};

struct Key {
  KeyKind kind = KeyKind::Ignored;
  char32_t ch = 0;
  int code = 0;
  int second = 0;
  bool operator==(const Key&) const = default;
};

inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyFunctionPrefix = 0;  // first code of F1..F10

// How long the rest of an escape sequence is awaited once ESC has arrived.
inline constexpr int kSequenceTimeoutMs = 60;

// Gives one byte (0..255), kReadTimeout or kReadEndOfInput; waits at most timeout_ms
// (negative: without limit).
using ByteSource = std::function<int(int timeout_ms)>;

class KeyDecoder {
 public:
  explicit KeyDecoder(Encoding encoding = Encoding::Utf8) : encoding_(encoding) {}

  // Reads one key. first_timeout_ms limits the wait for its first byte.
  Key next(const ByteSource& source, int first_timeout_ms = -1);
  // The input bytes of the last key read, and the byte read ahead for the next key (none:
  // kReadTimeout), for a reader that hands keys on rather than acting on them.
  const std::string& bytes() const { return bytes_; }
  int held() const { return held_; }

 private:
  int take(const ByteSource& source, int timeout_ms);
  Key escape(const ByteSource& source);
  Key control_sequence(const ByteSource& source);
  Key multibyte(const ByteSource& source, int lead);

  void hold(int b);

  Encoding encoding_;
  int held_ = kReadTimeout;  // a byte read ahead that starts the next key, if not kReadTimeout
  std::string bytes_;
};

}  // namespace yut
