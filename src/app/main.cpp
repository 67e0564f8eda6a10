// yutnori: the Korean race board game in a text console.

#include <cstdint>
#include <ctime>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/menu_loop.h"
#include "console/console.h"
#include "console/platform/terminal.h"
#include "game/random.h"
#include "game/state.h"
#include "ranking/table.h"

namespace {

// The current calendar time in seconds, cut to its low 32 bits.
std::uint32_t clock_seed() {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)));
}

int play(std::uint32_t seed, const yut::GameOptions& options, const std::string& ranking_file) {
  // The terminal outlives the console: it is given back as it was found at exit.
  std::unique_ptr<yut::Platform> terminal;
  try {
    terminal = yut::open_terminal();
  } catch (const yut::TerminalRefused& refused) {
    std::cerr << "yutnori: " << refused.what() << '\n';
    return yut::kExitFailure;
  }
  yut::Console con(*terminal);
  yut::GameState state;
  yut::RankingTable ranking{};
  yut::SeededRandom random(seed);
  yut::Session session{con, state, random, ranking, ranking_file, options};
  try {
    yut::menu_loop(session);
  } catch (const yut::InputClosed&) {
    // Standard input has ended: nobody is left to play, so end quietly, with the shell
    // going on below the screen rather than inside it.
    con.finish_below();
    return yut::kExitOk;
  } catch (const std::exception& error) {
    con.finish_below();
    std::cerr << "yutnori: " << error.what() << '\n';
    return yut::kExitFailure;
  }
  // After the farewell: the shell's prompt goes on where the farewell left the cursor.
  con.finish();
  return yut::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  yut::open_closed_standard_streams();
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const yut::CommandLine command = yut::parse_command_line(args);
  switch (command.action) {
    case yut::Action::Help:
      return yut::print_text(yut::help_text());
    case yut::Action::Version:
      return yut::print_text(yut::version_text());
    case yut::Action::UsageError:
      std::cerr << command.error << '\n';
      return yut::kExitUsage;
    case yut::Action::Play:
      break;
  }
  return play(command.seed.value_or(clock_seed()), command.options, command.ranking_file);
}
