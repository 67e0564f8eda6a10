#pragma once
// A Platform without a terminal: input comes from a script of bytes, output is counted (and
// kept on request). For tests and for headless runs of the game.

#include <cstddef>
#include <string>
#include <string_view>

#include "console/platform.h"
#include "console/platform/width_probe.h"

namespace yut {

class MemoryPlatform : public Platform {
 public:
  explicit MemoryPlatform(std::string input = {}, TermSize size = {});

  void write(std::string_view bytes) override;
  // The next scripted byte; kReadEndOfInput once the script is used up.
  int read_byte(int timeout_ms) override;
  TermSize size() override { return size_; }
  unsigned take_events() override;
  Encoding encoding() const override { return encoding_; }
  int ambiguous_width() const override { return width_.columns; }
  bool ambiguous_width_measured() const override { return width_.measured; }
  void late_probe_reply(int column) override { take_late_reply(width_, column); }
  const TerminalCaps& caps() const override { return caps_; }

  // Script: more bytes to read (what was read already is dropped).
  void add_input(std::string_view bytes);
  std::size_t input_left() const { return input_.size() - read_pos_; }

  // The terminal's properties and events.
  void set_size(TermSize size);  // also reports a resize
  void raise_events(unsigned events) { events_ |= events; }
  void set_encoding(Encoding encoding) { encoding_ = encoding; }
  void set_caps(const TerminalCaps& caps) { caps_ = caps; }
  // awaiting: the probe's wait ended before any reply.
  void set_ambiguous_width(int columns, bool measured = false, bool awaiting = false) {
    width_.columns = columns;
    width_.measured = measured;
    width_.awaiting = awaiting;
  }

  // Output: counted always, kept only while keep_output is on (on by default), so that a
  // long headless run does not grow.
  void keep_output(bool keep) { keep_output_ = keep; }
  const std::string& output() const { return output_; }
  void clear_output() { output_.clear(); }
  std::size_t bytes_written() const { return bytes_written_; }
  std::size_t writes() const { return writes_; }

 private:
  std::string input_;
  std::size_t read_pos_ = 0;
  TermSize size_;
  unsigned events_ = 0;
  Encoding encoding_ = Encoding::Utf8;
  ProbedWidth width_;
  TerminalCaps caps_;
  bool keep_output_ = true;
  std::string output_;
  std::size_t bytes_written_ = 0;
  std::size_t writes_ = 0;
};

}  // namespace yut
