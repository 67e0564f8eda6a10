// Any file's bytes load without a fault; what loads saves and loads back unchanged, and
// every stored name reaches the screen as printable UTF-8 of at most 20 columns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ranking/ranking_file.h"
#include "ranking/ranking_name.h"

namespace {

bool printable_utf8(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  yut::RankingTable table{};
  yut::decode_ranking_file(bytes, table);

  yut::RankingTable again{};
  yut::decode_ranking_file(yut::encode_ranking_file(table), again);
  for (int i = 0; i < yut::kRankingShown; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (again[k].name != table[k].name || again[k].score != table[k].score) std::abort();
    const std::string shown = yut::name_for_screen(table[k]);
    if (!printable_utf8(shown) || yut::screen_columns(shown) > 2 * yut::kNameBytes) std::abort();
  }
  return 0;
}
