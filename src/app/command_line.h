#pragma once
// What the command line asks of the program: play (optionally with a fixed random seed,
// another computer side, another rule for refused choices, a pace for the computer's
// turns or another ranking file), print help or the version, or refuse an argument it does
// not know.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/session.h"

namespace yut {

enum class Action { Play, Help, Version, UsageError };

struct CommandLine {
  Action action = Action::Play;
  std::optional<std::uint32_t> seed;          // set by --seed N; else the clock seeds the throws
  std::string error;                          // for UsageError: one line, without the line break
  GameOptions options{};                      // set by --computer, --rules and --pace
  std::string ranking_file = "lanksave.txt";  // set by --ranking PATH
};

// args excludes the program name.
CommandLine parse_command_line(std::span<const std::string_view> args);

std::string help_text();
std::string version_text();

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Writes the help or version text to standard output. A write error (a full disk) is reported on
// standard error and gives kExitFailure; else kExitOk.
int print_text(std::string_view text);

}  // namespace yut
