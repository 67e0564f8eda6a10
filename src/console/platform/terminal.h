#pragma once
// Opens the real terminal of this platform (raw mode, restore on every way out).

#include <memory>

#include "console/platform.h"

namespace yut {

std::unique_ptr<Platform> open_terminal();

}  // namespace yut
