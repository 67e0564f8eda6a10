#include "console/platform/width_probe.h"

#include <chrono>
#include <string>

#include "console/input/key_decoder.h"
#include "console/text/glyph_encoding.h"

namespace yut {

ProbedWidth probe_ambiguous_width(Platform& platform, int timeout_ms) {
  // The probe glyph goes to the first column of the cursor's row; the cursor then stands at
  // column 2 or 3 (1-based), which the position report tells.
  std::string probe = "\r";
  encode_glyph(U'○', platform.encoding(), probe);
  probe += "\x1b[6n\x1b[c";
  platform.write(probe);

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  const ByteSource source = [&](int wanted_ms) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const int limit = static_cast<int>(std::max<long long>(0, left.count()));
    return platform.read_byte(wanted_ms < 0 ? limit : std::min(wanted_ms, limit));
  };
  KeyDecoder decoder(platform.encoding());
  ProbedWidth result;
  for (;;) {
    const Key key = decoder.next(source, -1);
    if (key.kind == KeyKind::CursorReport) {
      result.columns = key.second >= 3 ? 2 : 1;
      result.measured = true;
      continue;  // the device attributes reply follows
    }
    if (key.kind == KeyKind::DeviceAttributes || key.kind == KeyKind::EndOfInput) break;
    if (key.kind == KeyKind::Timeout) {
      result.awaiting = !result.measured;
      break;
    }
    result.typed += decoder.bytes();
    if (Clock::now() >= deadline) {
      result.awaiting = !result.measured;
      break;
    }
  }
  if (decoder.held() >= 0) result.typed += static_cast<char>(decoder.held());
  return result;
}

void take_late_reply(ProbedWidth& width, int column) {
  if (!width.awaiting) return;
  if (column == 0) {
    width.awaiting = false;
    return;
  }
  // The probe glyph stands in the first column: the cursor is after it, in column 2 or 3.
  if (column != 2 && column != 3) return;
  width.columns = column - 1;
  width.measured = true;
  width.awaiting = false;
}

}  // namespace yut
