// Any typed word either is refused or becomes at most 19 CP949 bytes that end on a
// character boundary, are stored with their zero byte inside the field and show again as
// the start of what was typed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/text/cp949.h"
#include "ranking/ranking_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view typed(reinterpret_cast<const char*>(data), size);
  const auto name = yut::name_for_file(typed);
  if (!name) return 0;
  if (name->size() > yut::kMaxNameBytes) std::abort();

  yut::RankingEntry entry;
  entry.name.fill('\x7F');
  yut::store_name(entry, *name);
  if (entry.name[name->size()] != '\0') std::abort();

  const std::string shown = yut::name_for_screen(entry);
  if (shown.find('?') == std::string::npos && typed.substr(0, shown.size()) != shown) {
    std::abort();
  }
  if (yut::cp949_to_utf8(*name) != shown) std::abort();
  return 0;
}
