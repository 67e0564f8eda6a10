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
#include "ranking/file_store.h"
#include "ranking/table.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// after windows.h
#include <shellapi.h>
#endif

namespace {

#ifdef _WIN32
std::string utf8_from_utf16(const wchar_t* wide) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();  // the terminating zero
  return out;
}

// Windows hands main its arguments in the ANSI code page, which cannot hold every name (a
// Hangul folder on an English system) and which the game would misread as UTF-8, the form it
// gives paths to the system in: the arguments are taken as UTF-16 and converted.
std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return {argv + 1, argv + argc};
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(utf8_from_utf16(wide[i]));
  ::LocalFree(wide);
  return args;
}
#else
std::vector<std::string> program_arguments(int argc, char** argv) {
  return {argv + 1, argv + argc};
}
#endif

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
  // A wait for another game's lock on the ranking acts on Ctrl-C and Ctrl-Z at once.
  yut::set_lock_wait_check(yut::act_on_signals_while_waiting);
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
  const std::vector<std::string> arguments = program_arguments(argc, argv);
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
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
