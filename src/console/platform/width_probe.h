#pragma once
// Finds out how wide a terminal draws glyphs of ambiguous width: prints one at a known column
// and asks for the cursor position (ESC [ 6 n), then for the device attributes (ESC [ c),
// whose answer tells that no position report is coming. The probe glyph is erased again.

#include <string>

#include "console/platform.h"

namespace yut {

inline constexpr int kProbeTimeoutMs = 250;

struct WidthProbe {
  int width = 1;      // 1 or 2; 1 when the terminal does not answer in time
  std::string typed;  // the input bytes that were no answer (keys typed meanwhile), in order
};

// Replies are read through the platform and consumed here; what else arrives meanwhile is
// handed back in `typed`, for the key reader to take first.
WidthProbe probe_ambiguous_width(Platform& platform, int timeout_ms = kProbeTimeoutMs);

}  // namespace yut
