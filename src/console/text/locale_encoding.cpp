#include "console/text/locale_encoding.h"

#include <array>
#include <string>

namespace yut {

Encoding encoding_of_locale(std::string_view locale) {
  const auto dot = locale.find('.');
  if (dot == std::string_view::npos) return Encoding::Utf8;
  // The codeset between '.' and '@', lower case, without '-' and '_'.
  std::string codeset;
  for (const char c : locale.substr(dot + 1)) {
    if (c == '@') break;
    if (c == '-' || c == '_') continue;
    codeset += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  static constexpr std::array<std::string_view, 4> kCp949Names{"euckr", "cp949", "uhc", "ms949"};
  for (const std::string_view name : kCp949Names) {
    if (codeset == name) return Encoding::Cp949;
  }
  return Encoding::Utf8;
}

}  // namespace yut
