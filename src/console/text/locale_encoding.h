#pragma once
// The text encoding a locale name asks for ("ko_KR.UTF-8", "ko_KR.EUC-KR", "C", ...).

#include <string_view>

#include "console/platform.h"

namespace yut {

// CP949 for EUC-KR, CP949 and UHC locales; UTF-8 for every other, and where the name gives
// no encoding.
Encoding encoding_of_locale(std::string_view locale);

}  // namespace yut
