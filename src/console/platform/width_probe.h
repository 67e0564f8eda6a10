#pragma once
// Finds out how wide a terminal draws glyphs of ambiguous width: prints one at a known column
// and asks for the cursor position (ESC [ 6 n), then for the device attributes (ESC [ c),
// whose answer tells that no position report is coming. The probe glyph is left on the
// screen: the console's first refresh clears the terminal anyway.

#include <string>

#include "console/platform.h"

namespace yut {

inline constexpr int kProbeTimeoutMs = 250;

struct ProbedWidth {
  int columns = 1;        // 1 or 2
  bool measured = false;  // false: the terminal sent no position report in time (columns 1)
  bool awaiting = false;  // the wait ended before any reply: one may still come (a slow link)
  std::string typed;      // the input bytes that were no answer (keys typed meanwhile), in order
};

// Replies are read through the platform and consumed here; what else arrives meanwhile is
// handed back in `typed`, for the key reader to take first.
ProbedWidth probe_ambiguous_width(Platform& platform, int timeout_ms = kProbeTimeoutMs);

// A reply that arrives after the probe's wait, as the key reader finds it: the cursor
// report's column (1-based), or 0 for the device attributes, after which no report comes.
// Used while `width` is awaiting; a report the probe cannot have caused (a function key
// with modifiers reads the same) is ignored.
void take_late_reply(ProbedWidth& width, int column);

}  // namespace yut
