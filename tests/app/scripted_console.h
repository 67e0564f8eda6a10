#pragma once
// A console driven by a scripted keyboard: the bytes a terminal would send, read in order;
// once they are used up every read throws InputClosed.

#include <string>
#include <string_view>

#include "console/console.h"
#include "console/platform/memory_platform.h"

namespace yut::testing {

struct ScriptedConsole {
  explicit ScriptedConsole(std::string_view keys) : platform(std::string(keys)) {}

  MemoryPlatform platform;
  Console con{platform};
};

}  // namespace yut::testing
