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
  std::string typed;      // the input bytes that were no answer (keys typed meanwhile), in order
};

// Replies are read through the platform and consumed here; what else arrives meanwhile is
// handed back in `typed`, for the key reader to take first.
ProbedWidth probe_ambiguous_width(Platform& platform, int timeout_ms = kProbeTimeoutMs);

}  // namespace yut
