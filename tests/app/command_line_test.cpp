#include "app/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

namespace yut {
namespace {

CommandLine parse(std::vector<std::string_view> args) {
  return parse_command_line(args);
}

struct AcceptedCase {
  std::vector<std::string_view> args;
  Action action;
  std::optional<std::uint32_t> seed;
  ComputerLevel computer = ComputerLevel::kBasic;
  std::string_view ranking = "lanksave.txt";
  RuleSet rules = RuleSet::kClassic;
  int pace_ms = 0;
};

TEST(CommandLine, AcceptedArguments) {
  const AcceptedCase cases[] = {
      {{}, Action::Play, std::nullopt},
      {{"--help"}, Action::Help, std::nullopt},
      {{"--version"}, Action::Version, std::nullopt},
      {{"-h"}, Action::Help, std::nullopt},
      {{"-V"}, Action::Version, std::nullopt},
      {{"--"}, Action::Play, std::nullopt},
      {{"--seed", "3", "--"}, Action::Play, 3U},
      {{"--seed", "42"}, Action::Play, 42U},
      {{"--seed=7"}, Action::Play, 7U},
      {{"--seed", "0"}, Action::Play, 0U},
      {{"--seed", "4294967295"}, Action::Play, 4294967295U},
      {{"--seed", "1", "--seed", "2"}, Action::Play, 2U},
      {{"--seed", "5", "--version"}, Action::Version, std::nullopt},
      {{"--computer", "strong", "--seed", "3"}, Action::Play, 3U, ComputerLevel::kStrong},
      {{"--computer=strong", "--computer=basic"}, Action::Play, std::nullopt},
      {{"--ranking", "/var/games/yut"},
       Action::Play,
       std::nullopt,
       ComputerLevel::kBasic,
       "/var/games/yut"},
      {{"--ranking=my ranks", "--seed", "3"}, Action::Play, 3U, ComputerLevel::kBasic, "my ranks"},
      {{"--computer", "easy"}, Action::Play, std::nullopt, ComputerLevel::kEasy},
      {{"--computer=medium"}, Action::Play, std::nullopt, ComputerLevel::kMedium},
      {{"--rules", "fair", "--pace", "5000"},
       Action::Play,
       std::nullopt,
       ComputerLevel::kBasic,
       "lanksave.txt",
       RuleSet::kFair,
       5000},
      {{"--rules=fair", "--rules=classic", "--pace=0"}, Action::Play, std::nullopt},
  };
  for (const AcceptedCase& c : cases) {
    SCOPED_TRACE(c.args.empty() ? std::string_view("(none)") : c.args.front());
    const CommandLine result = parse(c.args);
    EXPECT_EQ(result.action, c.action);
    EXPECT_EQ(result.seed, c.seed);
    EXPECT_EQ(result.options.computer, c.computer);
    EXPECT_EQ(result.options.rules, c.rules);
    EXPECT_EQ(result.options.pace_ms, c.pace_ms);
    EXPECT_EQ(result.ranking_file, c.ranking);
    EXPECT_TRUE(result.error.empty());
  }
}

TEST(CommandLine, RefusedArgumentsGiveOneLineNamingTheProblem) {
  const struct {
    std::vector<std::string_view> args;
    std::string_view named;
  } cases[] = {
      {{"play"}, "'play'"},
      {{"-x"}, "'-x'"},
      {{"--", "--help"}, "'--help'"},
      {{"--seed", "--"}, "'--'"},
      {{"--seed"}, "--seed"},
      {{"--seed", ""}, "''"},
      {{"--seed", "abc"}, "'abc'"},
      {{"--seed", "-1"}, "'-1'"},
      {{"--seed", "12x"}, "'12x'"},
      {{"--seed", "4294967296"}, "'4294967296'"},
      {{"--seed="}, "''"},
      {{"--seeds=3"}, "'--seeds=3'"},
      {{"--bogus", "--help"}, "'--bogus'"},
      {{"--computer"}, "--computer"},
      {{"--computer", "Strong"}, "'Strong'"},
      {{"--computer="}, "''"},
      {{"--computer", "hard"}, "'hard'"},
      {{"--rules"}, "--rules"},
      {{"--rules", "Fair"}, "'Fair'"},
      {{"--pace"}, "--pace"},
      {{"--pace", "5001"}, "'5001'"},
      {{"--pace", "-1"}, "'-1'"},
      {{"--pace=1s"}, "'1s'"},
      {{"--ranking"}, "--ranking"},
      {{"--ranking="}, "--ranking"},
      {{"--ranking", "", "--seed", "1"}, "--ranking"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named);
    const CommandLine result = parse(c.args);
    EXPECT_EQ(result.action, Action::UsageError);
    EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos);
    EXPECT_EQ(result.error.rfind("yutnori: ", 0), 0U);
  }
}

TEST(CommandLine, HelpListsEveryOption) {
  const std::string help = help_text();
  for (std::string_view option :
       {"--seed N", "--computer easy|basic|medium|strong", "--rules classic|fair", "--pace MS",
        "--ranking PATH", "-h, --help", "-V, --version"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(version_text().rfind("yutnori ", 0), 0U);
}

}  // namespace
}  // namespace yut
