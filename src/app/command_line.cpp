#include "app/command_line.h"

#include <charconv>

namespace yut {

namespace {

constexpr std::string_view kSeedOption = "--seed";
constexpr std::string_view kRankingOption = "--ranking";

std::optional<std::uint32_t> parse_seed(std::string_view text) {
  std::uint32_t value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc{} || stop != end) {
    return std::nullopt;
  }
  return value;
}

CommandLine usage_error(const std::string& message) {
  return {Action::UsageError, std::nullopt, "yutnori: " + message + " (try 'yutnori --help')"};
}

// The value of "--name VALUE" or "--name=VALUE" at args[i] (i moves past a separate value);
// nullopt when args[i] is another argument. A missing value gives an empty one.
std::optional<std::string_view> option_value(std::span<const std::string_view> args, std::size_t& i,
                                             std::string_view name) {
  const std::string_view arg = args[i];
  if (arg == name) return i + 1 < args.size() ? args[++i] : std::string_view{};
  if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
    return arg.substr(name.size() + 1);
  }
  return std::nullopt;
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args) {
  CommandLine result;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "--help") {
      return {Action::Help, std::nullopt, {}};
    }
    if (arg == "--version") {
      return {Action::Version, std::nullopt, {}};
    }
    if (const auto path = option_value(args, i, kRankingOption)) {
      if (path->empty()) return usage_error("option '--ranking' needs a file name");
      result.ranking_file = std::string(*path);
      continue;
    }
    std::optional<std::string_view> seed_text;
    if (arg == kSeedOption) {
      if (i + 1 == args.size()) {
        return usage_error("option '--seed' needs a number");
      }
      seed_text = args[++i];
    } else if (arg.starts_with(std::string(kSeedOption) + "=")) {
      seed_text = arg.substr(kSeedOption.size() + 1);
    }
    if (!seed_text) {
      return usage_error("unknown argument '" + std::string(arg) + "'");
    }
    result.seed = parse_seed(*seed_text);
    if (!result.seed) {
      return usage_error("'--seed' needs a whole number from 0 to 4294967295, not '" +
                         std::string(*seed_text) + "'");
    }
  }
  return result;
}

std::string help_text() {
  return "Usage: yutnori [--seed N] [--ranking PATH]\n"
         "\n"
         "Yut-nori, the Korean race board game, in an 80x34 text console.\n"
         "Two people play at one keyboard, or one person plays against the computer.\n"
         "\n"
         "Keys: Up/Down arrows (or H/P) move the menu marker, Enter chooses;\n"
         "      in a game type the number of a piece (1-4) or stack (11-14) and Enter.\n"
         "High scores are kept in \"lanksave.txt\" in the current directory,\n"
         "or in the file that --ranking names.\n"
         "\n"
         "Options:\n"
         "  --seed N     fix the random seed (0 to 4294967295) so a game can be replayed\n"
         "  --ranking PATH  keep the high scores in PATH instead of \"lanksave.txt\"\n"
         "  --help       show this help and exit\n"
         "  --version    show the version and exit\n";
}

std::string version_text() {
#ifdef YUT_VERSION
  return "yutnori " YUT_VERSION "\n";
#else
  return "yutnori\n";
#endif
}

}  // namespace yut
