#include "console/console.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "console/input/line_scan.h"
#include "console/text/glyph_encoding.h"
#include "console/text/glyph_width.h"
#include "console/text/utf8.h"

namespace yut {
namespace {

// How often the size is looked at again while the terminal is too small (for platforms that
// do not report resizes).
constexpr int kSizePollMs = 250;
// The refresh buffer is kept between refreshes up to this size (a full paint is far smaller).
constexpr std::size_t kKeptBufferBytes = std::size_t{64} * 1024;

// Frames are drawn with box-drawing glyphs; typing is never echoed over them.
bool is_frame_glyph(char32_t ch) {
  return ch >= U'\u2500' && ch <= U'\u257F';
}

bool is_blank_line(const std::string& line) {
  for (const char c : line) {
    if (!is_blank(c)) return false;
  }
  return true;
}

}  // namespace

Console::Console(Platform& platform)
    : platform_(platform), renderer_(kScreenCols, kScreenRows), decoder_(platform.encoding()) {}

Console::~Console() = default;

void Console::gotoxy(int x, int y) {
  model().move_to(x, y);
}

void Console::print(std::string_view utf8) {
  model().put_text(utf8);
}

void Console::printf(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(length) < sizeof small) {
    model().put_text(std::string_view(small, static_cast<std::size_t>(length)));
  } else {
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    model().put_text(std::string_view(large.data(), static_cast<std::size_t>(length)));
  }
  va_end(again);
}

void Console::clear_screen() {
  model().clear();
}

void Console::hide_cursor() {
  model().set_cursor_visible(false);
}

void Console::repaint() {
  renderer_.invalidate();
  changed_ = true;
}

void Console::finish() {
  model().set_cursor_visible(true);
  refresh();
}

void Console::finish_below() {
  refresh();
  out_ = "\x1b[";
  out_ += std::to_string(screen_.rows());
  out_ += ";1H\r\n";
  out_ += platform_.caps().show_cursor;
  platform_.write(out_);
  out_.clear();
  repaint();
}

void Console::handle_events() {
  if (platform_.take_events() != 0) repaint();
}

bool Console::too_small() {
  const TermSize size = platform_.size();
  return size.cols < kScreenCols || size.rows < kScreenRows;
}

void Console::show_size_message(TermSize size) {
  char message[160];
  std::snprintf(message, sizeof message, "창 크기를 %dx%d 이상으로 늘려 주세요 (현재 %dx%d)",
                kScreenCols, kScreenRows, size.cols, size.rows);
  const std::string& clear = platform_.caps().clear;
  out_ = clear.empty() ? "\x1b[H" : clear;
  std::size_t pos = 0;
  const std::string_view text(message);
  while (pos < text.size()) {
    const char32_t ch = decode_utf8(text, pos);
    if (!encode_glyph(ch, platform_.encoding(), out_)) out_ += '?';
  }
  platform_.write(out_);
  out_.clear();
  size_message_shown_ = true;
  repaint();
}

void Console::refresh() {
  handle_events();
  if (too_small()) {
    if (!size_message_shown_) show_size_message(platform_.size());
    return;
  }
  size_message_shown_ = false;
  if (!changed_) return;  // input comes a key at a time: most keys change nothing
  changed_ = false;
  out_.clear();
  const TerminalTraits traits{platform_.encoding(), platform_.ambiguous_width(),
                              platform_.ambiguous_width_measured(), platform_.caps()};
  renderer_.render(screen_, traits, out_);
  if (!out_.empty()) platform_.write(out_);
  if (out_.capacity() > kKeptBufferBytes) out_ = std::string();
}

void Console::wait_until_large_enough() {
  // Input typed while the game cannot be shown is dropped; end of input still ends the game.
  while (too_small()) {
    if (!size_message_shown_) show_size_message(platform_.size());
    const int b = platform_.read_byte(kSizePollMs);
    if (b == kReadEndOfInput) throw InputClosed();
    if (b == kReadInterrupted) {
      handle_events();
      size_message_shown_ = false;
    }
  }
  refresh();
}

int Console::next_byte(int timeout_ms) {
  for (;;) {
    if (timeout_ms < 0 && too_small()) wait_until_large_enough();
    const int b = platform_.read_byte(timeout_ms);
    if (b != kReadInterrupted) return b;
    // A resize or a resume: paint everything again, then go on waiting.
    handle_events();
    size_message_shown_ = false;
    refresh();
    if (timeout_ms >= 0) return kReadTimeout;
  }
}

Key Console::next_key() {
  const ByteSource source = [this](int timeout_ms) { return next_byte(timeout_ms); };
  for (;;) {
    const Key key = decoder_.next(source);
    if (key.kind != KeyKind::CursorReport && key.kind != KeyKind::DeviceAttributes) return key;
    // A late reply to the width probe: once it tells the width, the screen is painted again
    // for it at once.
    platform_.late_probe_reply(key.kind == KeyKind::CursorReport ? key.second : 0);
    changed_ = true;
    refresh();
  }
}

int Console::read_key() {
  if (queued_code_ >= 0) {
    const int code = queued_code_;
    queued_code_ = -1;
    return code;
  }
  for (;;) {
    refresh();
    const Key key = next_key();
    switch (key.kind) {
      case KeyKind::Char:
        return key.code;
      case KeyKind::Extended:
        queued_code_ = key.second;
        return key.code;
      case KeyKind::EndOfInput:
        throw InputClosed();
      default:
        break;  // terminal replies and unknown sequences are no keys
    }
  }
}

void Console::pause() {
  pending_.clear();
  pending_pos_ = 0;
  read_key();
}

std::optional<int> Console::read_int(int field_end) {
  skip_blanks(field_end);
  if (escaped_) return std::nullopt;
  return scan_int(pending_, pending_pos_);
}

std::string Console::read_word(int field_end) {
  skip_blanks(field_end);
  if (escaped_) return {};
  return scan_word(pending_, pending_pos_);
}

bool Console::wait_key(int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeout_ms);
  const ByteSource source = [this](int ms) { return next_byte(ms); };
  for (;;) {
    refresh();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) return false;
    const Key key = decoder_.next(source, static_cast<int>(left.count()));
    switch (key.kind) {
      case KeyKind::Char:
      case KeyKind::Extended:
        return true;
      case KeyKind::EndOfInput:
        throw InputClosed();
      default:
        break;  // a timeout, a resize or a terminal reply: wait for what is left
    }
  }
}

std::string Console::discard_line() {
  std::string line = pending_;
  if (!line.empty() && line.back() == '\n') line.pop_back();
  pending_.clear();
  pending_pos_ = 0;
  return line;
}

void Console::skip_blanks(int field_end) {
  escaped_ = false;
  for (;;) {
    while (pending_pos_ < pending_.size() && is_blank(pending_[pending_pos_])) ++pending_pos_;
    if (pending_pos_ < pending_.size()) return;
    read_line(field_end);
    if (escaped_) return;
  }
}

// The echo of typing goes into the field right of the cursor: up to the first frame glyph
// of the row, the caller's field end, or the right edge. It never runs on to the next row;
// what does not fit is kept in the line without being shown.
void Console::start_echo(int field_end) {
  echo_x_ = screen_.cursor_x();
  echo_y_ = screen_.cursor_y();
  echo_end_x_ = echo_x_;
  shown_bytes_ = 0;
  if (echo_y_ >= screen_.rows()) return;
  const int end = field_end == kNoFieldEnd ? screen_.cols() : std::min(field_end, screen_.cols());
  while (echo_end_x_ < end && !is_frame_glyph(screen_.at(echo_end_x_, echo_y_).ch)) {
    ++echo_end_x_;
  }
}

void Console::read_line(int field_end) {
  pending_.clear();
  pending_pos_ = 0;
  queued_code_ = -1;  // an arrow's second code is no text
  start_echo(field_end);
  for (;;) {
    refresh();
    const Key key = next_key();
    if (key.kind == KeyKind::EndOfInput) {
      if (pending_.empty()) throw InputClosed();
      break;  // the last line of the input had no line end
    }
    if (key.kind != KeyKind::Char) continue;
    if (key.code == kKeyEnter) {
      if (!is_blank_line(pending_)) {
        model().put_glyph(U'\n');
        break;
      }
      // A blank line reads nothing: the prompt goes on waiting where it stands.
      while (!pending_.empty()) erase_last_typed();
      continue;
    }
    if (key.code == kKeyBackspace) {
      erase_last_typed();
      continue;
    }
    if (key.code == kKeyEscape) {  // the line is dropped, echo and all
      while (!pending_.empty()) erase_last_typed();
      escaped_ = true;
      return;
    }
    if (key.ch < 0x20 && key.ch != U'\t') continue;  // other control keys type nothing
    std::string bytes;
    append_utf8(bytes, key.ch);
    if (pending_.size() + bytes.size() > kMaxLineBytes) continue;  // the line is full
    const char32_t shown = key.ch == U'\t' ? U' ' : key.ch;
    if (shown_bytes_ == pending_.size() && echo_x_ + model_width(shown) <= echo_end_x_) {
      model().move_to(echo_x_, echo_y_);
      model().put_glyph(shown);
      echo_x_ += model_width(shown);
      shown_bytes_ += bytes.size();
      model().move_to(std::min(echo_x_, screen_.cols() - 1), echo_y_);
    }
    pending_ += bytes;
  }
  pending_ += '\n';
}

void Console::erase_last_typed() {
  if (pending_.empty()) return;
  // Step back over UTF-8 continuation bytes to the start of the last character.
  std::size_t start = pending_.size() - 1;
  while (start > 0 && (static_cast<unsigned char>(pending_[start]) & 0xC0) == 0x80) --start;
  if (start < shown_bytes_) {  // it was shown: blank its columns
    std::size_t pos = start;
    const char32_t ch = decode_utf8(pending_, pos);
    echo_x_ -= model_width(ch == U'\t' ? U' ' : ch);
    model().move_to(echo_x_, echo_y_);
    model().put_glyph(U' ');  // over the left half of a wide glyph, blanks both
    model().move_to(echo_x_, echo_y_);
    shown_bytes_ = start;
  }
  pending_.resize(start);
}

}  // namespace yut
