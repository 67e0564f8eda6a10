#include "console/input/key_decoder.h"

#include <array>
#include <string>

#include "console/text/cp949.h"
#include "console/text/utf8.h"

namespace yut {
namespace {

constexpr int kEsc = 0x1B;
constexpr int kMaxSequenceBytes = 32;

Key char_key(char32_t ch, int code) {
  return {KeyKind::Char, ch, code, 0};
}
Key extended(int prefix, int second) {
  return {KeyKind::Extended, 0, prefix, second};
}
Key ignored() {
  return {};
}

struct FinalKey {
  char final_byte;
  int prefix;
  int second;
};

// Keys named by the final byte of CSI and SS3 sequences (ESC [ A, ESC O A, ESC [ 1 ; 5 A ...).
constexpr std::array<FinalKey, 10> kFinalKeys{{
    {'A', kKeyPrefix, kKeyUp},
    {'B', kKeyPrefix, kKeyDown},
    {'C', kKeyPrefix, 77},
    {'D', kKeyPrefix, 75},
    {'H', kKeyPrefix, 71},
    {'F', kKeyPrefix, 79},
    {'P', kKeyFunctionPrefix, 59},
    {'Q', kKeyFunctionPrefix, 60},
    {'R', kKeyFunctionPrefix, 61},
    {'S', kKeyFunctionPrefix, 62},
}};

struct TildeKey {
  int number;
  int prefix;
  int second;
};

// Keys of the form ESC [ n ~ (editing keys and function keys).
constexpr std::array<TildeKey, 20> kTildeKeys{{
    {1, kKeyPrefix, 71},          {2, kKeyPrefix, 82},          {3, kKeyPrefix, 83},
    {4, kKeyPrefix, 79},          {5, kKeyPrefix, 73},          {6, kKeyPrefix, 81},
    {7, kKeyPrefix, 71},          {8, kKeyPrefix, 79},          {11, kKeyFunctionPrefix, 59},
    {12, kKeyFunctionPrefix, 60}, {13, kKeyFunctionPrefix, 61}, {14, kKeyFunctionPrefix, 62},
    {15, kKeyFunctionPrefix, 63}, {17, kKeyFunctionPrefix, 64}, {18, kKeyFunctionPrefix, 65},
    {19, kKeyFunctionPrefix, 66}, {20, kKeyFunctionPrefix, 67}, {21, kKeyFunctionPrefix, 68},
    {23, kKeyPrefix, 133},        {24, kKeyPrefix, 134},
}};

Key final_key(char final_byte) {
  for (const FinalKey& k : kFinalKeys) {
    if (k.final_byte == final_byte) return extended(k.prefix, k.second);
  }
  return ignored();
}

Key tilde_key(int number) {
  for (const TildeKey& k : kTildeKeys) {
    if (k.number == number) return extended(k.prefix, k.second);
  }
  return ignored();
}

// The numbers of a parameter string such as "12;40" (at most two are needed).
std::array<int, 2> parameters(const std::string& params) {
  std::array<int, 2> values{0, 0};
  std::size_t index = 0;
  for (const char c : params) {
    if (c == ';') {
      if (++index == values.size()) break;
    } else if (c >= '0' && c <= '9' && values[index] < 100000) {
      values[index] = values[index] * 10 + (c - '0');
    }
  }
  return values;
}

}  // namespace

int KeyDecoder::take(const ByteSource& source, int timeout_ms) {
  int b = held_;
  if (b != kReadTimeout) {
    held_ = kReadTimeout;
  } else {
    b = source(timeout_ms);
    if (b == kReadInterrupted) b = kReadTimeout;
  }
  if (b >= 0) bytes_ += static_cast<char>(b);
  return b;
}

// Keeps b (a byte, or the end of input) for the next key; a byte was the last one taken.
void KeyDecoder::hold(int b) {
  held_ = b;
  if (b >= 0) bytes_.pop_back();
}

Key KeyDecoder::next(const ByteSource& source, int first_timeout_ms) {
  bytes_.clear();
  const int b = take(source, first_timeout_ms);
  if (b == kReadTimeout) return {KeyKind::Timeout};
  if (b == kReadEndOfInput) return {KeyKind::EndOfInput};
  if (b == kEsc) return escape(source);
  if (b == '\r') {
    // A CR LF pair (a pasted or piped line end) is one Enter.
    const int after = take(source, 0);
    if (after != '\n') hold(after);
    return char_key(U'\r', kKeyEnter);
  }
  if (b == '\n') return char_key(U'\r', kKeyEnter);
  if (b == 0x7F || b == 0x08) return char_key(U'\b', kKeyBackspace);
  if (b < 0x80) return char_key(static_cast<char32_t>(b), b);
  return multibyte(source, b);
}

Key KeyDecoder::escape(const ByteSource& source) {
  const int b = take(source, kSequenceTimeoutMs);
  if (b == '[') return control_sequence(source);
  if (b == 'O') {
    const int final_byte = take(source, kSequenceTimeoutMs);
    if (final_byte == 'M') return char_key(U'\r', kKeyEnter);  // keypad Enter
    if (final_byte < 0) {
      hold(final_byte == kReadEndOfInput ? kReadEndOfInput : kReadTimeout);
      return ignored();
    }
    return final_key(static_cast<char>(final_byte));
  }
  // A lone ESC, or ESC before another key (Alt+key): the ESC alone, the rest comes next.
  if (b != kReadTimeout) hold(b);
  return char_key(U'\x1b', kKeyEscape);
}

Key KeyDecoder::control_sequence(const ByteSource& source) {
  std::string params;
  for (int count = 0; count < kMaxSequenceBytes; ++count) {
    const int b = take(source, kSequenceTimeoutMs);
    if (b < 0) {
      if (b == kReadEndOfInput) hold(b);
      return ignored();
    }
    if (b >= 0x20 && b <= 0x3F) {  // parameter and intermediate bytes
      params += static_cast<char>(b);
      continue;
    }
    if (b < 0x40 || b > 0x7E) {  // not part of a sequence: it starts the next key
      hold(b);
      return ignored();
    }
    const bool is_private = !params.empty() && (params[0] == '?' || params[0] == '>');
    const auto values = parameters(params);
    if (b == 'c' && is_private) return {KeyKind::DeviceAttributes};
    if (b == 'R' && !is_private && params.find(';') != std::string::npos && values[0] > 0 &&
        values[1] > 0) {
      return {KeyKind::CursorReport, 0, values[0], values[1]};
    }
    if (is_private) return ignored();
    if (b == '~') return tilde_key(values[0]);
    return final_key(static_cast<char>(b));
  }
  return ignored();
}

Key KeyDecoder::multibyte(const ByteSource& source, int lead) {
  if (encoding_ == Encoding::Cp949) {
    if (!cp949_is_lead(static_cast<unsigned char>(lead))) return ignored();
    const int trail = take(source, kSequenceTimeoutMs);
    if (trail < 0) {
      if (trail == kReadEndOfInput) hold(trail);
      return ignored();
    }
    const char32_t ch =
        cp949_decode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    if (ch == 0) {
      if (trail < 0x80) hold(trail);  // no trail byte: it starts the next key
      return ignored();
    }
    return char_key(ch, static_cast<int>(ch));
  }
  const int length = utf8_sequence_length(static_cast<unsigned char>(lead));
  if (length == 0) return ignored();
  std::string bytes(1, static_cast<char>(lead));
  for (int i = 1; i < length; ++i) {
    const int b = take(source, kSequenceTimeoutMs);
    if (b < 0 || (b & 0xC0) != 0x80) {
      if (b != kReadTimeout) hold(b);  // it starts the next key
      return ignored();
    }
    bytes += static_cast<char>(b);
  }
  std::size_t pos = 0;
  const char32_t ch = decode_utf8(bytes, pos);
  return char_key(ch, static_cast<int>(ch));
}

}  // namespace yut
