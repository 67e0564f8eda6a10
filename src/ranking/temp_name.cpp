#include "ranking/temp_name.h"

#include <random>

namespace yut {
namespace {

constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

}  // namespace

std::string temp_name_for(std::string_view base) {
  std::random_device device;
  std::string name(base);
  name += kTempMark;
  for (std::size_t i = 0; i < kTempLetters; ++i)
    name.push_back(kLetters[device() % kLetters.size()]);
  return name;
}

bool is_temp_name(std::string_view name, std::string_view base) {
  if (name.size() != base.size() + kTempMark.size() + kTempLetters || !name.starts_with(base)) {
    return false;
  }
  name.remove_prefix(base.size());
  if (!name.starts_with(kTempMark)) return false;
  name.remove_prefix(kTempMark.size());
  return name.find_first_not_of(kLetters) == std::string_view::npos;
}

}  // namespace yut
