#include "app/command_line.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace yut {

namespace {

constexpr std::string_view kSeedOption = "--seed";
constexpr std::string_view kComputerOption = "--computer";
constexpr std::string_view kRankingOption = "--ranking";
constexpr std::string_view kRulesOption = "--rules";
constexpr std::string_view kPaceOption = "--pace";
constexpr int kLongestPaceMs = 5000;

template <class Value>
struct Named {
  std::string_view name;
  Value value;
};

constexpr Named<ComputerLevel> kLevels[] = {
    {"easy", ComputerLevel::kEasy},
    {"basic", ComputerLevel::kBasic},
    {"medium", ComputerLevel::kMedium},
    {"strong", ComputerLevel::kStrong},
};
constexpr Named<RuleSet> kRuleSets[] = {
    {"classic", RuleSet::kClassic},
    {"fair", RuleSet::kFair},
};

// "'a', 'b' or 'c'" of the names.
template <class Value, std::size_t N>
std::string name_list(const Named<Value> (&names)[N]) {
  std::string list;
  for (std::size_t k = 0; k < N; ++k) {
    if (k > 0) list += k + 1 == N ? " or " : ", ";
    list += "'" + std::string(names[k].name) + "'";
  }
  return list;
}

template <class Value, std::size_t N>
std::optional<Value> value_named(std::string_view text, const Named<Value> (&names)[N]) {
  for (const Named<Value>& named : names) {
    if (named.name == text) return named.value;
  }
  return std::nullopt;
}

// The text given to `option` at args[i], as "--option TEXT" (then i moves past TEXT) or
// "--option=TEXT"; nullopt when args[i] is not that option, "" with `missing` set when
// the text is not there.
std::optional<std::string_view> option_text(std::span<const std::string_view> args, size_t& i,
                                            std::string_view option, bool& missing) {
  const std::string_view arg = args[i];
  if (arg == option) {
    missing = i + 1 == args.size();
    return missing ? std::string_view{} : args[++i];
  }
  if (arg.size() > option.size() && arg.starts_with(option) && arg[option.size()] == '=') {
    return arg.substr(option.size() + 1);
  }
  return std::nullopt;
}

// A whole number in decimal digits alone, no sign, within the range of `Number`.
template <class Number>
std::optional<Number> parse_number(std::string_view text) {
  Number value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || text.front() == '-' || error != std::errc{} || stop != end) {
    return std::nullopt;
  }
  return value;
}

CommandLine usage_error(const std::string& message) {
  return {Action::UsageError, std::nullopt, "yutnori: " + message + " (try 'yutnori --help')"};
}

// The refusal of a value that names none of `names`.
template <class Value, std::size_t N>
CommandLine not_named(std::string_view option, bool missing, std::string_view text,
                      const Named<Value> (&names)[N]) {
  const std::string list = name_list(names);
  return usage_error(missing ? "option '" + std::string(option) + "' needs " + list
                             : "'" + std::string(option) + "' needs " + list + ", not '" +
                                   std::string(text) + "'");
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args) {
  CommandLine result;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "--") {
      // The end of the options; the game takes no other arguments.
      if (i + 1 < args.size()) {
        return usage_error("unexpected argument '" + std::string(args[i + 1]) + "'");
      }
      break;
    }
    if (arg == "--help" || arg == "-h") {
      return {Action::Help, std::nullopt, {}};
    }
    if (arg == "--version" || arg == "-V") {
      return {Action::Version, std::nullopt, {}};
    }
    bool missing = false;
    if (const auto path = option_text(args, i, kRankingOption, missing)) {
      if (path->empty()) return usage_error("option '--ranking' needs a file name");
      result.ranking_file = std::string(*path);
      continue;
    }
    if (const auto text = option_text(args, i, kComputerOption, missing)) {
      const auto level = value_named(*text, kLevels);
      if (!level) return not_named(kComputerOption, missing, *text, kLevels);
      result.options.computer = *level;
      continue;
    }
    if (const auto text = option_text(args, i, kRulesOption, missing)) {
      const auto rules = value_named(*text, kRuleSets);
      if (!rules) return not_named(kRulesOption, missing, *text, kRuleSets);
      result.options.rules = *rules;
      continue;
    }
    if (const auto text = option_text(args, i, kPaceOption, missing)) {
      const auto pace = parse_number<int>(*text);
      if (!pace || *pace > kLongestPaceMs) {
        return usage_error(missing ? "option '--pace' needs a number of milliseconds"
                                   : "'--pace' needs a whole number from 0 to 5000, not '" +
                                         std::string(*text) + "'");
      }
      result.options.pace_ms = *pace;
      continue;
    }
    const std::optional<std::string_view> seed_text = option_text(args, i, kSeedOption, missing);
    if (missing) {
      return usage_error("option '--seed' needs a number");
    }
    if (!seed_text) {
      return usage_error("unknown argument '" + std::string(arg) + "'");
    }
    result.seed = parse_number<std::uint32_t>(*seed_text);
    if (!result.seed) {
      return usage_error("'--seed' needs a whole number from 0 to 4294967295, not '" +
                         std::string(*seed_text) + "'");
    }
  }
  return result;
}

std::string help_text() {
  return "Usage: yutnori [--seed N] [--computer LEVEL] [--rules classic|fair] [--pace MS]\n"
         "               [--ranking PATH]\n"
         "\n"
         "Yut-nori, the Korean race board game, in an 80x34 text console.\n"
         "Two people play at one keyboard, or one person plays against the computer.\n"
         "\n"
         "Keys: Up/Down arrows (or H/P) move the menu marker, Enter chooses;\n"
         "      in a game type the number of a piece (1-4) or stack (11-14) and Enter;\n"
         "      Esc at the piece prompt or the name entry asks whether to leave the game.\n"
         "High scores are kept in \"lanksave.txt\" in the current directory,\n"
         "or in the file that --ranking names.\n"
         "\n"
         "Options:\n"
         "  --seed N     fix the random seed (0 to 4294967295) so a game can be replayed\n"
         "  --computer easy|basic|medium|strong\n"
         "               who plays the computer side: basic is the game's own simple\n"
         "               computer (the default); easy is gentler; medium and strong look\n"
         "               ahead, strong the furthest\n"
         "  --rules classic|fair\n"
         "               classic (the default): a refused piece choice loses the throw and\n"
         "               the sticks are thrown again; fair: the same throw is kept and\n"
         "               the piece is chosen again, so a typed number never changes a throw\n"
         "  --pace MS    hold each of the computer's throws and moves on screen for MS\n"
         "               milliseconds (0 to 5000; 0, the default, plays at once); any\n"
         "               key skips the wait\n"
         "  --ranking PATH\n"
         "               keep the high scores in PATH instead of \"lanksave.txt\"\n"
         "  -h, --help   show this help and exit\n"
         "  -V, --version\n"
         "               show the version and exit\n"
         "\n"
         "TERM names the terminal; one that cannot place the cursor (dumb, a printing\n"
         "terminal) is refused.\n";
}

int print_text(std::string_view text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (std::fflush(stdout) == 0 && written) return kExitOk;
  const int error = errno;
  std::fprintf(stderr, "yutnori: write error: %s\n",
               error != 0 ? std::strerror(error) : "output not written");
  return kExitFailure;
}

std::string version_text() {
#ifdef YUT_VERSION
  return "yutnori " YUT_VERSION "\n";
#else
  return "yutnori\n";
#endif
}

}  // namespace yut
