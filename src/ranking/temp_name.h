#pragma once
// The names of the temporary files a save makes beside the ranking file, on every platform:
// "<file name>.yut-tmp-" and six letters or digits, a name nobody gives a file of their own,
// so that one left by a game killed at the wrong moment is known as such and removed by a
// later save, and nothing else is.

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace yut {

inline constexpr std::string_view kTempMark = ".yut-tmp-";
inline constexpr std::size_t kTempLetters = 6;
// A save keeps its temporary file for milliseconds, and under the file's lock; one unchanged
// for this long belongs to no save in progress.
inline constexpr std::time_t kLeftoverAgeSeconds = 60;

// A fresh temporary name for the file named base (its letters unpredictable).
std::string temp_name_for(std::string_view base);
// Whether name is one that temp_name_for(base) could have given.
bool is_temp_name(std::string_view name, std::string_view base);

}  // namespace yut
