#include "console/platform/memory_platform.h"

#include <utility>

namespace yut {

MemoryPlatform::MemoryPlatform(std::string input, TermSize size)
    : input_(std::move(input)), size_(size) {}

void MemoryPlatform::write(std::string_view bytes) {
  bytes_written_ += bytes.size();
  ++writes_;
  if (keep_output_) output_ += bytes;
}

int MemoryPlatform::read_byte(int /*timeout_ms*/) {
  if (events_ != 0) return kReadInterrupted;
  if (read_pos_ >= input_.size()) return kReadEndOfInput;
  return static_cast<unsigned char>(input_[read_pos_++]);
}

unsigned MemoryPlatform::take_events() {
  const unsigned events = events_;
  events_ = 0;
  return events;
}

void MemoryPlatform::add_input(std::string_view bytes) {
  input_.erase(0, read_pos_);
  read_pos_ = 0;
  input_ += bytes;
}

void MemoryPlatform::set_size(TermSize size) {
  size_ = size;
  events_ |= kEventResized;
}

}  // namespace yut
